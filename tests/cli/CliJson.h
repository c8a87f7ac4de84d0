// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <string>
#include <type_traits>

namespace qel::test {

// The one JSON document a command printed with --json; an empty object, and a failed
// expectation, when standard output holds anything else.
inline QJsonObject jsonOf(const std::string& out) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n"
                                                     << out;
    EXPECT_TRUE(doc.isObject()) << out;
    return doc.object();
}

// The value at a path of keys and indexes: field(json, "units", 0, "error", "code").
template <typename Step, typename... Rest>
QJsonValue field(const QJsonValue& v, Step step, Rest... rest) {
    QJsonValue next;
    if constexpr (std::is_integral_v<Step>)
        next = v.toArray().at(step);
    else
        next = v.toObject().value(QLatin1String(step));
    if constexpr (sizeof...(rest) == 0)
        return next;
    else
        return field(next, rest...);
}

inline std::string text(const QJsonValue& v) {
    return v.toString().toStdString();
}

}  // namespace qel::test
