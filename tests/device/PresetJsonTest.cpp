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

namespace qel {
namespace {

// A record a unit can hold: the model's channels filled with random values in their ranges,
// everything else zero.
ModeRecord randomRecord(uint32_t model, std::mt19937& gen) {
    auto pick = [&](int lo, int hi) {
        return static_cast<uint8_t>(lo +
                                    static_cast<int>(gen() % static_cast<unsigned>(hi - lo + 1)));
    };
    auto point = [&] { return EqPoint{pick(0, 2), pick(0, 180), pick(0, 255), pick(0, 179)}; };
    ModeRecord r;
    r.setUsed(gen() % 2);
    // Names as the mode files hold them, in GBK: ten Chinese characters fill the 20 bytes.
    static const char* kNames[] = {"", "Festival", "Main \"Hall\" \\ 2", "Bühne Süd",
                                   "十个字的名字正好二十"};
    const GbkName name = r.setName(kNames[gen() % 5]);
    EXPECT_TRUE(name.ok() && !name.shortened);
    r.setDate(2000 + static_cast<int>(gen() % 40), 1 + static_cast<int>(gen() % 12),
              1 + static_cast<int>(gen() % 28));
    for (int i = 0; i < inputCount(model); ++i) {
        InputChannel& in = r.input(i);
        in.setGain(pick(0, 124));
        in.setMute(pick(0, 1));
        in.setEqSwitch(pick(0, 1));
        for (int p = 0; p < InputChannel::kPoints; ++p) in.point(p) = point();
    }
    for (int k = 0; k < outputCount(model); ++k) {
        OutputChannel& out = r.output(k);
        out.setGain(pick(0, 124));
        out.setMute(pick(0, 1));
        out.setEqSwitch(pick(0, 1));
        out.setPolarity(pick(0, 1));
        out.setDelay(static_cast<uint16_t>(gen() % 32737));
        out.setInputSelect(static_cast<uint8_t>(gen() % (1u << inputCount(model))));
        out.setLimiterLevel(pick(0, 60));
        out.setLimiterAttack(pick(0, 11));
        out.setLimiterRelease(pick(0, 12));
        out.setHighPassType(pick(0, 8));
        out.setHighPassFreq(pick(0, 255));
        out.setLowPassType(pick(0, 8));
        out.setLowPassFreq(pick(0, 255));
        for (int p = 0; p < OutputChannel::kPoints; ++p) out.point(p) = point();
    }
    return r;
}

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

}  // namespace
}  // namespace qel
