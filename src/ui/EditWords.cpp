// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "ui/EditWords.h"

#include "device/ModeImage.h"
#include "device/RecordValues.h"
#include "device/ValueCodes.h"
#include "link/Protocol.h"

namespace qel {

QString EditWords::step(const ParamEdit::Result& edit, const ModeRecord& after, uint32_t model,
                        std::optional<EditHistory::Slot> switchedTo) {
    QString text = switchedTo ? tr("切换到 %1")
                                    .arg(*switchedTo == EditHistory::kA ? QStringLiteral("A")
                                                                        : QStringLiteral("B"))
                              : label(edit.subject, after, model);
    if (edit.origin.kind == ParamEdit::Origin::Kind::Remote)
        text = tr("%1 (远程客户端 %2)").arg(text).arg(edit.origin.client);
    if (edit.origin.kind == ParamEdit::Origin::Kind::Group)
        text = tr("%1 (编组 %2)").arg(text, QString::fromStdString(edit.origin.group));
    if (edit.origin.kind == ParamEdit::Origin::Kind::Osc)
        text = tr("%1 (OSC %2)").arg(text, QString::fromStdString(edit.origin.peer));
    return text;
}

QString EditWords::label(const ParamEdit::Subject& s, const ModeRecord& after, uint32_t model) {
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
        return off ? tr("关")
                   : QString::fromLatin1(type.data(), int(type.size())).simplified() +
                         QStringLiteral(" ") + number(hz, hz < 100 ? 1 : 0) + QStringLiteral(" Hz");
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
            return tr("%1 高通 %2")
                .arg(channel, filter(out.highPassName, out.highPassHz, out.highPassOff));
        case param::kLowPass:
            return tr("%1 低通 %2")
                .arg(channel, filter(out.lowPassName, out.lowPassHz, out.lowPassOff));
        default:
            return out.eqPass ? tr("%1 EQ 直通").arg(channel) : tr("%1 EQ 开").arg(channel);
    }
}

}  // namespace qel
