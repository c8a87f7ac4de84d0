// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "resources/SkinCache.h"

#include "resources/Skins.h"

namespace qel::skin {

namespace {
SkinCache* gCurrent = nullptr;  // GUI thread only
}

SkinCache::SkinCache() : previous_(gCurrent) {
    gCurrent = this;
}

SkinCache::~SkinCache() {
    if (gCurrent == this) gCurrent = previous_;
}

SkinCache* SkinCache::current() {
    return gCurrent;
}

QPixmap SkinCache::bitmap(int resourceId) {
    auto it = pixmaps_.find(resourceId);
    if (it != pixmaps_.end()) return *it;
    const QPixmap pixmap = paint(resourceId);
    pixmaps_.insert(resourceId, pixmap);
    return pixmap;
}

}  // namespace qel::skin
