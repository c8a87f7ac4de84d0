// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QStatusBar>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace qel {

// The main window's status bar: five panes, drawn from the bitmap skin 148 once the main
// window turns the skin on, with a size grip at the right end that resizes the main window.
// Pane 0 shows the bar's current message (status tips). While alarms are listed a red pane
// with their count stands before the grip, flashing while one is new. GUI thread only.
class CMyStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kSkinId = 148;
    static constexpr int kSkinHeight = 21;
    static constexpr int kMinHeight = 19;
    static constexpr int kGripWidth = 16;  // the last pane ends this far from the right edge
    static constexpr int kPaneGap = 2;     // room for the separator lines between panes
    static constexpr int kPaneBorder = 6;  // a pane is this much wider than its text width
    static constexpr int kTextDown = 1;
    static constexpr int kNarrowPane = 31;  // panes this wide or less have their text at 2 px

    explicit CMyStatusBar(QWidget* parent = nullptr);

    int paneCount() const { return static_cast<int>(panes_.size()); }
    // What a pane says while no unit is active.
    static QString initialText(int index);
    // Text width of a pane (the pane is kPaneBorder wider) and whether it takes a share of
    // the spare width. A pane is never narrower than its text.
    void setPaneInfo(int index, int width, bool stretch);
    int paneWidth(int index) const;
    bool paneStretches(int index) const;
    void setPaneText(int index, const QString& text);
    QString paneText(int index) const;
    // What a pane shows: pane 0 the bar's current message while there is one.
    QString shownText(int index) const;

    // Pane rectangles for the bar's current width, and where a pane's text starts.
    QRect paneRect(int index) const;
    static int textOffset(int paneWidth);
    QRect textRect(int index) const;

    // Loads bitmap 148 and switches to skin drawing; true the first time, then nothing.
    bool turnOnSkin();
    bool skinOn() const { return skinOn_; }
    // The grip at the right end (skin on).
    QRect gripRect() const;
    bool dragging() const { return dragging_; }

    static constexpr int kFlashMs = 500;
    // The alarms listed and how many of them are new; no pane while none is listed.
    void setAlarms(int count, int newCount);
    QString alarmText() const;
    QRect alarmRect() const;
    bool alarmFlashing() const { return flash_.isActive(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The alarm pane was pressed.
    void alarmsPressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Pane {
        int width = 0;
        bool stretch = false;
        QString text;
        int textWidth = 0;  // the width its text needs
        int shownWidth() const { return std::max(width, textWidth); }
    };
    // A pane's text needs this much more than its advance: the text starts 7 pixels in and
    // the pane is kPaneBorder wider than its width.
    static constexpr int kTextRoom = 2;

    void paintSkin(QPainter& p) const;
    void paintPlain(QPainter& p) const;
    void paintPanes(QPainter& p, const QColor& dark, const QColor& light) const;
    void paintAlarms(QPainter& p) const;
    int alarmRoom() const;  // the alarm pane's width and its gap; 0 without alarms

    std::vector<Pane> panes_;
    QPixmap skin_;
    bool skinOn_ = false;
    bool dragging_ = false;
    QPoint dragStart_;
    QRect windowStart_;
    int alarms_ = 0, newAlarms_ = 0;
    bool flashOn_ = false;  // the flash's bright half
    QTimer flash_;
};

}  // namespace qel
