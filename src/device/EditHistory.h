// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "device/ModeRecord.h"
#include "device/ParamEdit.h"

namespace qel {

// A unit's undo history and its A/B snapshots. Every edit that reaches its ParamEdit becomes
// one step holding the record bytes it changed and who made it; the edits of one control
// within one gesture (a fader drag, a held arrow key, an EQ point drag) by one origin merge
// into one step. Undo and redo send the unit what a person making that change would send; the
// edits they make are reported as theirs, so whoever shows the settings redraws. It lives with
// the unit's session, whoever shows it. GUI thread only.
class EditHistory : public QObject {
    Q_OBJECT
public:
    enum Slot { kA = 0, kB = 1 };
    // Words a front end gives a step: the edit, the record after it, the model, and the slot an
    // A/B switch made current.
    using Labeller = std::function<QString(const ParamEdit::Result& edit, const ModeRecord& after,
                                           uint32_t model, std::optional<Slot> switchedTo)>;

    explicit EditHistory(ParamEdit& edit, QObject* parent = nullptr);

    void setLabeller(Labeller labeller) { labeller_ = std::move(labeller); }

    int count() const { return static_cast<int>(steps_.size()); }
    // Steps before index are done, the others undone.
    int index() const { return static_cast<int>(index_); }
    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < steps_.size(); }
    QString undoText() const { return canUndo() ? steps_[index_ - 1].text : QString(); }
    QString redoText() const { return canRedo() ? steps_[index_].text : QString(); }
    void undo();
    void redo();
    // The steps no longer describe the unit (a complete transfer replaced the image).
    void clear();
    // Who made the edit of step index (0 = the oldest); the editor's own when there is none.
    ParamEdit::Origin origin(int index) const;
    // A new mouse press or key press (not a repeat): later edits no longer merge into the step
    // before it.
    void newGesture() { ++gesture_; }

    // A/B: the image's settings become the slot's, and that slot is the current one.
    void store(Slot slot);
    bool stored(Slot slot) const { return slots_[slot].has_value(); }
    Slot current() const { return current_; }
    // Keeps the image's settings in the current slot and makes the other one current,
    // sending only what differs. One undo step. False when the other slot is empty.
    bool switchAb();

signals:
    // The steps, the index or their texts changed.
    void changed();
    void abChanged();

private:
    struct Step {
        ParamEdit::Result result;
        QString text;
        int gesture = 0;
        std::optional<std::pair<Slot, Slot>> ab;  // an A/B switch: from, to
    };
    void record(const ParamEdit::Result& result);
    void replay(const ParamEdit::Replay& edit, ParamEdit::Origin::Kind kind, const Step& step);
    void setCurrent(Slot slot);

    ParamEdit& edit_;
    Labeller labeller_;
    std::vector<Step> steps_;
    size_t index_ = 0;
    int gesture_ = 0;
    // Set while an A/B switch edits: the step it makes and what to do when it is undone.
    std::optional<std::pair<Slot, Slot>> switching_;
    std::array<std::optional<ModeRecord>, 2> slots_;
    Slot current_ = kA;
    // Last: it goes first.
    ParamEdit::Subscription listening_;
};

}  // namespace qel
