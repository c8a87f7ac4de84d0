// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QtGlobal>

#include "link/Equipment.h"

namespace qel {

struct OwnedCommand;
class ModeImage;
class ModeRecord;
struct VerifyReport;

// The jobs of the connection window, run on its worker thread: the handshake that brings a
// unit's link up, the full read of its parameters into a new image, and the full download of
// the image's mode record into the unit. Progress goes to a callback on the worker thread.
class UnitTransfer {
public:
    enum class Mode { Connect, ReadOnly, Download };
    enum class Result {
        Success,
        PortFailed,          // the serial port could not be opened (no message)
        HandshakeTimeout,    // "提示: 连接超时 !"
        ReadFailed,          // "从设备下载数据到电脑错误 !\n"
        DownloadIncomplete,  // the unit does not hold the record (or, unverified, some
                             // commands of the download were not accepted)
        Cancelled,           // a download stopped on request; the unit is known to differ
    };
    // position 0..100; status is the text of the window's status line.
    using Progress = std::function<void(int position, const char* status)>;

    // Texts for people, marked for translation in the context "qel::UnitTransfer".
    static constexpr const char* kConnectTimeoutText =
        QT_TRANSLATE_NOOP("qel::UnitTransfer", "提示: 连接超时 !");
    static constexpr const char* kReadErrorText =
        QT_TRANSLATE_NOOP("qel::UnitTransfer", "从设备下载数据到电脑错误 !\n");
    static constexpr const char* kConnectingStatus =
        QT_TRANSLATE_NOOP("qel::UnitTransfer", "连接 ...");
    static constexpr const char* kDownloadingStatus =
        QT_TRANSLATE_NOOP("qel::UnitTransfer", "下载数据 ...");

    UnitTransfer(Equipment& unit, const LinkSettings& link, Progress progress = {});

    // Milliseconds to rest after each progress report (the window's repaint time).
    void setProgressPause(uint32_t ms) { progressPauseMs_ = ms; }
    // How often each command may be queued when a reply to another command ended its wait
    // (a late or repeated reply); before each new attempt the unit must have sent nothing for
    // quietMs. 1 (the default) is the transfers' own rule: one failed wait fails the command.
    void setAttempts(int attempts, uint32_t quietMs) {
        attempts_ = attempts > 1 ? attempts : 1;
        retryQuietMs_ = quietMs;
    }
    // Once *cancel is set (from any thread, or a signal handler), nothing more is queued and
    // the wait in progress ends within a few ms. The flag outlives the transfer.
    void setCancel(const std::atomic<bool>* cancel) { cancel_ = cancel; }
    bool cancelled() const { return cancel_ && cancel_->load(std::memory_order_acquire); }

    // The worker's whole job for a mode. A failed handshake or read leaves the link stopped.
    // A download is verified (DownloadVerify) unless told otherwise, before run() returns, so
    // callers queue what follows a download (the 0x13 of a PC mode) only after it. A cancelled
    // download leaves the unit known to differ.
    Result run(Mode mode);
    void setVerifyDownload(bool verify) { verifyDownload_ = verify; }
    // The verify's account of the last download run(): equal, or what still differs; none
    // when the download was not verified.
    std::shared_ptr<const VerifyReport> verifyReport() const { return verifyReport_; }

    // Success, PortFailed or HandshakeTimeout; after a failure the link is stopped. The
    // unit's name, user or engineering mode and image from before are kept until the unit
    // has answered anew.
    Result handshake();
    // Reads everything into a new image and publishes it on the unit, which is then in sync
    // with its image; false at the first command that fails, leaving the unit's image as it
    // was.
    bool fullRead();
    // Sends the image's mode record; goes through every command (until cancelled) and returns
    // how many were not accepted.
    int fullDownload();
    // The parameter rows and channel reads of the full read into record, nothing published
    // and no mode numbers or names; false at the first command that fails.
    bool readRecord(ModeRecord& record);
    // One command with a wait; true when the unit confirmed it.
    bool send(const OwnedCommand& spec);

    // How long a transfer waits for one command: all of its tries, plus a little for the
    // last reply, so that every try the command carries can succeed.
    static uint32_t waitLimitMs(const OwnedCommand& spec);

    // Tells the unit that this program lets go of it (no reply expected).
    static Ticket sendDisconnectNotice(Equipment& unit);

    struct DisconnectPauses {
        uint32_t noticeMs = 150;       // for the notice to go out before the link stops
        uint32_t serialPortMs = 1000;  // before a serial unit's port closes
    };
    // Lets go of a connected unit: the notice, the parameters-read flag cleared, the link
    // stopped with what is queued dropped, and for a serial unit a pause before its port
    // closes. Blocks until the link threads have ended; not from a link thread of the unit.
    static void disconnect(Equipment& unit, const DisconnectPauses& pauses);
    static void disconnect(Equipment& unit) { disconnect(unit, DisconnectPauses{}); }

private:
    // Enqueues, waits, and copies the reply's payload to reply; the payload length, or -1.
    long exchange(const OwnedCommand& spec, uint8_t* reply = nullptr);
    void report(int position);
    Result download();
    bool readModeNumbers(ModeImage& image);
    bool readRows(ModeRecord& record);
    bool readChannels(ModeRecord& record);
    void load(const OwnedCommand& spec);
    // Until the unit has sent nothing for quietMs (bounded).
    void waitForQuiet(uint32_t quietMs) const;
    Result handshakeFailed();
    // Sets or clears the engineering flag from the unit's mode state; no change when the
    // unit does not answer.
    void readModeState();

    Equipment& unit_;
    LinkSettings link_;
    Progress progress_;
    uint32_t progressPauseMs_ = 30;
    bool verifyDownload_ = true;
    std::shared_ptr<const VerifyReport> verifyReport_;
    int attempts_ = 1;
    uint32_t retryQuietMs_ = 0;
    const std::atomic<bool>* cancel_ = nullptr;
    bool handshaking_ = false;
    int failures_ = 0;  // commands of the download that were not accepted
};

}  // namespace qel
