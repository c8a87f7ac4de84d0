// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>
#include <QString>

#include "device/Groups.h"
#include "device/PresetJson.h"

namespace qel {

// A preset's problem in the window's language: "outputs[1].gainDb: 12.5 超出 -50 .. 12 dB".
class PresetIssueWords : public QObject {
    Q_OBJECT
public:
    static QString text(const PresetIssue& issue);
    // A groups file's problem, named by its group: "编组 Mains: groups[0].gainDb: ...".
    static QString groupText(const GroupIssue& issue);

private:
    static QString shape(const PresetIssue& issue);
    static QString value(const PresetIssue& issue);
    static QString document(const PresetIssue& issue);
    static QString kind(JsonKind kind);
    static QString unit(const QString& unit);
};

}  // namespace qel
