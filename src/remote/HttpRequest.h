// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

namespace qel {

// The head of an HTTP/1.1 request as the remote server reads it: only what it serves needs
// (GET, a path, a few headers). Larger or stranger heads are refused.
struct HttpRequest {
    static constexpr qsizetype kMaxHead = 8192;
    static constexpr int kMaxHeaders = 48;

    enum class Status { Incomplete, Complete, Bad, TooLarge };

    QByteArray method;
    QByteArray path;   // without the query, percent-encoding kept
    QByteArray query;  // after '?', may be empty
    QList<QPair<QByteArray, QByteArray>> headers;  // names in lower case
    qsizetype headLength = 0;  // bytes up to and including the blank line

    // The value of a header (the first one of that name), empty when missing.
    QByteArray header(QByteArrayView lowerName) const;
    // A WebSocket opening handshake: GET with "Upgrade: websocket".
    bool isUpgrade() const;

    // Reads a request head from the start of data.
    static Status parse(QByteArrayView data, HttpRequest& out);
};

}  // namespace qel
