// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/StderrMessageBoxes.h"

#include <cstdio>

namespace qel {

StderrMessageBoxes::StderrMessageBoxes(std::function<void()> onShown)
    : onShown_(std::move(onShown)) {}

MsgAnswer StderrMessageBoxes::show(QWidget*, const MessageRequest& request) {
    ++count_;
    const QString line = request.caption + QStringLiteral(": ") + request.text.trimmed();
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
    if (onShown_) onShown_();
    switch (request.buttons) {
        case MsgButtons::YesNoCancel:
            return MsgAnswer::Cancel;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
        default:
            return MsgAnswer::Ok;
    }
}

}  // namespace qel
