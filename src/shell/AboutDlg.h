// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDialog>

namespace qel {

// The about box: the program's version, what it is, its licence and where its documentation
// is. Wide enough for its whole caption.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // The lines below the icon, in order.
    QStringList lines() const;
    // Room the window manager needs beside a caption's text (buttons and margins).
    static constexpr int kCaptionRoom = 160;

private:
    QStringList lines_;
};

}  // namespace qel
