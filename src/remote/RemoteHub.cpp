// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/RemoteHub.h"

#include <QJsonDocument>
#include <QSettings>
#include <QWebSocket>

#include "device/UnitText.h"
#include "link/Equipment.h"
#include "remote/RemoteClient.h"
#include "remote/RemoteUnits.h"

namespace qel {

RemoteHub::Settings RemoteHub::Settings::load(const QString& configPath) {
    QSettings s(configPath, QSettings::IniFormat);
    Settings r;
    r.enabled = s.value("Remote/Enabled", false).toBool();
    r.address = s.value("Remote/Address", r.address).toString();
    const uint port = s.value("Remote/Port", r.port).toUInt();
    if (port > 0 && port < 65536) r.port = quint16(port);
    r.readOnly = s.value("Remote/ReadOnly", false).toBool();
    return r;
}

void RemoteHub::Settings::save(const QString& configPath) const {
    QSettings s(configPath, QSettings::IniFormat);
    s.setValue("Remote/Enabled", enabled);
    s.setValue("Remote/Address", address);
    s.setValue("Remote/Port", port);
    s.setValue("Remote/ReadOnly", readOnly);
}

RemoteHub::RemoteHub(RemoteUnits& units, const QString& configPath, QObject* parent)
    : QObject(parent), units_(units), auth_(configPath), server_(auth_) {
    server_.setApi([this](const QByteArray& path) { return api(path); });
    connect(&server_, &RemoteServer::socketOpened, this, &RemoteHub::open);
}

RemoteHub::~RemoteHub() { stop(); }

bool RemoteHub::start(const Settings& settings) {
    stop();
    settings_ = settings;
    const QHostAddress address(settings.address);
    if (address.isNull()) {
        error_ = QStringLiteral("%1 is not an address").arg(settings.address);
        return false;
    }
    if (!server_.listen(address, settings.port)) {
        error_ = server_.errorString();
        return false;
    }
    error_.clear();
    return true;
}

void RemoteHub::stop() {
    server_.close();
    for (RemoteClient* c : std::vector<RemoteClient*>(clients_))
        c->close(QWebSocketProtocol::CloseCodeGoingAway, QStringLiteral("the remote was switched off"));
}

QString RemoteHub::pairingUrl() const {
    QHostAddress address = server_.address();
    QString host = address.toString();
    if (address.protocol() == QAbstractSocket::IPv6Protocol) host = '[' + host + ']';
    return QStringLiteral("http://%1:%2/?pair=%3").arg(host).arg(server_.port()).arg(
        auth_.pairingCode());
}

std::vector<RemoteHub::ClientInfo> RemoteHub::clients() const {
    std::vector<ClientInfo> list;
    for (const RemoteClient* c : clients_)
        if (c->paired()) list.push_back({c->id(), c->peer(), c->label(), c->readOnly()});
    return list;
}

void RemoteHub::drop(int clientId) {
    for (RemoteClient* c : clients_) {
        if (c->id() != clientId) continue;
        auth_.revoke(c->pairing());
        c->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("dropped"));
    }
}

void RemoteHub::open(QWebSocket* socket) {
    auto* client = new RemoteClient(socket, auth_, nextClient_++, settings_.readOnly, socket);
    clients_.push_back(client);
    connect(client, &RemoteClient::ready, this, [this](RemoteClient* c) {
        c->send({{"type", "units"}, {"units", unitsJson()}});
        emit clientsChanged();
    });
    connect(client, &RemoteClient::message, this, &RemoteHub::handle);
    connect(client, &RemoteClient::gone, this, [this](RemoteClient* c) {
        std::erase(clients_, c);
        emit clientsChanged();
    });
}

void RemoteHub::handle(RemoteClient* client, const ClientMessage& m) {
    (void)client;
    (void)m;
}

void RemoteHub::unitsChanged() {
    const QJsonObject message{{"type", "units"}, {"units", unitsJson()}};
    for (RemoteClient* c : clients_) c->send(message);
}

QString RemoteHub::idOf(const Equipment& unit) {
    auto [it, added] = ids_.try_emplace(&unit, nextUnit_);
    if (added) ++nextUnit_;
    return QString::number(it->second);
}

std::shared_ptr<Equipment> RemoteHub::unitOf(const QString& id) const {
    for (const auto& unit : units_.units()) {
        const auto it = ids_.find(unit.get());
        if (it != ids_.end() && QString::number(it->second) == id) return unit;
    }
    return nullptr;
}

QJsonArray RemoteHub::unitsJson() {
    QJsonArray list;
    for (const auto& unit : units_.units()) list.append(unitJson(*unit));
    return list;
}

QJsonObject RemoteHub::unitJson(const Equipment& unit) {
    const bool serial = unit.hasFlag(linkflag::kSerial);
    QString state = QStringLiteral("online");
    if (!unit.hasFlag(linkflag::kAvailable | linkflag::kParamsRead))
        state = QStringLiteral("offline");
    else if (unit.notAnswering())
        state = QStringLiteral("not-answering");
    return {{"id", idOf(unit)},
            {"model", QString::fromStdString(unit.modelName())},
            {"name", QString::fromStdString(unpaddedUnitText(unit.deviceName()))},
            {"transport", serial ? "serial" : "udp"},
            {"address", QString::fromStdString(serial ? unit.portName() : unit.addressText())},
            {"state", state},
            {"engineering", unit.hasFlag(linkflag::kEngineering)},
            {"busy", units_.busy(unit)}};
}

RemoteServer::Reply RemoteHub::api(const QByteArray& path) {
    const auto json = [](const auto& value) {
        return QJsonDocument(value).toJson(QJsonDocument::Compact);
    };
    if (path == "/api/v1/units") return {200, json(unitsJson())};
    return {404, {}};
}

}  // namespace qel
