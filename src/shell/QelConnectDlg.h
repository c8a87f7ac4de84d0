#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "device/UnitTransfer.h"
#include "shell/ProgressWindow.h"

namespace qel {

// The connection window: connects to a unit and reads it, reads it again, or downloads the
// image's mode record into it, on its worker thread, and reports failures in message boxes.
class CQelConnectDlg : public ProgressWindow {
    Q_OBJECT
public:
    using Mode = UnitTransfer::Mode;
    using Result = UnitTransfer::Result;

    CQelConnectDlg(std::shared_ptr<Equipment> unit, Mode mode, const LinkSettings& link,
                   QWidget* parent, uint32_t progressPauseMs = 30);

    // Runs the job modally; the result of the transfer. verifySummary, when given, receives
    // the verify's account of a download.
    static Result run(std::shared_ptr<Equipment> unit, Mode mode, const LinkSettings& link,
                      QWidget* parent, uint32_t progressPauseMs = 30,
                      std::string* verifySummary = nullptr);

    bool succeeded() const { return result_ == Result::Success; }
    Result result() const { return result_; }
    std::string verifySummary() const;
    static QString titleFor(Mode mode);

protected:
    void showEvent(QShowEvent* event) override;
    void finished() override;

private:
    std::shared_ptr<Equipment> unit_;
    Mode mode_;
    LinkSettings link_;
    uint32_t progressPauseMs_;
    std::atomic<Result> result_{Result::PortFailed};
    mutable std::mutex summaryLock_;  // guards verifySummary_
    std::string verifySummary_;
    bool started_ = false;
};

}  // namespace qel
