// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <optional>
#include <string>

#include "remote/ClientMessage.h"

namespace qel {

class GroupControl;

// The program's groups as the remote clients see and move them: the "groups" message (each
// group's offsets and its members with their state) and a client's set of a group's value.
// A client's drag of a group (sets with final false, then one with final true) is one drag
// of the groups, so that their file is written once, at its end. GUI thread only.
class RemoteGroups : public QObject {
    Q_OBJECT
public:
    static constexpr int kDragEndMs = 3000;  // a drag that had no set for this long has ended

    explicit RemoteGroups(GroupControl& groups, QObject* parent = nullptr);
    ~RemoteGroups() override;

    // The "groups" message as things are now.
    QJsonObject message() const;
    // Looks again, once per turn of the event loop however often asked; a message other than
    // the last one told is told by changed(). The groups' own changes look by themselves.
    void look();
    // Takes a client's set of a group's value (m.group; path gainDb, gainStepDb: a step of
    // it, mute, polarity or delayMs); the answer to send, ack or nack.
    QJsonObject set(const ClientMessage& m);

signals:
    void changed(const QJsonObject& message);

private:
    void endDrag();

    QPointer<GroupControl> groups_;
    QJsonObject told_;
    bool looking_ = false;
    std::optional<std::string> drag_;  // the group a client drags
    QTimer dragEnd_;
};

}  // namespace qel
