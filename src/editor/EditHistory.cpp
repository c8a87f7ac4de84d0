// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/EditHistory.h"

#include <map>

#include "device/ModeImage.h"
#include "device/RecordValues.h"
#include "device/ValueCodes.h"
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
    return code != ParamEdit::kRestore && code != ParamEdit::kImportEq &&
           code != param::kEqReset && code != param::kCopyChannel;
}

QString letter(EditHistory::Slot slot) {
    return slot == EditHistory::kA ? QStringLiteral("A") : QStringLiteral("B");
}

}  // namespace

class EditHistory::Step : public QUndoCommand {
public:
    Step(EditHistory& history, ParamEdit::Result result, const QString& text, int gesture,
         std::optional<std::pair<Slot, Slot>> ab)
        : history_(history), result_(std::move(result)), gesture_(gesture), ab_(ab) {
        setText(text);
    }

    const ParamEdit::Origin& origin() const { return result_.origin; }

    int id() const override { return mergeable(result_.subject.code) && !ab_ ? 1 : -1; }

    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const Step*>(other);
        if (next->gesture_ != gesture_ || !(next->result_.subject == result_.subject) ||
            !(next->result_.origin == result_.origin))
            return false;
        result_.changes = merged(result_.changes, next->result_.changes);
        result_.redo = next->result_.redo;
        setText(next->text());
        // A drag that ends where it began leaves nothing to undo.
        setObsolete(result_.changes.empty());
        return true;
    }

    void undo() override {
        replay(result_.undo, ParamEdit::Origin::Kind::Undo);
        if (ab_) history_.setCurrent(ab_->first);
    }

    void redo() override {
        if (done_) {
            replay(result_.redo, ParamEdit::Origin::Kind::Redo);
            if (ab_) history_.setCurrent(ab_->second);
        }
        done_ = true;  // the first redo() comes from push(): the edit is already made
    }

private:
    void replay(const ParamEdit::Replay& edit, ParamEdit::Origin::Kind kind) {
        if (!edit) return;
        ParamEdit::OriginScope scope(history_.edit_, {kind});
        edit(history_.edit_, result_.changes);
    }

    EditHistory& history_;
    ParamEdit::Result result_;
    int gesture_;
    std::optional<std::pair<Slot, Slot>> ab_;
    bool done_ = false;
};

EditHistory::EditHistory(ParamEdit& edit, QObject* parent) : QObject(parent), edit_(edit) {
    listening_ = edit_.listen([this](const ParamEdit::Result& result) { record(result); });
}

void EditHistory::record(const ParamEdit::Result& result) {
    using Kind = ParamEdit::Origin::Kind;
    const Kind by = result.origin.kind;
    if (by == Kind::Undo || by == Kind::Redo || result.changes.empty()) return;
    const auto ab = switching_;
    QString text = ab ? tr("切换到 %1").arg(letter(ab->second))
                      : label(result.subject, edit_.image().record(), edit_.modelCode());
    if (by == Kind::Remote) text = tr("%1 (远程客户端 %2)").arg(text).arg(result.origin.client);
    stack_.push(new Step(*this, result, text, gesture_, ab));
}

