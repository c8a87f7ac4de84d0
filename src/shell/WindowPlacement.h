// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QRect>
#include <QString>

class QWidget;

namespace qel {

// The main window's place in "QelConfig.ini", section "MainWindow": "MaxSize", "Width",
// "Height", "Left" and "Top", the outer (frame) rectangle. Screen sizes are passed in so that
// any screen can be stood in for; coordinates are those of a screen whose top left is (0, 0).
class WindowPlacement {
public:
    static constexpr int kDefaultWidth = 800;
    static constexpr int kDefaultHeight = 600;
    static constexpr int kScreenMargin = 8;

    struct Placement {
        bool maximised = false;
        QRect frame;  // outer rectangle
        bool operator==(const Placement&) const = default;
    };

    WindowPlacement() = delete;

    // "<dir with / separators>/QelConfig.ini"; without a folder, the current one.
    static QString configPath();
    static QString configPath(const QString& dir);

    // 800 x 600 centred on the screen.
    static QRect centred(QSize screen);
    // What the file holds, with the defaults and the rules against the screen applied.
    static Placement read(const QString& iniPath, QSize screen);
    // What save() writes for a window in this state.
    static Placement of(const QWidget& window, QSize screen);

    // Places the window as read() says and shows it, maximised or normally. For the first
    // show: the window manager places a window by its frame only before it exists on screen.
    static void load(QWidget& window, const QString& iniPath, QRect screen);
    static void save(const QWidget& window, const QString& iniPath, QRect screen);
};

}  // namespace qel
