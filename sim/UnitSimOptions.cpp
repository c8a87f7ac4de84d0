// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "UnitSimOptions.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>
#include <utility>

#include "link/Protocol.h"
#include "platform/Ipv4.h"

namespace qel::sim {

namespace {

const std::set<std::string> kValueOptions = {
    "--unit",   "--serial",        "--unit-port",    "--module-port", "--state",
    "--drop",   "--drop-requests", "--drop-replies", "--seed",        "--delay",
    "--jitter", "--busy",          "--silent"};

const std::pair<const char*, bool Faults::*> kFlagOptions[] = {
    {"--duplicate", &Faults::duplicateReplies},
    {"--late", &Faults::lateReplies},
    {"--wrong-tag", &Faults::wrongTag},
    {"--wrong-echo", &Faults::wrongEcho},
    {"--bytewise", &Faults::bytewiseSerial},
    {"--module-no-login", &Faults::moduleNoLogin}};

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::optional<double> parseProbability(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double p = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !(p >= 0.0 && p <= 1.0)) return std::nullopt;
    return p;
}

std::optional<Faults::Busy> parseBusy(const std::string& text) {
    if (text == "none") return Faults::Busy::None;
    if (text == "first") return Faults::Busy::First;
    if (text == "last") return Faults::Busy::Last;
    if (text == "always") return Faults::Busy::Always;
    return std::nullopt;
}

}  // namespace

std::optional<unsigned long> UnitSimOptions::parseNumber(const std::string& text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    const auto isDigit = [hex](unsigned char c) {
        return hex ? std::isxdigit(c) : std::isdigit(c);
    };
    if (digits.empty() || digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), isDigit))
        return std::nullopt;
    return std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10);
}

std::optional<int> UnitSimOptions::parseModel(const std::string& text) {
    const std::string name = upper(text);
    for (int model = 2; model <= 4; ++model) {
        const std::string full = modelName(model);
        if (name == full || name == full.substr(2)) return model;
    }
    const auto code = parseNumber(text);
    if (!code || *code > 255) return std::nullopt;
    return static_cast<int>(*code);
}

bool UnitSimOptions::fail(const std::string& message) {
    error_ = message;
    return false;
}

Faults& UnitSimOptions::currentFaults() {
    return units_.empty() ? defaults_ : units_.back().faults;
}

bool UnitSimOptions::takesValue(const std::string& option) const {
    return kValueOptions.count(option) != 0;
}

bool UnitSimOptions::parse(const std::vector<std::string>& args) {
    for (size_t i = 0; i < args.size(); ++i)
        if (!parseOne(args, i)) return false;
    if (!help_ && !version_ && units_.empty())
        return fail("no unit given (use --unit or --serial)");
    return true;
}

// Accepts "--option value" and "--option=value"; i moves past what was used.
bool UnitSimOptions::parseOne(const std::vector<std::string>& args, size_t& i) {
    std::string option = args[i];
    std::optional<std::string> value;
    if (const auto eq = option.find('='); option.rfind("--", 0) == 0 && eq != std::string::npos) {
        value = option.substr(eq + 1);
        option.resize(eq);
    }
    if (option == "--help" || option == "-h") {
        help_ = true;
        return true;
    }
    if (option == "--version") {
        version_ = true;
        return true;
    }
    if (!takesValue(option)) {
        if (value) return fail(option + " takes no value");
        return parseFault(option, {});
    }
    if (!value) {
        if (i + 1 >= args.size()) return fail(option + " needs a value");
        value = args[++i];
    }
    if (option == "--unit" || option == "--serial") return parseUnit(*value, option == "--serial");
    if (option == "--state") {
        if (value->empty()) return fail("--state needs a file name");
        stateFile_ = *value;
        return true;
    }
    if (option == "--unit-port" || option == "--module-port") {
        const auto port = parseNumber(*value);
        if (!port || *port == 0 || *port > 65535)
            return fail("bad port for " + option + ": " + *value);
        (option == "--unit-port" ? ports_.unitPort : ports_.modulePort) =
            static_cast<uint16_t>(*port);
        return true;
    }
    return parseFault(option, *value);
}

