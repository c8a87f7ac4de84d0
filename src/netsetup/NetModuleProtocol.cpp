// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "netsetup/NetModuleProtocol.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace qel {

namespace {

Ipv4 addressAt(const uint8_t* p) {
    return ipv4FromOctets(p[0], p[1], p[2], p[3]);
}

void putAddress(std::vector<uint8_t>& out, size_t offset, Ipv4 address) {
    for (int i = 0; i < 4; ++i) out[offset + static_cast<size_t>(i)] = ipv4Octet(address, i);
}

void put(std::vector<uint8_t>& out, size_t offset, std::initializer_list<uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<long>(offset));
}

void putText(std::vector<uint8_t>& out, size_t offset, const char* text) {
    std::memcpy(out.data() + offset, text, std::strlen(text));
}

std::string formatMac(const Mac& m, char separator) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X%c%02X%c%02X%c%02X%c%02X%c%02X", m[0], separator, m[1],
                  separator, m[2], separator, m[3], separator, m[4], separator, m[5]);
    return text;
}

// The module's settings as every write leaves them (its meaning belongs to the module).
std::vector<uint8_t> writeTemplate() {
    std::vector<uint8_t> t(NetModuleProtocol::kWriteSize, 0);
    put(t, 0, {0x01, 0x00, 0x04, 0x0E, 0x61, 0x9F, 0x0F, 0x33, 0x01, 0x06});
    put(t, 12, {0x04});
    put(t, 15, {0x01});
    put(t, 19, {0x01});
    put(t, 22, {0x20, 0x09, 0x02, 0x02, 0x00, 0x13});
    put(t, 28, {0xC0, 0xA8, 0x02, 0x01});
    put(t, 32, {0xFF, 0xFF, 0xFF, 0x00});  // subnet mask 255.255.255.0
    put(t, 36, {0xC0, 0xA8, 0x02, 0x01});
    putText(t, 45, "admin");
    putText(t, 61, "plovek");
    putText(t, 77, "NetUART");
    put(t, 190, {0x09, 0x03});
    put(t, 199, {0xFF, 0x05});
    put(t, 301, {0x03, 0x00, 0x17, 0xD2, 0xC8, 0xB5, 0x66, 0x00, 0x14, 0x17, 0x70});
    put(t, 314, {0x3C});
    put(t, 322, {0x0A});
    put(t, 325, {0x0A, 0x01});
    put(t, 409, {0x01, 0x13, 0xF0});
    putText(t, 412, "admin");
    putText(t, 428, "plovek");
    put(t, 548, {0x26, 0x70});  // port 9840, high byte first
    put(t, 550, {0xC0, 0xA8, 0x10, 0x68});
    put(t, 554, {0x25, 0xA8});  // port 9640
    put(t, 556, {0xC0, 0xA8, 0x10, 0x68});
    put(t, 560, {0x25, 0xA8});  // port 9640
    std::fill(t.begin() + 821, t.end(), 0xFF);
    return t;
}

}  // namespace

std::vector<uint8_t> NetModuleProtocol::searchRequest() {
    return {0x01, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0xFF, 0xFF};
}

std::optional<ModuleSighting> NetModuleProtocol::readSighting(const uint8_t* data, size_t size) {
    if (size < kMinSearchReply) return std::nullopt;
    ModuleSighting s;
    std::copy(data + 12, data + 18, s.mac.begin());
    s.ip = addressAt(data + 18);
    s.gateway = addressAt(data + 26);
    return s;
}

std::vector<uint8_t> NetModuleProtocol::hello() {
    return {0x01, 0x00, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0xE6, 0x2A, 0x82, 0x00};
}

std::vector<uint8_t> NetModuleProtocol::login(const std::string& user,
                                              const std::string& password) {
    std::vector<uint8_t> m = {0x01, 0x00, 0x00, 0x1B, 0x00, 0x00, 0x00, 0x00,
                              0x00, 0x07, 0xE6, 0x2A, 0x82, 0x00};
    m.push_back(static_cast<uint8_t>(user.size()));
    m.push_back(static_cast<uint8_t>(password.size()));
    m.insert(m.end(), user.begin(), user.end());
    m.insert(m.end(), password.begin(), password.end());
    return m;
}

std::vector<uint8_t> NetModuleProtocol::readRequest(const uint8_t* loginReply, size_t size) {
    std::vector<uint8_t> m = {0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x05, 0x00, 0x00, 0x04, 0x00};
    std::copy(loginReply, loginReply + std::min<size_t>(size, 8), m.begin());
    m[3] = static_cast<uint8_t>(m[3] - 1);
    return m;
}

ModuleConfig NetModuleProtocol::readConfig(const uint8_t* data, size_t size) {
    ModuleConfig c;
    c.size = size;
    std::copy(data, data + std::min<size_t>(size, 8), c.head.begin());
    if (size >= 28) std::copy(data + 22, data + 28, c.id.begin());
    if (size >= 32) c.ip = addressAt(data + 28);
    if (size >= 40) c.gateway = addressAt(data + 36);
    if (size >= kPc1Offset + 4) c.pc1 = addressAt(data + kPc1Offset);
    if (size >= kPc2Offset + 4) c.pc2 = addressAt(data + kPc2Offset);
    return c;
}

std::vector<uint8_t> NetModuleProtocol::writeMessage(const ModuleConfig& config, Ipv4 ip,
                                                     Ipv4 gateway, Ipv4 pc1, Ipv4 pc2) {
    std::vector<uint8_t> m = writeTemplate();
    std::copy(config.head.begin(), config.head.end(), m.begin());
    put(m, 8, {0x01, 0x07, 0x00, 0x00, 0x04, 0x00});
    std::copy(config.id.begin(), config.id.end(), m.begin() + 22);
    putAddress(m, 28, ip);
    putAddress(m, 36, gateway);
    putAddress(m, kPc1Offset, pc1);
    putAddress(m, kPc2Offset, pc2);
    return m;
}

bool NetModuleProtocol::refused(Ipv4 ip, Ipv4 gateway) {
    if (ipv4Octet(ip, 0) == 0 && ipv4Octet(ip, 1) == 0) return true;
    // Kept as found: a gateway beginning with 0 is refused when the unit's second octet is 5.
    // What this rule is meant to catch is not known.
    return ipv4Octet(gateway, 0) == 0 && ipv4Octet(ip, 1) == 5;
}

std::string NetModuleProtocol::macWithColons(const Mac& mac) {
    return formatMac(mac, ':');
}

std::string NetModuleProtocol::macWithDashes(const Mac& mac) {
    return formatMac(mac, '-');
}

std::optional<Mac> NetModuleProtocol::parseMac(const std::string& text) {
    if (text.size() != 17) return std::nullopt;
    Mac mac{};
    for (size_t i = 0; i < 6; ++i) {
        const char a = text[3 * i], b = text[3 * i + 1];
        if (!std::isxdigit(static_cast<unsigned char>(a)) ||
            !std::isxdigit(static_cast<unsigned char>(b)))
            return std::nullopt;
        if (i < 5 && text[3 * i + 2] != ':' && text[3 * i + 2] != '-') return std::nullopt;
        mac[i] = static_cast<uint8_t>(std::stoi(text.substr(3 * i, 2), nullptr, 16));
    }
    return mac;
}

}  // namespace qel
