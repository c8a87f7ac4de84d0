// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>

namespace qel {

// The background behind the editor windows: bitmap 132 stretched over the area with a
// 2-pixel band along the bottom. While the main window is being moved or sized the picture is
// scaled fast; once sizing ends it is drawn again smoothly. Only the picture at the area's
// size is kept: the full picture is painted when the area is drawn at another size and is
// held only while the sizing lasts. GUI thread only.
class CClientWnd : public QWidget {
    Q_OBJECT
public:
    enum class Quality { None, Fast, Smooth };
    // Paints the full picture.
    using Source = std::function<QImage()>;

    static constexpr int kBitmapId = 132;
    static constexpr int kBandHeight = 2;
    static QColor emptyColor() { return {160, 160, 164}; }
    static QColor bandColor() { return {180, 188, 200}; }

    // Starts with bitmap 132.
    explicit CClientWnd(QWidget* parent = nullptr);

    // An empty source leaves the area filled with emptyColor().
    void setBackground(Source source);

    // The main window reports an interactive move or resize; ending it repaints smoothly.
    void setSizing(bool sizing);
    bool sizing() const { return sizing_; }

    // How the last paint was drawn, and the cached picture it copied.
    Quality lastQuality() const { return lastQuality_; }
    const QPixmap& surface() const { return surface_; }
    // How often the cached picture was rebuilt (tests check that it is kept).
    int surfaceBuilds() const { return builds_; }
    // Whether the full picture is held (only while sizing).
    bool holdsPicture() const { return !picture_.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildSurface(Quality quality);

    Source source_;
    QImage picture_;  // the source's picture, kept while sizing
    QPixmap surface_;
    QSize surfaceSize_;
    Quality surfaceQuality_ = Quality::None;
    Quality lastQuality_ = Quality::None;
    bool sizing_ = false;
    int builds_ = 0;
};

}  // namespace qel
