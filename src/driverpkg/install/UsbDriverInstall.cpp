// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "driverpkg/install/UsbDriverInstall.h"

#include <QDir>

#include "controls/MessageBoxes.h"
#include "driverpkg/DriverPackage.h"
#include "platform/Process.h"
#include "platform/Trace.h"
#include "ui/BusyRun.h"

namespace qel {

bool UsbDriverInstall::run(QWidget* parent, const Options& options) {
    if (showMessage(parent, tr("您确定要安装 USB 驱动吗 ?"), "Quellmar", MsgIcon::Question,
                    MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
    const QString folder =
        options.folder.isEmpty() ? DriverPackage::defaultFolder() : options.folder;
    const auto unpacked = DriverPackage::unpack(
        options.package.isEmpty() ? DriverPackage::builtIn() : options.package, folder);
    if (!unpacked.ok) {
        const QString text =
            unpacked.file.isEmpty()
                ? tr("错误: USB 驱动包已损坏 (%1) !").arg(unpacked.reason)
                : tr("错误: 无法写入文件 %1 !").arg(QDir::toNativeSeparators(unpacked.file));
        qCDebug(lcDriver, "USB driver: %s", text.toUtf8().constData());
        showMessage(parent, text, "Quellmar", MsgIcon::Exclamation);
        return false;
    }
    pauseBusy(options.beforeScriptMs);
    const auto command = DriverPackage::setupCommand(folder);
    std::string error;
    if (!(options.start ? options.start(command, &error) : startDetached(command, &error))) {
        qCDebug(lcDriver, "USB driver: %s", error.c_str());
        showMessage(parent, tr("错误: 无法运行 %1 !").arg(QString::fromStdString(command.back())),
                    "Quellmar", MsgIcon::Exclamation);
        return false;
    }
    pauseBusy(options.afterScriptMs);
    showMessage(parent, tr("请重新插 USB 端口线, 再尝试连接...  "), "Quellmar", MsgIcon::None);
    return true;
}

}  // namespace qel
