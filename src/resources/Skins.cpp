// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "resources/Skins.h"

#include <QHash>

namespace qel::skin {

QPixmap bitmap(int resourceId) {
    static QHash<int, QPixmap> cache;
    auto it = cache.find(resourceId);
    if (it != cache.end()) return *it;
    QImage image = paintControlSkin(resourceId);
    if (image.isNull()) image = paintShellSkin(resourceId);
    if (image.isNull()) image = paintValueSkin(resourceId);
    QPixmap pixmap = image.isNull() ? QPixmap() : QPixmap::fromImage(image);
    cache.insert(resourceId, pixmap);
    return pixmap;
}

}  // namespace qel::skin
