// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/ShowUnitTask.h"

#include "device/DownloadVerify.h"
#include "device/ModeImage.h"
#include "device/UnitCommands.h"

namespace qel {

namespace {
// Reads on a link that was up meet the replies of the meter reads of an open editor: as the
// verify of a download does, a read whose wait a stray reply ended is tried again once the
// unit is quiet.
constexpr int kAttempts = 4;
constexpr uint32_t kQuietMs = 60;
}  // namespace

ShowUnitTask::ShowUnitTask(std::shared_ptr<Equipment> unit, const LinkSettings& link,
                           bool sessionOpen)
    : unit_(std::move(unit)), link_(link), sessionOpen_(sessionOpen) {}

UnitTransfer ShowUnitTask::transfer(const UnitTransfer::Progress& progress,
                                    const std::atomic<bool>* cancel) const {
    UnitTransfer t(*unit_, link_, progress);
    t.setProgressPause(0);
    t.setCancel(cancel);
    return t;
}

ShowUnitTask::Outcome ShowUnitTask::read(const UnitTransfer::Progress& progress,
                                         const std::atomic<bool>* cancel) {
    if (sessionOpen_) return readBeside(cancel);
    UnitTransfer t = transfer(progress, cancel);
    switch (t.run(UnitTransfer::Mode::Connect)) {
        case UnitTransfer::Result::Success:
            broughtUp_ = true;
            record_ = unit_->image()->record();
            return done(Outcome::Done);
        case UnitTransfer::Result::PortFailed:
            return done(Outcome::PortFailed);
        case UnitTransfer::Result::HandshakeTimeout:
            return done(t.cancelled() ? Outcome::Cancelled : Outcome::NoAnswer);
        default:
            return done(t.cancelled() ? Outcome::Cancelled : Outcome::ReadFailed);
    }
}

ShowUnitTask::Outcome ShowUnitTask::readBeside(const std::atomic<bool>* cancel) {
    if (!unit_->linkRunning() || unit_->hasFlag(linkflag::kStop)) return done(Outcome::LinkLost);
    UnitTransfer t = transfer({}, cancel);
    t.setAttempts(kAttempts, kQuietMs);
    unit_->setFlags(linkflag::kMeterPaused);
    ModeRecord scratch;
    const bool read = t.readRecord(scratch);
    unit_->clearFlags(linkflag::kMeterPaused);
    if (read) record_ = scratch;
    return done(read ? Outcome::Done : t.cancelled() ? Outcome::Cancelled : Outcome::ReadFailed);
}

ShowUnitTask::Outcome ShowUnitTask::reach(const std::atomic<bool>* cancel) {
    const bool up = unit_->linkRunning() && !unit_->hasFlag(linkflag::kStop);
    if (!up && sessionOpen_) return Outcome::LinkLost;  // its session takes the link up again
    UnitTransfer t = transfer({}, cancel);
    t.setAttempts(kAttempts, kQuietMs);
    if (!up) {
        const auto result = t.handshake();
        if (result == UnitTransfer::Result::Success) broughtUp_ = true;
        if (result == UnitTransfer::Result::PortFailed) return Outcome::PortFailed;
    } else if (!t.send(cmd::readModel())) {
        unit_->setKnownDifferent();
        return t.cancelled() ? Outcome::Cancelled : Outcome::NoAnswer;
    }
    if (t.cancelled()) return Outcome::Cancelled;
    return broughtUp_ || up ? Outcome::Done : Outcome::NoAnswer;
}

ShowUnitTask::Outcome ShowUnitTask::send(const UnitTransfer::Progress& progress,
                                         const std::atomic<bool>* cancel) {
    const Outcome reached = reach(cancel);
    if (reached != Outcome::Done) return done(reached);
    DownloadVerify download(*unit_, link_);
    download.setCancel(cancel);
    report_ = std::make_shared<const VerifyReport>(download.downloadAndVerify(progress));
    switch (report_->outcome) {
        case VerifyOutcome::Equal:
            return done(Outcome::Done);
        case VerifyOutcome::Cancelled:
            return done(Outcome::Cancelled);
        default:
            return done(Outcome::NotProven);
    }
}

void ShowUnitTask::letGo() {
    if (!broughtUp_) return;
    broughtUp_ = false;
    UnitTransfer::disconnect(*unit_);
}

}  // namespace qel
