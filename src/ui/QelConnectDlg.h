// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "device/UnitJob.h"
#include "device/UnitTransfer.h"
#include "ui/ProgressWindow.h"

namespace qel {

class UnitSession;

// The connection window: connects to a unit and reads it, reads it again, or downloads the
// image's mode record into it, and reports failures in message boxes. The transfer of a unit
// with a session runs in the session's worker and the window shows it; a unit without one
// yet (the first connection) is connected on the window's own worker. A download can be
// cancelled (Result::Cancelled): it runs beside the other windows, which are held meanwhile,
// and their close requests can cancel it (running() finds it).
class CQelConnectDlg : public ProgressWindow {
    Q_OBJECT
public:
    using Mode = UnitTransfer::Mode;
    using Result = UnitTransfer::Result;

    CQelConnectDlg(std::shared_ptr<Equipment> unit, Mode mode, const LinkSettings& link,
                   QWidget* parent, uint32_t progressPauseMs = 30);

    // Runs the job modally; the result of the transfer. verify, when given, receives the
    // verify's account of a download (none when it did not get that far).
    static Result run(std::shared_ptr<Equipment> unit, Mode mode, const LinkSettings& link,
                      QWidget* parent, uint32_t progressPauseMs = 30,
                      std::shared_ptr<const VerifyReport>* verify = nullptr);

    // Runs the transfer in the session's worker (UnitSession::startTransfer, holding the unit
    // as holder) and shows it as run() does; the window's cancel goes to the job. work, when
    // given, takes the place of the mode's transfer. ended, when given, runs once the job has
    // ended, while the session still holds the unit. None when another holds the unit.
    static std::optional<Result> run(UnitSession& session, const QString& holder, Mode mode,
                                     const LinkSettings& link, QWidget* parent,
                                     uint32_t progressPauseMs = 30,
                                     std::shared_ptr<const VerifyReport>* verify = nullptr,
                                     UnitJob::Work work = {},
                                     std::function<void(Result)> ended = {});

    // The download in progress for unit (any unit when none is given), or none. GUI thread.
    static CQelConnectDlg* running(const Equipment* unit = nullptr);

    // The program leaves: a failed connection or read ends the window without a message box.
    void leaveQuietly() { quiet_ = true; }

    bool succeeded() const { return result_ == Result::Success; }
    Result result() const { return result_; }
    std::shared_ptr<const VerifyReport> verifyReport() const;
    static QString titleFor(Mode mode);

protected:
    void showEvent(QShowEvent* event) override;
    void finished() override;
    void cancelJob() override;

private:
    // Shows the session's job until it ends (jobDone()).
    void watch(UnitJob& job);
    void showJob();
    void jobDone(Result result);
    // Runs the window until its job has ended: beside the others for a download, as run()
    // says, else modally.
    void runWindow(QWidget* parent, bool beside);

    std::shared_ptr<Equipment> unit_;
    Mode mode_;
    LinkSettings link_;
    uint32_t progressPauseMs_;
    std::atomic<Result> result_{Result::PortFailed};
    mutable std::mutex reportLock_;  // guards verifyReport_
    std::shared_ptr<const VerifyReport> verifyReport_;
    bool started_ = false;
    bool quiet_ = false;
    bool beside_ = false;              // a download running beside the held windows
    std::atomic<bool> cancel_{false};  // set by the GUI thread, read by the worker
    UnitJob* job_ = nullptr;           // the session's job shown, until it ends
};

}  // namespace qel
