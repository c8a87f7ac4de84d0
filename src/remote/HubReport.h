// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>
#include <QJsonObject>

namespace qel {

struct Alarm;
class RemoteHub;

// What the hub's port tells monitoring: GET /api/v1/status (JSON) and GET /metrics
// (Prometheus text format 0.0.4). Units are named by their ids on the API (see UnitIds).
namespace hubreport {

// {"number":N,"unit":ID,"unitName":"Stage-L (QD408)","kind":"clip","channel":"out:3",
//  "detail":"","since":"2026-...","acknowledged":false}
QJsonObject alarmJson(RemoteHub& hub, const Alarm& alarm);
// {"version":V,"time":T,"units":[{"id","name","model","state","up","answerAgeSeconds",
//  "alarms":[...]}],"alarms":[...],"alarmCount":N,"newAlarms":N,"clients":[...]}
QJsonObject statusJson(RemoteHub& hub);
QByteArray metricsText(RemoteHub& hub);

// Meter segments as dB, as the page shows them: s * 1.5 - 30; no segment lit is -inf.
double levelDb(int segments);
// A label value as the text format writes it: \ " and newline escaped.
QByteArray escapeLabel(const QString& value);

}  // namespace hubreport

}  // namespace qel
