// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QTcpServer>
#include <QWebSocketServer>
#include <functional>

namespace qel {

class RemoteAuth;
struct HttpRequest;

// One TCP port for the remote page and its WebSocket. Each connection's request head is peeked
// at: an upgrade to /ws whose Origin matches its Host goes to the WebSocket server, a GET is
// answered from the page's resources or, with a paired token, from the API (/api/...,
// /metrics).
class RemoteServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 8740;
    struct Limits {
        int maxClients = 8;
        int maxPending = 32;  // connections still sending their request head
        qint64 maxMessageBytes = 64 * 1024;
        int headTimeoutMs = 5000;
    };
    // An authorised GET under /api/ or of /metrics: the status, the body and its type.
    struct Reply {
        int status = 404;
        QByteArray body;
        QByteArray type = "application/json";
    };
    using Api = std::function<Reply(const QByteArray& path)>;

    explicit RemoteServer(RemoteAuth& auth, QObject* parent = nullptr);
    ~RemoteServer() override;

    bool listen(const QHostAddress& address, quint16 port);
    QString errorString() const { return tcp_.errorString(); }
    void close();
    bool isListening() const { return tcp_.isListening(); }
    quint16 port() const { return tcp_.serverPort(); }
    QHostAddress address() const { return tcp_.serverAddress(); }

    void setLimits(const Limits& limits) { limits_ = limits; }
    const Limits& limits() const { return limits_; }
    void setApi(Api api) { api_ = std::move(api); }
    int socketCount() const { return openSockets_; }

    // The Host header names this server in a way a page of another site cannot (an address,
    // localhost or this machine's name), and the Origin, when sent, is that same host.
    static bool originAllowed(const HttpRequest& request);

signals:
    // A WebSocket opened; it is deleted once disconnected.
    void socketOpened(QWebSocket* socket);

private:
    void accept();
    void readHead(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const HttpRequest& request);
    void takeSocket();

    RemoteAuth& auth_;
    QTcpServer tcp_;
    QWebSocketServer ws_;
    Limits limits_;
    Api api_;
    QSet<QTcpSocket*> headPending_;  // connections whose request head is not read yet
    int openSockets_ = 0;
};

}  // namespace qel
