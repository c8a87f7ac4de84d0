// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QPixmap>
#include <QWidget>

namespace qel {

// A level meter: shows the level the owning page hands it, in whole LED segments, over its
// skin's dark segments. It takes no input. CQelLigGain and CQelLigGain2 are its two
// layouts. GUI thread only: a worker that measures levels hands them to the GUI thread.
class CQelMeter : public QWidget {
    Q_OBJECT

public:
    // Levels below 0 show nothing; levels past the last segment light them all.
    void setLevel(int segments);
    int level() const { return level_; }
    int maxLevel() const { return maxLevel_; }
    int bitmapId() const { return bitmapId_; }

protected:
    CQelMeter(const char* className, int bitmapId, int maxLevel, QWidget* parent);

    // Background and, for a level above 0, the lit part, copied from the skin.
    virtual void paintMeter(QPainter& p, const QPixmap& skin) const = 0;
    // The part of the client that differs between two levels; a change repaints only that.
    virtual QRect levelSpan(int from, int to) const = 0;
    void paintEvent(QPaintEvent* event) override;

private:
    int bitmapId_;
    int maxLevel_;
    int level_ = 0;
    QPixmap skin_;
};

}  // namespace qel
