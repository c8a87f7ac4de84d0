// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "resources/Skins.h"

#include "resources/SkinCache.h"

namespace qel::skin {

QPixmap bitmap(int resourceId) {
    SkinCache* cache = SkinCache::current();
    return cache ? cache->bitmap(resourceId) : paint(resourceId);
}

QPixmap paint(int resourceId) {
    QImage image = paintControlSkin(resourceId);
    if (image.isNull()) image = paintShellSkin(resourceId);
    if (image.isNull()) image = paintValueSkin(resourceId);
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

}  // namespace qel::skin
