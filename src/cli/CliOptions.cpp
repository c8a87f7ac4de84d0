// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/CliOptions.h"

#include "platform/Ipv4.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>

namespace qel::cli {

CliOptions::CliOptions(std::vector<std::string> args, GlobalOptions& globals)
    : args_(std::move(args)), globals_(globals) {}

void CliOptions::fail(const std::string& message) {
    if (error_.empty()) error_ = message;
}

std::optional<std::string> CliOptions::value() {
    if (index_ >= args_.size()) {
        fail(current_ + " needs a value");
        return std::nullopt;
    }
    return args_[index_++];
}

std::optional<uint32_t> CliOptions::number(uint32_t max) {
    const std::string option = current_;
    auto text = value();
    if (!text) return std::nullopt;
    auto n = parseNumber(*text, max);
    if (!n) fail(option + ": '" + *text + "' is not a number from 0 to " + std::to_string(max));
    return n;
}

bool CliOptions::takeGlobal(const std::string& option) {
    if (option == "--trace") {
        globals_.trace = true;
        return true;
    }
    if (option == "--local-port" || option == "--unit-port" || option == "--module-port" ||
        option == "--search-port" || option == "--module-search-port") {
        uint16_t& port = option == "--local-port"    ? globals_.localPort
                         : option == "--unit-port"   ? globals_.unitPort
                         : option == "--module-port" ? globals_.modulePort
                         : option == "--search-port" ? globals_.searchPort
                                                     : globals_.moduleSearchPort;
        if (auto n = number(65535)) port = static_cast<uint16_t>(*n);
        return true;
    }
    if (option == "--gateway") {
        auto v = value();
        auto a = v ? parseIpv4(*v) : std::nullopt;
        if (v && !a) fail("--gateway: '" + *v + "' is not an IPv4 address");
        if (a)
            for (int i = 0; i < 4; ++i) globals_.gateway[static_cast<size_t>(i)] = ipv4Octet(*a, i);
        return true;
    }
    if (option == "--serial-map") {
        if (auto v = value(); v && !globals_.serialMap.addMapping(*v))
            fail("--serial-map: expected COMn=PATH, got '" + *v + "'");
        return true;
    }
    return false;
}

const std::vector<GlobalOptionSpec>& globalOptions() {
    static const std::vector<GlobalOptionSpec> table = {
        {"--local-port", "N",
         "this program's UDP port (default " + std::to_string(port::kLocal) + ")"},
        {"--unit-port", "N",
         "the units' UDP command port (default " + std::to_string(port::kUnit) + ")"},
        {"--module-port", "N",
         "the units' network module port (default " + std::to_string(port::kModule) + ")"},
        {"--search-port", "N",
         "local port of the search request (default " + std::to_string(port::kSearch) + ")"},
        {"--module-search-port", "N",
         "local port of the module search (default " + std::to_string(port::kModuleSearch) + ")"},
        {"--gateway", "A.B.C.D", "searches A.B.C.255 (default 192.168.6.255)"},
        {"--serial-map", "COMn=PATH", "device path of a port name (default /dev/ttyUSB<n-1>)"},
        {"--trace", "", "write the link's diagnostic trace to standard error"},
    };
    return table;
}

size_t CliOptions::commandIndex(const std::vector<std::string>& args) {
    const auto& globals = globalOptions();
    for (size_t i = 0; i < args.size(); ++i) {
        const auto global = std::find_if(globals.begin(), globals.end(),
                                         [&](const auto& g) { return args[i] == g.name; });
        if (global == globals.end()) return i;
        if (*global->value) ++i;  // the option's value
    }
    return args.size();
}

bool CliOptions::next(std::string& option) {
    while (error_.empty() && index_ < args_.size()) {
        current_ = args_[index_++];
        if (!takeGlobal(current_)) {
            option = current_;
            return true;
        }
    }
    return false;
}

std::optional<uint32_t> parseNumber(const std::string& text, uint32_t max) {
    if (text.empty()) return std::nullopt;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    uint64_t v = 0;
    for (size_t i = hex ? 2 : 0; i < text.size(); ++i) {
        const int c = std::tolower(static_cast<unsigned char>(text[i]));
        int digit;
        if (std::isdigit(c))
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return std::nullopt;
        v = v * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (v > max) return std::nullopt;
    }
    return static_cast<uint32_t>(v);
}

std::optional<std::vector<uint8_t>> parseHexBytes(const std::string& text) {
    std::vector<uint8_t> bytes;
    std::string digits;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
            ++i;
            continue;
        }
        if (c == ' ' || c == ':' || c == ',') {
            if (digits.size() % 2) return std::nullopt;
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        digits += c;
    }
    if (digits.size() % 2) return std::nullopt;
    for (size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string hexLine(const uint8_t* data, size_t length) {
    std::string line;
    char cell[4];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(cell, sizeof cell, i ? " %02X" : "%02X", data[i]);
        line += cell;
    }
    return line;
}

}  // namespace qel::cli
