// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

#include "device/EditHistory.h"
#include "device/ModeRecord.h"
#include "device/ParamEdit.h"

namespace qel {

// The words of edits in the window: undo steps, differences, the keys of undo and redo.
class EditWords : public QObject {
    Q_OBJECT
public:
    // "输出 3 增益 -6.5 dB": the edited parameter with its value in the record after it.
    static QString label(const ParamEdit::Subject& subject, const ModeRecord& after,
                         uint32_t model);
    // An undo step's name: the label, an A/B switch, and who made it when not this window.
    static QString step(const ParamEdit::Result& edit, const ModeRecord& after, uint32_t model,
                        std::optional<EditHistory::Slot> switchedTo);

    // The keys of undo and redo, in the editor and in the menu.
    static QKeySequence undoKey() { return QKeySequence(Qt::CTRL | Qt::Key_Z); }
    static QList<QKeySequence> redoKeys() {
        return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)};
    }
};

}  // namespace qel
