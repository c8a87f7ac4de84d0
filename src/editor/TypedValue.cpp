// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/TypedValue.h"

#include <QCoreApplication>
#include <charconv>
#include <cmath>
#include <string>

#include "device/FreqTable.h"

namespace qel {

namespace {

// The words of the refusals and limits.
class TypedValueWords {
    Q_DECLARE_TR_FUNCTIONS(TypedValue)

public:
    static QString why(const QString& typed, TypedValue::Problem problem, const QString& unit) {
        switch (problem) {
            case TypedValue::Problem::None:
                break;
            case TypedValue::Problem::Empty:
                return tr("请输入数值");
            case TypedValue::Problem::NotANumber:
                return tr("“%1”不是数值").arg(typed);
            case TypedValue::Problem::OtherUnit:
                return tr("“%1”的单位不对,这里的单位是 %2").arg(typed, unit);
        }
        return {};
    }
    static QString keeps(const QString& why, const QString& shown) {
        return tr("%1;设备保持 %2").arg(why, shown);
    }
    static QString most(const QString& typed, const QString& shown) {
        return tr("%1 → %2,设备可取的最大值").arg(typed, shown);
    }
    static QString least(const QString& typed, const QString& shown) {
        return tr("%1 → %2,设备可取的最小值").arg(typed, shown);
    }
};

// The unit words a box of unit takes after its number, lower case.
QStringList unitWords(ValueUnit unit) {
    switch (unit) {
        case ValueUnit::Decibel:
            return {QStringLiteral("db")};
        case ValueUnit::Hertz:
            return {QStringLiteral("hz")};
        case ValueUnit::Millisecond:
            return {QStringLiteral("ms")};
        case ValueUnit::Metre:
            return {QStringLiteral("m"), QStringLiteral("mt")};
        case ValueUnit::Foot:
            return {QStringLiteral("ft")};
        case ValueUnit::None:
            break;
    }
    return {};
}

QString unitName(ValueUnit unit) {
    switch (unit) {
        case ValueUnit::Decibel:
            return QStringLiteral("dB");
        case ValueUnit::Hertz:
            return QStringLiteral("Hz");
        case ValueUnit::Millisecond:
            return QStringLiteral("ms");
        case ValueUnit::Metre:
            return QStringLiteral("mt");
        case ValueUnit::Foot:
            return QStringLiteral("ft");
        case ValueUnit::None:
            break;
    }
    return {};
}

}  // namespace

TypedValue readTypedValue(const QString& text, ValueUnit unit) {
    using P = TypedValue::Problem;
    const QString t = text.trimmed();
    if (t.isEmpty()) return {0, P::Empty};
    qsizetype i = 0;
    bool negative = false;
    if (t[i] == u'+' || t[i] == u'-' || t[i] == QChar(0x2212)) negative = t[i++] != u'+';
    std::string number;
    bool point = false, digits = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            number += static_cast<char>(c.unicode());
            digits = true;
        } else if ((c == u'.' || c == u',') && !point) {
            point = true;
            number += '.';
        } else {
            break;
        }
    }
    if (!digits) return {0, P::NotANumber};
    double value = 0;
    const char* end = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(number.data(), end, value, std::chars_format::fixed);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return {0, P::NotANumber};
    QString rest = t.mid(i).trimmed().toLower();
    if (unit == ValueUnit::Hertz && rest.startsWith(u'k')) {
        value *= 1000;
        rest = rest.mid(1).trimmed();
    }
    if (!rest.isEmpty() && !unitWords(unit).contains(rest)) {
        // Another unit's word after a good number is a wrong unit; anything else no number.
        static const QStringList anyUnit{QStringLiteral("db"),  QStringLiteral("hz"),
                                         QStringLiteral("khz"), QStringLiteral("ms"),
                                         QStringLiteral("s"),   QStringLiteral("m"),
                                         QStringLiteral("mt"),  QStringLiteral("ft")};
        const bool otherUnit = unit != ValueUnit::None && anyUnit.contains(rest);
        return {0, otherUnit ? P::OtherUnit : P::NotANumber};
    }
    return {negative ? -value : value, P::None};
}

QString refusalText(const QString& typed, const TypedValue& reading, ValueUnit unit,
                    const QString& shown) {
    if (reading.ok()) return {};
    const QString why = TypedValueWords::why(typed.trimmed(), reading.problem, unitName(unit));
    return TypedValueWords::keeps(why, shown);
}

QString limitText(const QString& typed, double value, double lo, double hi, const QString& shown) {
    if (value > hi) return TypedValueWords::most(typed.trimmed(), shown);
    if (value < lo) return TypedValueWords::least(typed.trimmed(), shown);
    return {};
}

QString signedDbText(double db) {
    const double shown = std::round(db * 10.0) / 10.0;
    return QString::asprintf("%+.1f dB", shown == 0 ? 0.0 : db);
}

QString freqText(uint8_t code) {
    const double hz = FreqTable[code];
    return QString::asprintf(hz < 100 ? "%.1f Hz" : "%.0f Hz", hz);
}

}  // namespace qel
