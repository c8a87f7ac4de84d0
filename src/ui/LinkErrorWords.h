// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>
#include <QString>

#include "link/Equipment.h"

namespace qel {

// Why a link could not start, in the window's language: "/dev/ttyUSB6: 设备不存在". The
// common failures of a serial device have words of their own; others keep the system's.
class LinkErrorWords : public QObject {
    Q_OBJECT
public:
    static QString text(const LinkError& error);

private:
    static QString systemWords(const SerialError& error);
};

}  // namespace qel
