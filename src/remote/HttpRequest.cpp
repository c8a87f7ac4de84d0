// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/HttpRequest.h"

namespace qel {

namespace {

bool isToken(QByteArrayView s) {
    if (s.isEmpty()) return false;
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 32 || u >= 127 || c == ':' || c == '(' || c == ')' || c == '"' || c == '/')
            return false;
    }
    return true;
}

bool hasControl(QByteArrayView s) {
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 32 && c != '\t') || u == 127) return true;
    }
    return false;
}

// "GET /path?query HTTP/1.1"
bool parseRequestLine(QByteArrayView line, HttpRequest& out) {
    const QList<QByteArray> parts = line.toByteArray().split(' ');
    if (parts.size() != 3 || !isToken(parts[0]) || !parts[1].startsWith('/')) return false;
    if (parts[2] != "HTTP/1.1" && parts[2] != "HTTP/1.0") return false;
    if (hasControl(parts[1])) return false;
    out.method = parts[0];
    const qsizetype q = parts[1].indexOf('?');
    out.path = q < 0 ? parts[1] : parts[1].left(q);
    out.query = q < 0 ? QByteArray() : parts[1].mid(q + 1);
    return true;
}

}  // namespace

QByteArray HttpRequest::header(QByteArrayView lowerName) const {
    for (const auto& [name, value] : headers)
        if (name == lowerName) return value;
    return {};
}

bool HttpRequest::isUpgrade() const {
    return method == "GET" && header("upgrade").toLower() == "websocket";
}

HttpRequest::Status HttpRequest::parse(QByteArrayView data, HttpRequest& out) {
    const qsizetype end = data.indexOf(QByteArrayView("\r\n\r\n"));
    if (end < 0) return data.size() > kMaxHead ? Status::TooLarge : Status::Incomplete;
    if (end + 4 > kMaxHead) return Status::TooLarge;
    out = HttpRequest{};
    out.headLength = end + 4;
    const QList<QByteArray> lines = data.first(end).toByteArray().split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (!line.endsWith('\r') && i + 1 < lines.size()) return Status::Bad;
        if (line.endsWith('\r')) line.chop(1);
        if (i == 0) {
            if (!parseRequestLine(line, out)) return Status::Bad;
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(QByteArrayView(line).first(colon))) return Status::Bad;
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (hasControl(value) || out.headers.size() >= kMaxHeaders) return Status::Bad;
        out.headers.append({line.left(colon).toLower(), value});
    }
    return Status::Complete;
}

}  // namespace qel
