// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/GroupCommand.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <cmath>
#include <cstdlib>
#include <ostream>

#include "cli/CommandOutput.h"
#include "cli/ErrorText.h"
#include "device/ChannelKey.h"
#include "device/GroupControl.h"
#include "device/Models.h"
#include "device/UnitSessions.h"
#include "platform/Clock.h"

namespace qel::cli {

namespace {

constexpr uint32_t kQueueDrainLimitMs = 10000;

std::string label(const GroupMember& m) {
    return m.unit + " " + std::string(modelName(m.modelCode)) + " " + channelKeyOf(m.channel);
}

std::string number(double v, int decimals) {
    return jsonNumber(v, decimals, true);
}

std::string signedDb(double db) {
    return (db > 0 ? "+" : "") + number(db, 1) + " dB";
}

QJsonObject memberJson(const GroupMember& m) {
    return {{"unit", QString::fromStdString(m.unit)},
            {"model", QString::fromStdString(std::string(modelName(m.modelCode)))},
            {"channel", QString::fromStdString(channelKeyOf(m.channel))}};
}

QJsonObject groupJson(const Group& g) {
    return {{"name", QString::fromStdString(g.name)},
            {"gainDb", groupGainDb(g.gainSteps)},
            {"mute", g.mute},
            {"polarity", g.inverted ? "inverted" : "normal"},
            {"delayMs", groupDelayMs(g.delaySamples)}};
}

std::string offsetsText(const Group& g) {
    return "gain " + signedDb(groupGainDb(g.gainSteps)) + ", mute " + (g.mute ? "on" : "off") +
           ", polarity " + (g.inverted ? "inverted" : "normal") + ", delay " +
           number(groupDelayMs(g.delaySamples), 3) + " ms";
}

}  // namespace

std::optional<GroupSet> readGroupsFile(const QString& path, const char* command,
                                       CommandOutput& output, int& status) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        status = output.fail("file", std::string(command) + ": cannot read " + path.toStdString() +
                                         ": " + file.errorString().toStdString());
        return std::nullopt;
    }
    GroupsRead read = readGroupsJson(file.readAll());
    if (read.ok()) return std::move(read.set);
    std::string text = std::string(command) + ": " + path.toStdString() +
                       " has errors; nothing was sent and the file is left as it is";
    for (const GroupIssue& e : read.errors) text += "\n  " + groupIssueText(e);
    status = output.fail("groups-file", text);
    return std::nullopt;
}

const char* GroupCommand::usage(Kind kind) {
    if (kind == Kind::List)
        return "  group-list --groups FILE [--json]\n"
               "      Lists the groups of a groups file with their offsets and members; a member\n"
               "      whose share its unit has not got yet is marked pending.\n";
    return "  group-set --groups FILE --group NAME (--gain-db X | --gain-step X | --mute on|off |\n"
           "        --polarity normal|inverted | --delay-ms X)\n"
           "        ((--ip A.B.C.D | --serial COMn)... | --all) [--json]\n"
           "      Connects the units, moves the group (each member holds its own value plus\n"
           "      its groups' offsets), keeps the file up to date, and names every member it\n"
           "      could not reach (its share waits in the file) or whose range stopped the\n"
           "      move (exit 1).\n";
}

void GroupCommand::take(Move move, CliOptions& options) {
    const auto v = options.value();
    if (!v) return;
    if (move_ != Move::None) options.fail("group-set: give one move of the group");
    move_ = move;
    if (move == Move::Mute || move == Move::Polarity) {
        const char* on = move == Move::Mute ? "on" : "inverted";
        const char* off = move == Move::Mute ? "off" : "normal";
        if (*v != on && *v != off)
            options.fail(std::string("group-set: ") +
                         (move == Move::Mute ? "--mute" : "--polarity") + " takes " + on + " or " +
                         off);
        value_ = *v == on ? 1 : 0;
        return;
    }
    char* end = nullptr;
    value_ = std::strtod(v->c_str(), &end);
    if (v->empty() || *end != '\0' || !std::isfinite(value_))
        options.fail("group-set: expected a number, got '" + *v + "'");
}

bool GroupCommand::parse(CliOptions& options) {
    std::string option;
    while (options.next(option)) {
        if (kind_ == Kind::Set && targets_.take(option, options)) continue;
        if (option == "--groups") {
            if (auto v = options.value()) file_ = QString::fromStdString(*v);
        } else if (option == "--json") {
            json_ = true;
        } else if (kind_ == Kind::Set && option == "--group") {
            if (auto v = options.value()) group_ = *v;
        } else if (kind_ == Kind::Set && option == "--gain-db") {
            take(Move::Gain, options);
        } else if (kind_ == Kind::Set && option == "--gain-step") {
            take(Move::Step, options);
        } else if (kind_ == Kind::Set && option == "--mute") {
            take(Move::Mute, options);
        } else if (kind_ == Kind::Set && option == "--polarity") {
            take(Move::Polarity, options);
        } else if (kind_ == Kind::Set && option == "--delay-ms") {
            take(Move::Delay, options);
        } else {
            options.fail(std::string(name()) + ": unknown option " + option);
        }
    }
    if (options.error().empty() && file_.isEmpty())
        options.fail(std::string(name()) + ": --groups FILE is required");
    if (kind_ == Kind::Set && options.error().empty()) {
        if (group_.empty()) options.fail("group-set: --group NAME is required");
        if (options.error().empty() && move_ == Move::None)
            options.fail(
                "group-set: give --gain-db, --gain-step, --mute, --polarity or --delay-ms");
        if (options.error().empty()) targets_.check("group-set", options);
    }
    error_ = options.error();
    return error_.empty();
}

int GroupCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    return kind_ == Kind::List ? list(out, err) : set(globals, out, err);
}

int GroupCommand::list(std::ostream& out, std::ostream& err) {
    CommandOutput output(json_, out, err);
    int status = 0;
    const auto set = readGroupsFile(file_, name(), output, status);
    if (!set) return status;
    std::ostream& text = output.text();
    if (set->groups.empty()) text << "No group.\n";
    QJsonArray groups;
    for (const Group& g : set->groups) {
        text << g.name << ": " << offsetsText(g) << "\n";
        QJsonArray members;
        for (const GroupMember& m : g.members) {
            const bool pending = !(set->heldShare(m) == set->wanted(m));
            text << "  " << label(m) << (pending ? "  (pending)" : "") << "\n";
            QJsonObject entry = memberJson(m);
            entry.insert("pending", pending);
            members.append(entry);
        }
        QJsonObject entry = groupJson(g);
        entry.insert("members", members);
        groups.append(entry);
    }
    output.set("groups", groups);
    return output.succeed();
}

int GroupCommand::set(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    CommandOutput output(json_, out, err);
    int status = 0;
    const auto file = readGroupsFile(file_, name(), output, status);
    if (!file) return status;
    if (!file->find(group_))
        return output.fail("no-group", "group-set: " + file_.toStdString() +
                                           " has no group named \"" + group_ + "\"");
    return targets_.hold(
        globals,
        [&](const std::vector<std::shared_ptr<Equipment>>& units, const LinkSettings&) {
            int argc = 1;
            char app[] = "quellmar-cli";
            char* argv[] = {app, nullptr};
            QCoreApplication core(argc, argv);
            UnitSessions sessions;  // no reconnects: the command is over soon
            for (const auto& unit : units) sessions.open(unit);
            GroupControl control(sessions, GroupControl::among(units));
            const auto loaded = control.load(file_);
            if (!loaded.ok()) return output.fail("groups-file", "group-set: the file changed");
            GroupControl::Outcome outcome;
            switch (move_) {
                case Move::Gain:
                    outcome = control.setGainDb(group_, value_);
                    break;
                case Move::Step:
                    outcome = control.stepGain(group_, value_);
                    break;
                case Move::Mute:
                    outcome = control.setMute(group_, value_ != 0);
                    break;
                case Move::Polarity:
                    outcome = control.setPolarity(group_, value_ != 0);
                    break;
                case Move::Delay:
                case Move::None:
                    outcome = control.setDelayMs(group_, value_);
                    break;
            }
            // Every member's unit takes its writes before it is let go.
            const uint32_t start = tickMs();
            for (const auto& unit : units)
                while (unit->queue().pendingCount() > 0 && tickMs() - start < kQueueDrainLimitMs)
                    sleepMs(5);
            if (!control.save())
                return output.fail("file", "group-set: cannot write " + file_.toStdString() + ": " +
                                               control.saveError().toStdString());
            const Group& g = *control.group(group_);
            std::string lines = g.name + ": " + offsetsText(g);
            QJsonArray members;
            for (const GroupControl::MemberView& v : control.members(group_)) {
                QJsonObject entry = memberJson(v.member);
                const bool reached = v.state == GroupControl::MemberState::Online;
                entry.insert("reached", reached);
                lines += "\n  " + label(v.member) + ": ";
                if (reached && v.held) {
                    lines += "holds " + signedDb(v.held->gainDb);
                    entry.insert("gainDb", v.held->gainDb);
                    entry.insert("mute", v.held->mute);
                    if (v.member.channel.side == cmd::Side::Output) {
                        lines += ", mute " + std::string(v.held->mute ? "on" : "off") +
                                 ", polarity " + (v.held->inverted ? "inverted" : "normal") +
                                 ", delay " + number(v.held->delayMs, 3) + " ms";
                        entry.insert("polarity", v.held->inverted ? "inverted" : "normal");
                        entry.insert("delayMs", v.held->delayMs);
                    } else {
                        lines += ", mute " + std::string(v.held->mute ? "on" : "off");
                    }
                } else {
                    lines += "not reached; its share waits in the file";
                }
                members.append(entry);
            }
            output.set("group", groupJson(g));
            output.set("members", members);
            if (outcome.limitedBy) {
                output.set("limitedBy", memberJson(*outcome.limitedBy));
                lines +=
                    "\n" + label(*outcome.limitedBy) + " allows no more: the move stopped there";
            }
            if (!outcome.pending.empty() || outcome.limitedBy)
                return output.fail(outcome.limitedBy ? "limited" : "unreached", lines);
            return output.succeed(lines);
        },
        output);
}

}  // namespace qel::cli
