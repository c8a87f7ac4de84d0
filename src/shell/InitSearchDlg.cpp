// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/InitSearchDlg.h"

#include "platform/Clock.h"

namespace qel {

CInitSearchDlg::CInitSearchDlg(EquipmentList& list, const SearchSettings& settings, QWidget* parent,
                               uint32_t finalPauseMs)
    : ProgressWindow(tr(" 搜索设备"), tr("请稍候 ..."), tr("发现 0 台设备, 断口: TCP "),
                     Labels::Skinned, parent),
      list_(list),
      settings_(settings),
      finalPauseMs_(finalPauseMs) {
    setObjectName("Qel.CInitSearchDlg");
}

void CInitSearchDlg::showEvent(QShowEvent* event) {
    ProgressWindow::showEvent(event);
    if (started_) return;
    started_ = true;
    startWorker([this] {
        EquipmentSearch search(list_, settings_, [this](int percent, size_t count, int port) {
            // translate() may run on any thread.
            postProgress(percent,
                         tr("发现 %1 台设备, 端口: COM%2").arg(count).arg(port).toStdString());
        });
        search.run();
        sleepMs(finalPauseMs_);
    });
}

void CInitSearchDlg::run(EquipmentList& list, const SearchSettings& settings, QWidget* parent) {
    CInitSearchDlg dialog(list, settings, parent);
    dialog.exec();
}

}  // namespace qel
