// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/HubReport.h"

#include <QDateTime>
#include <QJsonArray>
#include <algorithm>
#include <cmath>
#include <limits>

#include "device/Alarms.h"
#include "device/ChannelKey.h"
#include "device/EditCounts.h"
#include "device/Models.h"
#include "device/UnitText.h"
#include "link/Equipment.h"
#include "platform/Clock.h"
#include "remote/RemoteHub.h"
#include "remote/RemoteUnits.h"

namespace qel::hubreport {

namespace {

constexpr int kInputSlots = 4;  // meter slots: inputs A..D, then outputs 1..8

QString stateOf(RemoteUnits& units, const Equipment& unit) {
    if (units.reading(unit)) return QStringLiteral("reading");
    if (units.reconnecting(unit)) return QStringLiteral("lost");
    if (!units.editOf(unit)) return QStringLiteral("offline");
    return unit.notAnswering() ? QStringLiteral("not-answering") : QStringLiteral("online");
}

bool up(RemoteUnits& units, const Equipment& unit) {
    return units.editOf(unit) && unit.state() == Equipment::State::Online;
}

// Seconds since the unit last sent anything; none while its link does not run.
std::optional<double> answerAge(const Equipment& unit) {
    if (!unit.linkRunning() || unit.lastHeardMs() == 0) return std::nullopt;
    return (tickMs() - unit.lastHeardMs()) / 1000.0;
}

QByteArray number(double v) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "+Inf" : "-Inf";
    return QByteArray::number(v, 'g', 15);
}

// The families of the text format, each with its HELP and TYPE lines before its samples.
class Writer {
public:
    void family(const char* name, const char* help, const char* type) {
        name_ = name;
        out_ += QByteArray("# HELP ") + name + ' ' + help + "\n# TYPE " + name + ' ' + type + '\n';
    }
    void sample(std::initializer_list<std::pair<const char*, QString>> labels, double value) {
        out_ += name_;
        if (labels.size()) {
            out_ += '{';
            bool first = true;
            for (const auto& [key, text] : labels) {
                if (!first) out_ += ',';
                first = false;
                out_ += QByteArray(key) + "=\"" + escapeLabel(text) + '"';
            }
            out_ += '}';
        }
        out_ += ' ' + number(value) + '\n';
    }
    QByteArray text() const { return out_; }

private:
    QByteArray name_;
    QByteArray out_;
};

int clientCount(RemoteHub& hub) {
    int n = 0;
    for (const RemoteHub::Pairing& p : hub.pairings()) n += int(p.clients.size());
    return n;
}

}  // namespace

double levelDb(int segments) {
    return segments > 0 ? segments * 1.5 - 30.0 : -std::numeric_limits<double>::infinity();
}

