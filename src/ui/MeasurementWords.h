// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>
#include <QString>

#include "device/MeasurementEq.h"

namespace qel {

// A problem of a measured EQ text in the window's language: "第 2 行: 未知的滤波器类型 ...".
class MeasurementWords : public QObject {
    Q_OBJECT
public:
    // channel names the channel the filters were meant for ("输出 2").
    static QString text(const MeasurementError& error, const QString& channel);

private:
    static QString filter(const MeasurementError& error, const QString& channel);
    static QString value(const MeasurementError& error);
    static QString shape(const MeasurementError& error, const QString& channel);
    // The values from the index on, separated by commas.
    static QString list(const MeasurementError& error, size_t from);
};

}  // namespace qel
