// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Ipv4.h"

namespace qel {

using Mac = std::array<uint8_t, 6>;

// What a module's search reply says: MAC at 12..17, unit address at 18..21, gateway at 26..29.
struct ModuleSighting {
    Mac mac{};
    Ipv4 ip = 0;
    Ipv4 gateway = 0;
};

// What a module's configuration reply says. The block is complete at 1000 bytes or more;
// bytes 0..7 and 22..27 go back into the write, the PC addresses lie at 550 and 556, and the
// unit's address and gateway at 28 and 36 (where the write puts them).
struct ModuleConfig {
    size_t size = 0;
    std::array<uint8_t, 8> head{};  // bytes 0..7
    std::array<uint8_t, 6> id{};    // bytes 22..27
    std::optional<Ipv4> ip, gateway, pc1, pc2;
    bool complete() const { return size >= 1000; }
};

// The messages between the PC and a unit's network module on its port 8000: search, hello,
// login, read and write of the configuration block. Byte layouts only; no sockets.
class NetModuleProtocol {
public:
    static constexpr size_t kSearchRequestSize = 12;
    static constexpr size_t kMinSearchReply = 30;  // up to the gateway's last byte
    static constexpr size_t kHelloSize = 14, kLoginSize = 27, kReadSize = 14;
    static constexpr size_t kMinConfigReply = 1000;
    static constexpr size_t kWriteSize = 1038;
    static constexpr size_t kShortReplyBuffer = 256, kConfigBuffer = 2048;
    static constexpr size_t kPc1Offset = 550, kPc2Offset = 556;
    static constexpr const char* kUser = "admin";
    static constexpr const char* kPassword = "plovek";

    static std::vector<uint8_t> searchRequest();
    // Nothing for a reply too short to hold the gateway.
    static std::optional<ModuleSighting> readSighting(const uint8_t* data, size_t size);

    static std::vector<uint8_t> hello();
    static std::vector<uint8_t> login(const std::string& user = kUser,
                                      const std::string& password = kPassword);
    // Bytes 0..7 of the login reply with byte 3 one less, then 01 05 00 00 04 00. A reply shorter
    // than 8 bytes gives zeros for what it lacks.
    static std::vector<uint8_t> readRequest(const uint8_t* loginReply, size_t size);
    // Reads only what the reply holds: a field beyond its end stays empty.
    static ModuleConfig readConfig(const uint8_t* data, size_t size);
    // The 1038-byte template with the reply's bytes 0..7 and 22..27, the operation 01 07 00 00
    // 04 00, and the new address, gateway and PC addresses.
    static std::vector<uint8_t> writeMessage(const ModuleConfig& config, Ipv4 ip, Ipv4 gateway,
                                             Ipv4 pc1, Ipv4 pc2);

    // Addresses that the write refuses ("Error: IP Address or Gateway !").
    static bool refused(Ipv4 ip, Ipv4 gateway);

    static std::string macWithColons(const Mac& mac);  // 00:1A:2B:3C:4D:5E
    static std::string macWithDashes(const Mac& mac);  // 00-1A-2B-3C-4D-5E
    // Six hex pairs separated by colons or dashes.
    static std::optional<Mac> parseMac(const std::string& text);
};

}  // namespace qel
