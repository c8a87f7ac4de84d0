// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "StateFile.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

namespace qel::sim {

namespace {

constexpr char kMagic[] = "QSIMSTATE1";
constexpr size_t kMagicSize = sizeof kMagic - 1;

struct Writer {
    std::vector<uint8_t> out;
    void bytes(uint8_t* p, size_t n) { out.insert(out.end(), p, p + n); }
    void u8(uint8_t& v) { out.push_back(v); }
    void u16(uint16_t& v) {
        out.push_back(static_cast<uint8_t>(v & 0xFF));
        out.push_back(static_cast<uint8_t>(v >> 8));
    }
};

struct Reader {
    const std::vector<uint8_t>& in;
    size_t pos = 0;
    bool ok = true;
    void bytes(uint8_t* p, size_t n) {
        if (pos + n > in.size()) ok = false;
        if (!ok) return;
        std::memcpy(p, in.data() + pos, n);
        pos += n;
    }
    void u8(uint8_t& v) { bytes(&v, 1); }
    void u16(uint16_t& v) {
        uint8_t b[2] = {};
        bytes(b, 2);
        v = static_cast<uint16_t>(b[0] | (b[1] << 8));
    }
};

// One layout for both directions.
template <class Io>
void visit(Io& io, Params& p) {
    for (ChannelIn& c : p.in) {
        io.u8(c.gain);
        io.u8(c.mute);
        io.u8(c.eqSwitch);
        io.bytes(&c.eq[0][0], sizeof c.eq);
    }
    for (ChannelOut& c : p.out) {
        io.u8(c.inputSelectCode);
        io.u8(c.gain);
        io.u8(c.mute);
        io.u8(c.polarity);
        io.u16(c.delay);
        io.u8(c.limLevel);
        io.u8(c.limAttack);
        io.u8(c.limRelease);
        io.u8(c.hpfType);
        io.u8(c.hpfFreq);
        io.u8(c.lpfType);
        io.u8(c.lpfFreq);
        io.u8(c.eqSwitch);
        io.bytes(&c.eq[0][0], sizeof c.eq);
    }
}

template <class Io>
void visitFlag(Io& io, bool& flag) {
    uint8_t v = flag ? 1 : 0;
    io.u8(v);
    flag = v != 0;
}

template <class Io>
void visit(Io& io, UnitState& s) {
    uint16_t model = static_cast<uint16_t>(s.model);
    io.u16(model);
    s.model = model;
    io.bytes(s.nameWire, kNameBytes);
    io.bytes(s.password, kPasswordDigits);
    visitFlag(io, s.engineering);
    io.u8(s.currentMode);
    visit(io, s.params);
    for (StoredMode& m : s.modes) {
        io.bytes(m.nameWire, kNameBytes);
        visit(io, m.params);
        visitFlag(io, m.used);
    }
    io.bytes(s.pendingStoreName, kNameBytes);
}

template <class Io>
void visitKey(Io& io, std::string& key) {
    uint16_t size = static_cast<uint16_t>(key.size());
    io.u16(size);
    key.resize(size);
    io.bytes(reinterpret_cast<uint8_t*>(key.data()), size);
}

}  // namespace

bool StateFile::save(const std::string& path, const States& states, std::string* error) {
    Writer w;
    w.out.assign(kMagic, kMagic + kMagicSize);
    uint16_t count = static_cast<uint16_t>(states.size());
    w.u16(count);
    for (const auto& [constKey, constState] : states) {
        std::string key = constKey;
        UnitState state = constState;
        visitKey(w, key);
        visit(w, state);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(w.out.data()), static_cast<long>(w.out.size()));
    if (!file) {
        if (error) *error = "cannot write " + path;
        return false;
    }
    return true;
}

bool StateFile::load(const std::string& path, States& states, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> data{std::istreambuf_iterator<char>(file),
                                    std::istreambuf_iterator<char>()};
    if (!file.good() && !file.eof()) {
        if (error) *error = "cannot read " + path;
        return false;
    }
    Reader r{data};
    std::string magic(kMagicSize, '\0');
    r.bytes(reinterpret_cast<uint8_t*>(magic.data()), kMagicSize);
    uint16_t count = 0;
    r.u16(count);
    States loaded;
    for (uint16_t i = 0; r.ok && i < count; ++i) {
        std::string key;
        UnitState state;
        visitKey(r, key);
        visit(r, state);
        loaded[key] = state;
    }
    if (!r.ok || magic != kMagic || r.pos != data.size()) {
        if (error) *error = path + ": not a unit state file";
        return false;
    }
    states = std::move(loaded);
    return true;
}

}  // namespace qel::sim
