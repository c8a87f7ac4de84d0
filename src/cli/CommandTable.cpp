// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/CommandTable.h"

#include <iomanip>
#include <iostream>

#include "cli/CommandOutput.h"
#include "cli/DownloadCommand.h"
#include "cli/ExportCommand.h"
#include "cli/ExportEqCommand.h"
#include "cli/GroupCommand.h"
#include "cli/ImportCommand.h"
#include "cli/ImportEqCommand.h"
#include "cli/ModuleCommand.h"
#include "cli/PairingsCommand.h"
#include "cli/RawSend.h"
#include "cli/ReadCommand.h"
#include "cli/SearchCommand.h"
#include "cli/ServeCommand.h"
#include "cli/ShowLoadCommand.h"
#include "cli/ShowSaveCommand.h"
#include "cli/SystemCommand.h"
#include "platform/Trace.h"

namespace qel::cli {

namespace {

template <typename Command>
int runCommand(CliOptions& options, const GlobalOptions& globals, bool jsonErrors,
               Command command = Command()) {
    if (!command.parse(options))
        return CommandOutput(jsonErrors, std::cout, std::cerr).fail("usage", command.error());
    if (globals.trace) setTraceEnabled(true);
    return command.run(globals, std::cout, std::cerr);
}

template <typename Command>
int run(CliOptions& options, const GlobalOptions& globals, bool jsonErrors) {
    return runCommand<Command>(options, globals, jsonErrors);
}

template <typename Command, auto kind>
int runKind(CliOptions& options, const GlobalOptions& globals, bool jsonErrors) {
    return runCommand(options, globals, jsonErrors, Command(kind));
}

using Options = std::vector<OptionSpec>;

Options join(std::initializer_list<Options> parts) {
    Options all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::vector<CommandSpec> makeTable() {
    using Module = ModuleCommand::Kind;
    using System = SystemCommand::Kind;
    using Show = ShowLoadCommand::Kind;
    using Pairings = PairingsCommand::Kind;
    using Groups = GroupCommand::Kind;
    constexpr auto None = ArgKind::None, Value = ArgKind::Value, File = ArgKind::File;
    const Options unit = {{"--ip", Value}, {"--serial", Value}};
    const Options units = join({unit, {{"--all", None}}});
    const Options modeFile = {{"--mode-file", File}, {"--record", Value}, {"--model", Value}};
    const Options json = {{"--json", None}}, noVerify = {{"--no-verify", None}};
    const Options named = join({unit, {{"--name", Value}}, json});
    auto system = [&](System kind) { return SystemCommand::usage(kind); };
    return {
        {"search",
         SearchCommand::usage(),
         {{"--no-network", None}, {"--no-serial", None}, json[0]},
         None,
         &run<SearchCommand>},
        {"read", ReadCommand::usage(), join({unit, {{"--out", File}}, json}), None,
         &run<ReadCommand>},
        {"download", DownloadCommand::usage(), join({units, modeFile, noVerify, json}), None,
         &run<DownloadCommand>},
        {"modes", system(System::Modes), join({unit, json}), None,
         &runKind<SystemCommand, System::Modes>},
        {"mode-switch", system(System::ModeSwitch),
         join({unit, {{"--password", Value}, {"--engineering", None}, {"--user", None}}, json}),
         None, &runKind<SystemCommand, System::ModeSwitch>},
        {"password", system(System::Password),
         join({unit, {{"--old", Value}, {"--new", Value}}, json}), None,
         &runKind<SystemCommand, System::Password>},
        {"store", system(System::Store), named, Value, &runKind<SystemCommand, System::Store>},
        {"recall", system(System::Recall), join({unit, json}), Value,
         &runKind<SystemCommand, System::Recall>},
        {"pc-save", system(System::PcSave), named, Value, &runKind<SystemCommand, System::PcSave>},
        {"pc-apply", system(System::PcApply), join({unit, json}), Value,
         &runKind<SystemCommand, System::PcApply>},
        {"export", ExportCommand::usage(), join({units, modeFile, {{"--out", File}}, json}), None,
         &run<ExportCommand>},
        {"import", ImportCommand::usage(), join({units, modeFile, noVerify, json}), File,
         &run<ImportCommand>},
        {"import-eq", ImportEqCommand::usage(),
         join({{{"--channel", Value}, {"--source-channel", Value}}, unit, modeFile}), File,
         &run<ImportEqCommand>},
        {"export-eq", ExportEqCommand::usage(),
         join({{{"--channel", Value}, {"--format", Value}, {"--out", File}}, unit, modeFile}), None,
         &run<ExportEqCommand>},
        {"show-save", ShowSaveCommand::usage(),
         join({units, {{"--out", File}, {"--groups", File}}}), None, &run<ShowSaveCommand>},
        {"show-diff",
         ShowLoadCommand::usage(Show::Diff),
         {},
         File,
         &runKind<ShowLoadCommand, Show::Diff>},
        {"show-load",
         ShowLoadCommand::usage(Show::Load),
         {{"--yes", None}},
         File,
         &runKind<ShowLoadCommand, Show::Load>},
        {"serve", ServeCommand::usage(),
         join({units,
               {{"--listen", Value},
                {"--osc", Value},
                {"--osc-allow", Value},
                {"--osc-read-only", None},
                {"--read-only", None},
                {"--config", File},
                {"--groups", File},
                {"--events", File},
                {"--alarms", File}}}),
         None, &run<ServeCommand>},
        {"group-list", GroupCommand::usage(Groups::List), join({{{"--groups", File}}, json}), None,
         &runKind<GroupCommand, Groups::List>},
        {"group-set", GroupCommand::usage(Groups::Set),
         join({units,
               {{"--groups", File},
                {"--group", Value},
                {"--gain-db", Value},
                {"--gain-step", Value},
                {"--mute", Value},
                {"--polarity", Value},
                {"--delay-ms", Value}},
               json}),
         None, &runKind<GroupCommand, Groups::Set>},
        {"paired", PairingsCommand::usage(Pairings::List), join({{{"--config", File}}, json}), None,
         &runKind<PairingsCommand, Pairings::List>},
        {"unpair", PairingsCommand::usage(Pairings::Unpair), join({{{"--config", File}}, json}),
         Value, &runKind<PairingsCommand, Pairings::Unpair>},
        {"send", RawSend::usage(),
         join({unit,
               {{"--block", Value},
                {"--op", Value},
                {"--channel", Value},
                {"--code", Value},
                {"--payload", Value},
                {"--tries", Value},
                {"--timeout", Value},
                {"--reply-len", Value},
                {"--wait", Value}}}),
         None, &run<RawSend>},
        {"modules", ModuleCommand::usage(Module::Search), json, None,
         &runKind<ModuleCommand, Module::Search>},
        {"module-read", ModuleCommand::usage(Module::Read),
         join({{{"--ip", Value}, {"--mac", Value}}, json}), None,
         &runKind<ModuleCommand, Module::Read>},
        {"module-write",
         ModuleCommand::usage(Module::Write),
         {{"--ip", Value},
          {"--new-ip", Value},
          {"--new-gateway", Value},
          {"--pc1", Value},
          {"--pc2", Value},
          {"--mac", Value}},
         None,
         &runKind<ModuleCommand, Module::Write>},
    };
}

}  // namespace

bool CommandSpec::takes(const std::string& option) const {
    for (const auto& o : options)
        if (option == o.name) return true;
    return false;
}

const std::vector<CommandSpec>& commandTable() {
    static const std::vector<CommandSpec> table = makeTable();
    return table;
}

const CommandSpec* findCommand(const std::string& name) {
    for (const auto& c : commandTable())
        if (name == c.name) return &c;
    return nullptr;
}

void printHelp(std::ostream& out) {
    out << "usage: quellmar-cli <command> [options]\n"
           "       quellmar-cli --help | --version\n\n"
           "Commands:\n";
    for (const auto& c : commandTable()) out << c.usage;
    out << "\nGlobal options (any position):\n";
    for (const auto& g : globalOptions())
        out << "  " << std::left << std::setw(22) << (std::string(g.name) + " " + g.value) << "  "
            << g.help << "\n";
    out << "With --json a command prints one JSON document on standard output, its failure\n"
           "included: {\"ok\": false, \"error\": {\"code\", \"message\", \"details\"}}.\n"
           "Numbers may be decimal or 0x-hex. Exit status: 0 success, 1 failure (show-diff and\n"
           "show-load: 2 when the units differ from the show).\n";
}

}  // namespace qel::cli
