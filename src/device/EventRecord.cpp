// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/EventRecord.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace qel {

namespace {
void putText(QJsonObject& o, const char* key, const QString& text) {
    if (!text.isEmpty()) o.insert(QLatin1String(key), text);
}
}  // namespace

QByteArray EventRecord::toJsonLine() const {
    QJsonObject o;
    // With the offset from UTC, so that the file reads the same in another time zone.
    o.insert(QLatin1String("time"),
             time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs));
    o.insert(QLatin1String("kind"), kind);
    putText(o, "unit", unit);
    putText(o, "address", address);
    putText(o, "origin", origin);
    putText(o, "channel", channel);
    putText(o, "setting", setting);
    putText(o, "what", what);
    putText(o, "detail", detail);
    if (ok) o.insert(QLatin1String("ok"), *ok);
    if (edits > 0) {
        o.insert(QLatin1String("from"), from);
        o.insert(QLatin1String("to"), to);
        o.insert(QLatin1String("edits"), edits);
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<EventRecord> EventRecord::fromJsonLine(const QByteArray& line) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    const QJsonObject o = document.object();
    EventRecord r;
    r.time = QDateTime::fromString(o.value(QLatin1String("time")).toString(), Qt::ISODateWithMs);
    r.kind = o.value(QLatin1String("kind")).toString();
    if (!r.time.isValid() || r.kind.isEmpty()) return std::nullopt;
    r.unit = o.value(QLatin1String("unit")).toString();
    r.address = o.value(QLatin1String("address")).toString();
    r.origin = o.value(QLatin1String("origin")).toString();
    r.channel = o.value(QLatin1String("channel")).toString();
    r.setting = o.value(QLatin1String("setting")).toString();
    r.what = o.value(QLatin1String("what")).toString();
    r.detail = o.value(QLatin1String("detail")).toString();
    if (const QJsonValue v = o.value(QLatin1String("ok")); v.isBool()) r.ok = v.toBool();
    r.edits = o.value(QLatin1String("edits")).toInt();
    if (r.edits > 0) {
        r.from = o.value(QLatin1String("from"));
        r.to = o.value(QLatin1String("to"));
    }
    return r;
}

}  // namespace qel
