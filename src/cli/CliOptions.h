// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/Protocol.h"
#include "platform/SerialPortMap.h"

namespace qel::cli {

// Options that every sub-command takes.
struct GlobalOptions {
    uint16_t localPort = port::kLocal;
    uint16_t unitPort = port::kUnit;
    uint16_t modulePort = port::kModule;
    uint16_t searchPort = port::kSearch;
    uint16_t moduleSearchPort = port::kModuleSearch;
    std::array<uint8_t, 4> gateway = {192, 168, 6, 255};
    SerialPortMap serialMap;
    bool trace = false;
};

// A global option: its name, what follows it (empty when nothing does) and its line in --help.
struct GlobalOptionSpec {
    const char* name;
    const char* value;
    std::string help;
};
const std::vector<GlobalOptionSpec>& globalOptions();

// Walks the arguments after the sub-command name. Global options are taken wherever they
// stand; everything else is handed to the sub-command's own parser.
class CliOptions {
public:
    CliOptions(std::vector<std::string> args, GlobalOptions& globals);

    // Next option that is not a global one; false at the end or after an error.
    bool next(std::string& option);
    // The value following the current option.
    std::optional<std::string> value();
    std::optional<uint32_t> number(uint32_t max);
    const std::string& error() const { return error_; }
    void fail(const std::string& message);

    // Where the command name stands among the arguments: the first that is neither a global
    // option nor its value; args.size() when there is none.
    static size_t commandIndex(const std::vector<std::string>& args);

private:
    bool takeGlobal(const std::string& option);

    std::vector<std::string> args_;
    size_t index_ = 0;
    std::string current_;
    GlobalOptions& globals_;
    std::string error_;
};

// Decimal or 0x-hex, at most max.
std::optional<uint32_t> parseNumber(const std::string& text, uint32_t max);
// Hex bytes, optionally separated by spaces, colons or commas: "00 00", "0a0b", "0x12,0x34".
std::optional<std::vector<uint8_t>> parseHexBytes(const std::string& text);
std::string hexLine(const uint8_t* data, size_t length);

}  // namespace qel::cli