QByteArray escapeLabel(const QString& value) {
    QByteArray out;
    for (const char c : value.toUtf8()) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

QJsonObject alarmJson(RemoteHub& hub, const Alarm& alarm) {
    QJsonObject o{{"number", double(alarm.number)},
                  {"unitName", alarm.unitText},
                  {"kind", alarm.kindText()},
                  {"since", alarm.since.toString(Qt::ISODateWithMs)},
                  {"acknowledged", alarm.acknowledged}};
    for (const auto& unit : hub.units().units())
        if (unit.get() == alarm.unit) o.insert("unit", hub.idOf(*unit));
    if (!alarm.channel.isEmpty()) o.insert("channel", alarm.channel);
    if (!alarm.detail.isEmpty()) o.insert("detail", alarm.detail);
    return o;
}

QJsonObject statusJson(RemoteHub& hub) {
    RemoteUnits& units = hub.units();
    const Alarms* alarms = hub.alarms();
    QJsonArray list;
    for (const auto& unit : units.units()) {
        QJsonArray unitAlarms;
        if (alarms)
            for (const Alarm& a : alarms->of(*unit)) unitAlarms.append(alarmJson(hub, a));
        const auto age = answerAge(*unit);
        list.append(QJsonObject{
            {"id", hub.idOf(*unit)},
            {"name", QString::fromStdString(unpaddedUnitText(unit->deviceName()))},
            {"model", QString::fromStdString(unit->modelName())},
            {"state", stateOf(units, *unit)},
            {"up", up(units, *unit)},
            {"answerAgeSeconds", age ? QJsonValue(*age) : QJsonValue()},
            {"alarms", unitAlarms}});
    }
    QJsonArray clients;
    for (const RemoteHub::Pairing& p : hub.pairings())
        for (size_t i = 0; i < p.clients.size(); ++i)
            clients.append(QJsonObject{{"client", p.clients[i]},
                                       {"label", p.label},
                                       {"peer", p.peers.value(qsizetype(i))}});
    const QJsonObject message = hub.alarmsMessage();
    return {{"version", QStringLiteral(QUELLMAR_VERSION)},
            {"time", QDateTime::currentDateTime().toString(Qt::ISODateWithMs)},
            {"units", list},
            {"alarms", message.value("alarms")},
            {"alarmCount", message.value("count")},
            {"newAlarms", message.value("new")},
            {"clients", clients}};
}

QByteArray metricsText(RemoteHub& hub) {
    RemoteUnits& units = hub.units();
    const auto listed = units.units();
    std::vector<QString> ids;
    for (const auto& unit : listed) ids.push_back(hub.idOf(*unit));
    Writer w;
    w.family("quellmar_build_info", "The program's version.", "gauge");
    w.sample({{"version", QStringLiteral(QUELLMAR_VERSION)}}, 1);
    w.family("quellmar_remote_clients", "Remote clients connected now.", "gauge");
    w.sample({}, clientCount(hub));
    w.family("quellmar_unit_up", "1 while the unit is connected and answers, else 0.", "gauge");
    for (size_t i = 0; i < listed.size(); ++i)
        w.sample({{"unit", ids[i]}, {"model", QString::fromStdString(listed[i]->modelName())}},
                 up(units, *listed[i]) ? 1 : 0);
    w.family("quellmar_unit_answer_age_seconds",
             "Seconds since the unit last sent anything, while its link runs.", "gauge");
    for (size_t i = 0; i < listed.size(); ++i)
        if (const auto age = answerAge(*listed[i])) w.sample({{"unit", ids[i]}}, *age);
    w.family("quellmar_meter_level_db",
             "A channel's meter in dB (segments of 1.5 dB; -Inf: no segment lit), while the "
             "unit's meters are read.",
             "gauge");
    for (size_t i = 0; i < listed.size(); ++i) {
        const auto levels = units.levels(*listed[i]);
        if (!levels || listed[i]->state() != Equipment::State::Online) continue;
        const uint32_t model = listed[i]->modelCode();
        for (int c = 0; c < inputCount(model); ++c)
            w.sample({{"unit", ids[i]},
                      {"channel", QString::fromStdString(channelKeyOf(cmd::inputChannel(c + 1)))}},
                     levelDb((*levels)[size_t(c)]));
        for (int c = 0; c < outputCount(model); ++c)
            w.sample({{"unit", ids[i]},
                      {"channel", QString::fromStdString(channelKeyOf(cmd::outputChannel(c + 1)))}},
                     levelDb((*levels)[size_t(kInputSlots + c)]));
    }
    w.family("quellmar_alarm_active", "Alarms listed now, by unit and kind.", "gauge");
    if (const Alarms* alarms = hub.alarms())
        for (size_t i = 0; i < listed.size(); ++i) {
            const auto of = alarms->of(*listed[i]);
            for (auto kind : {Alarm::Kind::Link, Alarm::Kind::Clip, Alarm::Kind::Silence})
                w.sample({{"unit", ids[i]}, {"kind", Alarm::kindText(kind)}},
                         double(std::count_if(of.begin(), of.end(), [kind](const Alarm& a) {
                             return a.kind == kind;
                         })));
        }
    w.family("quellmar_edits_total", "Edits the unit took since the program started, by origin.",
             "counter");
    if (const EditCounts* counts = hub.editCounts())
        for (size_t i = 0; i < listed.size(); ++i)
            for (const auto& [origin, n] : counts->of(*listed[i]))
                w.sample({{"unit", ids[i]}, {"origin", origin}}, double(n));
    return w.text();
}

}  // namespace qel::hubreport
