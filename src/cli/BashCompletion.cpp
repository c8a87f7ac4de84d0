// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/BashCompletion.h"

#include <ostream>
#include <string>

#include "cli/CliOptions.h"
#include "cli/CommandTable.h"

namespace qel::cli {

namespace {

// The options' names separated by spaces; only those with that kind of value unless all.
std::string names(const std::vector<OptionSpec>& options, ArgKind kind, bool all) {
    std::string list;
    for (const auto& o : options)
        if (all || o.value == kind) list += std::string(list.empty() ? "" : " ") + o.name;
    return list;
}

const char* operandName(ArgKind kind) {
    return kind == ArgKind::File ? "file" : kind == ArgKind::Value ? "value" : "none";
}

void printHead(std::ostream& out) {
    std::string globals, withValue, commands;
    for (const auto& g : globalOptions()) {
        globals += std::string(globals.empty() ? "" : " ") + g.name;
        if (*g.value) withValue += std::string(" ") + g.name;
    }
    for (const auto& c : commandTable()) commands += std::string(c.name) + " ";
    out << "# bash completion for quellmar-cli, written by quellmar-cli --completion bash\n"
           "_quellmar_cli() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "    local globals=\""
        << globals
        << "\"\n"
           "    local global_values=\""
        << withValue
        << " \"\n"
           "    local command=\"\" word i=1\n"
           "    COMPREPLY=()\n"
           "    while ((i < COMP_CWORD)); do\n"
           "        word=${COMP_WORDS[i]}\n"
           "        if [[ $global_values == *\" $word \"* || $word == [=:] ]]; then\n"
           "            ((i += 2))\n"
           "        elif [[ $word == --trace ]]; then\n"
           "            ((i += 1))\n"
           "        else\n"
           "            command=$word\n"
           "            break\n"
           "        fi\n"
           "    done\n"
           "    # A value comes next: nothing to offer.\n"
           "    [[ $global_values == *\" $prev \"* || $prev == [=:] ]] && return\n"
           "    if [[ -z $command ]]; then\n"
           "        mapfile -t COMPREPLY < <(compgen -W \""
        << commands
        << "--help --version $globals\" -- \"$cur\")\n"
           "        return\n"
           "    fi\n"
           "    local options values files operand\n"
           "    case $command in\n";
}

void printTail(std::ostream& out) {
    out << "    *) return ;;\n"
           "    esac\n"
           "    if [[ \" $files \" == *\" $prev \"* ]] ||\n"
           "        [[ $operand == file && $cur != -* && \" $values \" != *\" $prev \"* ]]; then\n"
           "        compopt -o filenames 2>/dev/null\n"
           "        mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")\n"
           "        return\n"
           "    fi\n"
           "    [[ \" $values \" == *\" $prev \"* ]] && return\n"
           "    mapfile -t COMPREPLY < <(compgen -W \"$options $globals\" -- \"$cur\")\n"
           "}\n"
           "complete -F _quellmar_cli quellmar-cli\n";
}

}  // namespace

void printBashCompletion(std::ostream& out) {
    printHead(out);
    for (const auto& c : commandTable()) {
        out << "    " << c.name << ")\n"
            << "        options=\"" << names(c.options, ArgKind::None, true) << "\"\n"
            << "        values=\"" << names(c.options, ArgKind::Value, false) << "\"\n"
            << "        files=\"" << names(c.options, ArgKind::File, false) << "\"\n"
            << "        operand=" << operandName(c.operand) << " ;;\n";
    }
    printTail(out);
}

}  // namespace qel::cli
