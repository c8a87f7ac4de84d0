// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/RemoteServer.h"

#include <QFile>
#include <QHostInfo>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QWebSocket>

#include "remote/HttpRequest.h"
#include "remote/RemoteAuth.h"

namespace qel {

namespace {

QByteArray statusText(int status) {
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 409: return "Conflict";
    case 431: return "Request Header Fields Too Large";
    case 503: return "Service Unavailable";
    default: return "Error";
    }
}

// Writes a whole response (only its head for HEAD) and closes the connection once it is sent.
void respond(QTcpSocket* socket, int status, const QByteArray& type, const QByteArray& body,
             bool headOnly = false, const QByteArray& extraHeaders = {}) {
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + statusText(status) +
                      "\r\n" + extraHeaders + "Content-Type: " + type +
                      "\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\nCache-Control: no-cache"
                      "\r\nContent-Security-Policy: default-src 'self'"
                      "\r\nX-Content-Type-Options: nosniff"
                      "\r\nReferrer-Policy: no-referrer"
                      "\r\nConnection: close\r\n\r\n";
    socket->write(headOnly ? head : head + body);
    socket->disconnectFromHost();
}

void respondText(QTcpSocket* socket, int status) {
    respond(socket, status, "text/plain; charset=utf-8", statusText(status) + '\n');
}

// The page's files, by request path.
QString pageFile(const QByteArray& path) {
    if (path == "/" || path == "/index.html") return QStringLiteral(":/remote/index.html");
    static const QByteArrayList kFiles{"/style.css",     "/i18n.js",   "/link.js",  "/controls.js",
                                       "/pairing.js",    "/eqview.js", "/pages.js", "/eqpage.js",
                                       "/groupspage.js", "/app.js"};
    if (kFiles.contains(path)) return QStringLiteral(":/remote") + QString::fromLatin1(path);
    return {};
}

QByteArray typeOf(const QString& file) {
    if (file.endsWith(".html")) return "text/html; charset=utf-8";
    if (file.endsWith(".js")) return "text/javascript; charset=utf-8";
    return "text/css; charset=utf-8";
}

QString bearerToken(const HttpRequest& request) {
    const QByteArray auth = request.header("authorization");
    return auth.startsWith("Bearer ") ? QString::fromLatin1(auth.mid(7).trimmed()) : QString();
}

}  // namespace

RemoteServer::RemoteServer(RemoteAuth& auth, QObject* parent)
    : QObject(parent),
      auth_(auth),
      ws_(QStringLiteral("Quellmar"), QWebSocketServer::NonSecureMode) {
    ws_.setHandshakeTimeout(limits_.headTimeoutMs);
    connect(&tcp_, &QTcpServer::newConnection, this, &RemoteServer::accept);
    connect(&ws_, &QWebSocketServer::newConnection, this, &RemoteServer::takeSocket);
}

RemoteServer::~RemoteServer() { close(); }

bool RemoteServer::listen(const QHostAddress& address, quint16 port) {
    return tcp_.listen(address, port);
}

void RemoteServer::close() { tcp_.close(); }

bool RemoteServer::originAllowed(const HttpRequest& request) {
    const QByteArray host = request.header("host").toLower();
    const QUrl url(QStringLiteral("http://") + QString::fromLatin1(host));
    if (host.isEmpty() || !url.isValid() || url.host().isEmpty()) return false;
    const QString name = url.host();
    const QString local = QHostInfo::localHostName().toLower();
    const bool known = !QHostAddress(name).isNull() || name == "localhost" || name == local ||
                       name == local + ".local";
    if (!known) return false;
    const QByteArray origin = request.header("origin").toLower();
    return origin.isEmpty() || origin == "http://" + host;
}

void RemoteServer::accept() {
    while (QTcpSocket* socket = tcp_.nextPendingConnection()) {
        if (headPending_.size() >= limits_.maxPending) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        headPending_.insert(socket);
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readHead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            headPending_.remove(socket);
            socket->deleteLater();
        });
        connect(socket, &QObject::destroyed, this, [this, socket] { headPending_.remove(socket); });
        QTimer::singleShot(limits_.headTimeoutMs, socket, [this, socket] {
            if (headPending_.remove(socket)) socket->abort();
        });
    }
}

void RemoteServer::readHead(QTcpSocket* socket) {
    if (!headPending_.contains(socket)) return;
    HttpRequest request;
    const auto status = HttpRequest::parse(socket->peek(HttpRequest::kMaxHead + 4), request);
    if (status == HttpRequest::Status::Incomplete) return;
    headPending_.remove(socket);
    if (status == HttpRequest::Status::TooLarge) return respondText(socket, 431);
    if (status == HttpRequest::Status::Bad) return respondText(socket, 400);
    if (!originAllowed(request)) return respondText(socket, 403);
    if (request.isUpgrade()) {
        if (request.path != "/ws") return respondText(socket, 404);
        if (openSockets_ >= limits_.maxClients) return respondText(socket, 503);
        // The WebSocket server reads the head we only peeked at. The socket stays our child, so
        // that one whose handshake never ends goes with the server at the latest.
        disconnect(socket, nullptr, this, nullptr);
        return ws_.handleConnection(socket);
    }
    answer(socket, request);
}

void RemoteServer::takeSocket() {
    while (QWebSocket* ws = ws_.nextPendingConnection()) {
        ws->setParent(this);
        connect(ws, &QWebSocket::disconnected, ws, &QObject::deleteLater);
        if (openSockets_ >= limits_.maxClients) {
            ws->close(QWebSocketProtocol::CloseCode(1013), QStringLiteral("too many clients"));
            continue;
        }
        ++openSockets_;
        connect(ws, &QObject::destroyed, this, [this] { --openSockets_; });
        ws->setMaxAllowedIncomingMessageSize(quint64(limits_.maxMessageBytes));
        ws->setMaxAllowedIncomingFrameSize(quint64(limits_.maxMessageBytes));
        emit socketOpened(ws);
    }
}

void RemoteServer::answer(QTcpSocket* socket, const HttpRequest& request) {
    if (request.method != "GET" && request.method != "HEAD") return respondText(socket, 405);
    if (request.path.startsWith("/api/") || request.path == "/metrics") {
        auth_.reload();  // a pairing dropped by another program opens nothing
        const QByteArray pairing = auth_.idOf(bearerToken(request));
        if (pairing.isEmpty())
            return respond(socket, 401, "text/plain; charset=utf-8", "Unauthorized\n",
                           request.method == "HEAD", "WWW-Authenticate: Bearer\r\n");
        auth_.seen(pairing);
        const Reply reply = api_ ? api_(request.path) : Reply{};
        if (reply.body.isEmpty()) return respondText(socket, reply.status);
        return respond(socket, reply.status, reply.type, reply.body, request.method == "HEAD");
    }
    const QString file = pageFile(request.path);
    QFile f(file);
    if (file.isEmpty() || !f.open(QIODevice::ReadOnly)) return respondText(socket, 404);
    respond(socket, 200, typeOf(file), f.readAll(), request.method == "HEAD");
}

}  // namespace qel
