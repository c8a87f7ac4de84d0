// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "ui/MeasurementWords.h"

#include <QStringList>

namespace qel {

namespace {

QString valueAt(const MeasurementError& e, size_t i) {
    return i < e.values.size() ? QString::fromStdString(e.values[i]) : QString();
}

}  // namespace

QString MeasurementWords::text(const MeasurementError& error, const QString& channel) {
    QString words = filter(error, channel);
    if (words.isEmpty()) words = value(error);
    if (words.isEmpty()) words = shape(error, channel);
    return tr("第 %1 行: %2").arg(error.line).arg(words);
}

QString MeasurementWords::filter(const MeasurementError& e, const QString& channel) {
    const QString v0 = valueAt(e, 0);
    switch (e.problem) {
        case MeasurementProblem::BadPreamp:
            return tr("无法读取前置增益 \"%1\"").arg(v0);
        case MeasurementProblem::NoState:
            return tr("滤波器没有写 ON 或 OFF");
        case MeasurementProblem::BadState:
            return tr("应为 ON 或 OFF, 实为 \"%1\"").arg(v0);
        case MeasurementProblem::NoType:
            return tr("滤波器没有类型");
        case MeasurementProblem::UnknownType:
            return tr("未知的滤波器类型 \"%1\" (可用 PK, PEQ, LS, LSC, HS, HSC, HP, HPQ, LP 和 "
                      "LPQ)")
                .arg(v0);
        case MeasurementProblem::UnknownWord:
            return tr("无法读取 \"%1\"").arg(v0);
        case MeasurementProblem::GivenTwice:
            return tr("%1 出现了两次").arg(v0);
        case MeasurementProblem::NoNumber:
            return tr("%1 后面没有数字").arg(v0);
        case MeasurementProblem::TooManyFilters:
            return tr("有 %1 个打开的滤波器, %2 只有 %3 个 EQ 点").arg(v0, channel, valueAt(e, 1));
        default:
            return {};
    }
}

QString MeasurementWords::value(const MeasurementError& e) {
    const QString v0 = valueAt(e, 0), v1 = valueAt(e, 1);
    switch (e.problem) {
        case MeasurementProblem::NoFc:
            return tr("滤波器没有 Fc");
        case MeasurementProblem::NoGain:
            return tr("滤波器没有 Gain");
        case MeasurementProblem::NoQ:
            return tr("%1 滤波器没有 Q").arg(v0);
        case MeasurementProblem::FcOutOfRange:
            return tr("Fc %1 Hz 不在 0 到 %2 Hz 之间").arg(v0, v1);
        case MeasurementProblem::GainOutOfRange:
            return tr("Gain %1 dB 不在 -%2 到 %2 dB 之间").arg(v0, v1);
        case MeasurementProblem::QOutOfRange:
            return tr("Q %1 不在 %2 到 %3 之间").arg(v0, v1, valueAt(e, 2));
        default:
            return {};
    }
}

QString MeasurementWords::list(const MeasurementError& e, size_t from) {
    QStringList names;
    for (size_t i = from; i < e.values.size(); ++i) names << QString::fromStdString(e.values[i]);
    return names.join(QStringLiteral(", "));
}

QString MeasurementWords::shape(const MeasurementError& e, const QString& channel) {
    const QString v0 = valueAt(e, 0), v1 = valueAt(e, 1);
    switch (e.problem) {
        case MeasurementProblem::CannotMake:
            return tr("设备无法实现 \"%1\" 滤波器").arg(v0);
        case MeasurementProblem::CrossoverQ:
            return tr("%1 的 Q 为 %2: 设备的高通和低通只有 Butterworth 12 dB (Q 0.707)")
                .arg(v0, v1);
        case MeasurementProblem::BadSlope:
            return tr("无法读取 %2 的斜率 \"%1\" (LS 和 HS 可用 6dB 或 12dB, LSC 和 HSC 最多 12 "
                      "dB)")
                .arg(v0, v1);
        case MeasurementProblem::SlopeAndQ:
            return tr("%1 滤波器同时给出了斜率和 Q").arg(v0);
        case MeasurementProblem::BandwidthOutOfRange:
            return tr("BW Oct %1 不在 %2 到 %3 之间").arg(v0, v1, valueAt(e, 2));
        case MeasurementProblem::SeveralChannels:
            return tr("滤波器属于多个通道 (%1)").arg(list(e, 0));
        case MeasurementProblem::NoSuchChannel:
            return tr("没有 Channel: 行选择 \"%1\" (文件选择了 %2)").arg(v0, list(e, 1));
        case MeasurementProblem::CrossoverTwice:
            return tr("第二个 %1: 一个输出只有一个高通和一个低通").arg(v0);
        case MeasurementProblem::CrossoverOnInput:
            return tr("%1 是分频滤波器, %2 没有分频滤波器").arg(v0, channel);
        default:
            return {};
    }
}

}  // namespace qel
