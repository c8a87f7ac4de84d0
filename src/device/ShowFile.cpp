// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/ShowFile.h"

#include <array>

#include "device/GbkText.h"
#include "device/JsonChecks.h"
#include "device/Models.h"
#include "device/UnitText.h"

namespace qel {

namespace {

constexpr std::array<const char*, 3> kTransports = {"network", "serial", "virtual"};

// The text with every line after the first moved right by pad.
std::string indented(const QByteArray& text, const std::string& pad) {
    std::string out;
    for (char c : text.trimmed().toStdString()) {
        out += c;
        if (c == '\n') out += pad;
    }
    return out;
}

std::string unitJson(const ShowUnit& u) {
    const std::string pad = "      ";
    const auto transport = static_cast<size_t>(u.transport);
    return "    {\n" + pad + "\"model\": \"" + std::string(modelName(u.modelCode)) + "\",\n" + pad +
           "\"name\": " + jsonString(decodeGbk(unpaddedUnitText(u.name))) + ",\n" + pad +
           "\"transport\": \"" + kTransports[std::min(transport, kTransports.size() - 1)] +
           "\",\n" + pad + "\"address\": " + jsonString(u.address) + ",\n" + pad +
           "\"settings\": " + indented(presetJson(u.record, u.modelCode), pad) + "\n    }";
}

class ShowReader : public JsonChecks {
public:
    ShowRead result;

    void document(const QJsonObject& root);

private:
    void unit(const QJsonValue& v, int index);
    uint32_t model(const QJsonObject& o, const std::string& path);
    void settings(const QJsonValue& v, const std::string& path, ShowUnit& u);
    void nameTwice();
    // Hands the issues found so far to the result as the unit's (-1: the document's).
    void claim(int unit, const std::string& unitName);

    std::vector<std::string> names_;  // each unit's name as the file has it
    std::vector<bool> named_;         // the unit's model and name could be read
};

void ShowReader::document(const QJsonObject& root) {
    // Version 1 has no groups; any other version is refused as the newest one.
    const bool first = root.value("version") == QJsonValue(1);
    if (first)
        keys(root, "", {"format", "version", "units"});
    else
        keys(root, "", {"format", "version", "units", "groups"});
    formatAndVersion(root, kShowFormat, first ? 1 : kShowVersion);
    if (!errors.empty() && errors.back().problem == PresetProblem::WrongVersion)
        errors.back().values.back() = "1, " + std::to_string(kShowVersion);
    claim(-1, {});
    if (const auto list = array(root.value("units"), "units", -1))
        for (int i = 0; i < list->size(); ++i) unit(list->at(i), i);
    claim(-1, {});
    nameTwice();
    if (first || !root.contains("groups")) return;
    result.hasGroups = true;
    std::vector<GroupIssue> issues;
    result.groups = readGroupList(root.value("groups"), issues);
    for (GroupIssue& g : issues)
        result.errors.push_back({-1, {}, std::move(g.issue), g.group, std::move(g.groupName)});
}

void ShowReader::unit(const QJsonValue& v, int index) {
    const std::string path = at("units", index);
    ShowUnit u;
    std::string name;
    bool named = false;
    if (const auto o = object(v, path)) {
        keys(*o, path, {"model", "name", "transport", "address", "settings"});
        if (auto t = choice(*o, path, "transport", kTransports))
            u.transport = static_cast<ShowTransport>(*t);
        if (auto a = text(*o, path, "address")) u.address = *a;
        if (auto n = text(*o, path, "name")) {
            name = *n;
            const auto bytes = gbkText(name, at(path, "name"), kUnitTextSize);
            if (bytes) u.name = *bytes;
            named = bytes.has_value();
        }
        u.modelCode = model(*o, path);
        if (u.modelCode != 0) settings(o->value("settings"), at(path, "settings"), u);
    }
    claim(index, name);
    names_.push_back(name);
    named_.push_back(named && u.modelCode != 0);
    result.units.push_back(std::move(u));
}

uint32_t ShowReader::model(const QJsonObject& o, const std::string& path) {
    const auto name = text(o, path, "model");
    if (!name) return 0;
    const uint32_t code = modelCodeOf(*name);
    if (code == 0) error(at(path, "model"), PresetProblem::UnknownModel, {*name});
    return code;
}

void ShowReader::settings(const QJsonValue& v, const std::string& path, ShowUnit& u) {
    const auto o = object(v, path);
    if (!o) return;
    PresetRead preset = readPresetObject(*o, u.modelCode);
    for (auto [from, to] : {std::pair{&preset.errors, &errors}, std::pair{&preset.moved, &moved}})
        for (PresetIssue& issue : *from) {
            issue.path = at(path, issue.path.c_str());
            to->push_back(std::move(issue));
        }
    u.record = preset.record;
}

void ShowReader::nameTwice() {
    const auto& units = result.units;
    for (size_t j = 0; j < units.size(); ++j)
        for (size_t i = 0; i < j; ++i)
            if (named_[i] && named_[j] && units[i].modelCode == units[j].modelCode &&
                units[i].name == units[j].name) {
                error(at(at("units", static_cast<qsizetype>(j)), "name"), PresetProblem::NameTwice,
                      {names_[j], std::string(modelName(units[j].modelCode)), std::to_string(i)});
                claim(static_cast<int>(j), names_[j]);
                break;
            }
}

void ShowReader::claim(int unit, const std::string& unitName) {
    for (auto [from, to] : {std::pair{&errors, &result.errors}, std::pair{&moved, &result.moved}}) {
        for (PresetIssue& issue : *from) to->push_back({unit, unitName, std::move(issue)});
        from->clear();
    }
}

}  // namespace

QByteArray showJson(const std::vector<ShowUnit>& units, const std::vector<Group>& groups) {
    std::string s = "{\n  \"format\": \"" + std::string(kShowFormat) +
                    "\",\n  \"version\": " + std::to_string(kShowVersion) + ",\n  \"units\": [";
    for (size_t i = 0; i < units.size(); ++i) s += (i ? ",\n" : "\n") + unitJson(units[i]);
    s += units.empty() ? "],\n" : "\n  ],\n";
    s += "  \"groups\": " + groupListJson(groups, "  ") + "\n}\n";
    return QByteArray::fromStdString(s);
}

ShowRead readShowJson(const QByteArray& json) {
    ShowReader reader;
    if (const auto root = jsonRoot(json, reader.errors))
        reader.document(*root);
    else
        for (PresetIssue& issue : reader.errors) reader.result.errors.push_back({-1, {}, issue});
    if (!reader.result.ok()) {
        reader.result.units.clear();
        reader.result.groups.clear();
    }
    return std::move(reader.result);
}

std::vector<int> matchShowUnits(const std::vector<ShowUnit>& file,
                                const std::vector<ShowCandidate>& present) {
    std::vector<int> match(file.size(), -1);
    std::vector<bool> taken(present.size(), false);
    auto same = [](const ShowUnit& f, const ShowCandidate& c) {
        return f.modelCode == c.modelCode && unpaddedUnitText(f.name) == unpaddedUnitText(c.name);
    };
    // Those at their own address first, so that no other file unit takes them.
    for (bool byAddress : {true, false})
        for (size_t i = 0; i < file.size(); ++i)
            for (size_t k = 0; k < present.size() && match[i] < 0; ++k)
                if (!taken[k] && same(file[i], present[k]) &&
                    (!byAddress || file[i].address == present[k].address)) {
                    match[i] = static_cast<int>(k);
                    taken[k] = true;
                }
    return match;
}

}  // namespace qel
