// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ImportEqCommand.h"

#include <cmath>
#include <cstdio>
#include <ostream>
#include <sstream>

#include "cli/ChannelOption.h"
#include "cli/ErrorText.h"
#include "cli/PresetFile.h"
#include "cli/Session.h"
#include "device/DownloadVerify.h"
#include "device/FreqTable.h"
#include "device/MeasurementEq.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/ParamEdit.h"
#include "platform/Clock.h"

namespace qel::cli {

namespace {

constexpr uint32_t kQueueDrainLimitMs = 60000;

const char* typeName(EqType t) {
    return t == EqType::LowShelf ? "low-shelf" : t == EqType::HighShelf ? "high-shelf" : "peak";
}

// One line per filter: what the file asks, what the unit gets, what rounding moved.
std::string filterLine(size_t index, const FittedFilter& f) {
    char text[256];
    const MeasuredFilter& m = f.filter;
    std::snprintf(text, sizeof text,
                  "filter %zu (line %d): %s %g Hz %+.2f dB Q %.2f -> point %zu: %.1f Hz %+.1f dB",
                  index + 1, m.line, typeName(m.type), m.hz, m.gainDb, m.q, index + 1,
                  static_cast<double>(FreqTable[f.point.freq]), eqGainDb(f.point.gain));
    std::string line = text;
    if (f.qError)
        std::snprintf(text, sizeof text, " Q %.1f; moved %+.1f Hz, %+.2f dB, Q %+.2f",
                      eqQ(f.point.q), f.hzError, f.gainError, *f.qError);
    else
        std::snprintf(text, sizeof text,
                      " (the unit's shelves have no Q); moved %+.1f Hz, %+.2f dB", f.hzError,
                      f.gainError);
    line += text;
    if (f.shapeDb) {
        std::snprintf(text, sizeof text,
                      "; its slope differs from the unit's shelf by up to %.2f dB",
                      std::fabs(*f.shapeDb));
        line += text;
    }
    return line;
}

std::string crossoverLine(const FittedCrossover& c) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "%s (line %d): %s %g Hz -> %s Butterworth 12 dB %.1f Hz; moved %+.1f Hz",
                  c.filter.highPass ? "high-pass" : "low-pass", c.filter.line,
                  c.filter.type.c_str(), c.filter.hz, c.filter.highPass ? "high-pass" : "low-pass",
                  static_cast<double>(FreqTable[c.freq]), c.hzError);
    return text;
}

// What the file holds besides the filters taken.
void reportOthers(const MeasurementEq& eq, std::ostream& out) {
    if (eq.preampDb)
        out << "the file's preamp of " << *eq.preampDb
            << " dB is not applied: set the gain yourself\n";
    if (eq.skipped) out << "filters that are off, skipped: " << eq.skipped << "\n";
    if (eq.otherChannels)
        out << "filters for other channels, skipped: " << eq.otherChannels << "\n";
    for (const MeasurementNote& n : eq.notes)
        out << "line " << n.line << ": skipped \"" << n.text << "\"\n";
    if (eq.comments) out << "comment lines: " << eq.comments << "\n";
}

}  // namespace

const char* ImportEqCommand::usage() {
    return "  import-eq FILE --channel in:A|out:3 [--source-channel NAME] (--ip A.B.C.D |\n"
           "            --serial COMn | --mode-file FILE --record N [--model QD206|QD406|QD408])\n"
           "      Puts the filters of a measurement program's EQ text export or an equaliser's\n"
           "      configuration (\"Filter 1: ON PK Fc 100 Hz Gain -3.0 dB Q 1.41\"; PK/PEQ,\n"
           "      LS/LSC, HS/HSC with or without a slope, Q or BW Oct) on the channel's EQ\n"
           "      points, switches its EQ on and sets the points left over to 0 dB; HP/LP go to\n"
           "      an output's high-pass/low-pass. --source-channel takes the filters that a\n"
           "      \"Channel:\" line selects for NAME. Lists what rounding to the unit's steps\n"
           "      moved and the largest difference it makes.\n";
}

