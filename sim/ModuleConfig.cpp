// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "ModuleConfig.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "ModuleSearch.h"

namespace qel::sim {

namespace {

const uint8_t kHello[] = {0x01, 0x00, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x00,
                          0x00, 0x05, 0xE6, 0x2A, 0x82, 0x00};
const uint8_t kLoginHead[] = {0x01, 0x00, 0x00, 0x1B, 0x00, 0x00, 0x00,
                              0x00, 0x00, 0x07, 0xE6, 0x2A, 0x82, 0x00};
const uint8_t kReadOp[] = {0x01, 0x05, 0x00, 0x00, 0x04, 0x00};
const uint8_t kWriteOp[] = {0x01, 0x07, 0x00, 0x00, 0x04, 0x00};
const uint8_t kIdentity[] = {0x20, 0x09, 0x02, 0x02, 0x00, 0x13};  // 22..27: the firmware's
const uint8_t kBlockHead[] = {0x01, 0x00, 0x04, 0x0E};

void putAddress(Bytes& out, size_t at, Ipv4 a) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = ipv4Octet(a, i);
}

Ipv4 addressAt(const uint8_t* p) {
    return ipv4FromOctets(p[0], p[1], p[2], p[3]);
}

void put(Bytes& out, size_t at, std::initializer_list<uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<long>(at));
}

}  // namespace

ModuleConfig::ModuleConfig(Ipv4 unitAddress)
    : ip_(unitAddress),
      gateway_(ModuleSearch::gatewayFor(unitAddress)),
      pc1_(ipv4FromOctets(192, 168, 6, 222)),
      pc2_(ipv4FromOctets(192, 168, 6, 223)) {
    ModuleSearch::macFor(unitAddress, mac_.data());
}

Bytes ModuleConfig::loginReply() const {
    Bytes r = {0x01, 0x00, 0x00, 0x10};
    r.insert(r.end(), session_.begin(), session_.end());
    r.insert(r.end(), {0x00, 0x08, 0xE6, 0x2A, 0x82, 0x00, 0x00, 0x00});
    return r;
}

// The module's settings in the write's layout: header with the session, the addresses, the
// user, the serial bridge and its two PCs with their ports, unused space as FF.
Bytes ModuleConfig::block() const {
    Bytes b(kBlockSize, 0);
    std::copy(std::begin(kBlockHead), std::end(kBlockHead), b.begin());
    std::copy(session_.begin(), session_.end(), b.begin() + 4);
    put(b, 8, {0x01, 0x06, 0x00, 0x00, 0x04});
    put(b, 15, {0x01});
    put(b, 19, {0x01});
    std::copy(std::begin(kIdentity), std::end(kIdentity), b.begin() + 22);
    putAddress(b, 28, ip_);
    putAddress(b, 32, ipv4FromOctets(255, 255, 255, 0));
    putAddress(b, 36, gateway_);
    std::memcpy(&b[45], "admin", 5);
    std::memcpy(&b[61], "plovek", 6);
    std::memcpy(&b[77], "NetUART", 7);
    put(b, 548, {0x26, 0x70});
    putAddress(b, 550, pc1_);
    put(b, 554, {0x25, 0xA8});
    putAddress(b, 556, pc2_);
    put(b, 560, {0x25, 0xA8});
    std::fill(b.begin() + 821, b.end(), 0xFF);
    return b;
}

bool ModuleConfig::takeWrite(const uint8_t* d, size_t size) {
    if (size != kBlockSize || !loggedIn_ || std::memcmp(d, kBlockHead, 4) != 0 ||
        std::memcmp(d + 4, session_.data(), 4) != 0 || std::memcmp(d + 8, kWriteOp, 6) != 0 ||
        std::memcmp(d + 22, kIdentity, 6) != 0)
        return false;
    ip_ = addressAt(d + 28);
    gateway_ = addressAt(d + 36);
    pc1_ = addressAt(d + 550);
    pc2_ = addressAt(d + 556);
    loggedIn_ = false;  // the module starts again with its new settings
    ++log_.writes;
    log_.lastWrite.assign(d, d + size);
    return true;
}

ModuleConfig::Outcome ModuleConfig::receive(const uint8_t* d, size_t size, bool answerLogin) {
    Outcome out;
    if (size == sizeof kHello && std::memcmp(d, kHello, size) == 0) {
        ++log_.hellos;
        out.reply = Bytes(d, d + size);
        (*out.reply)[9] = 0x06;
        return out;
    }
    if (size >= 16 && std::memcmp(d, kLoginHead, sizeof kLoginHead) == 0) {
        ++log_.logins;
        const size_t user = d[14], password = d[15];
        if (!answerLogin || size != 16 + user + password ||
            std::string(reinterpret_cast<const char*>(d + 16), user) != "admin" ||
            std::string(reinterpret_cast<const char*>(d + 16 + user), password) != "plovek")
            return out;
        session_ = {0x5E, 0x1D, ++sessions_, ipv4Octet(ip_, 3)};
        loggedIn_ = true;
        out.reply = loginReply();
        return out;
    }
    if (size == 14 && std::memcmp(d + 8, kReadOp, sizeof kReadOp) == 0) {
        ++log_.reads;
        // The request repeats the login reply's first eight bytes, byte 3 one less.
        Bytes expected = loginReply();
        expected[3] = static_cast<uint8_t>(expected[3] - 1);
        if (loggedIn_ && std::equal(d, d + 8, expected.begin())) out.reply = block();
        return out;
    }
    out.written = takeWrite(d, size);
    return out;
}

}  // namespace qel::sim
