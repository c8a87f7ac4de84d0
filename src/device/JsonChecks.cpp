// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/JsonChecks.h"

#include "device/GbkText.h"

namespace qel {

namespace {

// A key as a path names it: quoted and escaped when it is empty or holds control characters.
std::string keyText(const std::string& key) {
    if (key.empty()) return jsonString(key);
    for (char c : key)
        if (static_cast<unsigned char>(c) < 0x20) return jsonString(key);
    return key;
}

}  // namespace

std::string JsonChecks::at(const std::string& path, const char* key) {
    return path.empty() ? key : path + "." + key;
}

std::string JsonChecks::at(const std::string& path, qsizetype index) {
    return path + "[" + std::to_string(index) + "]";
}

JsonKind JsonChecks::kindOf(const QJsonValue& v) {
    switch (v.type()) {
        case QJsonValue::Null:
            return JsonKind::Null;
        case QJsonValue::Bool:
            return JsonKind::Bool;
        case QJsonValue::Double:
            return JsonKind::Number;
        case QJsonValue::String:
            return JsonKind::Text;
        case QJsonValue::Array:
            return JsonKind::List;
        case QJsonValue::Object:
            return JsonKind::Object;
        default:
            return JsonKind::Nothing;
    }
}

std::string JsonChecks::plain(double v) {
    return jsonNumber(v, 3, false);
}

void JsonChecks::error(const std::string& path, PresetProblem problem,
                       std::vector<std::string> values) {
    errors.push_back({path, problem, std::move(values)});
}

void JsonChecks::wrongType(const std::string& path, JsonKind expected, const QJsonValue& found) {
    errors.push_back({path, PresetProblem::WrongType, {}, expected, kindOf(found)});
}

bool JsonChecks::keys(const QJsonObject& o, const std::string& path,
                      std::initializer_list<const char*> required,
                      std::initializer_list<const char*> optional) {
    const size_t before = errors.size();
    for (const char* k : required)
        if (!o.contains(QLatin1String(k))) error(at(path, k), PresetProblem::Missing);
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QByteArray k = it.key().toUtf8();
        bool known = false;
        for (auto list : {required, optional})
            for (const char* name : list) known = known || k == name;
        if (!known) error(at(path, keyText(k.toStdString()).c_str()), PresetProblem::UnknownKey);
    }
    return errors.size() == before;
}

std::optional<QJsonObject> JsonChecks::object(const QJsonValue& v, const std::string& path) {
    if (v.isObject()) return v.toObject();
    if (!v.isUndefined()) wrongType(path, JsonKind::Object, v);
    return std::nullopt;
}

std::optional<QJsonArray> JsonChecks::array(const QJsonValue& v, const std::string& path,
                                            qsizetype length) {
    if (v.isUndefined()) return std::nullopt;
    if (!v.isArray()) {
        wrongType(path, JsonKind::List, v);
        return std::nullopt;
    }
    const QJsonArray a = v.toArray();
    if (length >= 0 && a.size() != length) {
        error(path, PresetProblem::WrongCount, {std::to_string(length), std::to_string(a.size())});
        return std::nullopt;
    }
    return a;
}

std::optional<bool> JsonChecks::boolean(const QJsonObject& o, const std::string& path,
                                        const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isBool()) return v.toBool();
    if (!v.isUndefined()) wrongType(at(path, key), JsonKind::Bool, v);
    return std::nullopt;
}

std::optional<std::string> JsonChecks::text(const QJsonObject& o, const std::string& path,
                                            const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isString()) return v.toString().toStdString();
    if (!v.isUndefined()) wrongType(at(path, key), JsonKind::Text, v);
    return std::nullopt;
}

std::optional<double> JsonChecks::number(const QJsonObject& o, const std::string& path,
                                         const char* key, double lo, double hi, double slack,
                                         const char* unit) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined()) return std::nullopt;
    if (!v.isDouble()) {
        wrongType(at(path, key), JsonKind::Number, v);
        return std::nullopt;
    }
    const double d = v.toDouble();
    if (!(d >= lo - slack && d <= hi + slack)) {
        error(at(path, key), PresetProblem::OutOfRange, {plain(d), plain(lo), plain(hi), unit});
        return std::nullopt;
    }
    return d;
}

std::optional<std::string> JsonChecks::gbkText(const std::string& text, const std::string& path,
                                               size_t maxBytes) {
    const GbkName gbk = encodeGbk(text, maxBytes);
    if (text.find('\0') != std::string::npos)
        error(path, PresetProblem::NameHasZero);
    else if (!gbk.ok())
        error(path, PresetProblem::NameNotGbk, {gbk.missing});
    else if (gbk.shortened)
        error(path, PresetProblem::NameTooLong,
              {std::to_string(encodeGbk(text, std::string::npos).bytes.size())});
    else
        return gbk.bytes;
    return std::nullopt;
}

void JsonChecks::formatAndVersion(const QJsonObject& root, std::string_view format, int version) {
    if (auto f = text(root, "", "format"); f && *f != format)
        error("format", PresetProblem::WrongFormat, {std::string(format)});
    if (auto v = number(root, "", "version", 1, 1e9, 0, ""); v && *v != version)
        error("version", PresetProblem::WrongVersion, {plain(*v), std::to_string(version)});
}

}  // namespace qel
