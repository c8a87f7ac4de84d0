// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebSocket>
#include <memory>
#include <vector>

#include "remote/RemoteAuth.h"
#include "remote/RemoteClient.h"
#include "remote/RemoteServer.h"
#include "remote/RemoteWords.h"
#include "support/WebSocketClient.h"

using namespace qel;

namespace {

// What the server answers to the given bytes, read until it closes.
QByteArray exchange(quint16 port, const QByteArray& request) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(2000)) return {};
    socket.write(request);
    QByteArray reply;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { reply += socket.readAll(); });
    if (!QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 3000))
        return "(still open) " + reply;
    return reply + socket.readAll();
}

QByteArray get(quint16 port, const QByteArray& path, const QByteArray& extra = {}) {
    return exchange(port, "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" +
                              QByteArray::number(port) + "\r\n" + extra + "\r\n");
}

using Client = test::WebSocketClient;

}  // namespace

class RemoteServerTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<RemoteAuth> auth_;
    std::unique_ptr<RemoteServer> server_;
    std::vector<std::unique_ptr<RemoteClient>> clients_;
    quint16 port_ = 0;
    bool readOnly_ = false;

    QString config() const { return dir_.filePath("QelConfig.ini"); }
    // A client that said hello with the pairing code, and its token.
    QString pairedToken(Client& c) {
        if (!c.open(port_)) return {};
        c.send({{"type", "hello"}, {"pair", auth_->pairingCode()}, {"label", "tablet"}});
        return c.last("welcome").value("token").toString();
    }

