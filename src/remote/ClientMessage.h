// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArrayView>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <variant>

namespace qel {

// One JSON message from a remote client, checked for shape (not yet for meaning).
//   {"type":"hello","token":T} or {"type":"hello","pair":CODE,"label":L}
//   {"type":"subscribe","units":[ID...] or "*","meters":RATE}
//   {"type":"set","id":N,"unit":ID,"path":"outputs[2].gainDb","value":V,"final":B}
//   {"type":"set","id":N,"group":NAME,"path":"gainDb","value":V,"final":B}   (a group's value)
//   {"type":"open","unit":ID or null}   (the unit the client shows; null: none)
//   {"type":"settle","unit":ID,"keep":"unit" or "program"}   (a unit that came back other)
//   {"type":"acknowledge","id":N,"alarm":NUMBER or "*"}   (a listed alarm, or all of them)
//   {"type":"ping"}
struct ClientMessage {
    static constexpr int kMaxPath = 96;
    static constexpr int kMaxUnits = 64;
    static constexpr int kMaxGroupName = 128;
    static constexpr int kDefaultMeterRate = 15;  // "meters": true

    enum class Type { Hello, Subscribe, Set, Open, Settle, Acknowledge, Ping };
    Type type = Type::Ping;
    QString token, pair, label;  // hello
    QStringList units;           // subscribe; "*" for all
    int meterRate = 0;           // subscribe; per second, 0 = none (the hub caps it)
    double requestId = -1;       // set; echoed in ack/nack
    QString unit, path;          // set; open (unit, empty for none)
    QString group;               // set of a group's value (then no unit)
    QJsonValue value;            // set
    bool final = true;           // set; false while a control is dragged
    bool unitWins = false;       // settle: the unit's settings are kept
    quint64 alarm = 0;           // acknowledge: the alarm's number; 0 for all

    struct Problem {
        enum class Code { NotJson, NotObject, UnknownType, MissingField, BadField };
        Code code = Code::NotJson;
        QString field;
        double requestId = -1;  // the message's "id", when it had one, for the nack
        // In English, for the nack's reason and the API's users.
        QString text() const;
    };
    using Read = std::variant<ClientMessage, Problem>;
    static Read read(QByteArrayView json);

    // "outputs[2].gainDb": names of letters, each with an optional index.
    static bool isPath(const QString& path);
};

}  // namespace qel
