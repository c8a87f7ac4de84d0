// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Faults.h"
#include "UnitHost.h"

namespace qel::sim {

// The command line of quellmar-unitsim:
//   --unit MODEL@IP[:NAME]  --serial MODEL[:NAME]  --unit-port N  --module-port N
//   --state FILE  --help  --version  and fault options, which apply to the unit declared
//   just before them, or to every unit declared later when they come first.
class UnitSimOptions {
public:
    struct Unit {
        int model = 4;
        bool serial = false;
        std::string address;  // network units
        std::string name;
        Faults faults;
    };

    // args without the program name. False with error() set on a bad command line.
    bool parse(const std::vector<std::string>& args);

    bool help() const { return help_; }
    bool version() const { return version_; }
    const std::vector<Unit>& units() const { return units_; }
    SimPorts ports() const { return ports_; }
    const std::string& stateFile() const { return stateFile_; }
    const std::string& error() const { return error_; }

    static std::string usage();
    // "QD206"/"206" -> 2 and so on; any other number is taken as a bare model code.
    static std::optional<int> parseModel(const std::string& text);
    // Decimal or 0x-hexadecimal, no sign.
    static std::optional<unsigned long> parseNumber(const std::string& text);

private:
    bool parseOne(const std::vector<std::string>& args, size_t& i);
    bool parseFault(const std::string& option, const std::string& value);
    bool parseUnit(const std::string& value, bool serial);
    bool parseSilent(const std::string& value, Faults& faults);
    bool takesValue(const std::string& option) const;
    Faults& currentFaults();
    bool fail(const std::string& message);

    bool help_ = false;
    bool version_ = false;
    std::vector<Unit> units_;
    Faults defaults_;
    SimPorts ports_;
    std::string stateFile_;
    std::string error_;
};

}  // namespace qel::sim
