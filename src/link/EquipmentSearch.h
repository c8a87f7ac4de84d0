// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "link/EquipmentList.h"
#include "link/Protocol.h"
#include "platform/Ipv4.h"

namespace qel {

class UdpEndpoint;
class SerialPort;
class ReplyAssembler;
class SerialPortMap;

struct SearchSettings {
    UdpEndpoint* endpoint = nullptr;  // the application's endpoint; probes go through it
    std::array<uint8_t, 4> gateway = {192, 168, 6, 255};  // the request goes to a.b.c.255
    uint16_t searchPort = port::kSearch;
    uint16_t modulePort = port::kModule;
    uint16_t unitPort = port::kUnit;
    const SerialPortMap* serialMap = nullptr;
    bool network = true;
    bool serial = true;
    int firstSerialPort = 1;
    int lastSerialPort = 16;
    uint32_t windowMs = 800;        // how long search replies are collected
    uint32_t probeTimeoutMs = 200;  // per probe
    uint32_t progressPauseMs = 30;  // after each progress report
    // Units the search keeps in the list though they may not answer it (those the program
    // holds connected); virtual units are always kept.
    std::function<bool(const Equipment&)> keep;
};

// A search through endpoint to gateway's a.b.c.255 with the ports of a front end's options
// (anything with searchPort, modulePort and unitPort), the serial ports named by serialMap.
template <typename Ports>
SearchSettings searchSettingsOf(const Ports& ports, UdpEndpoint* endpoint,
                                const std::array<uint8_t, 4>& gateway,
                                const SerialPortMap* serialMap) {
    SearchSettings s;
    s.endpoint = endpoint;
    s.gateway = gateway;
    s.searchPort = ports.searchPort;
    s.modulePort = ports.modulePort;
    s.unitPort = ports.unitPort;
    s.serialMap = serialMap;
    return s;
}

// One search for units: the network phase (a request to the modules, then probes of every
// unit that answered) and the serial phase (probes on COM1..COM16). Runs on its caller's
// thread; progress goes to a callback on that thread.
class EquipmentSearch {
public:
    // percent = 20 + 5 x port, count = units in the list, port = the serial port number.
    using Progress = std::function<void(int percent, size_t count, int port)>;

    static constexpr size_t kRequestSize = 12;
    static constexpr size_t kMinReplySize = 22;  // MAC at 12..17, IPv4 at 18..21

    EquipmentSearch(EquipmentList& list, SearchSettings settings, Progress progress = {});

    // Prunes the list to the units kept and the virtual ones, then runs both phases. The pause
    // that the search window keeps after the search is left to the window.
    void run();
    void networkSearch();
    // Where the search request goes: a.b.c.255 of the gateway a.b.c.d (port modulePort,
    // from local port searchPort).
    static Ipv4 requestAddress(const std::array<uint8_t, 4>& gateway);
    void serialSearch();

    // Sends a probe and returns the reply frame's length (the frame copied to reply, 129
    // bytes), or 0 when none came. Replaces the exchanges over the endpoint and over a
    // serial port (for tests and fuzzing).
    using ProbeExchange =
        std::function<size_t(const uint8_t* packet, size_t length, uint8_t* reply)>;
    void setProbeExchange(ProbeExchange exchange) { probeExchange_ = std::move(exchange); }

    // Probes the unit that a search reply names and lists it; replies too short to hold the
    // unit's address are passed over.
    void takeSearchReply(const uint8_t* datagram, size_t length);
    // Probes the unit behind an open serial port (or the probe exchange) and lists it.
    void probeSerialUnit(const std::string& portName, SerialPort* port);

    // Reply recognition of the probe exchanges: feeds bytes into the assembler and returns the
    // reply length when they complete one (the frame copied to reply), else 0. On the serial
    // stream two consecutive 0xFF bytes start a new frame whatever came before them.
    static size_t assembleReply(ReplyAssembler& assembler, const uint8_t* bytes, size_t count,
                                uint8_t* reply);
    static size_t assembleSerialReply(ReplyAssembler& assembler, const uint8_t* bytes, size_t count,
                                      uint8_t* reply);

    // Probe exchanges outside any command queue. Both return the reply frame length (the
    // frame is copied to reply, 128 bytes), or 0 when no reply came within the time-out.
    static size_t networkExchange(UdpEndpoint& endpoint, Ipv4 unit, uint16_t unitPort,
                                  const uint8_t* packet, size_t length, uint8_t* reply,
                                  uint32_t timeoutMs);
    static size_t serialExchange(SerialPort& port, const uint8_t* packet, size_t length,
                                 uint8_t* reply, uint32_t timeoutMs);
    // The 12-byte probe for a unit-wide read of the code.
    static size_t buildProbe(uint8_t code, uint8_t* out);
    // Name bytes plus 32, up to the first that becomes 0 or 20 characters.
    static std::string decodeProbeName(const uint8_t* payload);

private:
    void probeSerialPort(int port);
    void reportProgress(int port);
    bool knownAddress(Ipv4 address) const;
    bool knownPort(const std::string& name) const;

    EquipmentList& list_;
    SearchSettings settings_;
    Progress progress_;
    ProbeExchange probeExchange_;
};

}  // namespace qel
