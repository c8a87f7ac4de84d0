#include "shell/InitSearchDlg.h"

#include "platform/Clock.h"

namespace qel {

CInitSearchDlg::CInitSearchDlg(EquipmentList& list, const SearchSettings& settings,
                               QWidget* parent, uint32_t finalPauseMs)
    : ProgressWindow(" 搜索设备", "请稍候 ...", "发现 0 台设备, 断口: TCP ", Labels::Skinned,
                     parent),
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
            postProgress(percent, "发现 " + std::to_string(count) + " 台设备, 端口: COM" +
                                      std::to_string(port));
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
