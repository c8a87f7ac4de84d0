// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>
#include <random>

#include "cli/ErrorText.h"
#include "device/Models.h"
#include "device/ShowFile.h"
#include "support/RandomRecord.h"

namespace qel {
namespace {

std::string allIssues(const std::vector<ShowIssue>& issues) {
    std::string text;
    for (const ShowIssue& i : issues) text += cli::showIssueText(i) + "\n";
    return text;
}

TEST(ShowFile, UnitsComeBackAsWritten) {
    std::mt19937 gen(20260601);
    const ShowTransport transports[] = {ShowTransport::Network, ShowTransport::Serial,
                                        ShowTransport::Virtual};
    // The same name under another model is another unit.
    const char* names[] = {"Left", "Left", "Sub \"B\" \\ 2", "", "Delay Tower 20 chars"};
    for (int run = 0; run < 4; ++run) {
        std::vector<ShowUnit> units;
        for (int i = 0; i < 1 + run; ++i) {
            ShowUnit u;
            u.modelCode = model::kQD206 + static_cast<uint32_t>((run + i) % 3);
            u.name = names[i];
            u.transport = transports[(run + i) % 3];
            u.address = i % 2 ? "/dev/ttyUSB" + std::to_string(i) : "127.0.0." + std::to_string(i);
            u.record = test::randomRecord(u.modelCode, gen);
            units.push_back(u);
        }
        const QByteArray json = showJson(units);
        const ShowRead back = readShowJson(json);
        ASSERT_TRUE(back.ok()) << allIssues(back.errors) << json.toStdString();
        EXPECT_TRUE(back.moved.empty()) << allIssues(back.moved);
        ASSERT_EQ(back.units.size(), units.size());
        for (size_t i = 0; i < units.size(); ++i) {
            EXPECT_EQ(back.units[i].modelCode, units[i].modelCode);
            EXPECT_EQ(back.units[i].name, units[i].name);
            EXPECT_EQ(back.units[i].transport, units[i].transport);
            EXPECT_EQ(back.units[i].address, units[i].address);
            EXPECT_TRUE(back.units[i].record == units[i].record) << "run " << run << " unit " << i;
        }
    }
}

// A show of a QD408 "Left" and a QD206 "Right" with one change applied to its parsed form.
QByteArray edited(const std::function<void(QJsonObject&)>& edit) {
    std::vector<ShowUnit> units(2);
    units[0].modelCode = model::kQD408;
    units[0].name = "Left";
    units[1].modelCode = model::kQD206;
    units[1].name = "Right";
    units[1].transport = ShowTransport::Serial;
    QJsonObject root = QJsonDocument::fromJson(showJson(units)).object();
    edit(root);
    return QJsonDocument(root).toJson();
}

// Sets root.units[index].<key> (settings: root.units[index].settings.<key>).
std::function<void(QJsonObject&)> setUnit(int index, const QString& key, const QJsonValue& v,
                                          bool inSettings = false) {
    return [=](QJsonObject& root) {
        QJsonArray units = root["units"].toArray();
        QJsonObject unit = units[index].toObject();
        if (inSettings) {
            QJsonObject settings = unit["settings"].toObject();
            settings[key] = v;
            unit["settings"] = settings;
        } else if (v.isUndefined()) {
            unit.remove(key);
        } else {
            unit[key] = v;
        }
        units[index] = unit;
        root["units"] = units;
    };
}

TEST(ShowFile, EachErrorNamesItsUnitAndPath) {
    QJsonArray loudGain = QJsonDocument::fromJson(edited([](QJsonObject&) {}))
                              .object()["units"][1]["settings"]["outputs"]
                              .toArray();
    QJsonObject first = loudGain[0].toObject();
    first["gainDb"] = 13;
    loudGain[0] = first;
    struct Case {
        QByteArray json;
        int unit;
        std::string unitName, path;
        PresetProblem problem;
    };
    const Case cases[] = {
        {edited([](QJsonObject&) {}).left(900), -1, "", "(document)", PresetProblem::Syntax},
        {"[]", -1, "", "(document)", PresetProblem::NotAnObject},
        {edited([](QJsonObject& r) { r["venue"] = "Hall"; }), -1, "", "venue",
         PresetProblem::UnknownKey},
        {edited([](QJsonObject& r) { r[QString::fromUtf8("ven\0ue", 6)] = 1; }), -1, "",
         "\"ven\\u0000ue\"", PresetProblem::UnknownKey},
        {edited([](QJsonObject& r) { r[""] = 1; }), -1, "", "\"\"", PresetProblem::UnknownKey},
        {edited([](QJsonObject& r) { r["format"] = "quellmar-preset"; }), -1, "", "format",
         PresetProblem::WrongFormat},
        {edited([](QJsonObject& r) { r["version"] = 3; }), -1, "", "version",
         PresetProblem::WrongVersion},
        {edited([](QJsonObject& r) { r["units"] = QJsonObject(); }), -1, "", "units",
         PresetProblem::WrongType},
        {edited(setUnit(1, "colour", "red")), 1, "Right", "units[1].colour",
         PresetProblem::UnknownKey},
        {edited(setUnit(0, "address", QJsonValue::Undefined)), 0, "Left", "units[0].address",
         PresetProblem::Missing},
        {edited(setUnit(1, "model", "QD810")), 1, "Right", "units[1].model",
         PresetProblem::UnknownModel},
        {edited(setUnit(0, "transport", "usb")), 0, "Left", "units[0].transport",
         PresetProblem::NotOneOf},
        {edited(setUnit(0, "name", "左声道主扩声音箱阵列上层")), 0, "左声道主扩声音箱阵列上层",
         "units[0].name", PresetProblem::NameTooLong},
        {edited(setUnit(1, "model", "QD408")), 1, "Right", "units[1].settings.model",
         PresetProblem::OtherModel},
        {edited(setUnit(1, "outputs", loudGain, true)), 1, "Right",
         "units[1].settings.outputs[0].gainDb", PresetProblem::OutOfRange},
    };
    for (const Case& c : cases) {
        const ShowRead read = readShowJson(c.json);
        ASSERT_FALSE(read.ok()) << c.path;
        EXPECT_TRUE(read.units.empty()) << c.path;
        const ShowIssue& issue = read.errors.front();
        EXPECT_EQ(issue.issue.path, c.path) << allIssues(read.errors);
        EXPECT_EQ(issue.unit, c.unit) << c.path;
        EXPECT_EQ(issue.unitName, c.unitName) << c.path;
        EXPECT_EQ(issue.issue.problem, c.problem) << allIssues(read.errors);
    }
}

std::vector<Group> someGroups() {
    Group mains{"Mains", -6, true, false, 480, {}};
    mains.members = {{"Left", model::kQD408, cmd::outputChannel(8)},
                     {"Right", model::kQD206, cmd::inputChannel(2)}};
    return {mains, Group{"Delays \"2\"", 3, false, true, -96, {}}};
}

TEST(ShowFile, GroupsComeBackAsWritten) {
    const std::vector<Group> groups = someGroups();
    const ShowRead back = readShowJson(showJson({}, groups));
    ASSERT_TRUE(back.ok()) << allIssues(back.errors);
    ASSERT_EQ(back.groups.size(), groups.size());
    for (size_t i = 0; i < groups.size(); ++i) {
        EXPECT_EQ(back.groups[i].name, groups[i].name);
        EXPECT_EQ(back.groups[i].gainSteps, groups[i].gainSteps);
        EXPECT_EQ(back.groups[i].mute, groups[i].mute);
        EXPECT_EQ(back.groups[i].inverted, groups[i].inverted);
        EXPECT_EQ(back.groups[i].delaySamples, groups[i].delaySamples);
        EXPECT_EQ(back.groups[i].members, groups[i].members);
    }
}

TEST(ShowFile, AVersionOneShowStillReadsWithoutGroups) {
    const QByteArray first = edited([](QJsonObject& r) {
        r["version"] = 1;
        r.remove("groups");
    });
    const ShowRead read = readShowJson(first);
    ASSERT_TRUE(read.ok()) << allIssues(read.errors);
    EXPECT_EQ(read.units.size(), 2u);
    EXPECT_TRUE(read.groups.empty());
    const ShowRead withGroups = readShowJson(edited([](QJsonObject& r) { r["version"] = 1; }));
    ASSERT_FALSE(withGroups.ok());
    EXPECT_EQ(withGroups.errors[0].issue.path, "groups");
}

TEST(ShowFile, AGroupsProblemNamesItsGroupAndPath) {
    std::vector<Group> groups = someGroups();
    groups[0].members[1].channel = cmd::outputChannel(7);  // a QD206 has six outputs
    const ShowRead read = readShowJson(showJson({}, groups));
    ASSERT_EQ(read.errors.size(), 1u) << allIssues(read.errors);
    EXPECT_TRUE(read.groups.empty());
    EXPECT_EQ(cli::showIssueText(read.errors[0]),
              "group \"Mains\": groups[0].members[1].channel: a QD206 has no channel out:7");
}

TEST(ShowFile, TheSameNameTwiceUnderOneModelIsRefused) {
    const QByteArray json = edited([](QJsonObject& root) {
        setUnit(1, "name", "Left")(root);
        setUnit(1, "model", "QD408")(root);
        QJsonArray units = root["units"].toArray();
        QJsonObject second = units[1].toObject();
        second["settings"] = units[0].toObject()["settings"];
        units[1] = second;
        root["units"] = units;
    });
    const ShowRead read = readShowJson(json);
    ASSERT_EQ(read.errors.size(), 1u) << allIssues(read.errors);
    EXPECT_EQ(read.errors[0].unit, 1);
    EXPECT_EQ(read.errors[0].issue.problem, PresetProblem::NameTwice);
    EXPECT_EQ(cli::showIssueText(read.errors[0]),
              "unit \"Left\": units[1].name: units[0] is already the QD408 named \"Left\"");
}

TEST(ShowFile, UnitsMatchByNameAndModelWithTheAddressAsTieBreaker) {
    auto unit = [](uint32_t model, const char* name, const char* address) {
        ShowUnit u;
        u.modelCode = model;
        u.name = name;
        u.address = address;
        return u;
    };
    const std::vector<ShowUnit> file = {
        unit(model::kQD408, "Left", "127.0.0.9"), unit(model::kQD408, "Left", "127.0.0.2"),
        unit(model::kQD206, "Left", "127.0.0.3"), unit(model::kQD408, "Right", "127.0.0.4"),
        unit(model::kQD406, "Sub", "127.0.0.5"),  unit(model::kQD408, "Left", "127.0.0.2"),
    };
    const std::vector<ShowCandidate> present = {
        {model::kQD408, "Left", "127.0.0.2"},
        {model::kQD408, "Right               ", "127.0.0.7"},  // as units pad their names
        {model::kQD408, "Left", "127.0.0.6"},
        {model::kQD206, "Left", "127.0.0.8"},
        {model::kQD406, "Sub2", "127.0.0.5"},
    };
    // The first "Left" leaves the one at the second's address to it; a third finds none left.
    EXPECT_EQ(matchShowUnits(file, present), (std::vector<int>{2, 0, 3, 1, -1, -1}));
    EXPECT_EQ(matchShowUnits(file, {}), std::vector<int>(file.size(), -1));
}

}  // namespace
}  // namespace qel
