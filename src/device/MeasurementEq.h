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
// line: "Filter 1: ON PK Fc 100 Hz Gain -3.0 dB Q 1.41", and the configuration files of
// system-wide equalisers, which add "Channel:" selections. Types PK (alias PEQ), LS/LSC and
// HS/HSC (with or without a slope: "LS 6dB", "LSC 12 dB"), and HP/LP (HPQ/LPQ at Q 0.707) for
// an output's crossover; Q or "BW Oct N"; Fc in Hz or kHz; the filter number may be left out;
// OFF filters (and type None) are skipped; a comma may stand for the decimal point;
// "Preamp: -6 dB" is kept for the report; "Device:" and "Include:" lines are kept as notes,
// comment lines counted. Other lines (the exporter's header) are counted and left alone.
struct MeasuredFilter {
    int line = 0;  // 1-based line of the text
    EqType type = EqType::Peaking;
    double hz = 0, gainDb = 0;
    double q = 0;                   // shelves: from the Q or slope given, else slope 1's
    std::optional<double> slopeDb;  // a shelf's slope as written, dB per octave
    bool firstOrder = false;        // a "6dB" LS or HS: a first-order shelf
};

// An HP or LP line: a second-order Butterworth for an output's high-pass or low-pass.
struct MeasuredCrossover {
    int line = 0;
    bool highPass = true;
    double hz = 0;
    std::string type;  // as written
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
    NoQ,                  // the type without Q
    FcOutOfRange,         // Fc, highest
    GainOutOfRange,       // gain, largest size
    QOutOfRange,          // Q, lowest, highest
    TooManyFilters,       // the filters that are on, the channel's points
    CannotMake,           // a type the unit has no filter for (BP, NO, AP ...)
    CrossoverQ,           // HP/LP type, its Q: the unit's are Butterworth, Q 0.707
    BadSlope,             // the slope as written, the slopes the type takes
    SlopeAndQ,            // a shelf given both
    BandwidthOutOfRange,  // octaves, lowest, highest
    SeveralChannels,      // the channel selections the filters belong to
    NoSuchChannel,        // the channel asked for, the selections the text has
    CrossoverTwice,       // the type: a second high-pass (or low-pass)
    CrossoverOnInput,     // the type: inputs have no high-pass or low-pass
};

struct MeasurementError {
    int line = 0;  // 1-based
    MeasurementProblem problem = MeasurementProblem::BadPreamp;
    std::vector<std::string> values;
};

// A line that configures something else than filters ("Device:", "Include:"), skipped.
struct MeasurementNote {
    int line = 0;
    std::string text;  // the line without surrounding space
};

struct MeasurementEq {
    std::vector<MeasuredFilter> filters;  // those that are on, in the text's order
    std::vector<MeasuredCrossover> crossovers;
    std::optional<double> preampDb;
    int skipped = 0;                       // filters that are off
    int otherChannels = 0;                 // filters for channels not asked for
    int otherLines = 0;                    // header and other lines that are not filters
    int comments = 0;                      // lines starting with '#'
    std::vector<MeasurementNote> notes;    // Device: and Include: lines
    std::vector<MeasurementError> errors;  // nothing is to be applied when there are any
    bool ok() const { return errors.empty(); }
};

// sourceChannel: the "Channel:" name whose filters to take (any case); filters under no
// selection or "Channel: all" belong to every channel. Without it, filters under more than one
// selection are refused.
MeasurementEq parseMeasurementEq(std::string_view text, std::string_view sourceChannel = {});

// The filters as the unit's EQ points, through the quantisers.
struct FittedFilter {
    MeasuredFilter filter;
    EqPoint point;
    double hzError = 0, gainError = 0;  // unit minus file
    std::optional<double> qError;       // none for shelves: the unit's shelves have no Q
    // Shelves of another slope or Q than the unit's: the largest difference this filter
    // alone makes over 20 Hz .. 20 kHz.
    std::optional<double> shapeDb;
};
// An HP or LP on an output's crossover: a Butterworth 12 dB at a table frequency.
struct FittedCrossover {
    MeasuredCrossover filter;
    uint8_t freq = 0;
    double hzError = 0;  // unit minus file
};
struct EqFit {
    std::vector<FittedFilter> filters;
    std::optional<FittedCrossover> highPass, lowPass;
    std::vector<MeasurementError> errors;  // more filters than points, crossovers on inputs
    // The largest difference between the file's filters and the fitted points over
    // 20 Hz .. 20 kHz, both as biquads at 48 kHz, and where it is.
    double worstDb = 0, worstHz = 0;
    bool ok() const { return errors.empty(); }
};

// Fitted to an input's or an output's points (and an output's crossover).
EqFit fitMeasurementEq(const MeasurementEq& eq, cmd::Side side);

// The points a channel of `count` points gets: the fitted ones first, the rest at 0 dB with
// their type, frequency and Q kept from `current`. A shelf keeps the Q code it had: the unit's
// shelves do not use it.
std::vector<EqPoint> fittedPoints(const EqFit& fit, const std::vector<EqPoint>& current);

// Puts the fitted filters on a channel of the record and on the channels linked with it
// (numbers, 1-based): all of them take fittedPoints() of the channel's points, and the EQ
// works (switch 0; 1 would be "EQ pass"). An output takes the fitted high-pass and low-pass
// too; filters the file has none of are left alone.
void putFittedFilters(ModeRecord& record, cmd::ChannelId channel, const EqFit& fit,
                      std::span<const int> linked = {});

}  // namespace qel
