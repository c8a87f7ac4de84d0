// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/EqPoint.h"
#include "device/ModeRecord.h"
#include "device/ParamCommands.h"
#include "device/ValueCodes.h"

namespace qel {

// Parametric EQ exported as text by room and loudspeaker measurement programs, one filter a
// line: "Filter 1: ON PK Fc 100 Hz Gain -3.0 dB Q 1.41". Types PK, LS/LSC and HS/HSC; the
// filter number may be left out; OFF filters (and type None) are skipped; a comma may stand
// for the decimal point; "Preamp: -6 dB" is kept for the report. Lines that are neither
// filters nor a preamp (the exporter's header) are counted and otherwise left alone.
struct MeasuredFilter {
    int line = 0;  // 1-based line of the text
    EqType type = EqType::Peaking;
    double hz = 0, gainDb = 0;
    double q = 0;  // for shelves without a Q, the slope-1 shelf's
};

// What is wrong with a line of the text; the values are the line's own words and numbers.
enum class MeasurementProblem : uint8_t {
    BadPreamp,  // the preamp's text
    NoState,    // neither ON nor OFF
    BadState,   // the word found
    NoType,
    UnknownType,  // the type found
    UnknownWord,  // the word
    GivenTwice,   // the key as written
    NoNumber,     // the key as written
    NoFc,
    NoGain,
    NoQ,             // a PK filter without Q
    FcOutOfRange,    // Fc, highest
    GainOutOfRange,  // gain, largest size
    QOutOfRange,     // Q, lowest, highest
    TooManyFilters,  // the filters that are on, the channel's points
};

struct MeasurementError {
    int line = 0;  // 1-based
    MeasurementProblem problem = MeasurementProblem::BadPreamp;
    std::vector<std::string> values;
};

struct MeasurementEq {
    std::vector<MeasuredFilter> filters;  // those that are on, in the text's order
    std::optional<double> preampDb;
    int skipped = 0;                       // filters that are off
    int otherLines = 0;                    // header and other lines that are not filters
    std::vector<MeasurementError> errors;  // nothing is to be applied when there are any
    bool ok() const { return errors.empty(); }
};

MeasurementEq parseMeasurementEq(std::string_view text);

// The filters as the unit's EQ points, through the quantisers.
struct FittedFilter {
    MeasuredFilter filter;
    EqPoint point;
    double hzError = 0, gainError = 0;  // unit minus file
    std::optional<double> qError;       // none for shelves: the unit's shelves have no Q
};
struct EqFit {
    std::vector<FittedFilter> filters;
    std::vector<MeasurementError> errors;  // more filters than points
    // The largest difference between the file's filters and the fitted points over
    // 20 Hz .. 20 kHz, both as biquads at 48 kHz, and where it is.
    double worstDb = 0, worstHz = 0;
    bool ok() const { return errors.empty(); }
};

EqFit fitMeasurementEq(const MeasurementEq& eq, int points);

// The points a channel of `count` points gets: the fitted ones first, the rest at 0 dB with
// their type, frequency and Q kept from `current`.
std::vector<EqPoint> fittedPoints(const EqFit& fit, const std::vector<EqPoint>& current);

// Puts the fitted filters on a channel of the record and on the channels linked with it
// (numbers, 1-based): all of them take fittedPoints() of the channel's points, and the EQ
// works (switch 0; 1 would be "EQ pass").
void putFittedFilters(ModeRecord& record, cmd::ChannelId channel, const EqFit& fit,
                      std::span<const int> linked = {});

}  // namespace qel
