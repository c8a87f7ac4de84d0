// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/PairingsCommand.h"

#include <QFileInfo>
#include <QJsonArray>
#include <algorithm>
#include <iomanip>
#include <ostream>

#include "cli/CommandOutput.h"
#include "remote/RemoteAuth.h"

namespace qel::cli {

namespace {

std::string localTime(const QDateTime& t) {
    return t.isValid() ? t.toLocalTime().toString("yyyy-MM-dd HH:mm").toStdString() : "-";
}

QJsonValue utcTime(const QDateTime& t) {
    return t.isValid() ? QJsonValue(t.toUTC().toString(Qt::ISODate)) : QJsonValue();
}

}  // namespace

const char* PairingsCommand::usage(Kind kind) {
    if (kind == Kind::List)
        return "  paired [--config FILE] [--json]\n"
               "      Lists the browsers paired with the remote control in FILE (default\n"
               "      QelConfig.ini here): id, when paired, when last seen, name.\n";
    return "  unpair ID [--config FILE] [--json]\n"
           "      Drops the pairing ID (as paired lists it): its token opens nothing from\n"
           "      now on, and a serve or window program on FILE closes its connections.\n";
}

bool PairingsCommand::parse(CliOptions& options) {
    std::string option;
    while (options.next(option)) {
        if (option == "--config") {
            if (auto v = options.value()) config_ = QString::fromStdString(*v);
        } else if (option == "--json") {
            json_ = true;
        } else if (kind_ == Kind::Unpair && option.rfind("--", 0) != 0 && id_.isEmpty()) {
            id_ = QString::fromStdString(option);
        } else {
            options.fail(std::string(name()) + ": unknown option " + option);
        }
    }
    if (options.error().empty() && kind_ == Kind::Unpair && id_.isEmpty())
        options.fail("unpair: name the pairing's ID (quellmar-cli paired lists them)");
    error_ = options.error();
    return error_.empty();
}

int PairingsCommand::run(const GlobalOptions&, std::ostream& out, std::ostream& err) {
    CommandOutput output(json_, out, err);
    if (!QFileInfo(config_).isFile())
        return output.fail("file", std::string(name()) + ": " + config_.toStdString() +
                                       " does not exist (--config names the settings file)");
    RemoteAuth auth(config_);
    const std::vector<RemoteAuth::Paired> list = auth.paired();
    if (kind_ == Kind::Unpair) {
        const auto it = std::find_if(list.begin(), list.end(), [&](const auto& p) {
            return QString::fromLatin1(p.id) == id_;
        });
        if (it == list.end() || !auth.revoke(it->id))
            return output.fail("no-pairing", "unpair: no pairing " + id_.toStdString() + " in " +
                                                 config_.toStdString());
        output.set({{"id", QString::fromLatin1(it->id)}, {"label", it->label}});
        return output.succeed("Dropped " + it->id.toStdString() + " \"" + it->label.toStdString() +
                              "\".");
    }
    QJsonArray pairings;
    std::ostream& text = output.text();
    if (list.empty())
        text << "No browser is paired.\n";
    else
        text << std::left << std::setw(10) << "ID" << std::setw(18) << "PAIRED" << std::setw(18)
             << "LAST SEEN"
             << "NAME\n";
    for (const RemoteAuth::Paired& p : list) {
        text << std::setw(10) << p.id.toStdString() << std::setw(18) << localTime(p.since)
             << std::setw(18) << localTime(p.lastSeen) << p.label.toStdString() << "\n";
        pairings.append(QJsonObject{{"id", QString::fromLatin1(p.id)},
                                    {"label", p.label},
                                    {"since", utcTime(p.since)},
                                    {"lastSeen", utcTime(p.lastSeen)}});
    }
    output.set("pairings", pairings);
    return output.succeed();
}

}  // namespace qel::cli
