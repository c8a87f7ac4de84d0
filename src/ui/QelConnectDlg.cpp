// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "ui/QelConnectDlg.h"

#include <QApplication>

#include "controls/MessageBoxes.h"

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
    cancel_.store(true, std::memory_order_release);
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
    if (mode != Mode::Download || running()) {
        CQelConnectDlg dialog(std::move(unit), mode, link, parent, progressPauseMs);
        dialog.exec();
        if (verify) *verify = dialog.verifyReport();
        return dialog.result();
    }
    // Not the parent's child: the parent is held (disabled) while the download runs.
    CQelConnectDlg dialog(std::move(unit), mode, link, nullptr, progressPauseMs);
    dialog.offerCancel();
    dialog.beside_ = true;
    dialog.execBeside(parent);
    dialog.beside_ = false;
    if (verify) *verify = dialog.verifyReport();
    return dialog.result();
}

}  // namespace qel
