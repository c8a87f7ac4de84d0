// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "ui/LinkErrorWords.h"

#include <cerrno>

namespace qel {

QString LinkErrorWords::text(const LinkError& error) {
    if (error.noEndpoint) return tr("UDP 端口没有打开");
    return QString::fromStdString(error.serial.path) + QStringLiteral(": ") +
           systemWords(error.serial);
}

QString LinkErrorWords::systemWords(const SerialError& error) {
    if (error.step == SerialError::Step::WriteTimedOut) return tr("写入超时");
    switch (error.systemError) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return tr("设备不存在");
        case EACCES:
        case EPERM:
            return tr("没有使用该设备的权限");
        case EBUSY:
            return tr("设备正被其他程序使用");
        case EIO:
            return tr("设备输入输出错误");
        default:
            return QString::fromLocal8Bit(error.systemWords().c_str());
    }
}

}  // namespace qel
