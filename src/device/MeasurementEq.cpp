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

constexpr double kLowestHz = 20.0, kHighestHz = 20000.0;
constexpr int kStepsPerOctave = 48;  // of the comparison grid
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

std::optional<std::string_view> preampBody(std::string_view line) {
    const size_t i = line.find_first_not_of(" \t");
    if (i == std::string_view::npos || lower(line.substr(i, 7)) != "preamp:") return std::nullopt;
    return line.substr(i + 7);
}

// A number as "%g" writes it.
std::string shortNumber(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

struct LineReader {
    MeasurementEq& eq;
    int number;
    void error(MeasurementProblem problem, std::vector<std::string> values = {}) {
        eq.errors.push_back({number, problem, std::move(values)});
    }

    void preamp(std::string_view body) {
        const auto w = words(body);
        std::optional<double> v = w.empty() ? std::nullopt : decimal(w[0]);
        if (!v || w.size() > 2 || (w.size() == 2 && lower(w[1]) != "db"))
            return error(MeasurementProblem::BadPreamp, {std::string(body)});
        eq.preampDb = v;
    }

    void filter(std::string_view body) {
        const auto w = words(body);
        if (w.empty()) return error(MeasurementProblem::NoState);
        const std::string state = lower(w[0]);
        if (state == "off") {
            ++eq.skipped;
            return;
        }
        if (state != "on") return error(MeasurementProblem::BadState, {w[0]});
        if (w.size() < 2) return error(MeasurementProblem::NoType);
        const std::string type = lower(w[1]);
        MeasuredFilter f;
        f.line = number;
        if (type == "none") {
            ++eq.skipped;
            return;
        }
        if (type == "pk")
            f.type = EqType::Peaking;
        else if (type == "ls" || type == "lsc")
            f.type = EqType::LowShelf;
        else if (type == "hs" || type == "hsc")
            f.type = EqType::HighShelf;
        else
            return error(MeasurementProblem::UnknownType, {w[1]});
        std::optional<double> hz, gain, q;
        for (size_t i = 2; i < w.size(); ++i) {
            const std::string key = lower(w[i]);
            std::optional<double>* slot = key == "fc"     ? &hz
                                          : key == "gain" ? &gain
                                          : key == "q"    ? &q
                                                          : nullptr;
            if (!slot) return error(MeasurementProblem::UnknownWord, {w[i]});
            if (slot->has_value()) return error(MeasurementProblem::GivenTwice, {w[i]});
            if (i + 1 >= w.size() || !(*slot = decimal(w[i + 1])))
                return error(MeasurementProblem::NoNumber, {w[i]});
            ++i;
            // An optional unit after the number.
            if (i + 1 < w.size()) {
                const std::string unit = lower(w[i + 1]);
                if (key == "fc" && unit == "khz") {
                    **slot *= 1000;
                    ++i;
                } else if ((key == "fc" && unit == "hz") || (key == "gain" && unit == "db")) {
                    ++i;
                }
            }
        }
        if (!hz) return error(MeasurementProblem::NoFc);
        if (!gain) return error(MeasurementProblem::NoGain);
        if (!q && f.type == EqType::Peaking) return error(MeasurementProblem::NoQ);
        if (!(*hz > 0 && *hz < Biquad::kSampleRate / 2))
            return error(MeasurementProblem::FcOutOfRange,
                         {shortNumber(*hz), shortNumber(Biquad::kSampleRate / 2)});
        // Far outside any real filter, and the response of such a filter is not finite.
        if (!(std::fabs(*gain) <= kMaxGainDb))
            return error(MeasurementProblem::GainOutOfRange,
                         {shortNumber(*gain), shortNumber(kMaxGainDb)});
        if (q && !(*q >= kMinQ && *q <= kMaxQ))
            return error(MeasurementProblem::QOutOfRange,
                         {shortNumber(*q), shortNumber(kMinQ), shortNumber(kMaxQ)});
        f.hz = *hz;
        f.gainDb = *gain;
        f.q = q.value_or(Biquad::kShelfQ);
        eq.filters.push_back(f);
    }
};

Biquad design(EqType type, double hz, double gainDb, double q) {
    switch (type) {
        case EqType::LowShelf:
            return Biquad::lowShelf(hz, gainDb, q);
        case EqType::HighShelf:
            return Biquad::highShelf(hz, gainDb, q);
        default:
            return Biquad::peaking(hz, gainDb, q);
    }
}

}  // namespace

