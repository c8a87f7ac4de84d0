// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QTimer>

#include "remote/ClientMessage.h"

class QWebSocket;

namespace qel {

class RemoteAuth;

// One WebSocket client: its hello (a token, or the pairing code traded for one), the edit
// rate it may use, and its keep-alive. Messages reach the hub only once it is paired.
class RemoteClient : public QObject {
    Q_OBJECT
public:
    static constexpr int kHelloMs = 10000;     // to say hello after opening
    static constexpr int kPingMs = 15000;      // between pings to a quiet client
    static constexpr int kIdleMs = 45000;      // without a word: dropped
    static constexpr int kEditsPerSecond = 50;

    RemoteClient(QWebSocket* socket, RemoteAuth& auth, int id, bool readOnly,
                 QObject* parent = nullptr);

    int id() const { return id_; }
    bool readOnly() const { return readOnly_; }
    bool paired() const { return !pairing_.isEmpty(); }
    QByteArray pairing() const { return pairing_; }  // the pairing's id in the list
    QString peer() const;
    // Sends when paired; a client whose socket is this far behind is skipped for meters.
    void send(const QJsonObject& message);
    qint64 backlog() const;
    void close(int code, const QString& reason);
    // The program's language ("zh" or "en"), told in the welcome.
    void setLanguage(const QString& language) { language_ = language; }

signals:
    void ready(qel::RemoteClient* client);
    void message(qel::RemoteClient* client, const qel::ClientMessage& message);
    void gone(qel::RemoteClient* client);

private:
    void receive(const QString& text);
    void hello(const ClientMessage& m);
    bool takeEdit();
    void nack(double requestId, const QString& reason);

    QWebSocket* socket_;
    RemoteAuth& auth_;
    int id_;
    bool readOnly_;
    QByteArray pairing_;
    QString language_ = QStringLiteral("zh");
    QTimer keepAlive_;
    QElapsedTimer heard_;
    QElapsedTimer bucketClock_;
    double bucket_ = kEditsPerSecond;
};

}  // namespace qel