bool UnitSimOptions::parseUnit(const std::string& value, bool serial) {
    Unit unit;
    unit.serial = serial;
    unit.faults = defaults_;
    unit.name = "Unit " + std::to_string(units_.size() + 1);
    std::string modelText = value;
    std::string rest;  // what follows the model: [IP][:NAME]
    const size_t split = value.find(serial ? ':' : '@');
    if (split != std::string::npos) {
        modelText = value.substr(0, split);
        rest = serial ? value.substr(split) : value.substr(split + 1);
    } else if (!serial) {
        return fail("--unit wants MODEL@IP[:NAME]: " + value);
    }
    const auto model = parseModel(modelText);
    if (!model) return fail("unknown model: " + modelText);
    unit.model = *model;
    const size_t colon = rest.find(':');
    if (!serial) {
        unit.address = rest.substr(0, colon);
        if (!parseIpv4(unit.address)) return fail("not an IPv4 address: " + unit.address);
    }
    if (colon != std::string::npos) unit.name = rest.substr(colon + 1);
    units_.push_back(std::move(unit));
    return true;
}

bool UnitSimOptions::parseFault(const std::string& option, const std::string& value) {
    Faults& f = currentFaults();
    for (const auto& [name, member] : kFlagOptions) {
        if (option != name) continue;
        f.*member = true;
        return true;
    }
    if (option == "--drop" || option == "--drop-requests" || option == "--drop-replies") {
        const auto p = parseProbability(value);
        if (!p) return fail(option + " wants a probability from 0 to 1: " + value);
        if (option != "--drop-replies") f.dropRequests = *p;
        if (option != "--drop-requests") f.dropReplies = *p;
        return true;
    }
    if (option == "--busy") {
        const auto busy = parseBusy(value);
        if (!busy) return fail("--busy wants none, first, last or always: " + value);
        f.busy = *busy;
        return true;
    }
    if (option == "--silent") return parseSilent(value, f);
    const auto number = parseNumber(value);
    if (option == "--seed" && number && *number <= 0xFFFFFFFFul) {
        f.seed = static_cast<uint32_t>(*number);
        return true;
    }
    if ((option == "--delay" || option == "--jitter") && number && *number <= 600000) {
        (option == "--delay" ? f.replyDelayMs : f.replyJitterMs) = static_cast<int>(*number);
        return true;
    }
    if (option == "--seed" || option == "--delay" || option == "--jitter")
        return fail("bad number for " + option + ": " + value);
    return fail("unknown option: " + option);
}

bool UnitSimOptions::parseSilent(const std::string& value, Faults& faults) {
    size_t start = 0;
    for (;;) {
        const size_t comma = value.find(',', start);
        const std::string item = value.substr(start, comma - start);
        const auto code = parseNumber(item);
        if (!code || *code > 255) return fail("bad command code for --silent: " + item);
        faults.silentCodes.insert(static_cast<uint8_t>(*code));
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

std::string UnitSimOptions::usage() {
    return R"(Usage: quellmar-unitsim UNIT... [OPTION...]
Stands in for QD206/QD406/QD408 units until interrupted (SIGINT or SIGTERM). Prints one
line per unit when ready: model, address or pseudo-terminal path, name (tab-separated).

Units:
  --unit MODEL@IP[:NAME]   a network unit: command frames on IP:unit port, search and the
                           module's configuration on the module port (searches also via the
                           /24's .255 address)
  --serial MODEL[:NAME]    a unit on a new pseudo-terminal
  MODEL is QD206, QD406, QD408, 206, 406, 408, or a bare model code (0..255) that the unit
  reports as is. NAME defaults to "Unit N".

General:
  --unit-port N            command port of network units (default )" +
           std::to_string(port::kUnit) + R"()
  --module-port N          search and configuration port of network modules (default )" +
           std::to_string(port::kModule) + R"()
  --state FILE             load unit states from FILE at start when it exists; save on exit
  --help, -h               show this text
  --version                print the version and exit

Faults (apply to the unit declared just before them; before any unit, to all units):
  --drop P                 ignore requests and lose replies, each with probability P (0..1)
  --drop-requests P        ignore requests with probability P
  --drop-replies P         lose computed replies with probability P
  --seed N                 seed of the random choices (default 1)
  --delay MS               delay every reply by MS milliseconds
  --jitter MS              plus a random 0..MS milliseconds
  --duplicate              send every reply twice
  --late                   hold every other reply back and send it just ahead of the reply to
                           the next request
  --wrong-tag              replies carry another instance tag
  --wrong-echo             replies carry another command code
  --busy WHEN              busy-state reads (0x02) answer 1: none, first (not after a 0x04
                           request), last (right after a 0x04 request) or always
  --silent CODE[,CODE...]  never answer these command codes
  --bytewise               serial replies go out one byte at a time, about 1 ms apart
  --module-no-login        the network module answers the hello but never a login

Numbers may be decimal or 0x-hexadecimal. A bad command line exits with status 2.
)";
}

}  // namespace qel::sim
