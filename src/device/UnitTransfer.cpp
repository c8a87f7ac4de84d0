// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/UnitTransfer.h"

#include <cstring>

#include "device/DownloadParams.h"
#include "device/DownloadVerify.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/OwnedCommand.h"
#include "device/ParamCommands.h"
#include "device/ReadReplies.h"
#include "device/UnitCommands.h"
#include "device/UnitText.h"
#include "link/Packet.h"
#include "platform/Clock.h"
#include "platform/Trace.h"

namespace qel {

namespace {
constexpr int kReplyBuffer = frame::kMaxPayload;
// Slack over a command's own tries for the last reply to come in. The sender ends every
// command after its tries, so the wait usually returns long before this; the slack only
// covers a busy machine whose retries drift behind their nominal times.
constexpr uint32_t kWaitSlackMs = 1000;
// Longest wait for a unit to fall silent before a new attempt; a unit that never does is
// tried again anyway.
constexpr uint32_t kQuietLimitMs = 15000;
}  // namespace

UnitTransfer::UnitTransfer(Equipment& unit, const LinkSettings& link, Progress progress)
    : unit_(unit), link_(link), progress_(std::move(progress)) {}

void UnitTransfer::report(int position) {
    if (progress_) progress_(position, handshaking_ ? kConnectingStatus : kDownloadingStatus);
    if (progressPauseMs_) sleepMs(progressPauseMs_);
}

uint32_t UnitTransfer::waitLimitMs(const OwnedCommand& spec) {
    const auto tries = static_cast<uint32_t>(spec.tries > 1 ? spec.tries : 1);
    return tries * spec.timeoutMs + kWaitSlackMs;
}

long UnitTransfer::exchange(const OwnedCommand& spec, uint8_t* reply) {
    if (spec.label) qCDebug(lcStep, "%s", spec.label);
    for (int attempt = 1;; ++attempt) {
        if (cancelled()) return -1;
        uint8_t data[kReplyBuffer] = {};
        const Ticket ticket = unit_.enqueue(spec.toCommand(spec.replyLength ? data : nullptr));
        size_t replyFrame = 0;
        const Outcome outcome = unit_.waitOutcome(ticket, waitLimitMs(spec), &replyFrame, cancel_);
        if (outcome == Outcome::Accepted) {
            const size_t payload =
                replyFrame > frame::kHeaderSize ? replyFrame - frame::kHeaderSize : 0;
            const size_t kept = std::min(payload, spec.replyLength);
            if (reply) std::memcpy(reply, data, kept);
            return static_cast<long>(kept);
        }
        // Only a reply to another command is worth another attempt: a command that spent all
        // its tries unanswered has had its chances.
        if (attempt >= attempts_ || outcome != Outcome::Mismatch || !unit_.linkRunning())
            return -1;
        // Stray replies still on their way would end the next attempt too: let them land
        // while nothing is waiting for a reply.
        waitForQuiet(retryQuietMs_);
    }
}

void UnitTransfer::waitForQuiet(uint32_t quietMs) const {
    const uint32_t start = tickMs();
    while (unit_.linkRunning() && tickMs() - start < kQuietLimitMs) {
        const uint32_t heard = unit_.lastHeardMs();  // first, so that it is not after now
        if (tickMs() - heard >= quietMs) return;
        sleepMs(2);
    }
}

UnitTransfer::Result UnitTransfer::run(Mode mode) {
    if (mode == Mode::Download) return download();
    if (mode == Mode::Connect) {
        const Result connected = handshake();
        if (connected != Result::Success) return connected;
    }
    if (fullRead()) return Result::Success;
    // The image kept from before no longer counts as the unit's: a re-read after a recall
    // that fails must not leave the unit listed as read.
    unit_.clearFlags(linkflag::kAvailable | linkflag::kParamsRead);
    unit_.stopLink();
    return Result::ReadFailed;
}

UnitTransfer::Result UnitTransfer::download() {
    const auto image = unit_.image();
    const int unconfirmed = fullDownload();
    verifyReport_.reset();
    if (verifyDownload_ && image && !cancelled()) {
        // What counts is what the unit now holds, whatever its replies said.
        DownloadVerify verify(unit_, link_);
        verify.setCancel(cancel_);
        verifyReport_ = std::make_shared<const VerifyReport>(verify.verify(image->record()));
    }
    if (cancelled()) {
        unit_.setKnownDifferent();
        return Result::Cancelled;
    }
    if (verifyReport_) return verifyReport_->ok() ? Result::Success : Result::DownloadIncomplete;
    return unconfirmed == 0 ? Result::Success : Result::DownloadIncomplete;
}

UnitTransfer::Result UnitTransfer::handshake() {
    handshaking_ = true;
    unit_.clearFlags(linkflag::kParamsRead);
    if (!unit_.startLink(link_)) return Result::PortFailed;
    report(1);
    qCDebug(lcStep, "Open %s...", unit_.portName().c_str());
    uint8_t r[kReplyBuffer] = {};
    if (exchange(cmd::handshakeState(), r) < 0 || r[0] != 0) return handshakeFailed();
    report(2);
    if (exchange(cmd::handshakeAck()) < 0) return handshakeFailed();
    unit_.setFlags(linkflag::kAvailable);
    report(3);
    if (exchange(cmd::readModel(), r) < 0) return handshakeFailed();
    unit_.setModelCode(r[0]);
    unit_.setModelName(std::string(modelName(r[0])));
    report(4);
    std::memset(r, 0, sizeof r);
    // The name known from before stays until the unit has told its name again.
    if (exchange(cmd::readDeviceName(), r) < 0) return handshakeFailed();
    unit_.setDeviceName(decodeUnitText(r, kUnitTextSize));
    readModeState();
    report(5);
    if (!unit_.image()) unit_.setImage(std::make_shared<ModeImage>());
    report(6);
    handshaking_ = false;
    return Result::Success;
}

void UnitTransfer::readModeState() {
    // The system page's read, with a second try: the connection does not fail on it.
    OwnedCommand spec = cmd::readModeState();
    spec.tries = 2;
    uint8_t r[kReplyBuffer] = {};
    if (exchange(spec, r) < 1) return;  // not known: the flag stays as it was
    if (r[0] != 0)
        unit_.setFlags(linkflag::kEngineering);
    else
        unit_.clearFlags(linkflag::kEngineering);
}

UnitTransfer::Result UnitTransfer::handshakeFailed() {
    handshaking_ = false;
    unit_.stopLink();
    qCDebug(lcStep, "Close %s...", unit_.portName().c_str());
    return Result::HandshakeTimeout;
}

bool UnitTransfer::fullRead() {
    handshaking_ = false;
    qCInfo(lcTransfer, "Download data from Equipment: %s", unit_.deviceName().c_str());
    const auto current = unit_.image();
    auto image = current ? std::make_shared<ModeImage>(*current) : std::make_shared<ModeImage>();
    if (!readModeNumbers(*image) || !readRecord(image->record())) return false;
    report(100);
    unit_.setImage(std::move(image));
    unit_.setFlags(linkflag::kParamsRead);
    unit_.markInSync();  // the image is what the unit holds now
    return true;
}

bool UnitTransfer::readModeNumbers(ModeImage& image) {
    uint8_t r[kReplyBuffer] = {};
    if (exchange(cmd::readCurrentMode(), r) < 1) return false;
    image.setCurrentMode(r[0]);
    for (int slot = 0; slot < ModeImage::kDeviceModes; ++slot) {
        std::memset(r, 0, sizeof r);
        if (exchange(cmd::readModeName(slot), r) < 0) return false;
        image.setDeviceModeName(slot, decodeUnitText(r, kUnitTextSize));
    }
    return true;
}

bool UnitTransfer::readRecord(ModeRecord& record) {
    return readRows(record) && readChannels(record);
}

bool UnitTransfer::readRows(ModeRecord& record) {
    static constexpr int kProgress[8] = {17, 25, 32, 40, 47, 55, 62, 70};
    for (uint8_t code = param::kInputSelect; code <= param::kLimiterRelease; ++code) {
        uint8_t r[kReplyBuffer] = {};
        const long n = exchange(cmd::readRow(code), r);
        // A reply too short for its row fails the read like a missing one.
        if (n < 0 || !storeRowReply(record, unit_.modelCode(), code, r, static_cast<size_t>(n)))
            return false;
        report(kProgress[code]);
    }
    return true;
}

bool UnitTransfer::readChannels(ModeRecord& record) {
    const uint32_t model = unit_.modelCode();
    const int inputs = inputCount(model), outputs = outputCount(model);
    uint8_t r[kReplyBuffer];
    auto read = [&](const OwnedCommand& spec) {
        std::memset(r, 0, sizeof r);
        return exchange(spec, r);
    };
    qCDebug(lcStep, "%s", cmd::kLabelInputDevice);
    for (int i = 0; i < inputs; ++i) {
        const long n = read(cmd::readEqBlock(cmd::inputChannel(i + 1)));
        if (n < 0 || !storeEqBlockReply(record.input(i), r, static_cast<size_t>(n))) return false;
    }
    report(77);
    qCDebug(lcStep, "%s", cmd::kLabelOutputDevice);
    for (int k = 0; k < outputs; ++k) {
        OutputChannel& out = record.output(k);
        if (read(cmd::readHighPass(k + 1)) < 2) return false;
        out.setHighPassType(r[0]);
        out.setHighPassFreq(r[1]);
        if (read(cmd::readLowPass(k + 1)) < 2) return false;
        out.setLowPassType(r[0]);
        out.setLowPassFreq(r[1]);
        const long n = read(cmd::readEqBlock(cmd::outputChannel(k + 1)));
        if (n < 0 || !storeEqBlockReply(out, r, static_cast<size_t>(n))) return false;
        if (k == outputs / 3) report(85);
        if (k == 2 * (outputs / 3)) report(92);
    }
    return true;
}

bool UnitTransfer::send(const OwnedCommand& spec) {
    return exchange(spec) >= 0;
}

void UnitTransfer::load(const OwnedCommand& spec) {
    if (!send(spec)) ++failures_;
}

int UnitTransfer::fullDownload() {
    handshaking_ = false;
    failures_ = 0;
    const auto image = unit_.image();
    if (!image) return 1;
    const ModeRecord record = image->record();
    const uint32_t model = unit_.modelCode();
    qCInfo(lcTransfer, "Download data from Computer: %s", unit_.deviceName().c_str());
    for (const DownloadParam& p : downloadParams(model)) {
        if (cancelled()) return failures_;
        load(p.command(record, model));
        if (p.progressAfter >= 0) report(p.progressAfter);
    }
    report(100);
    return failures_;
}

Ticket UnitTransfer::sendDisconnectNotice(Equipment& unit) {
    return unit.enqueue(cmd::disconnectNotice().toCommand());
}

void UnitTransfer::disconnect(Equipment& unit, const DisconnectPauses& pauses) {
    const bool live = unit.linkRunning() && !unit.hasFlag(linkflag::kStop);
    if (live) unit.waitOutcome(sendDisconnectNotice(unit), pauses.noticeMs);
    unit.clearFlags(linkflag::kParamsRead);
    unit.requestStop();
    if (live && unit.hasFlag(linkflag::kSerial)) sleepMs(pauses.serialPortMs);
    unit.stopLink();  // joins the link threads, drops what is queued, closes the port
}

}  // namespace qel
