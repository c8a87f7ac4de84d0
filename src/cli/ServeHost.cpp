// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ServeHost.h"

namespace qel::cli {

namespace {
SessionOptions serveOptions(const LinkSettings& link) {
    SessionOptions o;
    o.link = link;
    o.onDifference = SessionOptions::OnDifference::TakeUnits;
    return o;
}
}  // namespace

ServeSessions::ServeSessions(const LinkSettings& link) : sessions(serveOptions(link)) {}

ServeHost::ServeHost(std::vector<std::shared_ptr<Equipment>> units, const LinkSettings& link)
    : ServeSessions(link),
      SessionUnits(ServeSessions::sessions),
      units_(std::move(units)),
      groups_(ServeSessions::sessions, GroupControl::among(units_)) {
    for (const auto& unit : units_) ServeSessions::sessions.open(unit);
}

}  // namespace qel::cli
