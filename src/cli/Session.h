// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <atomic>
#include <iosfwd>
#include <string>

#include "device/UnitTransfer.h"
#include "link/Equipment.h"

namespace qel::cli {

// Connects a unit for one command and lets go of it again (disconnect notice, link stopped).
class Session {
public:
    Session(Equipment& unit, const LinkSettings& link) : unit_(unit), link_(link) {}
    ~Session();
    // Handshake, and the full read when readAll; false with a one-line reason on err.
    bool connect(bool readAll, std::ostream& err);
    // The same, with the reason as one line without its newline (for per-unit result lines).
    bool connect(bool readAll, std::string& failureLine);
    UnitTransfer transfer() const { return UnitTransfer(unit_, link_); }
    // After connect(): the full download of record (the model's channels), verified unless
    // told not to; true when the unit took it. result says how it went, differences on
    // further lines indented by two spaces. Once *cancel (when given) is set, nothing more is
    // sent.
    bool download(const ModeRecord& record, bool verify, std::string& result,
                  const std::atomic<bool>* cancel = nullptr);
    // A short stable word for the last failure, for --json: "port", "handshake-timeout",
    // "read-failed", "verify-failed", "download-incomplete" or "cancelled".
    const char* failureCode() const { return failureCode_; }

private:
    Equipment& unit_;
    LinkSettings link_;
    const char* failureCode_ = "";
};

}  // namespace qel::cli