private slots:
    void init() {
        auth_ = std::make_unique<RemoteAuth>(config());
        server_ = std::make_unique<RemoteServer>(*auth_);
        server_->setApi([](const QByteArray& path) {
            return path == "/api/v1/units" ? RemoteServer::Reply{200, "[]"}
                                           : RemoteServer::Reply{404, {}};
        });
        QVERIFY(server_->listen(QHostAddress::LocalHost, 0));
        port_ = server_->port();
        connect(server_.get(), &RemoteServer::socketOpened, this, [this](QWebSocket* ws) {
            clients_.push_back(
                std::make_unique<RemoteClient>(ws, *auth_, int(clients_.size()) + 1, readOnly_));
            connect(clients_.back().get(), &RemoteClient::message, this,
                    [](RemoteClient* c, const ClientMessage& m) {
                        c->send({{"type", "ack"}, {"id", m.requestId}});
                    });
        });
    }
    void cleanup() {
        clients_.clear();
        server_.reset();
        auth_.reset();
        QFile::remove(config());
        readOnly_ = false;
    }

    void pageAndApiAnswerOnlyWhatTheyShould() {
        const QByteArray page = get(port_, "/");
        QVERIFY(page.startsWith("HTTP/1.1 200 OK"));
        QVERIFY(page.contains("Content-Security-Policy: default-src 'self'"));
        QVERIFY(page.contains("Cache-Control: no-cache"));
        QVERIFY(page.contains("<script src=\"app.js\""));
        QVERIFY(get(port_, "/app.js").contains("text/javascript"));
        QVERIFY(get(port_, "/../etc/passwd").startsWith("HTTP/1.1 404"));
        QVERIFY(get(port_, "/api/v1/units").startsWith("HTTP/1.1 401"));
        QVERIFY(get(port_, "/api/v1/units", "Authorization: Bearer 0123\r\n")
                    .startsWith("HTTP/1.1 401"));
        Client c;
        const QString token = pairedToken(c);
        QVERIFY(!token.isEmpty());
        const QByteArray bearer = "Authorization: Bearer " + token.toLatin1() + "\r\n";
        QVERIFY(get(port_, "/api/v1/units", bearer).endsWith("\r\n\r\n[]"));
        QVERIFY(get(port_, "/api/v1/nothing", bearer).startsWith("HTTP/1.1 404"));
        QVERIFY(exchange(port_, "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").startsWith("HTTP/1.1 405"));
        QVERIFY(exchange(port_, "GET /\r\n\r\n").startsWith("HTTP/1.1 400"));
        QVERIFY(exchange(port_, "GET / HTTP/1.1\r\nX: " + QByteArray(9000, 'a') + "\r\n\r\n")
                    .startsWith("HTTP/1.1 431"));
    }

    // A page of another site, or one reached through a name that is not this machine's (a
    // rebound DNS name), is refused before the handshake.
    void foreignOriginsAreRefused() {
        const QByteArray upgrade = "Upgrade: websocket\r\nConnection: Upgrade\r\n"
                                   "Sec-WebSocket-Version: 13\r\n"
                                   "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n";
        QVERIFY(get(port_, "/ws", upgrade + "Origin: http://evil.example\r\n")
                    .startsWith("HTTP/1.1 403"));
        QVERIFY(exchange(port_, "GET /ws HTTP/1.1\r\nHost: evil.example:" +
                                    QByteArray::number(port_) + "\r\n" + upgrade +
                                    "Origin: http://evil.example:" + QByteArray::number(port_) +
                                    "\r\n\r\n")
                    .startsWith("HTTP/1.1 403"));
        Client foreign(QStringLiteral("http://evil.example"));
        QVERIFY(!foreign.open(port_));
        Client own(QStringLiteral("http://127.0.0.1:%1").arg(port_));
        QVERIFY(own.open(port_));
    }

    void pairingCodeIsSpentAndTokensLastUntilDropped() {
        Client wrong;
        QVERIFY(wrong.open(port_));
        wrong.send({{"type", "hello"}, {"token", QString(32, 'a')}});
        QVERIFY(wrong.closedWith(1008));
        Client silent;
        QVERIFY(silent.open(port_));
        silent.send({{"type", "set"}, {"unit", "1"}, {"path", "inputs[0].gainDb"}, {"value", 1}});
        QVERIFY(silent.closedWith(1008));

        const QString code = auth_->pairingCode();
        Client first;
        const QString token = pairedToken(first);
        QCOMPARE(token.size(), 32);
        QVERIFY(auth_->pairingCode() != code);
        Client again;
        QVERIFY(again.open(port_));
        again.send({{"type", "hello"}, {"pair", code}});
        QVERIFY(again.closedWith(1008));

        // The program restarts: the token still pairs, until it is dropped.
        clients_.clear();
        server_.reset();
        auth_ = std::make_unique<RemoteAuth>(config());
        init();
        Client back;
        QVERIFY(back.open(port_));
        back.send({{"type", "hello"}, {"token", token}});
        QVERIFY(back.last("welcome").value("token").isUndefined());
        QCOMPARE(auth_->paired().size(), size_t{1});
        QCOMPARE(auth_->paired()[0].label, QString("tablet"));
        auth_->revoke(auth_->paired()[0].id);
        Client dropped;
        QVERIFY(dropped.open(port_));
        dropped.send({{"type", "hello"}, {"token", token}});
        QVERIFY(dropped.closedWith(1008));
    }

    // Dropped by another program on the file (quellmar-cli unpair): a token opens nothing at
    // once, neither a WebSocket nor the API.
    void aPairingDroppedByAnotherProgramOpensNothing() {
        Client a, b;
        const QString socketToken = pairedToken(a), apiToken = pairedToken(b);
        QVERIFY(RemoteAuth(config()).revoke(auth_->idOf(socketToken)));
        Client again;
        QVERIFY(again.open(port_));
        again.send({{"type", "hello"}, {"token", socketToken}});
        QVERIFY(again.closedWith(1008));
        const QByteArray bearer = "Authorization: Bearer " + apiToken.toLatin1() + "\r\n";
        QVERIFY(get(port_, "/api/v1/units", bearer).startsWith("HTTP/1.1 200"));
        QVERIFY(RemoteAuth(config()).revoke(auth_->idOf(apiToken)));
        QVERIFY(get(port_, "/api/v1/units", bearer).startsWith("HTTP/1.1 401"));
    }

    // Clients that break the rules lose their own link, or their edits, and no more.
    void limitsKeepTheServerServingOthers() {
        Client good;
        QVERIFY(!pairedToken(good).isEmpty());
        Client flood;
        QVERIFY(!pairedToken(flood).isEmpty());
        for (int i = 0; i < 200; ++i)
            flood.send({{"type", "set"}, {"id", i}, {"unit", "1"}, {"path", "outputs[0].mute"},
                        {"value", true}});
        QTRY_COMPARE_WITH_TIMEOUT(flood.count("ack") + flood.count("nack"), 200, 5000);
        QVERIFY(flood.count("ack") <= RemoteClient::kEditsPerSecond + 10);
        QCOMPARE(flood.last("nack").value("reason").toString(), RemoteWords::tooManyEdits());

        flood.received.clear();
        flood.socket.sendTextMessage(QStringLiteral("{not json"));
        QCOMPARE(flood.last("nack").value("reason").toString(), QString("the message is not JSON"));
        QCOMPARE(flood.socket.state(), QAbstractSocket::ConnectedState);
        flood.socket.sendTextMessage(QString(70 * 1024, 'x'));
        QVERIFY(flood.closedWith(1009));

        std::vector<std::unique_ptr<Client>> more;
        for (int i = 0; i < 7; ++i) {
            more.push_back(std::make_unique<Client>());
            QVERIFY(more.back()->open(port_));
        }
        QTRY_COMPARE(server_->socketCount(), 8);
        QVERIFY(get(port_, "/ws",
                    "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                    "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n")
                    .startsWith("HTTP/1.1 503"));
        good.send({{"type", "ping"}});
        QVERIFY(!good.last("pong").isEmpty());
    }

    void readOnlyClientsMayOnlyWatch() {
        readOnly_ = true;
        Client watcher;
        QVERIFY(!pairedToken(watcher).isEmpty());
        QVERIFY(watcher.last("welcome").value("readOnly").toBool());
        watcher.send({{"type", "set"}, {"id", 7}, {"unit", "1"}, {"path", "outputs[0].mute"},
                      {"value", true}});
        QCOMPARE(watcher.last("nack").value("id").toInt(), 7);
        QCOMPARE(watcher.count("ack"), 0);
    }
};

QTEST_MAIN(RemoteServerTest)
#include "RemoteServerTest.moc"
