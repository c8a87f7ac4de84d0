// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>
#include <QString>

#include "device/ModeFileStore.h"

namespace qel {

// What went wrong with a mode file, in the window's language; the system's own words and the
// path stay as they are.
class ModeFileWords : public QObject {
    Q_OBJECT
public:
    static QString text(const ModeFileStatus& status);

private:
    static QString file(const ModeFileStatus& status);
};

}  // namespace qel
