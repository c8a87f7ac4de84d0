// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>
#include <QString>

#include "device/ParamCommands.h"

namespace qel {

// What the hub tells people (nack reasons, a unit that is gone), in the program's language,
// which the page follows: the window program and serve install its translation at start.
class RemoteWords : public QObject {
    Q_OBJECT
public:
    static QString noUnit(const QString& id);
    static QString busy();
    static QString notRead();
    // The unit is being connected and read for the clients, or that failed.
    static QString reading();
    static QString portFailed();
    static QString noAnswer();
    static QString readFailed();
    static QString notASetting(const QString& path);
    // A client's edits refused: it may only watch, or sends too many.
    static QString watchOnly();
    static QString tooManyEdits();
    // No alarm of that number is listed (it cleared meanwhile, or was acknowledged).
    static QString noAlarm();
    // A value the unit's settings cannot take, when the front end gave no words for why.
    static QString notTaken(const QString& path);
    // The program has no group of that name.
    static QString noGroup(const QString& name);
    // A group's move stopped at a member's limit; the group's offset is now `stopped`.
    static QString groupLimited(const QString& member, const QString& stopped);
    // OSC: an address the server does not have; a set that does not carry one number; a
    // subscription's arguments; one subscriber too many; a unit mode's recall; a message in
    // bundles nested too deep.
    static QString oscNoAddress();
    static QString oscOneNumber();
    static QString oscSubscribeArgs();
    static QString oscTooManySubscribers(int most);
    // A mode number outside the unit's stored modes 1..modes.
    static QString oscModeNumber(int modes);
    static QString recallRefused(int mode);
    static QString busyWith(const QString& holder);
    static QString oscTooDeep();
    // A channel of a unit, as a member of a group: "Stage-L 输出 1".
    static QString member(const QString& unit, const cmd::ChannelId& channel);
};

}  // namespace qel
