// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QHash>
#include <QPixmap>

namespace qel::skin {

// The painted bitmaps, kept while the cache lives. The application object owns one, so the
// pixmaps go before the QApplication does; while it lives, skin::bitmap() draws from it.
// Caches nest: the newest one serves until it is destroyed. GUI thread only.
class SkinCache {
public:
    SkinCache();
    ~SkinCache();
    SkinCache(const SkinCache&) = delete;
    SkinCache& operator=(const SkinCache&) = delete;

    // The cache that serves skin::bitmap(), or nullptr.
    static SkinCache* current();

    QPixmap bitmap(int resourceId);

private:
    QHash<int, QPixmap> pixmaps_;
    SkinCache* previous_;
};

}  // namespace qel::skin
