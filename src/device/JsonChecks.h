// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

#include <array>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "device/PresetJson.h"

namespace qel {

// The checks a JSON document reader makes on each place: the value's kind, the keys of an
// object, names from a list, numbers in a range. Each problem is kept with its path.
class JsonChecks {
public:
    std::vector<PresetIssue> errors;
    std::vector<PresetIssue> moved;

    static std::string at(const std::string& path, const char* key);
    static std::string at(const std::string& path, qsizetype index);
    static JsonKind kindOf(const QJsonValue& v);
    // A number as the issues give it: up to three decimals, no trailing zeros.
    static std::string plain(double v);

    void error(const std::string& path, PresetProblem problem,
               std::vector<std::string> values = {});
    void wrongType(const std::string& path, JsonKind expected, const QJsonValue& found);

    // Every required key present, nothing else but the optional ones.
    bool keys(const QJsonObject& o, const std::string& path,
              std::initializer_list<const char*> required,
              std::initializer_list<const char*> optional = {});
    std::optional<QJsonObject> object(const QJsonValue& v, const std::string& path);
    // A list of length entries (any length when length < 0).
    std::optional<QJsonArray> array(const QJsonValue& v, const std::string& path, qsizetype length);
    std::optional<bool> boolean(const QJsonObject& o, const std::string& path, const char* key);
    std::optional<std::string> text(const QJsonObject& o, const std::string& path, const char* key);
    // A number within lo..hi, each end widened by slack.
    std::optional<double> number(const QJsonObject& o, const std::string& path, const char* key,
                                 double lo, double hi, double slack, const char* unit);
    // One of the names in the list, as its index.
    template <size_t N>
    std::optional<uint8_t> choice(const QJsonObject& o, const std::string& path, const char* key,
                                  const std::array<const char*, N>& names) {
        const auto t = text(o, path, key);
        if (!t) return std::nullopt;
        std::string allowed;
        for (size_t i = 0; i < N; ++i) {
            if (*t == names[i]) return static_cast<uint8_t>(i);
            allowed += std::string(i ? ", " : "") + names[i];
        }
        error(at(path, key), PresetProblem::NotOneOf, {*t, allowed});
        return std::nullopt;
    }
    // The text in GBK when it fits in maxBytes (nothing is cut) and holds no zero.
    std::optional<std::string> gbkText(const std::string& text, const std::string& path,
                                       size_t maxBytes);
    // The document's format name and version.
    void formatAndVersion(const QJsonObject& root, std::string_view format, int version);
};

}  // namespace qel
