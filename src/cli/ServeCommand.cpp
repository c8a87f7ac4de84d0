// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ServeCommand.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTimer>
#include <iostream>
#include <memory>
#include <optional>
#include <tuple>

#include "cli/CommandOutput.h"
#include "cli/GroupCommand.h"
#include "cli/Interrupt.h"
#include "cli/ServeHost.h"
#include "device/Alarms.h"
#include "device/EditCounts.h"
#include "device/EventLog.h"
#include "platform/Language.h"
#include "remote/QrCode.h"
#include "remote/RemoteHub.h"
#include "ui/PresetIssueWords.h"

namespace qel::cli {

const char* ServeCommand::usage() {
    return "  serve [--listen ADDR:PORT] [--osc ADDR:PORT] (--ip A.B.C.D ... | --serial COMn ...\n"
           "        | --all) [--read-only] [--osc-allow CIDR ...] [--osc-read-only]\n"
           "        [--config FILE] [--groups FILE] [--events DIR] [--alarms FILE]\n"
           "      Connects the units and serves the remote control page on ADDR:PORT until\n"
           "      SIGTERM or Ctrl+C (port 0: any free one); prints the address to pair a\n"
           "      tablet with, and the next one each time a tablet pairs (with a QR code\n"
           "      on a terminal). Pairings are kept in FILE (default QelConfig.ini here);\n"
           "      the page speaks the language the window program keeps there. With\n"
           "      --groups, the groups of channels across units are taken from FILE (made\n"
           "      when missing) and kept there; a file with errors stops serve at once.\n"
           "      With --events, what happens to the units (connections, losses,\n"
           "      transfers, edits by who made them) is logged in DIR, one file of JSON\n"
           "      lines a day, kept for 90 days.\n"
           "      With --osc, an OSC server on UDP ADDR:PORT (default port 8741) sets, asks\n"
           "      and follows the same units and groups (docs/osc.md); senders are heard from\n"
           "      this host only, or from the networks given by --osc-allow (such as\n"
           "      192.168.6.0/24); --osc-read-only refuses its sets. At least one of --listen\n"
           "      and --osc is required.\n"
           "      Alarms (a unit not answering or lost, a meter in its top segments, an\n"
           "      input without signal) are raised and cleared as --alarms FILE says (JSON,\n"
           "      see docs/alarms.md; without it: only a unit silent for 5 s), written to\n"
           "      standard error and the log, and sent to the page; the same port serves\n"
           "      GET /api/v1/status and GET /metrics (Prometheus) to a paired token\n"
           "      (Authorization: Bearer TOKEN). An alarms FILE with a value out of range\n"
           "      stops serve at once, saying which.\n";
}

namespace {

// "ADDR:PORT" ("[::1]:8740" for IPv6); none when it is not.
std::optional<std::pair<QString, quint16>> addressAndPort(const std::string& value) {
    const QString text = QString::fromStdString(value);
    const qsizetype colon = text.lastIndexOf(':');
    bool ok = false;
    const uint port = colon > 0 ? text.mid(colon + 1).toUInt(&ok) : 0;
    QString address = text.left(colon).remove('[').remove(']');
    if (!ok || port > 65535 || QHostAddress(address).isNull()) return std::nullopt;
    return std::pair(address, quint16(port));
}

}  // namespace

bool ServeCommand::parse(CliOptions& options) {
    std::string option;
    while (options.next(option)) {
        if (targets_.take(option, options)) continue;
        if (option == "--listen" || option == "--osc") {
            const auto v = options.value();
            if (!v) continue;
            const auto at = addressAndPort(*v);
            if (!at)
                options.fail("serve: " + option + " takes an address and a port, such as " +
                             (option == "--osc" ? "127.0.0.1:8741" : "127.0.0.1:8740"));
            else if (option == "--osc")
                std::tie(osc_.address, osc_.port) = *at;
            else
                std::tie(address_, port_) = *at;
            (option == "--osc" ? osc_.enabled : listen_) = true;
        } else if (option == "--osc-allow") {
            if (auto v = options.value()) osc_.allow.append(QString::fromStdString(*v));
        } else if (option == "--osc-read-only") {
            osc_.readOnly = true;
        } else if (option == "--read-only") {
            readOnly_ = true;
        } else if (option == "--config") {
            if (auto v = options.value()) config_ = QString::fromStdString(*v);
        } else if (option == "--groups") {
            if (auto v = options.value()) groups_ = QString::fromStdString(*v);
        } else if (option == "--events") {
            if (auto v = options.value()) events_ = QString::fromStdString(*v);
        } else if (option == "--alarms") {
            if (auto v = options.value()) alarms_ = QString::fromStdString(*v);
        } else {
            options.fail("serve: unknown option " + option);
        }
    }
    if (options.error().empty()) targets_.check("serve", options);
    if (const QString bad = osc_.badNetwork(); options.error().empty() && !bad.isEmpty())
        options.fail("serve: --osc-allow takes a network, such as 192.168.6.0/24, not " +
                     bad.toStdString());
    if (options.error().empty() && !listen_ && !osc_.enabled)
        options.fail("serve: --listen ADDR:PORT or --osc ADDR:PORT is required");
    error_ = options.error();
    return error_.empty();
}

int ServeCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    CommandOutput output(false, out, err);
    const std::atomic<bool>* stop = catchTermination();
    // A broken groups file stops serve before any unit is connected; it is left as it is.
    int status = 0;
    if (!groups_.isEmpty() && QFileInfo::exists(groups_) &&
        !readGroupsFile(groups_, "serve", output, status))
        return status;
    AlarmSettings alarmSettings;
    if (!alarms_.isEmpty()) {
        QFile file(alarms_);
        if (!file.open(QIODevice::ReadOnly))
            return output.fail("alarms-file", "serve: cannot read " + alarms_.toStdString() +
                                                  ": " + file.errorString().toStdString());
        const auto read = AlarmSettings::fromJson(file.readAll());
        if (const auto* problem = std::get_if<AlarmSettings::Problem>(&read))
            return output.fail("alarms-file", "serve: " + alarms_.toStdString() + ": " +
                                                  problem->text().toStdString());
        alarmSettings = std::get<AlarmSettings>(read);
    }
    return targets_.hold(
        globals,
        [&](const std::vector<std::shared_ptr<Equipment>>& units, const LinkSettings& link) {
            int argc = 1;
            char name[] = "quellmar-cli";
            char* argv[] = {name, nullptr};
            QCoreApplication app(argc, argv);
            // What the page is told (reasons, a preset's problems) is worded as the window
            // program words it, in the language it keeps; this terminal keeps its own words.
            Language::install(app, Language::configured(config_));
            // The log goes after the sessions, so that their disconnects are in it.
            std::unique_ptr<EventLog> events;
            if (!events_.isEmpty()) {
                events = std::make_unique<EventLog>(events_);
                QObject::connect(events.get(), &EventLog::writeFailed, [&err](const QString& why) {
                    err << "event log: " << why.toStdString() << "\n" << std::flush;
                });
            }
            ServeHost host(units, link);
            if (events) events->attach(host.sessions());
            if (!groups_.isEmpty()) {
                const auto read = host.loadGroups(groups_);
                if (!read.ok())
                    return output.fail("groups-file", "serve: " + groups_.toStdString() +
                                                          " cannot be used; it is left as it is");
                QObject::connect(
                    host.groups(), &GroupControl::saveFailed, [&err](const QString& why) {
                        err << "groups file: " << why.toStdString() << "\n" << std::flush;
                    });
            }
            EditCounts edits;
            edits.attach(host.sessions());
            Alarms alarms(host.sessions(), events.get());
            alarms.setSettings(alarmSettings);
            QObject::connect(&alarms, &Alarms::raised, [&err](const Alarm& a) {
                err << "alarm: " << a.unitText.toStdString() << ' ' << a.name().toStdString()
                    << (a.detail.isEmpty() ? "" : " (" + a.detail.toStdString() + ")") << '\n'
                    << std::flush;
            });
            QObject::connect(&alarms, &Alarms::cleared, [&err](const Alarm& a) {
                err << "alarm cleared: " << a.unitText.toStdString() << ' '
                    << a.name().toStdString() << '\n'
                    << std::flush;
            });
            RemoteHub hub(host, config_);
            hub.setAlarms(&alarms);
            hub.setEditCounts(&edits);
            edits.setOriginText([&hub](const ParamEdit::Origin& origin) {
                return EventLog::originText(
                    origin, [&hub](int client) { return hub.clientLabel(client); });
            });
            if (events)
                events->setClientNames([&hub](int client) { return hub.clientLabel(client); });
            hub.setLanguage(Language::shown());
            hub.setIssueWords(&PresetIssueWords::text);
            RemoteHub::Settings settings;
            settings.address = address_;
            settings.port = port_;
            settings.readOnly = readOnly_;
            if (listen_ && !hub.start(settings))
                return output.fail("listen", "cannot listen on " + address_.toStdString() + ":" +
                                                 std::to_string(port_) + ": " +
                                                 hub.errorString().toStdString());
            if (osc_.enabled && !hub.osc().start(osc_))
                return output.fail("osc", "cannot take OSC on " + osc_.address.toStdString() + ":" +
                                              std::to_string(osc_.port) + ": " +
                                              hub.osc().errorString().toStdString());
            if (osc_.enabled)
                out << "osc.udp://" << osc_.address.toStdString() << ':' << hub.osc().port()
                    << "/\n"
                    << std::flush;
            // Every code pairs one tablet: each new one is shown as the last is spent.
            const bool terminal = &out == &std::cout && ::isatty(STDOUT_FILENO) == 1;
            const auto showPairing = [&] {
                const QString url = hub.pairingUrl();
                out << url.toStdString() << '\n';
                if (terminal) out << QrCode(url).terminalText();
                out << std::flush;
            };
            if (listen_) showPairing();
            QObject::connect(&hub, &RemoteHub::pairingCodeChanged, showPairing);
            // A lost unit is taken up again by its session: the log says when, and that the
            // unit's own settings were kept when it came back with others.
            for (UnitSession* session : host.sessions().all()) {
                const Equipment& unit = session->unit();
                const std::string label =
                    unit.hasFlag(linkflag::kUdp) ? unit.addressText() : unit.portName();
                QObject::connect(session, &UnitSession::settingsReplaced, [&err, label] {
                    err << label << ": came back with other settings; the unit's are kept\n"
                        << std::flush;
                });
                QObject::connect(session, &UnitSession::linkRestored, [&err, label] {
                    err << label << ": answers again\n" << std::flush;
                });
            }
            QTimer watch;
            QObject::connect(&watch, &QTimer::timeout, [&] {
                if (stop->load(std::memory_order_acquire)) app.quit();
            });
            watch.start(50);
            app.exec();
            hub.stop();
            hub.setAlarms(nullptr);
            if (events) events->setClientNames({});
            return 0;
        },
        output);
}

}  // namespace qel::cli
