// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QFontMetrics>

#include "controls/QelText.h"

namespace qel::test {

// The box shows its whole text: the text fits where the box draws it, with the pixel the line
// edit keeps for its cursor.
inline bool showsWholeText(const CQelText& box) {
    return box.fontMetrics().horizontalAdvance(box.text()) + 1 <= box.textArea().width();
}

}  // namespace qel::test
