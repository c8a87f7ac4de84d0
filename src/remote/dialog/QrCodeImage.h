// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QImage>
#include <QString>

namespace qel {

// A QR code of the text (error correction M), dark modules black on white with the quiet
// zone of four modules around, each module `scale` pixels. A null image when the text does
// not fit in a code.
QImage qrCodeImage(const QString& text, int scale);

}  // namespace qel