ParamEdit::Origin EditHistory::origin(int index) const {
    const auto* step = static_cast<const Step*>(stack_.command(index));
    return step ? step->origin() : ParamEdit::Origin{};
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

QString EditHistory::label(const ParamEdit::Subject& s, const ModeRecord& after,
                           uint32_t model) {
    const bool input = s.channel.side == cmd::Side::Input;
    const auto name = [input](int number) {
        return input ? tr("输入 %1").arg(QChar(u'A' + number - 1)) : tr("输出 %1").arg(number);
    };
    const QString channel = name(s.channel.number);
    if (s.code == ParamEdit::kRestore) return tr("恢复设置");
    if (s.code == ParamEdit::kImportEq) return tr("%1 EQ 导入滤波器").arg(channel);
    if (s.code == param::kEqReset) return tr("%1 EQ 复位").arg(channel);
    if (s.code == param::kCopyChannel) return tr("%1 EQ 复制自 %2").arg(channel, name(s.source));

    const RecordValues values = recordValues(after, model);
    const size_t index = static_cast<size_t>(s.channel.number - 1);
    if (input ? index >= values.inputs.size() : index >= values.outputs.size()) return channel;
    const auto number = [](double v, int decimals) { return QString::number(v, 'f', decimals); };
    const auto signedDb = [&](double db) {
        return (db > 0 ? QStringLiteral("+") : QString()) + number(db, 1);
    };
    const auto eqPoint = [&](const EqPointValues& p) {
        const QString text = tr("%1 EQ 点 %2: %3 Hz %4 dB")
                                 .arg(channel)
                                 .arg(s.point + 1)
                                 .arg(number(p.freqHz, p.freqHz < 100 ? 1 : 0), signedDb(p.gainDb));
        // The page's type names; only a peak has a Q.
        if (p.type == static_cast<uint8_t>(EqType::LowShelf)) return text + QStringLiteral(" LS");
        if (p.type == static_cast<uint8_t>(EqType::HighShelf)) return text + QStringLiteral(" HS");
        return text + QStringLiteral(" Q ") + number(p.q, 1);
    };
    if (input) {
        const InputValues& in = values.inputs[index];
        switch (s.code) {
            case param::kGain:
                return tr("%1 增益 %2 dB").arg(channel, signedDb(in.gainDb));
            case param::kMute:
                return in.muted ? tr("%1 静音").arg(channel) : tr("%1 取消静音").arg(channel);
            case param::kEqPoint:
                return eqPoint(in.points.at(static_cast<size_t>(s.point)));
            default:
                return in.eqPass ? tr("%1 EQ 直通").arg(channel) : tr("%1 EQ 开").arg(channel);
        }
    }
    const OutputValues& out = values.outputs[index];
    const auto ms = [&](std::optional<int> v) { return v ? QString::number(*v) : QString("-"); };
    const auto filter = [&](std::string_view type, double hz, bool off) {
        return off ? tr("关") : QString::fromLatin1(type.data(), int(type.size())).simplified() +
                                    QStringLiteral(" ") + number(hz, hz < 100 ? 1 : 0) +
                                    QStringLiteral(" Hz");
    };
    switch (s.code) {
        case param::kInputSelect: {
            QString set;
            for (int i = 0; i < kMaxInputs; ++i)
                if (out.inputSet & (1 << i)) set += QChar(u'A' + i);
            return tr("%1 输入选择 %2").arg(channel, set.isEmpty() ? QStringLiteral("-") : set);
        }
        case param::kGain:
            return tr("%1 增益 %2 dB").arg(channel, signedDb(out.gainDb));
        case param::kMute:
            return out.muted ? tr("%1 静音").arg(channel) : tr("%1 取消静音").arg(channel);
        case param::kPolarity:
            return tr("%1 相位 %2°").arg(channel, out.inverted ? "180" : "0");
        case param::kDelay:
            return tr("%1 延时 %2 ms").arg(channel, number(out.delayMs, 3));
        case param::kLimiterLevel:
            return tr("%1 限幅 %2 dB").arg(channel, signedDb(out.limiterDb));
        case param::kLimiterAttack:
            return tr("%1 启动时间 %2 ms").arg(channel, ms(out.attackMs));
        case param::kLimiterRelease:
            return tr("%1 释放时间 %2 ms").arg(channel, ms(out.releaseMs));
        case param::kEqPoint:
            return eqPoint(out.points.at(static_cast<size_t>(s.point)));
        case param::kHighPass:
            return tr("%1 高通 %2").arg(channel, filter(out.highPassName, out.highPassHz,
                                                          out.highPassOff));
        case param::kLowPass:
            return tr("%1 低通 %2").arg(channel,
                                        filter(out.lowPassName, out.lowPassHz, out.lowPassOff));
        default:
            return out.eqPass ? tr("%1 EQ 直通").arg(channel) : tr("%1 EQ 开").arg(channel);
    }
}

}  // namespace qel
