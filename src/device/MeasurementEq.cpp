// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/MeasurementEq.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "device/Biquad.h"

namespace qel {

namespace {

constexpr double kMaxGainDb = 60.0, kMinQ = 0.01, kMaxQ = 1000.0;

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::vector<std::string> words(std::string_view s) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        size_t j = i;
        while (j < s.size() && !std::isspace(static_cast<unsigned char>(s[j]))) ++j;
        if (j > i) out.emplace_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

// A decimal number with a point or a comma as its mark, nothing else.
std::optional<double> decimal(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    if (text.empty() || text.size() > 40) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v)) return std::nullopt;
    return v;
}

// "Filter:" or "Filter 12:" (any case, spaces allowed); the text after the colon.
std::optional<std::string_view> filterBody(std::string_view line) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string_view::npos || lower(line.substr(i, 6)) != "filter") return std::nullopt;
    i += 6;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) ++i;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size() || line[i] != ':') return std::nullopt;
    return line.substr(i + 1);
}

// A number as "%g" writes it.
std::string shortNumber(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

using Problem = MeasurementProblem;

// What the reader knows of a filter type.
struct TypeInfo {
    enum Kind : uint8_t { Point, Crossover, Cannot };
    const char* name;  // lower case
    Kind kind;
    EqType type = EqType::Peaking;  // points
    bool needsQ = false;            // PK, HPQ, LPQ
    bool slope = false;             // shelves: "LS 6dB"
    bool anySlope = false;          // LSC, HSC: any slope up to 12 dB
    bool highPass = false;          // crossovers
};

constexpr TypeInfo kTypes[] = {
    {"pk", TypeInfo::Point, EqType::Peaking, true},
    {"peq", TypeInfo::Point, EqType::Peaking, true},
    {"ls", TypeInfo::Point, EqType::LowShelf, false, true},
    {"lsc", TypeInfo::Point, EqType::LowShelf, false, true, true},
    {"hs", TypeInfo::Point, EqType::HighShelf, false, true},
    {"hsc", TypeInfo::Point, EqType::HighShelf, false, true, true},
    {"hp", TypeInfo::Crossover, EqType::Peaking, false, false, false, true},
    {"hpq", TypeInfo::Crossover, EqType::Peaking, true, false, false, true},
    {"lp", TypeInfo::Crossover},
    {"lpq", TypeInfo::Crossover, EqType::Peaking, true},
    {"bp", TypeInfo::Cannot},
    {"no", TypeInfo::Cannot},
    {"ap", TypeInfo::Cannot},
    {"hp1", TypeInfo::Cannot},
    {"lp1", TypeInfo::Cannot},
};

const TypeInfo* typeInfo(const std::string& lowerName) {
    for (const TypeInfo& t : kTypes)
        if (lowerName == t.name) return &t;
    return nullptr;
}

constexpr double kMaxSlopeDb = 12, kCrossoverQTolerance = 0.01;
constexpr double kMinOctaves = 0.01, kMaxOctaves = 10;

struct Fields {
    std::optional<double> hz, gain, q, slope;
};

struct LineReader {
    MeasurementEq& eq;
    int number;
    bool take;  // the filter is for the channel asked for
    std::vector<std::string> w{};
    size_t i = 2;

    bool error(Problem problem, std::vector<std::string> values = {}) {
        eq.errors.push_back({number, problem, std::move(values)});
        return false;
    }

    void preamp(std::string_view body) {
        w = words(body);
        std::optional<double> v = w.empty() ? std::nullopt : decimal(w[0]);
        if (!v || w.size() > 2 || (w.size() == 2 && lower(w[1]) != "db"))
            error(Problem::BadPreamp, {std::string(body)});
        else
            eq.preampDb = v;
    }

    // After a shelf's type: "6dB", "12 dB". Nothing when the next word is not a number.
    bool slope(const TypeInfo& t, Fields& f) {
        if (i >= w.size() || !(std::isdigit(static_cast<unsigned char>(w[i][0])) || w[i][0] == '.'))
            return true;
        std::string text = w[i], digits = text;
        if (lower(text).ends_with("db")) {
            digits.resize(digits.size() - 2);
        } else if (i + 1 < w.size() && lower(w[i + 1]) == "db") {
            text += " " + w[++i];
        } else {
            return error(Problem::BadSlope, {text, w[1]});
        }
        ++i;
        f.slope = decimal(digits);
        const bool fits = f.slope && (t.anySlope ? *f.slope > 0 && *f.slope <= kMaxSlopeDb
                                                 : *f.slope == 6 || *f.slope == 12);
        return fits || error(Problem::BadSlope, {text, w[1]});
    }

    // "BW Oct 0.5" as a Q.
    bool bandwidth(std::optional<double>& q) {
        if (q) return error(Problem::GivenTwice, {w[i]});
        if (i + 2 >= w.size() || lower(w[i + 1]) != "oct") return error(Problem::NoNumber, {w[i]});
        const auto octaves = decimal(w[i + 2]);
        if (!octaves) return error(Problem::NoNumber, {w[i] + " " + w[i + 1]});
        if (!(*octaves >= kMinOctaves && *octaves <= kMaxOctaves))
            return error(
                Problem::BandwidthOutOfRange,
                {shortNumber(*octaves), shortNumber(kMinOctaves), shortNumber(kMaxOctaves)});
        const double n = std::exp2(*octaves);
        q = std::sqrt(n) / (n - 1);
        i += 2;
        return true;
    }

    bool keys(Fields& f) {
        for (; i < w.size(); ++i) {
            const std::string key = lower(w[i]);
            if (key == "bw") {
                if (!bandwidth(f.q)) return false;
                continue;
            }
            std::optional<double>* slot = key == "fc"     ? &f.hz
                                          : key == "gain" ? &f.gain
                                          : key == "q"    ? &f.q
                                                          : nullptr;
            if (!slot) return error(Problem::UnknownWord, {w[i]});
            if (slot->has_value()) return error(Problem::GivenTwice, {w[i]});
            if (i + 1 >= w.size() || !(*slot = decimal(w[i + 1])))
                return error(Problem::NoNumber, {w[i]});
            ++i;
            unit(key, **slot);
        }
        return true;
    }

    // An optional unit after a number.
    void unit(const std::string& key, double& value) {
        if (i + 1 >= w.size()) return;
        const std::string u = lower(w[i + 1]);
        if (key == "fc" && u == "khz") {
            value *= 1000;
            ++i;
        } else if ((key == "fc" && u == "hz") || (key == "gain" && u == "db")) {
            ++i;
        }
    }

    bool ranges(const Fields& f) {
        if (!(*f.hz > 0 && *f.hz < Biquad::kSampleRate / 2))
            return error(Problem::FcOutOfRange,
                         {shortNumber(*f.hz), shortNumber(Biquad::kSampleRate / 2)});
        // Far outside any real filter, and the response of such a filter is not finite.
        if (f.gain && !(std::fabs(*f.gain) <= kMaxGainDb))
            return error(Problem::GainOutOfRange, {shortNumber(*f.gain), shortNumber(kMaxGainDb)});
        if (f.q && !(*f.q >= kMinQ && *f.q <= kMaxQ))
            return error(Problem::QOutOfRange,
                         {shortNumber(*f.q), shortNumber(kMinQ), shortNumber(kMaxQ)});
        return true;
    }

    void filter(std::string_view body) {
        w = words(body);
        if (w.empty()) return (void)error(Problem::NoState);
        const std::string state = lower(w[0]);
        if (state == "off") return (void)++eq.skipped;
        if (state != "on") return (void)error(Problem::BadState, {w[0]});
        if (w.size() < 2) return (void)error(Problem::NoType);
        if (lower(w[1]) == "none") return (void)++eq.skipped;
        const TypeInfo* t = typeInfo(lower(w[1]));
        if (!t) return (void)error(Problem::UnknownType, {w[1]});
        if (t->kind == TypeInfo::Cannot) return (void)error(Problem::CannotMake, {w[1]});
        Fields f;
        if ((t->slope && !slope(*t, f)) || !keys(f)) return;
        if (!f.hz) return (void)error(Problem::NoFc);
        if (t->kind == TypeInfo::Crossover) return crossover(*t, f);
        if (!f.gain) return (void)error(Problem::NoGain);
        if (!f.q && t->needsQ) return (void)error(Problem::NoQ, {w[1]});
        if (f.q && f.slope) return (void)error(Problem::SlopeAndQ, {w[1]});
        if (!ranges(f)) return;
        if (!take) return (void)++eq.otherChannels;
        eq.filters.push_back(point(*t, f));
    }

    MeasuredFilter point(const TypeInfo& t, const Fields& f) const {
        MeasuredFilter m{number,
                         t.type,
                         *f.hz,
                         *f.gain,
                         f.q.value_or(Biquad::kShelfQ),
                         f.slope,
                         !t.anySlope && f.slope == 6.0};
        if (t.anySlope && f.slope) {
            // The cookbook's shelf slope S, 1 at 12 dB per octave.
            const double a = std::pow(10.0, *f.gain / 40), s = *f.slope / kMaxSlopeDb;
            m.q = 1 / std::sqrt((a + 1 / a) * (1 / s - 1) + 2);
        }
        return m;
    }

    void crossover(const TypeInfo& t, const Fields& f) {
        if (f.gain) return (void)error(Problem::UnknownWord, {"Gain"});
        if (!f.q && t.needsQ) return (void)error(Problem::NoQ, {w[1]});
        if (!ranges(f)) return;
        if (f.q && std::fabs(*f.q - Biquad::kShelfQ) > kCrossoverQTolerance)
            return (void)error(Problem::CrossoverQ, {w[1], shortNumber(*f.q)});
        if (!take) return (void)++eq.otherChannels;
        for (const MeasuredCrossover& c : eq.crossovers)
            if (c.highPass == t.highPass) return (void)error(Problem::CrossoverTwice, {w[1]});
        eq.crossovers.push_back({number, t.highPass, *f.hz, w[1]});
    }
};

// Which filters of the text are taken: "Channel: L R" selects channels for the filters after
// it, "Channel: all" (and the start) every channel.
class ChannelChoice {
public:
    explicit ChannelChoice(std::string_view source) : source_(upper(source)) {}

    void select(std::string_view body, int line) {
        names_ = words(upper(body));
        text_ = joined(words(body));
        all_ = names_.empty() || (names_.size() == 1 && names_[0] == "ALL");
        if (std::find(named_.begin(), named_.end(), text_) == named_.end()) named_.push_back(text_);
        if (!firstLine_) firstLine_ = line;
    }
    bool takes() const {
        return source_.empty() || all_ ||
               std::find(names_.begin(), names_.end(), source_) != names_.end();
    }
    // A filter that is on, of the current selection.
    void filterOn(int line) {
        if (!source_.empty()) return;
        if (std::find(used_.begin(), used_.end(), text_) != used_.end()) return;
        used_.push_back(text_);
        if (used_.size() == 2) secondLine_ = line;
    }
    void finish(MeasurementEq& eq, std::string_view source) const {
        if (used_.size() > 1) eq.errors.push_back({secondLine_, Problem::SeveralChannels, used_});
        if (source_.empty() || !firstLine_) return;
        for (const std::string& text : named_)
            if (ChannelChoice(source).matches(text)) return;
        std::vector<std::string> values{std::string(source)};
        values.insert(values.end(), named_.begin(), named_.end());
        eq.errors.push_back({firstLine_, Problem::NoSuchChannel, values});
    }

private:
    static std::string upper(std::string_view s) {
        std::string out(s);
        for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return out;
    }
    static std::string joined(const std::vector<std::string>& w) {
        std::string out;
        for (const auto& s : w) out += (out.empty() ? "" : " ") + s;
        return out.empty() ? "all" : out;
    }
    bool matches(const std::string& text) {
        select(text, 0);
        return takes();
    }

    std::string source_;
    std::vector<std::string> names_;
    std::string text_ = "all";
    bool all_ = true;
    std::vector<std::string> named_, used_;  // selections written, those with filters on
    int firstLine_ = 0, secondLine_ = 0;
};

// "Word:" at the start of a line (any case); the text after the colon.
std::optional<std::string_view> command(std::string_view line, std::string_view word) {
    const size_t i = line.find_first_not_of(" \t");
    if (i == std::string_view::npos || lower(line.substr(i, word.size())) != word)
        return std::nullopt;
    return line.substr(i + word.size());
}

std::string trimmed(std::string_view s) {
    const size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
    return a == std::string_view::npos ? std::string() : std::string(s.substr(a, b - a + 1));
}
}  // namespace

MeasurementEq parseMeasurementEq(std::string_view text, std::string_view sourceChannel) {
    MeasurementEq eq;
    ChannelChoice choice(sourceChannel);
    int number = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end + 1;
        LineReader reader{eq, ++number, choice.takes()};
        const size_t on = eq.filters.size() + eq.crossovers.size();
        if (auto body = filterBody(line))
            reader.filter(*body);
        else if (auto amp = command(line, "preamp:"))
            reader.preamp(*amp);
        else if (auto channel = command(line, "channel:"))
            choice.select(*channel, number);
        else if (command(line, "device:") || command(line, "include:"))
            eq.notes.push_back({number, trimmed(line)});
        else if (trimmed(line).starts_with('#'))
            ++eq.comments;
        else if (!trimmed(line).empty())
            ++eq.otherLines;
        if (eq.filters.size() + eq.crossovers.size() > on) choice.filterOn(number);
    }
    choice.finish(eq, sourceChannel);
    return eq;
}
}  // namespace qel
