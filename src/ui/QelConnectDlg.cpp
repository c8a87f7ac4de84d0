// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "ui/QelConnectDlg.h"

#include <QApplication>

#include "controls/MessageBoxes.h"
#include "device/UnitSession.h"

namespace qel {

namespace {

// The transfer's texts are marked for translation where they are defined.
QString transferText(const char* text) {
    return QCoreApplication::translate("qel::UnitTransfer", text);
}
}  // namespace

CQelConnectDlg::CQelConnectDlg(std::shared_ptr<Equipment> unit, Mode mode, const LinkSettings& link,
                               QWidget* parent, uint32_t progressPauseMs)
    : ProgressWindow(titleFor(mode), tr("请等待 ..."), " ... ", Labels::Plain, parent),
      unit_(std::move(unit)),
      mode_(mode),
      link_(link),
      progressPauseMs_(progressPauseMs) {
    setObjectName("Qel.CQelConnectDlg");
}

QString CQelConnectDlg::titleFor(Mode mode) {
    switch (mode) {
        case Mode::Download:
            return tr(" 从电脑下载数据");
        case Mode::ReadOnly:
            return tr(" 读取设备数据");
        default:
            return tr(" 连接设备");
    }
}

void CQelConnectDlg::showEvent(QShowEvent* event) {
    ProgressWindow::showEvent(event);
    if (started_) return;
    started_ = true;
    startWorker([this] {
        UnitTransfer transfer(*unit_, link_, [this](int position, const char* status) {
            postProgress(position,
                         status ? std::optional<std::string>(transferText(status).toStdString())
                                : std::nullopt);
        });
        transfer.setProgressPause(progressPauseMs_);
        transfer.setCancel(&cancel_);
        result_ = transfer.run(mode_);
        std::lock_guard lock(reportLock_);
        verifyReport_ = transfer.verifyReport();
    });
}

void CQelConnectDlg::finished() {
    if (quiet_) {
        accept();
        return;
    }
    const Result r = result_;
    if (r == Result::HandshakeTimeout)
        showMessage(this, transferText(UnitTransfer::kConnectTimeoutText), tr("Error"),
                    MsgIcon::Exclamation);
    else if (r == Result::ReadFailed)
        showMessage(this, transferText(UnitTransfer::kReadErrorText), tr("Error"), MsgIcon::None);
    accept();
}

void CQelConnectDlg::cancelJob() {
    if (job_)
        job_->cancel();
    else
        cancel_.store(true, std::memory_order_release);
}

void CQelConnectDlg::watch(UnitJob& job) {
    job_ = &job;
    started_ = true;  // the window's own worker stays unused
    jobStarted();
    // The job's values are read here, on the GUI thread: its progress reaches the window
    // before its end does, so the job is still there.
    connect(&job, &UnitJob::progressed, this, &CQelConnectDlg::showJob, Qt::QueuedConnection);
    // A session that goes takes its job along, without an end: the window ends as cancelled.
    // (The job is no more than a QObject by then: nothing of it is read.)
    connect(&job, &QObject::destroyed, this, [this] {
        if (!job_) return;
        job_ = nullptr;
        result_ = Result::Cancelled;
        jobEnded();
    });
    showJob();
}

void CQelConnectDlg::showJob() {
    if (!job_) return;
    bar()->setValue(job_->progress());
    if (const char* status = job_->status()) setStatusText(transferText(status));
}

void CQelConnectDlg::jobDone(Result result) {
    showJob();
    result_ = result;
    {
        std::lock_guard lock(reportLock_);
        verifyReport_ = job_->verifyReport();
    }
    job_ = nullptr;
    jobEnded();
}

CQelConnectDlg* CQelConnectDlg::running(const Equipment* unit) {
    // A download runs in a top-level window of its own while the others are held.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<CQelConnectDlg*>(w);
            d && d->beside_ && (!unit || d->unit_.get() == unit))
            return d;
    return nullptr;
}

std::shared_ptr<const VerifyReport> CQelConnectDlg::verifyReport() const {
    std::lock_guard lock(reportLock_);
    return verifyReport_;
}

CQelConnectDlg::Result CQelConnectDlg::run(std::shared_ptr<Equipment> unit, Mode mode,
                                           const LinkSettings& link, QWidget* parent,
                                           uint32_t progressPauseMs,
                                           std::shared_ptr<const VerifyReport>* verify) {
    const bool beside = mode == Mode::Download && !running();
    CQelConnectDlg dialog(std::move(unit), mode, link, beside ? nullptr : parent, progressPauseMs);
    dialog.runWindow(parent, beside);
    if (verify) *verify = dialog.verifyReport();
    return dialog.result();
}

std::optional<CQelConnectDlg::Result> CQelConnectDlg::run(
    UnitSession& session, const QString& holder, Mode mode, const LinkSettings& link,
    QWidget* parent, uint32_t progressPauseMs, std::shared_ptr<const VerifyReport>* verify,
    UnitJob::Work work, std::function<void(Result)> ended) {
    const bool beside = mode == Mode::Download && !running();
    CQelConnectDlg dialog(session.sharedUnit(), mode, link, beside ? nullptr : parent,
                          progressPauseMs);
    if (!work) work = [mode](UnitTransfer& transfer) { return transfer.run(mode); };
    // A value still being typed is taken before the transfer starts, not as the window takes
    // the focus from it while the transfer reads the image.
    if (QWidget* typing = QApplication::focusWidget()) typing->clearFocus();
    // The job's end comes through the event loop, so not before the window runs.
    UnitJob* job = session.startTransfer(
        holder, link,
        [work = std::move(work), progressPauseMs](UnitTransfer& transfer) {
            transfer.setProgressPause(progressPauseMs);
            return work(transfer);
        },
        [&dialog, ended = std::move(ended)](Result result) {
            dialog.jobDone(result);
            if (ended) ended(result);
        });
    if (!job) return std::nullopt;
    dialog.watch(*job);
    dialog.runWindow(parent, beside);
    if (verify) *verify = dialog.verifyReport();
    return dialog.result();
}

void CQelConnectDlg::runWindow(QWidget* parent, bool beside) {
    if (!beside) {
        exec();
        return;
    }
    // Not the parent's child: the parent is held (disabled) while the download runs.
    offerCancel();
    beside_ = true;
    execBeside(parent);
    beside_ = false;
}

}  // namespace qel
