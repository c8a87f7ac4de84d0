// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// What a remote client sends: the request head of its connection and its JSON messages.
//
// Input: the bytes, read both as a request head and as a message.
#include <cstdlib>

#include "remote/ClientMessage.h"
#include "remote/HttpRequest.h"

using namespace qel;

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    HttpRequest request;
    if (HttpRequest::parse(bytes, request) == HttpRequest::Status::Complete) {
        check(request.headLength <= HttpRequest::kMaxHead && request.path.startsWith('/'));
        check(request.headers.size() <= HttpRequest::kMaxHeaders);
        for (const auto& [name, value] : request.headers) check(name == name.toLower());
    }
    const ClientMessage::Read read = ClientMessage::read(bytes);
    if (const auto* m = std::get_if<ClientMessage>(&read)) {
        if (m->type == ClientMessage::Type::Set) {
            check(ClientMessage::isPath(m->path) && !m->value.isUndefined());
        }
        if (m->type == ClientMessage::Type::Hello) check(!m->token.isEmpty() || !m->pair.isEmpty());
        check(m->units.size() <= ClientMessage::kMaxUnits && m->meterRate >= 0);
    } else {
        check(!std::get<ClientMessage::Problem>(read).text().isEmpty());
    }
    return 0;
}
