// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/QrCode.h"

#include <qrencode.h>

#include <memory>

namespace qel {

QrCode::QrCode(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!code) return;
    width_ = code->width;
    for (int i = 0; i < width_ * width_; ++i) modules_.push_back(code->data[i] & 1);
}

std::string QrCode::terminalText() const {
    if (isNull()) return {};
    const int side = width_ + 2 * kQuiet;
    const auto light = [&](int x, int y) {
        x -= kQuiet;
        y -= kQuiet;
        return x < 0 || y < 0 || x >= width_ || y >= width_ || !dark(x, y);
    };
    std::string text;
    for (int y = 0; y < side; y += 2) {
        text += "\x1b[40;97m";
        for (int x = 0; x < side; ++x) {
            const bool top = light(x, y), bottom = y + 1 < side && light(x, y + 1);
            text += top && bottom ? "\u2588" : top ? "\u2580" : bottom ? "\u2584" : " ";
        }
        text += "\x1b[0m\n";
    }
    return text;
}

}  // namespace qel
