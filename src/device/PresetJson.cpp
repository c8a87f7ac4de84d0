// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/PresetJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <optional>

#include "device/FreqTable.h"
#include "device/GbkText.h"
#include "device/InputSelect.h"
#include "device/JsonChecks.h"
#include "device/Models.h"
#include "device/ValueCodes.h"

namespace qel {

namespace {

constexpr std::array<const char*, 3> kEqTypes = {"peak", "low-shelf", "high-shelf"};
constexpr std::array<const char*, kCrossoverTypeCount> kShapes = {
    "butterworth-12", "butterworth-24",    "butterworth-36",    "bessel-12",         "bessel-24",
    "bessel-36",      "linkwitz-riley-12", "linkwitz-riley-24", "linkwitz-riley-36",
};
// What the unit holds: gain codes 0..124 (-50..+12 dB), limiter codes 0..60 (-10..+20 dB),
// delays up to 32736 samples (682 ms).
constexpr uint8_t kLimiterCodeMax = 60;
constexpr uint16_t kDelayMax = kDelaySamplesMax;
// Frequencies are read up to half the unit's sampling rate; the table ends lower.
constexpr double kFrequencyMax = 24000.0;

}  // namespace

// ---- writing ----

std::string jsonNumber(double v, int decimals, bool keepOneDecimal) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    std::string s = text;
    if (s == "-0" || s.rfind("-0.", 0) == 0) {  // no negative zero
        bool zero = s.find_first_not_of("-0.") == std::string::npos;
        if (zero) s.erase(0, 1);
    }
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') {
            if (keepOneDecimal)
                s += '0';
            else
                s.pop_back();
        }
    }
    return s;
}

