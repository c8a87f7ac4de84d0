// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QImage>
#include <QPixmap>

namespace qel::skin {

// Bitmap resources by id, painted in code on first use and kept by the current SkinCache
// (painted afresh when there is none). Each id has its fixed size and its states stacked as
// the controls expect them. An unknown id gives a null pixmap. GUI thread only.
QPixmap bitmap(int resourceId);
// Paints the bitmap, bypassing any cache.
QPixmap paint(int resourceId);

// The painters behind bitmap(), one per area; each returns a null image for ids it does not
// know.
QImage paintControlSkin(int resourceId);
QImage paintShellSkin(int resourceId);
QImage paintValueSkin(int resourceId);  // faders and level meters

}  // namespace qel::skin
