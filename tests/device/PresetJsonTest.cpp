// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <random>

#include "cli/ErrorText.h"
#include "device/Models.h"
#include "device/PresetJson.h"
#include "device/ValueCodes.h"
#include "support/RandomRecord.h"

namespace qel {
namespace {

using test::randomRecord;

TEST(PresetJson, EveryRecordAUnitCanHoldComesBackExactly) {
    std::mt19937 gen(20240517);
    for (int run = 0; run < 600; ++run) {
        const uint32_t model = model::kQD206 + static_cast<uint32_t>(run % 3);
        const ModeRecord record = randomRecord(model, gen);
        const QByteArray json = presetJson(record, model, run % 2 ? "Main Stage" : "");
        const PresetRead back = readPresetJson(json, model);
        ASSERT_TRUE(back.ok()) << cli::presetIssueText(back.errors[0]) << "\n"
                               << json.toStdString();
        EXPECT_TRUE(back.moved.empty()) << cli::presetIssueText(back.moved[0]);
        EXPECT_EQ(back.modelCode, model);
        ASSERT_TRUE(back.record == record) << "run " << run << "\n" << json.toStdString();
    }
}

// A QD206 preset with one change applied to its parsed form.
QByteArray edited(const std::function<void(QJsonObject&)>& edit) {
    ModeRecord r;
    r.output(1).setHighPassFreq(40);
    QJsonObject root = QJsonDocument::fromJson(presetJson(r, model::kQD206)).object();
    edit(root);
    return QJsonDocument(root).toJson();
}

// Sets root.outputs[1].<key>.<inner> (inner empty: root.outputs[1].<key>).
void setOutput(QJsonObject& root, const char* key, const char* inner, const QJsonValue& v) {
    QJsonArray outs = root["outputs"].toArray();
    QJsonObject out = outs[1].toObject();
    if (*inner) {
        QJsonObject o = out[key].toObject();
        o[inner] = v;
        out[key] = o;
    } else {
        out[key] = v;
    }
    outs[1] = out;
    root["outputs"] = outs;
}

void setPoint(QJsonObject& root, const char* key, const QJsonValue& v) {
    QJsonArray ins = root["inputs"].toArray();
    QJsonObject in = ins[0].toObject();
    QJsonObject eq = in["eq"].toObject();
    QJsonArray points = eq["points"].toArray();
    QJsonObject p = points[6].toObject();
    p[key] = v;
    points[6] = p;
    eq["points"] = points;
    in["eq"] = eq;
    ins[0] = in;
    root["inputs"] = ins;
}

TEST(PresetJson, EachErrorNamesItsPath) {
    struct Case {
        std::function<void(QJsonObject&)> edit;
        std::string path, words;
    };
    const std::vector<Case> cases = {
        {[](QJsonObject& r) { setPoint(r, "gainDb", 13.0); }, "inputs[0].eq.points[6].gainDb",
         "outside -24 .. 12 dB"},
        {[](QJsonObject& r) { setPoint(r, "q", "wide"); }, "inputs[0].eq.points[6].q",
         "expected a number"},
        {[](QJsonObject& r) { setPoint(r, "type", "notch"); }, "inputs[0].eq.points[6].type",
         "not one of peak"},
        {[](QJsonObject& r) { setPoint(r, "bandwidth", 1); }, "inputs[0].eq.points[6].bandwidth",
         "unknown key"},
        {[](QJsonObject& r) { setOutput(r, "gainDb", "", 12.5); }, "outputs[1].gainDb",
         "outside -50 .. 12 dB"},
        {[](QJsonObject& r) { setOutput(r, "delay", "samples", 960.5); },
         "outputs[1].delay.samples", "whole number"},
        {[](QJsonObject& r) { setOutput(r, "delay", "ms", 30.0); }, "outputs[1].delay", "disagree"},
        {[](QJsonObject& r) {
             setOutput(r, "routing", "", QJsonArray{"A", "C"});
         },
         "outputs[1].routing[1]", "from A to B"},
        {[](QJsonObject& r) { setOutput(r, "limiter", "attackMs", 500); },
         "outputs[1].limiter.attackMs", "outside 1 .. 90 ms"},
        {[](QJsonObject& r) { setOutput(r, "highPass", "shape", "brickwall"); },
         "outputs[1].highPass.shape", "linkwitz-riley-24"},
        {[](QJsonObject& r) { setOutput(r, "lowPass", "frequencyHz", 21513); },
         "outputs[1].lowPass.frequencyHz", "off"},
        {[](QJsonObject& r) { setOutput(r, "mute", "", 1); }, "outputs[1].mute",
         "expected true or false"},
        {[](QJsonObject& r) { r.remove("date"); }, "date", "missing"},
        {[](QJsonObject& r) { r["model"] = "QD408"; }, "model", "the target is a QD206"},
        {[](QJsonObject& r) { r["outputs"] = QJsonArray{}; }, "outputs",
         "expected 6 entries, found 0"},
        {[](QJsonObject& r) { r["version"] = 2; }, "version", "not one this program reads"},
        {[](QJsonObject& r) { r["name"] = "Stage 🎤"; }, "name", "GBK, which has no code for 🎤"},
        {[](QJsonObject& r) { r["name"] = "十一个字的名字超过二十"; }, "name",
         "at most 20 bytes in GBK, found 22"},
    };
    for (const Case& c : cases) {
        const PresetRead read = readPresetJson(edited(c.edit), model::kQD206);
        ASSERT_EQ(read.errors.size(), 1u)
            << c.path << (read.errors.empty() ? "" : ": " + cli::presetIssueText(read.errors[1]));
        EXPECT_EQ(read.errors[0].path, c.path) << cli::presetIssueText(read.errors[0]);
        EXPECT_NE(cli::presetIssueText(read.errors[0]).find(c.words), std::string::npos)
            << cli::presetIssueText(read.errors[0]);
    }
    const PresetRead broken = readPresetJson("{\n  \"format\": \"quellmar-preset\",\n  oops\n}", 0);
    ASSERT_EQ(broken.errors.size(), 1u);
    EXPECT_NE(cli::presetIssueText(broken.errors[0]).find("line 3"), std::string::npos)
        << cli::presetIssueText(broken.errors[0]);
}

TEST(PresetJson, ValuesAreQuantisedAndBigMovesListed) {
    const QByteArray json = edited([](QJsonObject& r) {
        setPoint(r, "frequencyHz", 10.0);  // below the table: becomes 19.8 Hz
        setPoint(r, "gainDb", -3.05);      // rounds to -3.0 / -3.2 within half a step
        setOutput(r, "delay", "", QJsonObject{{"ms", 10.0}});
        setOutput(r, "limiter", "releaseMs", 450);
    });
    const PresetRead read = readPresetJson(json, model::kQD206);
    ASSERT_TRUE(read.ok()) << cli::presetIssueText(read.errors[0]);
    ASSERT_EQ(read.moved.size(), 1u);
    EXPECT_EQ(cli::presetIssueText(read.moved[0]),
              "inputs[0].eq.points[6].frequencyHz: 10 Hz became 19.8 Hz");
    EXPECT_EQ(read.record.input(0).point(6).freq, 0);
    EXPECT_EQ(read.record.input(0).point(6).gain, QuantizeEqGain(-3.05).code);
    EXPECT_EQ(read.record.output(1).delay(), 480);
    EXPECT_EQ(read.record.output(1).limiterRelease(), 6);  // 400 ms: the nearer, lower entry
}

// Each setting read alone from its channel's object, as a remote edit reads it, gives what
// the whole document gives: the same record, or the same problems at the same paths.
TEST(PresetJson, ASettingReadAloneIsReadAsInTheWholeDocument) {
    struct Case {
        bool input;
        std::string key;
        int point;
        QJsonValue value;
    };
    const QJsonObject point{
        {"type", "low-shelf"}, {"frequencyHz", 1234}, {"gainDb", -7.1}, {"q", 2.2}};
    const std::vector<Case> cases = {
        {false, "gainDb", -1, -3.3},
        {false, "gainDb", -1, 12.5},
        {false, "gainDb", -1, "loud"},
        {true, "gainDb", -1, -49.0},
        {true, "mute", -1, true},
        {false, "mute", -1, 1},
        {false, "polarity", -1, "inverted"},
        {false, "polarity", -1, "upside"},
        {false, "delay", -1, QJsonObject{{"ms", 10.0}}},
        {false, "delay", -1, QJsonObject{{"samples", 960.5}}},
        {false, "delay", -1, QJsonObject{{"ms", 30.0}, {"samples", 5}}},
        {false, "delay", -1, QJsonObject{}},
        {false, "routing", -1, QJsonArray{"A", "B"}},
        {false, "routing", -1, QJsonArray{"A", "A"}},
        {false, "routing", -1, QJsonArray{"Z"}},
        {false, "limiter", -1,
         QJsonObject{{"thresholdDb", 3}, {"attackMs", 5}, {"releaseMs", 450}}},
        {false, "limiter", -1, QJsonObject{{"thresholdDb", 3}}},
        {false, "limiter", -1,
         QJsonObject{{"thresholdDb", 3}, {"attackMs", 500}, {"releaseMs", 10}}},
        {false, "highPass", -1, QJsonObject{{"shape", "bessel-24"}, {"frequencyHz", "off"}}},
        {false, "highPass", -1, QJsonObject{{"shape", "brickwall"}, {"frequencyHz", 100}}},
        {false, "lowPass", -1, QJsonObject{{"shape", "bessel-24"}, {"frequencyHz", 21513}}},
        {false, "eq", -1, false},
        {true, "eq", -1, "yes"},
        {false, "eq", 9, point},
        {true, "eq", 14, point},
        {true, "eq", 2,
         QJsonObject{{"type", "peak"}, {"frequencyHz", 10}, {"gainDb", 13}, {"q", 1}}},
        {false, "eq", 0, QJsonObject{{"type", "peak"}, {"frequencyHz", 100}, {"gainDb", 1}}},
    };
    std::mt19937 gen(7);
    for (uint32_t model : {model::kQD206, model::kQD406, model::kQD408}) {
        const ModeRecord record = randomRecord(model, gen);
        for (const Case& c : cases) {
            QJsonObject root = QJsonDocument::fromJson(presetJson(record, model)).object();
            const char* list = c.input ? "inputs" : "outputs";
            const int index = (c.input ? inputCount(model) : outputCount(model)) - 1;
            QJsonArray channels = root[list].toArray();
            QJsonObject channel = channels[index].toObject();
            if (c.key != "eq") {
                channel[QString::fromStdString(c.key)] = c.value;
            } else {
                QJsonObject eq = channel["eq"].toObject();
                QJsonArray points = eq["points"].toArray();
                if (c.point < 0) eq["on"] = c.value;
                if (c.point >= 0) points[c.point] = c.value;
                eq["points"] = points;
                channel["eq"] = eq;
            }
            channels[index] = channel;
            root[list] = channels;
            const PresetRead whole = readPresetJson(QJsonDocument(root).toJson(), model);
            const PresetRead alone =
                readPresetSetting(channel, {c.input, index, c.key, c.point}, record, model);
            const std::string where = std::string(list) + " " + c.key;
            ASSERT_EQ(alone.errors.size(), whole.errors.size()) << where;
            for (size_t i = 0; i < whole.errors.size(); ++i)
                EXPECT_EQ(cli::presetIssueText(alone.errors[i]),
                          cli::presetIssueText(whole.errors[i]));
            ASSERT_EQ(alone.moved.size(), whole.moved.size()) << where;
            if (whole.ok()) {
                EXPECT_TRUE(alone.record == whole.record) << where;
            }
        }
    }
}

}  // namespace
}  // namespace qel
