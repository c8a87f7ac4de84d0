// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "device/UnitTransfer.h"
#include "ui/ProgressWindow.h"

namespace qel {

// The connection window: connects to a unit and reads it, reads it again, or downloads the
// image's mode record into it, on its worker thread, and reports failures in message boxes.
// A download can be cancelled (Result::Cancelled): it runs beside the other windows, which
// are held meanwhile, and their close requests can cancel it (running() finds it).
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
};

}  // namespace qel