std::string jsonString(std::string_view text) {
    // Names may hold any bytes: valid UTF-8 goes as it is, anything else byte by byte.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString decoded = utf8(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    if (utf8.hasError())
        decoded = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    const QByteArray bytes = decoded.toUtf8();
    std::string out = "\"";
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", u);
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

namespace {

std::string db(double v) {
    return jsonNumber(v, 1, true);
}
std::string hz(uint8_t code) {
    return jsonNumber(static_cast<double>(FreqTable[code]), 1, false);
}

std::string pointJson(const EqPoint& e) {
    const char* type = e.type < kEqTypes.size() ? kEqTypes[e.type] : kEqTypes[0];
    return std::string("{\"type\": \"") + type + "\", \"frequencyHz\": " + hz(e.freq) +
           ", \"gainDb\": " + db(eqGainDb(e.gain)) + ", \"q\": " + db(eqQ(e.q)) + "}";
}

template <typename Channel>
std::string eqJson(const Channel& ch, int points, const std::string& pad) {
    // The switch byte is the unit's "EQ pass": 0 means the EQ works on the signal.
    std::string s = "{\n" + pad + "  \"on\": " + (ch.eqSwitch() ? "false" : "true") + ",\n" + pad +
                    "  \"points\": [\n";
    for (int p = 0; p < points; ++p)
        s += pad + "    " + pointJson(ch.point(p)) + (p + 1 < points ? ",\n" : "\n");
    return s + pad + "  ]\n" + pad + "}";
}

std::string filterJson(uint8_t type, uint8_t freq, bool off) {
    return std::string("{\"shape\": \"") + kShapes[clampCrossoverType(type)] +
           "\", \"frequencyHz\": " + (off ? std::string("\"off\"") : hz(freq)) + "}";
}

std::string inputJson(const InputChannel& in, int index) {
    const std::string pad = "      ";
    return "    {\n" + pad + "\"input\": \"" + static_cast<char>('A' + index) + "\",\n" + pad +
           "\"gainDb\": " + db(gainDb(in.gain())) + ",\n" + pad +
           "\"mute\": " + (in.mute() ? "true" : "false") + ",\n" + pad +
           "\"eq\": " + eqJson(in, InputChannel::kPoints, pad) + "\n    }";
}

std::string outputJson(const OutputChannel& out, int index, int inputs) {
    const std::string pad = "      ";
    std::string routing;
    for (int i = 0; i < inputs; ++i)
        if (out.inputSelect() & (1u << i))
            routing +=
                std::string(routing.empty() ? "" : ", ") + "\"" + static_cast<char>('A' + i) + "\"";
    const auto attack = std::size(kLimiterAttackMs), release = std::size(kLimiterReleaseMs);
    const int attackMs = kLimiterAttackMs[std::min<size_t>(out.limiterAttack(), attack - 1)];
    const int releaseMs = kLimiterReleaseMs[std::min<size_t>(out.limiterRelease(), release - 1)];
    return "    {\n" + pad + "\"output\": " + std::to_string(index + 1) + ",\n" + pad +
           "\"gainDb\": " + db(gainDb(out.gain())) + ",\n" + pad +
           "\"mute\": " + (out.mute() ? "true" : "false") + ",\n" + pad +
           "\"polarity\": " + (out.polarity() ? "\"inverted\"" : "\"normal\"") + ",\n" + pad +
           "\"delay\": {\"ms\": " + jsonNumber(delayMs(out.delay()), 3, true) +
           ", \"samples\": " + std::to_string(out.delay()) + "},\n" + pad + "\"routing\": [" +
           routing + "],\n" + pad +
           "\"limiter\": {\"thresholdDb\": " + db(limiterLevelDb(out.limiterLevel())) +
           ", \"attackMs\": " + std::to_string(attackMs) +
           ", \"releaseMs\": " + std::to_string(releaseMs) + "},\n" + pad +
           "\"eq\": " + eqJson(out, OutputChannel::kPoints, pad) + ",\n" + pad + "\"highPass\": " +
           filterJson(out.highPassType(), out.highPassFreq(),
                      out.highPassFreq() == kHighPassOffCode) +
           ",\n" + pad + "\"lowPass\": " +
           filterJson(out.lowPassType(), out.lowPassFreq(), out.lowPassFreq() == kLowPassOffCode) +
           "\n    }";
}

// ---- reading ----

// The code of the nearest entry of an ascending list, and half the gap to the neighbour on
// the value's side (the gap of the end pair past either end).
template <typename T>
std::pair<uint8_t, double> nearestEntry(const T* list, size_t n, double v) {
    size_t best = 0;
    for (size_t i = 1; i < n; ++i)
        if (std::fabs(v - static_cast<double>(list[i])) <
            std::fabs(v - static_cast<double>(list[best])))
            best = i;
    const double found = static_cast<double>(list[best]);
    size_t other = v >= found ? best + 1 : (best > 0 ? best - 1 : 1);
    if (other >= n) other = n - 2;
    return {static_cast<uint8_t>(best), std::fabs(static_cast<double>(list[other]) - found) / 2};
}

class Reader : public JsonChecks {
public:
    PresetRead result;

    // Stepped values: the code of the nearest step.
    std::optional<uint8_t> stepped(const QJsonObject& o, const std::string& path, const char* key,
                                   double lo, double step, uint8_t maxCode, const char* unit) {
        const auto d = number(o, path, key, lo, lo + step * maxCode, step / 2, unit);
        if (!d) return std::nullopt;
        return static_cast<uint8_t>(std::clamp(std::lround((*d - lo) / step), 0L, long{maxCode}));
    }
    // A value from an ascending list (attack and release times, the frequency table).
    template <typename T>
    std::optional<uint8_t> listed(const QJsonObject& o, const std::string& path, const char* key,
                                  const T* list, size_t n, double lo, double hi, const char* unit) {
        const auto d = number(o, path, key, lo, hi, 0, unit);
        if (!d) return std::nullopt;
        const auto [code, halfStep] = nearestEntry(list, n, *d);
        const double got = static_cast<double>(list[code]);
        if (std::fabs(got - *d) > halfStep + 1e-9)
            moved.push_back({at(path, key),
                             PresetProblem::Moved,
                             {plain(*d), unit, jsonNumber(got, 1, false)}});
        return code;
    }
    std::optional<uint8_t> frequency(const QJsonObject& o, const std::string& path,
                                     const char* key) {
        return listed(o, path, key, FreqTable.data(), FreqTable.size(), 1.0, kFrequencyMax, "Hz");
    }

    void point(const QJsonValue& v, const std::string& path, EqPoint& e);
    void eq(const QJsonValue& v, const std::string& path, EqPoint* points, int count,
            uint8_t& eqSwitch);
    // One point of a channel's EQ (-1: the switch), the rest of the EQ left alone.
    template <typename Channel>
    void eqSetting(const QJsonObject& o, const std::string& path, int point, Channel& ch);
    void filter(const QJsonValue& v, const std::string& path, bool highPass, OutputChannel& out);
    void delay(const QJsonObject& o, const std::string& path, OutputChannel& out);
    void routing(const QJsonObject& o, const std::string& path, int inputs, OutputChannel& out);
    void limiter(const QJsonObject& o, const std::string& path, OutputChannel& out);
    // A channel's setting other than its EQ, by its key in the channel's object o at path;
    // false for a key that names none.
    bool inputValue(const QJsonObject& o, const std::string& path, std::string_view key,
                    InputChannel& in);
    bool outputValue(const QJsonObject& o, const std::string& path, std::string_view key,
                     int inputs, OutputChannel& out);
    void input(const QJsonValue& v, const std::string& path, int index, InputChannel& in);
    void output(const QJsonValue& v, const std::string& path, int index, int inputs,
                OutputChannel& out);
    void setting(const QJsonObject& channel, const PresetSetting& s, uint32_t model);
    void document(const QJsonObject& root, uint32_t expectedModel);

    // The name goes into the record in GBK, as the mode files hold it; nothing is cut.
    void name(const std::string& text, ModeRecord& r) {
        if (auto bytes = gbkText(text, "name", ModeRecord::kMaxNameLength)) r.setNameBytes(*bytes);
    }
};

void Reader::point(const QJsonValue& v, const std::string& path, EqPoint& e) {
    const auto po = object(v, path);
    if (!po || !keys(*po, path, {"type", "frequencyHz", "gainDb", "q"})) return;
    if (auto t = choice(*po, path, "type", kEqTypes)) e.type = *t;
    if (auto f = frequency(*po, path, "frequencyHz")) e.freq = *f;
    if (auto g = number(*po, path, "gainDb", -24.0, 12.0, 0.1, "dB"))
        e.gain = QuantizeEqGain(*g).code;
    if (auto q = number(*po, path, "q", 0.2, 36.0, 0.1, "")) e.q = QuantizeQ(*q).code;
}

void Reader::eq(const QJsonValue& v, const std::string& path, EqPoint* points, int count,
                uint8_t& eqSwitch) {
    const auto o = object(v, path);
    if (!o || !keys(*o, path, {"on", "points"})) return;
    if (auto b = boolean(*o, path, "on")) eqSwitch = *b ? 0 : 1;  // EQ on: the pass byte is 0
    const std::string listPath = at(path, "points");
    const auto list = array(o->value("points"), listPath, count);
    if (!list) return;
    for (int p = 0; p < count; ++p) point(list->at(p), at(listPath, p), points[p]);
}

template <typename Channel>
void Reader::eqSetting(const QJsonObject& o, const std::string& path, int p, Channel& ch) {
    const std::string ep = at(path, "eq");
    const auto e = object(o.value("eq"), ep);
    if (!e) return error(ep, PresetProblem::Missing);
    if (p < 0) {
        if (auto b = boolean(*e, ep, "on")) ch.setEqSwitch(*b ? 0 : 1);
        return;
    }
    const std::string listPath = at(ep, "points");
    const auto list = array(e->value("points"), listPath, Channel::kPoints);
    if (!list) return;
    if (p >= Channel::kPoints) return error(at(listPath, p), PresetProblem::Missing);
    point(list->at(p), at(listPath, p), ch.point(p));
}

void Reader::filter(const QJsonValue& v, const std::string& path, bool highPass,
                    OutputChannel& out) {
    const auto o = object(v, path);
    if (!o || !keys(*o, path, {"shape", "frequencyHz"})) return;
    const auto shape = choice(*o, path, "shape", kShapes);
    int freq = -1;  // none when it cannot be read
    const uint8_t offCode = highPass ? kHighPassOffCode : kLowPassOffCode;
    if (o->value("frequencyHz").isString()) {
        if (o->value("frequencyHz").toString() == QLatin1String("off"))
            freq = offCode;
        else
            error(at(path, "frequencyHz"), PresetProblem::NumberOrOff);
    } else if (const auto f = frequency(*o, path, "frequencyHz")) {
        if (*f == offCode)
            error(at(path, "frequencyHz"), PresetProblem::OffFrequency, {hz(offCode)});
        else
            freq = *f;
    }
    if (shape) (highPass ? out.setHighPassType(*shape) : out.setLowPassType(*shape));
    if (freq >= 0) {
        const auto code = static_cast<uint8_t>(freq);
        highPass ? out.setHighPassFreq(code) : out.setLowPassFreq(code);
    }
}

bool Reader::inputValue(const QJsonObject& o, const std::string& path, std::string_view key,
                        InputChannel& in) {
    if (key == "gainDb") {
        if (auto g = stepped(o, path, "gainDb", -50.0, 0.5, kGainCodeMax, "dB")) in.setGain(*g);
    } else if (key == "mute") {
        if (auto m = boolean(o, path, "mute")) in.setMute(*m ? 1 : 0);
    } else {
        return false;
    }
    return true;
}

void Reader::input(const QJsonValue& v, const std::string& path, int index, InputChannel& in) {
    const auto o = object(v, path);
    if (!o || !keys(*o, path, {"input", "gainDb", "mute", "eq"})) return;
    const std::string letter(1, static_cast<char>('A' + index));
    if (auto t = text(*o, path, "input"); t && *t != letter)
        error(at(path, "input"), PresetProblem::WrongLetter, {letter, *t});
    for (const char* key : {"gainDb", "mute"}) inputValue(*o, path, key, in);
    EqPoint points[InputChannel::kPoints] = {};
    uint8_t eqSwitch = 0;
    eq(o->value("eq"), at(path, "eq"), points, InputChannel::kPoints, eqSwitch);
    for (int p = 0; p < InputChannel::kPoints; ++p) in.point(p) = points[p];
    in.setEqSwitch(eqSwitch);
}

void Reader::delay(const QJsonObject& o, const std::string& path, OutputChannel& out) {
    const std::string dp = at(path, "delay");
    const auto d = object(o.value("delay"), dp);
    if (!d || !keys(*d, dp, {}, {"ms", "samples"})) return;
    const auto ms = number(*d, dp, "ms", 0, kDelayMax / kSamplesPerMs, 0.5 / kSamplesPerMs, "ms");
    const auto samples = number(*d, dp, "samples", 0, kDelayMax, 0, "samples");
    if (samples && *samples != std::floor(*samples))
        error(at(dp, "samples"), PresetProblem::NotWhole);
    else if (samples && ms && std::fabs(*ms * kSamplesPerMs - *samples) > 0.5)
        error(dp, PresetProblem::DelayDisagrees);
    else if (samples)
        out.setDelay(static_cast<uint16_t>(*samples));
    else if (ms)
        out.setDelay(std::min(delaySamples(*ms), kDelayMax));
    else if (!d->contains("ms") && !d->contains("samples"))
        error(dp, PresetProblem::DelayMissing);
}

void Reader::routing(const QJsonObject& o, const std::string& path, int inputs,
                     OutputChannel& out) {
    const std::string rp = at(path, "routing");
    const auto r = array(o.value("routing"), rp, -1);
    if (!r) return;
    uint8_t set = 0;
    for (qsizetype i = 0; i < r->size(); ++i) {
        const QString s = r->at(i).toString();
        const int bit = s.size() == 1 ? s[0].unicode() - 'A' : -1;
        if (!r->at(i).isString() || bit < 0 || bit >= inputs)
            error(at(rp, i), PresetProblem::NotAnInput,
                  {std::string(1, static_cast<char>('A' + inputs - 1))});
        else if (set & (1u << bit))
            error(at(rp, i), PresetProblem::InputTwice, {s.toStdString()});
        else
            set = static_cast<uint8_t>(set | (1u << bit));
    }
    out.setInputSelect(set);
}

void Reader::limiter(const QJsonObject& o, const std::string& path, OutputChannel& out) {
    const std::string lp = at(path, "limiter");
    const auto l = object(o.value("limiter"), lp);
    if (!l || !keys(*l, lp, {"thresholdDb", "attackMs", "releaseMs"})) return;
    if (auto c = stepped(*l, lp, "thresholdDb", -10.0, 0.5, kLimiterCodeMax, "dB"))
        out.setLimiterLevel(*c);
    if (auto a =
            listed(*l, lp, "attackMs", kLimiterAttackMs, std::size(kLimiterAttackMs), 1, 90, "ms"))
        out.setLimiterAttack(*a);
    if (auto r = listed(*l, lp, "releaseMs", kLimiterReleaseMs, std::size(kLimiterReleaseMs), 10,
                        1000, "ms"))
        out.setLimiterRelease(*r);
}

bool Reader::outputValue(const QJsonObject& o, const std::string& path, std::string_view key,
                         int inputs, OutputChannel& out) {
    static constexpr std::array<const char*, 2> kPolarity = {"normal", "inverted"};
    if (key == "gainDb") {
        if (auto g = stepped(o, path, "gainDb", -50.0, 0.5, kGainCodeMax, "dB")) out.setGain(*g);
    } else if (key == "mute") {
        if (auto m = boolean(o, path, "mute")) out.setMute(*m ? 1 : 0);
    } else if (key == "polarity") {
        if (auto p = choice(o, path, "polarity", kPolarity)) out.setPolarity(*p);
    } else if (key == "delay") {
        delay(o, path, out);
    } else if (key == "routing") {
        routing(o, path, inputs, out);
    } else if (key == "limiter") {
        limiter(o, path, out);
    } else if (key == "highPass" || key == "lowPass") {
        const std::string k(key);
        filter(o.value(QLatin1String(k.c_str())), at(path, k.c_str()), key == "highPass", out);
    } else {
        return false;
    }
    return true;
}

void Reader::output(const QJsonValue& v, const std::string& path, int index, int inputs,
                    OutputChannel& out) {
    const auto o = object(v, path);
    if (!o || !keys(*o, path,
                    {"output", "gainDb", "mute", "polarity", "delay", "routing", "limiter", "eq",
                     "highPass", "lowPass"}))
        return;
    if (auto n = number(*o, path, "output", 1, 8, 0, ""); n && *n != index + 1)
        error(at(path, "output"), PresetProblem::WrongNumber, {std::to_string(index + 1)});
    for (const char* key : {"gainDb", "mute", "polarity", "delay", "routing", "limiter"})
        outputValue(*o, path, key, inputs, out);
    EqPoint points[OutputChannel::kPoints] = {};
    uint8_t eqSwitch = 0;
    eq(o->value("eq"), at(path, "eq"), points, OutputChannel::kPoints, eqSwitch);
    for (int p = 0; p < OutputChannel::kPoints; ++p) out.point(p) = points[p];
    out.setEqSwitch(eqSwitch);
    for (const char* key : {"highPass", "lowPass"}) outputValue(*o, path, key, inputs, out);
}

void Reader::setting(const QJsonObject& channel, const PresetSetting& s, uint32_t model) {
    const int count = s.input ? inputCount(model) : outputCount(model);
    const std::string path = at(s.input ? "inputs" : "outputs", s.channel);
    if (s.channel < 0 || s.channel >= count) return error(path, PresetProblem::Missing);
    ModeRecord& r = result.record;
    bool known = true;
    if (s.key == "eq" && s.input)
        eqSetting(channel, path, s.point, r.input(s.channel));
    else if (s.key == "eq")
        eqSetting(channel, path, s.point, r.output(s.channel));
    else if (s.input)
        known = inputValue(channel, path, s.key, r.input(s.channel));
    else
        known = outputValue(channel, path, s.key, inputCount(model), r.output(s.channel));
    if (!known) error(at(path, s.key.c_str()), PresetProblem::UnknownKey);
}

void Reader::document(const QJsonObject& root, uint32_t expectedModel) {
    keys(root, "", {"format", "version", "model", "name", "used", "date", "inputs", "outputs"},
         {"device"});
    formatAndVersion(root, kPresetFormat, kPresetVersion);
    if (auto d = text(root, "", "device")) result.deviceName = *d;
    ModeRecord& r = result.record;
    if (auto n = text(root, "", "name")) name(*n, r);
    if (auto u = boolean(root, "", "used")) r.setUsed(*u);
    if (auto d = text(root, "", "date")) {
        if (d->size() > ModeRecord::kMaxDateLength || d->find('\0') != std::string::npos)
            error("date", PresetProblem::DateTooLong, {std::to_string(d->size())});
        else
            r.setDate(*d);
    }
    const auto model = text(root, "", "model");
    if (!model) return;
    const uint32_t code = modelCodeOf(*model);
    if (code == 0) {
        error("model", PresetProblem::UnknownModel, {*model});
        return;
    }
    if (expectedModel != 0 && code != expectedModel) {
        error("model", PresetProblem::OtherModel, {*model, std::string(modelName(expectedModel))});
        return;
    }
    result.modelCode = code;
    const int inputs = inputCount(code), outputs = outputCount(code);
    if (const auto list = array(root.value("inputs"), "inputs", inputs))
        for (int i = 0; i < inputs; ++i) input(list->at(i), at("inputs", i), i, r.input(i));
    if (const auto list = array(root.value("outputs"), "outputs", outputs))
        for (int k = 0; k < outputs; ++k)
            output(list->at(k), at("outputs", k), k, inputs, r.output(k));
}

}  // namespace

QByteArray presetJson(const ModeRecord& record, uint32_t modelCode, std::string_view deviceName) {
    const int inputs = inputCount(modelCode), outputs = outputCount(modelCode);
    std::string s = "{\n  \"format\": \"" + std::string(kPresetFormat) +
                    "\",\n  \"version\": " + std::to_string(kPresetVersion) + ",\n  \"model\": \"" +
                    std::string(modelName(modelCode)) + "\",\n";
    if (!deviceName.empty()) s += "  \"device\": " + jsonString(deviceName) + ",\n";
    s += "  \"name\": " + jsonString(record.name()) +
         ",\n  \"used\": " + (record.isUsed() ? "true" : "false") +
         ",\n  \"date\": " + jsonString(record.date()) + ",\n  \"inputs\": [\n";
    for (int i = 0; i < inputs; ++i)
        s += inputJson(record.input(i), i) + (i + 1 < inputs ? ",\n" : "\n");
    s += "  ],\n  \"outputs\": [\n";
    for (int k = 0; k < outputs; ++k)
        s += outputJson(record.output(k), k, inputs) + (k + 1 < outputs ? ",\n" : "\n");
    s += "  ]\n}\n";
    return QByteArray::fromStdString(s);
}

QJsonObject presetChannelJson(const ModeRecord& record, uint32_t modelCode, bool input, int index) {
    const std::string text = input ? inputJson(record.input(index), index)
                                   : outputJson(record.output(index), index, inputCount(modelCode));
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

PresetRead readPresetSetting(const QJsonObject& channel, const PresetSetting& setting,
                             const ModeRecord& record, uint32_t modelCode) {
    Reader reader;
    reader.result.record = record;
    reader.result.modelCode = modelCode;
    reader.setting(channel, setting, modelCode);
    reader.result.errors = std::move(reader.errors);
    reader.result.moved = std::move(reader.moved);
    return std::move(reader.result);
}

std::optional<QJsonObject> jsonRoot(const QByteArray& json, std::vector<PresetIssue>& errors) {
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        const QByteArray before = json.left(parseError.offset);
        const auto line = before.count('\n') + 1;
        const auto column = parseError.offset - (before.lastIndexOf('\n') + 1) + 1;
        errors.push_back({"(document)",
                          PresetProblem::Syntax,
                          {std::to_string(line), std::to_string(column),
                           parseError.errorString().toStdString()}});
        return std::nullopt;
    }
    if (!doc.isObject()) {
        errors.push_back({"(document)", PresetProblem::NotAnObject, {}});
        return std::nullopt;
    }
    return doc.object();
}

PresetRead readPresetObject(const QJsonObject& root, uint32_t expectedModel) {
    Reader reader;
    reader.document(root, expectedModel);
    reader.result.errors = std::move(reader.errors);
    reader.result.moved = std::move(reader.moved);
    return std::move(reader.result);
}

PresetRead readPresetJson(const QByteArray& json, uint32_t expectedModel) {
    std::vector<PresetIssue> errors;
    const auto root = jsonRoot(json, errors);
    if (!root) {
        PresetRead read;
        read.errors = std::move(errors);
        return read;
    }
    return readPresetObject(*root, expectedModel);
}

}  // namespace qel
