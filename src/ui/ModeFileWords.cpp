// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "ui/ModeFileWords.h"

namespace qel {

QString ModeFileWords::text(const ModeFileStatus& status) {
    const QString v0 = status.values.value(0), v1 = status.values.value(1);
    switch (status.problem) {
        case ModeFileProblem::UnknownModel:
            return tr("未知的设备型号 %1").arg(v0);
        case ModeFileProblem::NoRecord:
            return tr("没有第 %1 条记录").arg(v0);
        case ModeFileProblem::NoPcMode:
            return tr("型号 %2 没有电脑模式 %1").arg(v0, v1);
        case ModeFileProblem::NameNotGbk:
            return tr("GBK 没有这些字符的编码: %1").arg(v0);
        default:
            return file(status);
    }
}

QString ModeFileWords::file(const ModeFileStatus& status) {
    const QString v0 = status.values.value(0), v1 = status.values.value(1);
    switch (status.problem) {
        case ModeFileProblem::CannotOpen:
            return tr("无法打开 %1: %2").arg(v0, v1);
        case ModeFileProblem::ReadOnly:
            return tr("%1 只能读取: %2").arg(v0, v1);
        case ModeFileProblem::CannotRead:
            return tr("无法读取 %1: %2").arg(v0, v1);
        case ModeFileProblem::CannotCreateTemp:
            return tr("无法为 %1 创建临时文件: %2").arg(v0, v1);
        case ModeFileProblem::CannotWrite:
            return tr("无法写入 %1: %2").arg(v0, v1);
        case ModeFileProblem::CannotReplace:
            return tr("无法替换 %1: %2").arg(v0, v1);
        default:
            return {};
    }
}

}  // namespace qel
