// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/RemoteClient.h"

#include <QJsonDocument>
#include <QWebSocket>
#include <algorithm>

#include "remote/RemoteAuth.h"
#include "remote/RemoteWords.h"

namespace qel {

RemoteClient::RemoteClient(QWebSocket* socket, RemoteAuth& auth, int id, bool readOnly,
                           QObject* parent)
    : QObject(parent), socket_(socket), auth_(auth), id_(id), readOnly_(readOnly) {
    heard_.start();
    bucketClock_.start();
    connect(socket_, &QWebSocket::textMessageReceived, this, &RemoteClient::receive);
    connect(socket_, &QWebSocket::binaryMessageReceived, this, [this] {
        close(QWebSocketProtocol::CloseCodeDatatypeNotSupported, QStringLiteral("text only"));
    });
    connect(socket_, &QWebSocket::pong, this, [this] { heard_.restart(); });
    connect(socket_, &QObject::destroyed, this, [this] {
        socket_ = nullptr;
        if (paired()) auth_.seen(pairing_);
        emit gone(this);
    });
    connect(&keepAlive_, &QTimer::timeout, this, [this] {
        if (!paired() && heard_.elapsed() >= kHelloMs)
            return close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("no hello"));
        if (heard_.elapsed() >= kIdleMs)
            return close(QWebSocketProtocol::CloseCodeGoingAway, QStringLiteral("idle"));
        if (socket_ && heard_.elapsed() >= kPingMs) socket_->ping();
    });
    keepAlive_.start(1000);
}

QString RemoteClient::peer() const {
    return socket_ ? socket_->peerAddress().toString() : QString();
}

void RemoteClient::send(const QJsonObject& message) {
    if (socket_ && paired())
        socket_->sendTextMessage(
            QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

qint64 RemoteClient::backlog() const { return socket_ ? socket_->bytesToWrite() : 0; }

void RemoteClient::close(int code, const QString& reason) {
    keepAlive_.stop();
    if (socket_) socket_->close(QWebSocketProtocol::CloseCode(code), reason);
}

void RemoteClient::receive(const QString& text) {
    heard_.restart();
    const ClientMessage::Read read = ClientMessage::read(text.toUtf8());
    if (const auto* problem = std::get_if<ClientMessage::Problem>(&read)) {
        if (!paired())
            return close(QWebSocketProtocol::CloseCodePolicyViolated, problem->text());
        return nack(problem->requestId, problem->text());
    }
    const auto& m = std::get<ClientMessage>(read);
    if (m.type == ClientMessage::Type::Hello) return hello(m);
    if (!paired())
        return close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("hello first"));
    if ((m.type == ClientMessage::Type::Settle || m.type == ClientMessage::Type::Acknowledge) &&
        readOnly_)
        return nack(m.requestId, RemoteWords::watchOnly());
    if (m.type == ClientMessage::Type::Set) {
        if (readOnly_) return nack(m.requestId, RemoteWords::watchOnly());
        if (!takeEdit()) return nack(m.requestId, RemoteWords::tooManyEdits());
    }
    if (m.type == ClientMessage::Type::Ping) return send({{"type", "pong"}});
    emit message(this, m);
}

void RemoteClient::hello(const ClientMessage& m) {
    if (paired()) return nack(-1, QStringLiteral("already paired"));
    auth_.reload();  // a pairing dropped by another program pairs nobody
    QString token = m.token;
    if (token.isEmpty() || !auth_.accepts(token)) token = auth_.pair(m.pair, m.label);
    pairing_ = auth_.idOf(token);
    if (!paired())
        return close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("not paired"));
    auth_.seen(pairing_);
    QJsonObject welcome{{"type", "welcome"}, {"client", id_}, {"readOnly", readOnly_},
                        {"language", language_}};
    if (token != m.token) welcome.insert("token", token);
    send(welcome);
    emit ready(this);
}

// A bucket of kEditsPerSecond edits, refilled as time goes.
bool RemoteClient::takeEdit() {
    bucket_ = std::min<double>(kEditsPerSecond,
                               bucket_ + bucketClock_.restart() * kEditsPerSecond / 1000.0);
    if (bucket_ < 1) return false;
    bucket_ -= 1;
    return true;
}

void RemoteClient::nack(double requestId, const QString& reason) {
    QJsonObject m{{"type", "nack"}, {"reason", reason}};
    if (requestId >= 0) m.insert("id", requestId);
    send(m);
}

}  // namespace qel
