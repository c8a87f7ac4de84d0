// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QPixmap>
#include <QWidget>

namespace qel {

// The background behind the editor windows: bitmap 132 stretched over the area with a
// 2-pixel band along the bottom. While the main window is being moved or sized the picture is
// scaled fast; once sizing ends it is drawn again smoothly. GUI thread only.
class CClientWnd : public QWidget {
    Q_OBJECT
public:
    enum class Quality { None, Fast, Smooth };

    static constexpr int kBitmapId = 132;
    static constexpr int kBandHeight = 2;
    static QColor emptyColor() { return {160, 160, 164}; }
    static QColor bandColor() { return {180, 188, 200}; }

    // Starts with bitmap 132.
    explicit CClientWnd(QWidget* parent = nullptr);

    // A null pixmap leaves the area filled with emptyColor().
    void setBackground(const QPixmap& bitmap);
    const QPixmap& background() const { return bitmap_; }

    // The main window reports an interactive move or resize; ending it repaints smoothly.
    void setSizing(bool sizing);
    bool sizing() const { return sizing_; }

    // How the last paint was drawn, and the cached picture it copied.
    Quality lastQuality() const { return lastQuality_; }
    const QPixmap& surface() const { return surface_; }
    // How often the cached picture was rebuilt (tests check that it is kept).
    int surfaceBuilds() const { return builds_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildSurface(Quality quality);

    QPixmap bitmap_;
    QPixmap surface_;
    QSize surfaceSize_;
    Quality surfaceQuality_ = Quality::None;
    Quality lastQuality_ = Quality::None;
    bool sizing_ = false;
    int builds_ = 0;
};

}  // namespace qel
