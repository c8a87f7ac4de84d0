// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>
#include <string>
#include <vector>

namespace qel {

// The modules of a QR code of a text (libqrencode, error correction M), for the window's
// picture and for a terminal.
class QrCode {
public:
    static constexpr int kQuiet = 4;  // light modules around the code

    explicit QrCode(const QString& text);
    // The text did not fit in a code.
    bool isNull() const { return width_ == 0; }
    // Modules on a side, the quiet zone aside.
    int width() const { return width_; }
    bool dark(int x, int y) const { return modules_[size_t(y * width_ + x)]; }
    // Drawn in UTF-8 half blocks, two rows of modules to a line, quiet zone included: light
    // modules in bright white on black, set with ANSI colours, so that it reads alike on dark
    // and light terminals.
    std::string terminalText() const;

private:
    int width_ = 0;
    std::vector<bool> modules_;
};

}  // namespace qel
