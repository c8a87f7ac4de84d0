// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTest>
#include <QUrl>
#include <QWebSocket>
#include <algorithm>
#include <functional>
#include <vector>

namespace qel::test {

// A TCP port on loopback that nothing listens on now, for a server under test.
inline quint16 freeTcpPort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

// A WebSocket client of the remote hub that keeps every message it was sent.
struct WebSocketClient {
    explicit WebSocketClient(const QString& origin = {}) : socket(origin) {
        QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString& t) {
            received.push_back(QJsonDocument::fromJson(t.toUtf8()).object());
        });
    }
    bool open(quint16 port, const QString& host = QStringLiteral("127.0.0.1")) {
        socket.open(QUrl(QStringLiteral("ws://%1:%2/ws").arg(host).arg(port)));
        return QTest::qWaitFor(
                   [&] { return socket.state() == QAbstractSocket::ConnectedState ||
                                socket.state() == QAbstractSocket::UnconnectedState; },
                   3000) &&
               socket.state() == QAbstractSocket::ConnectedState;
    }
    void send(const QJsonObject& m) {
        socket.sendTextMessage(QString::fromUtf8(QJsonDocument(m).toJson()));
    }
    // The first message of that type from the `from`th one on (that also passes `also`),
    // waiting up to 3 s for it; empty when none came.
    QJsonObject next(const QString& type, size_t from = 0,
                     const std::function<bool(const QJsonObject&)>& also = {}) {
        QJsonObject found;
        (void)QTest::qWaitFor(
            [&] {
                for (size_t i = from; i < received.size(); ++i)
                    if (received[i].value("type") == type && (!also || also(received[i]))) {
                        found = received[i];
                        return true;
                    }
                return false;
            },
            3000);
        return found;
    }
    // The answer (ack or nack) to request id.
    QJsonObject answer(int id) {
        QJsonObject found;
        (void)QTest::qWaitFor(
            [&] {
                for (const QJsonObject& m : received)
                    if ((m.value("type") == "ack" || m.value("type") == "nack") &&
                        m.value("id") == id) {
                        found = m;
                        return true;
                    }
                return false;
            },
            3000);
        return found;
    }
    // The newest message of that type, waiting for one.
    QJsonObject last(const QString& type) {
        if (!QTest::qWaitFor([&] { return count(type) > 0; }, 3000)) return {};
        const auto it = std::find_if(received.rbegin(), received.rend(),
                                     [&](const QJsonObject& m) { return m.value("type") == type; });
        return *it;
    }
    int count(const QString& type, size_t from = 0) const {
        int n = 0;
        for (size_t i = from; i < received.size(); ++i) n += received[i].value("type") == type;
        return n;
    }
    bool closedWith(int code) {
        return QTest::qWaitFor(
                   [&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 3000) &&
               socket.closeCode() == code;
    }

    QWebSocket socket;
    std::vector<QJsonObject> received;
};

}  // namespace qel::test
