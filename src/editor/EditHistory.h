// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <array>
#include <optional>

#include "device/ModeRecord.h"
#include "device/ParamEdit.h"

namespace qel {

// An editor's undo history and its A/B snapshots. Every edit that reaches ParamEdit becomes
// one step holding the record bytes it changed and who made it; the edits of one control
// within one press (a fader drag, a held arrow key, an EQ point drag) by one origin merge
// into one step. Undo and redo send the unit what a user making that change would send; the
// edits they make are reported as theirs, so whoever shows the settings redraws. GUI thread
// only.
class EditHistory : public QObject {
    Q_OBJECT
public:
    enum Slot { kA = 0, kB = 1 };

    explicit EditHistory(ParamEdit& edit, QObject* parent = nullptr);

    QUndoStack& stack() { return stack_; }
    void undo() { stack_.undo(); }
    void redo() { stack_.redo(); }
    // The steps no longer describe the unit (a complete transfer replaced the image).
    void clear() { stack_.clear(); }
    // Who made the edit of step index (0 = the oldest), for a label that names a remote
    // client; the editor's own when there is no such step.
    ParamEdit::Origin origin(int index) const;
    // A new mouse press or key press (not a repeat) in the editor: later edits no longer
    // merge into the step before it.
    void newGesture() { ++gesture_; }

    // A/B: the image's settings become the slot's, and that slot is the current one.
    void store(Slot slot);
    bool stored(Slot slot) const { return slots_[slot].has_value(); }
    Slot current() const { return current_; }
    // Keeps the image's settings in the current slot and makes the other one current,
    // sending only what differs. One undo step. False when the other slot is empty.
    bool switchAb();

    // The keys of undo and redo, in the editor and in the menu.
    static QKeySequence undoKey() { return QKeySequence(Qt::CTRL | Qt::Key_Z); }
    static QList<QKeySequence> redoKeys() {
        return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)};
    }

    // "输出 3 增益 -6.5 dB": the edited parameter with its value in the record after it.
    static QString label(const ParamEdit::Subject& subject, const ModeRecord& after,
                         uint32_t model);

signals:
    void abChanged();

private:
    class Step;
    void record(const ParamEdit::Result& result);
    void setCurrent(Slot slot);

    ParamEdit& edit_;
    QUndoStack stack_;
    int gesture_ = 0;
    // Set while an A/B switch edits: the step it makes and what to do when it is undone.
    std::optional<std::pair<Slot, Slot>> switching_;
    std::array<std::optional<ModeRecord>, 2> slots_;
    Slot current_ = kA;
    // Last: it goes first.
    ParamEdit::Subscription listening_;
};

}  // namespace qel
