// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/dialog/QrCodeImage.h"

#include "remote/QrCode.h"

namespace qel {

QImage qrCodeImage(const QString& text, int scale) {
    const QrCode code(text);
    if (code.isNull()) return {};
    const int side = (code.width() + 2 * QrCode::kQuiet) * scale;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < code.width(); ++y)
        for (int x = 0; x < code.width(); ++x) {
            if (!code.dark(x, y)) continue;
            for (int dy = 0; dy < scale; ++dy)
                for (int dx = 0; dx < scale; ++dx)
                    image.setPixel((x + QrCode::kQuiet) * scale + dx,
                                   (y + QrCode::kQuiet) * scale + dy, qRgb(0, 0, 0));
        }
    return image;
}

}  // namespace qel
