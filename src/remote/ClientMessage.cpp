// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/ClientMessage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cmath>

namespace qel {

namespace {

using Problem = ClientMessage::Problem;
using Code = Problem::Code;

// A string field: missing is allowed when optional, anything else must be a short string.
bool readString(const QJsonObject& o, const char* name, QString& out, bool optional,
                Problem& problem, int maxLength = 128) {
    const QJsonValue v = o.value(QLatin1String(name));
    if (v.isUndefined() && optional) return true;
    if (v.isUndefined()) {
        problem = {Code::MissingField, name};
        return false;
    }
    if (!v.isString() || v.toString().size() > maxLength) {
        problem = {Code::BadField, name};
        return false;
    }
    out = v.toString();
    return true;
}

bool readHello(const QJsonObject& o, ClientMessage& m, Problem& p) {
    if (!readString(o, "token", m.token, true, p) || !readString(o, "pair", m.pair, true, p) ||
        !readString(o, "label", m.label, true, p))
        return false;
    if (m.token.isEmpty() && m.pair.isEmpty()) {
        p = {Code::MissingField, "token"};
        return false;
    }
    return true;
}

bool readSubscribe(const QJsonObject& o, ClientMessage& m, Problem& p) {
    const QJsonValue units = o.value("units");
    if (units.isString() && units.toString() == "*") {
        m.units = {"*"};
    } else if (units.isArray() && units.toArray().size() <= ClientMessage::kMaxUnits) {
        for (const QJsonValue& u : units.toArray()) {
            if (!u.isString() || u.toString().size() > 64) {
                p = {Code::BadField, "units"};
                return false;
            }
            m.units << u.toString();
        }
    } else if (!units.isUndefined()) {
        p = {Code::BadField, "units"};
        return false;
    }
    const QJsonValue meters = o.value("meters");
    if (meters.isUndefined()) return true;
    if (meters.isBool()) {
        m.meterRate = meters.toBool() ? ClientMessage::kDefaultMeterRate : 0;
        return true;
    }
    const double rate = meters.toDouble(-1);
    if (!meters.isDouble() || rate < 0 || rate > 1000 || rate != std::floor(rate)) {
        p = {Code::BadField, "meters"};
        return false;
    }
    m.meterRate = int(rate);
    return true;
}

bool readSet(const QJsonObject& o, ClientMessage& m, Problem& p) {
    const QJsonValue id = o.value("id");
    if (!id.isUndefined() && (!id.isDouble() || !std::isfinite(id.toDouble()))) {
        p = {Code::BadField, "id"};
        return false;
    }
    m.requestId = id.toDouble(-1);
    if (!readString(o, "group", m.group, true, p, ClientMessage::kMaxGroupName) ||
        (m.group.isEmpty() && !readString(o, "unit", m.unit, false, p, 64)) ||
        !readString(o, "path", m.path, false, p, ClientMessage::kMaxPath))
        return false;
    if (!ClientMessage::isPath(m.path)) {
        p = {Code::BadField, "path"};
        return false;
    }
    m.value = o.value("value");
    if (m.value.isUndefined() || m.value.isNull()) {
        p = {m.value.isUndefined() ? Code::MissingField : Code::BadField, "value"};
        return false;
    }
    const QJsonValue final = o.value("final");
    if (!final.isUndefined() && !final.isBool()) {
        p = {Code::BadField, "final"};
        return false;
    }
    m.final = final.toBool(true);
    return true;
}

// {"unit":ID} opens the unit; {"unit":null} or none: back to the list.
bool readOpen(const QJsonObject& o, ClientMessage& m, Problem& p) {
    const QJsonValue unit = o.value("unit");
    if (unit.isNull() || unit.isUndefined()) return true;
    return readString(o, "unit", m.unit, false, p, 64);
}

bool readSettle(const QJsonObject& o, ClientMessage& m, Problem& p) {
    const QJsonValue id = o.value("id");
    if (id.isDouble() && std::isfinite(id.toDouble())) m.requestId = id.toDouble();
    QString keep;
    if (!readString(o, "unit", m.unit, false, p, 64) || !readString(o, "keep", keep, false, p))
        return false;
    if (keep != "unit" && keep != "program") {
        p = {Code::BadField, "keep"};
        return false;
    }
    m.unitWins = keep == "unit";
    return true;
}

bool readAcknowledge(const QJsonObject& o, ClientMessage& m, Problem& p) {
    const QJsonValue id = o.value("id");
    if (id.isDouble() && std::isfinite(id.toDouble())) m.requestId = id.toDouble();
    const QJsonValue alarm = o.value("alarm");
    if (alarm.isString() && alarm.toString() == "*") return true;
    const double number = alarm.toDouble(0);
    if (!alarm.isDouble() || number < 1 || number > 9007199254740992.0 ||
        number != std::floor(number)) {
        p = {alarm.isUndefined() ? Code::MissingField : Code::BadField, "alarm"};
        return false;
    }
    m.alarm = quint64(number);
    return true;
}

}  // namespace

QString ClientMessage::Problem::text() const {
    switch (code) {
    case Code::NotJson: return QStringLiteral("the message is not JSON");
    case Code::NotObject: return QStringLiteral("the message is not a JSON object");
    case Code::UnknownType: return QStringLiteral("unknown message type");
    case Code::MissingField: return QStringLiteral("\"%1\" is missing").arg(field);
    case Code::BadField: return QStringLiteral("\"%1\" has a wrong value").arg(field);
    }
    return {};
}

bool ClientMessage::isPath(const QString& path) {
    static const QRegularExpression kPath(
        QStringLiteral("^[A-Za-z]+(\\[[0-9]{1,2}\\])?(\\.[A-Za-z]+(\\[[0-9]{1,2}\\])?){0,3}$"));
    return path.size() <= kMaxPath && kPath.match(path).hasMatch();
}

ClientMessage::Read ClientMessage::read(QByteArrayView json) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError) return Problem{Code::NotJson, {}};
    if (!doc.isObject()) return Problem{Code::NotObject, {}};
    const QJsonObject o = doc.object();
    const QString type = o.value("type").toString();
    ClientMessage m;
    Problem p;
    bool ok = true;
    if (type == "hello") {
        m.type = Type::Hello;
        ok = readHello(o, m, p);
    } else if (type == "subscribe") {
        m.type = Type::Subscribe;
        ok = readSubscribe(o, m, p);
    } else if (type == "set") {
        m.type = Type::Set;
        ok = readSet(o, m, p);
    } else if (type == "open") {
        m.type = Type::Open;
        ok = readOpen(o, m, p);
    } else if (type == "settle") {
        m.type = Type::Settle;
        ok = readSettle(o, m, p);
    } else if (type == "acknowledge") {
        m.type = Type::Acknowledge;
        ok = readAcknowledge(o, m, p);
    } else if (type == "ping") {
        m.type = Type::Ping;
    } else {
        return Problem{Code::UnknownType, type.left(32)};
    }
    if (!ok) {
        const QJsonValue id = o.value("id");
        if (id.isDouble() && std::isfinite(id.toDouble())) p.requestId = id.toDouble();
        return p;
    }
    return m;
}

}  // namespace qel