MeasurementEq parseMeasurementEq(std::string_view text) {
    MeasurementEq eq;
    int number = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        LineReader reader{eq, ++number};
        if (auto body = filterBody(line))
            reader.filter(*body);
        else if (auto amp = preampBody(line))
            reader.preamp(*amp);
        else if (line.find_first_not_of(" \t") != std::string_view::npos)
            ++eq.otherLines;
        start = end + 1;
    }
    return eq;
}

EqFit fitMeasurementEq(const MeasurementEq& eq, int points) {
    EqFit fit;
    if (static_cast<int>(eq.filters.size()) > points) {
        fit.errors.push_back({eq.filters[static_cast<size_t>(points)].line,
                              MeasurementProblem::TooManyFilters,
                              {std::to_string(eq.filters.size()), std::to_string(points)}});
        return fit;
    }
    std::vector<Biquad> file, unit;
    for (const MeasuredFilter& f : eq.filters) {
        const Quantized hz = QuantizeFreq(f.hz), gain = QuantizeEqGain(f.gainDb),
                        q = QuantizeQ(f.q);
        FittedFilter ff{f, EqPoint{static_cast<uint8_t>(f.type), gain.code, hz.code, q.code},
                        hz.value - f.hz, gain.value - f.gainDb, std::nullopt};
        const bool peak = f.type == EqType::Peaking;
        if (peak) ff.qError = q.value - f.q;
        fit.filters.push_back(ff);
        file.push_back(design(f.type, f.hz, f.gainDb, f.q));
        // The unit's shelves have no Q: they are taken as slope-1 shelves.
        unit.push_back(design(f.type, hz.value, gain.value, peak ? q.value : Biquad::kShelfQ));
    }
    const int steps =
        static_cast<int>(std::ceil(std::log2(kHighestHz / kLowestHz) * kStepsPerOctave));
    for (int s = 0; s <= steps; ++s) {
        const double hz =
            kLowestHz * std::pow(kHighestHz / kLowestHz, static_cast<double>(s) / steps);
        double sum = 0;
        for (size_t i = 0; i < file.size(); ++i) sum += unit[i].gainDbAt(hz) - file[i].gainDbAt(hz);
        if (std::fabs(sum) > std::fabs(fit.worstDb)) {
            fit.worstDb = sum;
            fit.worstHz = hz;
        }
    }
    return fit;
}

std::vector<EqPoint> fittedPoints(const EqFit& fit, const std::vector<EqPoint>& current) {
    std::vector<EqPoint> out = current;
    for (size_t p = 0; p < out.size(); ++p) {
        if (p < fit.filters.size())
            out[p] = fit.filters[p].point;
        else
            out[p].gain = kEqGainCodeZeroDb;
    }
    return out;
}

void putFittedFilters(ModeRecord& r, cmd::ChannelId ch, const EqFit& fit,
                      std::span<const int> linked) {
    const bool input = ch.side == cmd::Side::Input;
    const int count = input ? InputChannel::kPoints : OutputChannel::kPoints;
    const auto point = [&](int channel, int n) -> EqPoint& {
        return input ? r.input(channel - 1).point(n) : r.output(channel - 1).point(n);
    };
    std::vector<EqPoint> current;
    for (int n = 0; n < count; ++n) current.push_back(point(ch.number, n));
    const std::vector<EqPoint> fitted = fittedPoints(fit, current);
    std::vector<int> channels(linked.begin(), linked.end());
    channels.push_back(ch.number);
    for (int c : channels) {
        for (int n = 0; n < count; ++n) point(c, n) = fitted[static_cast<size_t>(n)];
        if (input)
            r.input(c - 1).setEqSwitch(0);
        else
            r.output(c - 1).setEqSwitch(0);
    }
}

}  // namespace qel
