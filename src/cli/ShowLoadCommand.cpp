// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ShowLoadCommand.h"

#include <ostream>

#include "cli/ErrorText.h"
#include "cli/Interrupt.h"
#include "cli/PresetFile.h"
#include "cli/Session.h"
#include "cli/ShowSaveCommand.h"
#include "device/DownloadVerify.h"
#include "device/GbkText.h"
#include "device/ModeImage.h"

namespace qel::cli {

namespace {

// QD408 "Left"
std::string unitWords(const ShowUnit& u) {
    return std::string(modelName(u.modelCode)) + " \"" + decodeGbk(u.name) + "\"";
}

}  // namespace

const char* ShowLoadCommand::usage(Kind kind) {
    if (kind == Kind::Diff)
        return "  show-diff FILE\n"
               "      Searches for the units of a show file (by name and model, the address\n"
               "      deciding between alike ones), reads each and names the settings that\n"
               "      differ. Exit status 2 when a unit differs or is not found.\n";
    return "  show-load FILE [--yes]\n"
           "      As show-diff, then sends the file's settings to each unit that differs (a\n"
           "      verified download); without --yes it only lists them, sends nothing and\n"
           "      exits with status 2.\n";
}

bool ShowLoadCommand::parse(CliOptions& options) {
    std::string option;
    while (options.next(option)) {
        if (option == "--yes" && kind_ == Kind::Load)
            yes_ = true;
        else if (option.rfind("--", 0) != 0 && file_.empty())
            file_ = option;
        else
            options.fail(std::string(name()) + ": unknown option " + option);
    }
    if (options.error().empty() && file_.empty())
        options.fail(std::string(name()) + ": name the show FILE");
    targets_.searchAll();
    error_ = options.error();
    return error_.empty();
}

int ShowLoadCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    CommandOutput output(false, out, err);
    std::string why;
    const auto json = PresetFile::read(file_, why);
    if (!json) return output.fail("file", why);
    const ShowRead show = readShowJson(*json);
    if (!show.ok()) {
        std::string text = file_ + ": the show file cannot be used:";
        for (const auto& e : show.errors) text += "\n  " + showIssueText(e);
        return output.fail("show", text);
    }
    for (const auto& m : show.moved)
        output.text() << file_ << ": note: " << showIssueText(m) << "\n";
    if (kind_ == Kind::Load && yes_) interrupted_ = catchInterrupt();
    std::vector<int> match;      // per file unit
    std::vector<size_t> wanted;  // per unit worked on: its file unit
    const auto pick = [&](const std::vector<std::shared_ptr<Equipment>>& units) {
        std::vector<ShowCandidate> present;
        for (size_t i = 0; i < units.size(); ++i)
            present.push_back({units[i]->modelCode(), units[i]->deviceName(),
                               showAddress(*units[i], globals.serialMap)});
        match = matchShowUnits(show.units, present);
        std::vector<size_t> picked;
        for (size_t i = 0; i < match.size(); ++i)
            if (match[i] >= 0) {
                picked.push_back(static_cast<size_t>(match[i]));
                wanted.push_back(i);
            }
        return picked;
    };
    const int status = targets_.run(
        globals,
        [&](TargetList::Unit& u, TargetList::Result& r) {
            return work(show.units[wanted[u.index]], u, r);
        },
        output, pick);
    const bool unmatched = tellUnmatched(show, match, output);
    if (status != 0) return status;
    if (differs_ && kind_ == Kind::Load)
        output.errorText() << "nothing sent: give --yes to send the show's settings\n";
    if (differs_) return kDiffers;
    return unmatched ? (kind_ == Kind::Diff ? kDiffers : 1) : 0;
}

bool ShowLoadCommand::work(const ShowUnit& wanted, TargetList::Unit& u, TargetList::Result& r) {
    const std::string who = unitWords(wanted);
    Session session(u.equipment, u.link);
    if (!session.connect(true, r.line)) {
        r.line = who + ": " + r.line;
        r.code = session.failureCode();
        return false;
    }
    const auto differences =
        DownloadVerify::compare(wanted.record, u.equipment.image()->record(), wanted.modelCode);
    if (differences.empty()) {
        r.line = who + ": holds the show's settings";
        return true;
    }
    const size_t n = differences.size();
    if (kind_ == Kind::Diff || !yes_) {
        differs_ = true;
        r.line = who + ": " + std::to_string(n) +
                 (n == 1 ? " setting differs" : " settings differ") + " from the show";
        for (const auto& d : differences) r.line += "\n  " + d.text();
        return true;
    }
    std::string result;
    const bool ok = session.download(wanted.record, true, result, interrupted_);
    r.line =
        who + ": " +
        (ok ? "loaded, " + std::to_string(n) + (n == 1 ? " setting" : " settings") + " changed; "
            : std::string()) +
        result;
    r.code = session.failureCode();
    return ok;
}

bool ShowLoadCommand::tellUnmatched(const ShowRead& show, const std::vector<int>& match,
                                    CommandOutput& output) const {
    bool any = false;
    for (size_t i = 0; i < match.size(); ++i) {
        if (match[i] >= 0) continue;
        (kind_ == Kind::Diff ? output.text() : output.errorText())
            << unitWords(show.units[i]) << " (" << show.units[i].address
            << "): no match among the units found\n";
        any = true;
    }
    return any;
}

}  // namespace qel::cli
