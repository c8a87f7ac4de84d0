// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/MeasurementExport.h"

#include <cstdio>

#include "device/FreqTable.h"
#include "device/Models.h"
#include "device/UnitText.h"
#include "device/ValueCodes.h"

namespace qel {

namespace {

constexpr uint8_t kButterworth12 = 0;

// Frequencies as the table's shortest text: the reader rounds them back to their code.
std::string hzText(uint8_t code) {
    char text[24];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(FreqTable[code]));
    return text;
}

std::string pointLine(int n, const EqPoint& p) {
    char text[120];
    const auto type = static_cast<EqType>(p.type);
    const char* name = type == EqType::LowShelf ? "LS" : type == EqType::HighShelf ? "HS" : "PK";
    std::snprintf(text, sizeof text, "Filter %d: ON %s Fc %s Hz Gain %.1f dB", n, name,
                  hzText(p.freq).c_str(), eqGainDb(p.gain));
    std::string line = text;
    if (type != EqType::LowShelf && type != EqType::HighShelf) {
        std::snprintf(text, sizeof text, " Q %.1f", eqQ(p.q));
        line += text;
    }
    return line + "\n";
}

void crossover(EqExport& out, bool highPass, uint8_t type, uint8_t freq) {
    if (freq == (highPass ? kHighPassOffCode : kLowPassOffCode)) return;
    if (type != kButterworth12) return out.leftOut.push_back({highPass, type});
    out.text += "Filter " + std::to_string(++out.filters) + ": ON " + (highPass ? "HP" : "LP") +
                " Fc " + hzText(freq) + " Hz\n";
}

}  // namespace

EqExport exportMeasurementEq(const ModeRecord& record, cmd::ChannelId channel, EqTextFormat format,
                             std::string_view title) {
    EqExport out;
    out.text = format == EqTextFormat::Generic
                   ? "Filter Settings file\n\n" + std::string(title) + "\n"
                   : "# " + std::string(title) + "\n";
    const bool input = channel.side == cmd::Side::Input;
    const int count = input ? InputChannel::kPoints : OutputChannel::kPoints;
    for (int n = 0; n < count; ++n) {
        const EqPoint& p = input ? record.input(channel.number - 1).point(n)
                                 : record.output(channel.number - 1).point(n);
        out.text += pointLine(++out.filters, p);
    }
    if (input) {
        out.eqPassed = record.input(channel.number - 1).eqSwitch() != 0;
        return out;
    }
    const OutputChannel& o = record.output(channel.number - 1);
    out.eqPassed = o.eqSwitch() != 0;
    crossover(out, true, o.highPassType(), o.highPassFreq());
    crossover(out, false, o.lowPassType(), o.lowPassFreq());
    return out;
}

std::string measurementTitle(uint32_t modelCode, std::string_view name, cmd::ChannelId c) {
    std::string title(modelName(modelCode));
    const std::string unpadded = unpaddedUnitText(name);
    if (!unpadded.empty()) title += " " + unpadded;
    return title + ", " +
           (c.side == cmd::Side::Input
                ? std::string("input ") + static_cast<char>('A' + c.number - 1)
                : "output " + std::to_string(c.number));
}

}  // namespace qel
