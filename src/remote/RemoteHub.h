// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <map>
#include <memory>
#include <vector>

#include "remote/RemoteAuth.h"
#include "remote/RemoteServer.h"

namespace qel {

class Equipment;
class RemoteClient;
class RemoteUnits;
struct ClientMessage;

// The remote control: serves the page, pairs clients and keeps them told of the units. Lives
// on the GUI thread's event loop, as every edit must.
class RemoteHub : public QObject {
    Q_OBJECT
public:
    struct Settings {
        bool enabled = false;
        QString address = QStringLiteral("127.0.0.1");
        quint16 port = RemoteServer::kDefaultPort;
        bool readOnly = false;
        static Settings load(const QString& configPath);
        void save(const QString& configPath) const;
    };
    struct ClientInfo {
        int id = 0;
        QString peer, label;
        bool readOnly = false;
    };

    RemoteHub(RemoteUnits& units, const QString& configPath, QObject* parent = nullptr);
    ~RemoteHub() override;

    bool start(const Settings& settings);
    void stop();
    bool running() const { return server_.isListening(); }
    QString errorString() const { return error_; }
    // The address a tablet opens to pair, with the one-time code.
    QString pairingUrl() const;
    std::vector<ClientInfo> clients() const;
    // Closes the client and forgets its pairing.
    void drop(int clientId);
    // The list of units or a unit's state changed.
    void unitsChanged();

    RemoteAuth& auth() { return auth_; }
    RemoteServer& server() { return server_; }
    // The id a unit has on the API while the program runs.
    QString idOf(const Equipment& unit);
    std::shared_ptr<Equipment> unitOf(const QString& id) const;
    QJsonArray unitsJson();

signals:
    void clientsChanged();

private:
    void open(QWebSocket* socket);
    void handle(RemoteClient* client, const ClientMessage& m);
    RemoteServer::Reply api(const QByteArray& path);
    QJsonObject unitJson(const Equipment& unit);

    RemoteUnits& units_;
    RemoteAuth auth_;
    RemoteServer server_;
    Settings settings_;
    QString error_;
    std::vector<RemoteClient*> clients_;
    int nextClient_ = 1;
    std::map<const Equipment*, int> ids_;
    int nextUnit_ = 1;
};

}  // namespace qel
