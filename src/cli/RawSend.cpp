// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/RawSend.h"

#include <ostream>

#include "cli/ErrorText.h"
#include "platform/Trace.h"

namespace qel::cli {

const char* RawSend::usage() {
    return "  send (--ip A.B.C.D | --serial COMn) --block B --op O --channel C --code X\n"
           "       [--payload HEX] [--tries N] [--timeout MS] [--reply-len N] [--wait MS]\n"
           "      Sends one command and prints the reply's payload bytes as hex.\n"
           "      --payload defaults to \"00 00\"; --tries 1; --timeout 1000 ms per try;\n"
           "      --reply-len 118 (bytes of reply payload wanted); --wait 3000 ms.\n";
}

bool RawSend::parse(CliOptions& options) {
    std::string option;
    auto field = [&](int& target, uint32_t max) {
        if (auto n = options.number(max)) target = static_cast<int>(*n);
    };
    while (options.next(option)) {
        if (target_.take(option, options)) {
        } else if (option == "--block") {
            field(block_, 15);
        } else if (option == "--op") {
            field(operation_, 15);
        } else if (option == "--channel") {
            field(channel_, 255);
        } else if (option == "--code") {
            field(code_, 255);
        } else if (option == "--tries") {
            field(tries_, 1000);
        } else if (option == "--timeout" || option == "--reply-len" || option == "--wait") {
            uint32_t& target = option == "--timeout" ? timeoutMs_
                               : option == "--wait"  ? waitMs_
                                                     : replyLength_;
            if (auto n = options.number(option == "--reply-len" ? 118 : 600000)) target = *n;
        } else if (option == "--payload") {
            auto v = options.value();
            auto bytes = v ? parseHexBytes(*v) : std::nullopt;
            if (v && (!bytes || bytes->size() > 118))
                options.fail("--payload: expected up to 118 hex bytes, got '" + *v + "'");
            else if (bytes)
                payload_ = *bytes;
        } else {
            options.fail("send: unknown option " + option);
        }
    }
    if (options.error().empty()) target_.check("send", options);
    if (options.error().empty() && (block_ < 0 || operation_ < 0 || channel_ < 0 || code_ < 0))
        options.fail("send: --block, --op, --channel and --code are required");
    error_ = options.error();
    return error_.empty();
}

namespace {
const char* outcomeText(Outcome o) {
    switch (o) {
        case Outcome::Accepted:
            return "accepted";
        case Outcome::Mismatch:
            return "the reply answered another command";
        case Outcome::NoReply:
            return "no reply after all tries";
        case Outcome::Abandoned:
            return "the link stopped";
        case Outcome::TimedOut:
            return "no reply within the wait";
        default:
            return "the command was not queued";
    }
}
}  // namespace

int RawSend::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    Equipment unit;
    LinkSettings settings;
    if (!target_.prepare(globals, unit, settings, err)) return 1;
    if (!unit.startLink(settings)) {
        err << "cannot open " << target_.describe() << ": " << linkErrorText(unit.lastError())
            << "\n";
        return 1;
    }
    uint8_t replyData[frame::kMaxPayload] = {};
    const Ticket ticket =
        unit.enqueue(static_cast<uint8_t>(operation_), static_cast<uint8_t>(block_),
                     static_cast<uint8_t>(channel_), static_cast<uint8_t>(code_), payload_.data(),
                     payload_.size(), replyData, replyLength_, tries_, timeoutMs_);
    size_t replyFrame = 0;
    const Outcome outcome = unit.waitOutcome(ticket, waitMs_, &replyFrame);
    unit.stopLink();
    if (outcome != Outcome::Accepted) {
        err << "send failed: " << outcomeText(outcome) << "\n";
        return 1;
    }
    const size_t payload = replyFrame > frame::kHeaderSize ? replyFrame - frame::kHeaderSize : 0;
    out << hexLine(replyData, std::min<size_t>(payload, replyLength_)) << "\n";
    return 0;
}

}  // namespace qel::cli
