// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/EditHistory.h"

#include <map>

#include "device/ModeImage.h"
#include "link/Protocol.h"

namespace qel {

namespace {

using Change = ParamEdit::Change;

// The runs of two steps as one: each byte keeps the first step's before and the last step's
// after; bytes that end where they began drop out.
std::vector<Change> merged(const std::vector<Change>& first, const std::vector<Change>& then) {
    std::map<size_t, std::pair<uint8_t, uint8_t>> bytes;
    for (const Change& c : first)
        for (size_t i = 0; i < c.before.size(); ++i)
            bytes[c.offset + i] = {c.before[i], c.after[i]};
    for (const Change& c : then)
        for (size_t i = 0; i < c.before.size(); ++i) {
            const auto [it, fresh] = bytes.try_emplace(c.offset + i, c.before[i], c.after[i]);
            if (!fresh) it->second.second = c.after[i];
        }
    std::vector<Change> runs;
    for (const auto& [offset, values] : bytes) {
        if (values.first == values.second) continue;
        if (runs.empty() || runs.back().offset + runs.back().before.size() != offset)
            runs.push_back({offset, {}, {}});
        runs.back().before.push_back(values.first);
        runs.back().after.push_back(values.second);
    }
    return runs;
}

bool mergeable(uint8_t code) {
    return code != ParamEdit::kRestore && code != ParamEdit::kImportEq && code != param::kEqReset &&
           code != param::kCopyChannel;
}

}  // namespace

EditHistory::EditHistory(ParamEdit& edit, QObject* parent) : QObject(parent), edit_(edit) {
    listening_ = edit_.listen([this](const ParamEdit::Result& result) { record(result); });
}

void EditHistory::record(const ParamEdit::Result& result) {
    using Kind = ParamEdit::Origin::Kind;
    const Kind by = result.origin.kind;
    if (by == Kind::Undo || by == Kind::Redo || result.changes.empty()) return;
    const auto ab = switching_;
    const std::optional<Slot> to = ab ? std::optional(ab->second) : std::nullopt;
    QString text =
        labeller_ ? labeller_(result, edit_.image().record(), edit_.modelCode(), to) : QString();
    steps_.resize(index_);  // a new edit ends what was undone
    Step* top = steps_.empty() ? nullptr : &steps_.back();
    if (top && !ab && !top->ab && mergeable(result.subject.code) &&
        mergeable(top->result.subject.code) && top->gesture == gesture_ &&
        top->result.subject == result.subject && top->result.origin == result.origin) {
        top->result.changes = merged(top->result.changes, result.changes);
        top->result.redo = result.redo;
        top->text = std::move(text);
        // A drag that ends where it began leaves nothing to undo.
        if (top->result.changes.empty()) steps_.pop_back();
    } else {
        steps_.push_back({result, std::move(text), gesture_, ab});
    }
    index_ = steps_.size();
    emit changed();
}

void EditHistory::replay(const ParamEdit::Replay& edit, ParamEdit::Origin::Kind kind,
                         const Step& step) {
    if (!edit) return;
    ParamEdit::OriginScope scope(edit_, {kind});
    edit(edit_, step.result.changes);
}

void EditHistory::undo() {
    if (!canUndo()) return;
    const Step step = steps_[--index_];
    replay(step.result.undo, ParamEdit::Origin::Kind::Undo, step);
    if (step.ab) setCurrent(step.ab->first);
    emit changed();
}

void EditHistory::redo() {
    if (!canRedo()) return;
    const Step step = steps_[index_++];
    replay(step.result.redo, ParamEdit::Origin::Kind::Redo, step);
    if (step.ab) setCurrent(step.ab->second);
    emit changed();
}

void EditHistory::clear() {
    steps_.clear();
    index_ = 0;
    emit changed();
}

ParamEdit::Origin EditHistory::origin(int index) const {
    if (index < 0 || index >= count()) return {};
    return steps_[static_cast<size_t>(index)].result.origin;
}

void EditHistory::store(Slot slot) {
    slots_[slot] = edit_.image().record();
    setCurrent(slot);
}

bool EditHistory::switchAb() {
    const Slot from = current_, to = current_ == kA ? kB : kA;
    if (!slots_[to]) return false;
    slots_[from] = edit_.image().record();
    switching_ = std::pair(from, to);
    {
        ParamEdit::OriginScope scope(edit_, {ParamEdit::Origin::Kind::Switch});
        edit_.restore(*slots_[to]);
    }
    switching_.reset();
    setCurrent(to);
    return true;
}

void EditHistory::setCurrent(Slot slot) {
    current_ = slot;
    emit abChanged();
}

}  // namespace qel