bool ImportEqCommand::parse(CliOptions& options) {
    std::string option;
    while (options.next(option)) {
        if (targets_.take(option, options) || modeFile_.take(option, options)) continue;
        if (option == "--channel") {
            auto v = options.value();
            if (!v) continue;
            if (auto c = parseChannel(*v))
                channel_ = *c;
            else
                options.fail("--channel: expected in:A .. in:D or out:1 .. out:8, got '" + *v +
                             "'");
        } else if (option == "--source-channel") {
            if (auto v = options.value()) sourceChannel_ = *v;
        } else if (option.rfind("--", 0) != 0 && file_.empty()) {
            file_ = option;
        } else {
            options.fail("import-eq: unknown option " + option);
        }
    }
    if (options.error().empty() && file_.empty()) options.fail("import-eq: name the EQ text FILE");
    if (options.error().empty() && channel_.number == 0)
        options.fail("import-eq: --channel is required");
    if (options.error().empty()) {
        if (modeFile_.given() && targets_.given())
            options.fail("import-eq: take a unit or a mode file, not both");
        else if (modeFile_.given())
            modeFile_.check("import-eq", options, true);
        else
            targets_.check("import-eq", options, false);
    }
    error_ = options.error();
    return error_.empty();
}

int ImportEqCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    std::string why;
    const auto text = PresetFile::read(file_, why);
    if (!text) {
        err << why << "\n";
        return 1;
    }
    const MeasurementEq eq = parseMeasurementEq(text->toStdString(), sourceChannel_);
    if (!eq.ok()) {
        for (const auto& e : eq.errors)
            err << file_ << ": " << measurementErrorText(e, channelName(channel_)) << "\n";
        return 1;
    }
    const EqFit fit = fitMeasurementEq(eq, channel_.side);
    if (!fit.ok()) {
        for (const auto& e : fit.errors)
            err << file_ << ": " << measurementErrorText(e, channelName(channel_)) << "\n";
        return 1;
    }
    auto hasChannel = [&](uint32_t model) { return modelHasChannel(model, channel_); };

    for (size_t i = 0; i < fit.filters.size(); ++i) out << filterLine(i, fit.filters[i]) << "\n";
    for (const auto& c : {fit.highPass, fit.lowPass})
        if (c) out << crossoverLine(*c) << "\n";
    char summary[160];
    std::snprintf(
        summary, sizeof summary,
        "rounding to the unit's steps changes the response by at most %.2f dB (at %.0f Hz) "
        "over 20 Hz .. 20 kHz\n",
        std::fabs(fit.worstDb), fit.worstHz);
    out << summary;
    reportOthers(eq, out);

    if (modeFile_.given()) {
        auto record = modeFile_.load(why);
        if (record && !hasChannel(modeFile_.model()))
            why =
                channelName(channel_) + " is not on a " + std::string(modelName(modeFile_.model()));
        if (record && hasChannel(modeFile_.model())) {
            putFittedFilters(*record, channel_, fit);
            if (modeFile_.save(*record, why)) {
                out << "put " << fit.filters.size() << " filters on " << channelName(channel_)
                    << " of record " << modeFile_.record() << " of " << modeFile_.file() << "\n";
                return 0;
            }
        }
        err << why << "\n";
        return 1;
    }
    CommandOutput output(false, out, err);
    return targets_.run(
        globals,
        [&](TargetList::Unit& u, TargetList::Result& r) {
            Session session(u.equipment, u.link);
            if (!session.connect(true, r.line)) return false;
            if (!hasChannel(u.equipment.modelCode())) {
                r.line = channelName(channel_) + " is not on a " + u.equipment.modelName();
                return false;
            }
            // The edit path writes the image and queues the writes; then the unit is proven.
            const auto image = u.equipment.image();
            ParamEdit edit(u.equipment, image);
            ParamEdit::OriginScope file(edit, {ParamEdit::Origin::Kind::Import});
            edit.importEq(channel_, fit);
            const uint32_t start = tickMs();
            while (u.equipment.queue().pendingCount() > 0 && tickMs() - start < kQueueDrainLimitMs)
                sleepMs(5);
            const auto report = DownloadVerify(u.equipment, u.link).verify(image->record());
            r.line = "put " + std::to_string(fit.filters.size()) + " filters on " +
                     channelName(channel_) + "; " + report.summary();
            return report.ok();
        },
        output);
}

}  // namespace qel::cli
