// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <poll.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Faults.h"
#include "ModuleConfig.h"
#include "FrameSplitter.h"
#include "PtyPair.h"
#include "SendQueue.h"
#include "SimUnit.h"
#include "link/Protocol.h"
#include "platform/Ipv4.h"
#include "platform/UdpSocket.h"

namespace qel::sim {

struct SimPorts {
    uint16_t unitPort = port::kUnit;      // command frames
    uint16_t modulePort = port::kModule;  // network module search
};

// The units together with their sockets and pseudo-terminals, the search listeners and the
// scheduled replies. Single-threaded: UnitSimulator runs it on its thread under its lock.
class UnitHost {
public:
    struct Source {
        enum class Kind { UnitSocket, ModuleSocket, Listener, Serial };
        Kind kind = Kind::UnitSocket;
        int unit = -1;    // for everything but listeners
        Ipv4 subnet = 0;  // listeners: their a.b.c.255 address
        int fd = -1;      // the descriptor polled, to recognise one closed meanwhile
    };

    explicit UnitHost(SimPorts ports) : ports_(ports) {}

    // Both return the new unit's number, or -1 (see lastError()).
    int addNetworkUnit(int model, const std::string& ipv4, const std::string& name,
                       const Faults& faults);
    int addSerialUnit(int model, const std::string& name, const Faults& faults);

    int unitCount() const { return static_cast<int>(units_.size()); }
    bool valid(int unit) const { return unit >= 0 && unit < unitCount(); }
    SimUnit& unit(int index) { return at(index).unit; }
    const SimUnit& unit(int index) const { return at(index).unit; }
    bool isSerial(int index) const { return at(index).serial; }
    // IPv4 text of a network unit, slave path of a serial one ("" once it was closed).
    std::string address(int index) const;
    // Names a unit's state across runs: its address, or its place among the serial units.
    std::string stateKey(int index) const;
    void closeSerial(int index);
    // A closed serial unit comes back on a new pseudo-terminal; false when none can be made.
    bool reopenSerial(int index);
    // A silenced unit reads and drops everything sent to it (commands, searches) and drops the
    // replies it still had scheduled, as when it loses power or its cable.
    void setSilenced(int index, bool silenced);
    bool silenced(int index) const { return at(index).silenced; }
    // The network module of a network unit (its addresses may differ from the unit's sockets
    // when a write gave it one that cannot be bound here).
    const ModuleConfig& module(int index) const { return at(index).module; }

    void pollSet(std::vector<pollfd>& fds, std::vector<Source>& sources) const;
    void service(const Source& source, int64_t nowMs);
    void sendDue(int64_t nowMs);
    int msUntilNextSend(int64_t nowMs) const { return queue_.msUntilNext(nowMs); }

    const std::string& lastError() const { return lastError_; }

private:
    struct Hosted {
        Hosted(int model, const std::string& name, const Faults& faults, uint32_t seed)
            : unit(model, name, faults, seed) {}
        SimUnit unit;
        bool serial = false;
        Ipv4 ip = 0;
        UdpSocket unitSocket;
        UdpSocket moduleSocket;
        ModuleConfig module{0};
        PtyPair pty;
        FrameSplitter splitter;
        bool silenced = false;
        int64_t lastDueMs = 0;  // replies of one unit never overtake each other
    };

    Hosted& at(int index) { return *units_[static_cast<size_t>(index)]; }
    const Hosted& at(int index) const { return *units_[static_cast<size_t>(index)]; }
    int currentFd(const Source& source) const;
    void receiveDatagrams(int index, int64_t nowMs);
    // Drains a socket and returns the senders of search requests.
    static std::vector<std::pair<Ipv4, uint16_t>> searchRequesters(UdpSocket& socket);
    // Searches and configuration messages sent to the unit's own module socket.
    void receiveModule(int index, int64_t nowMs);
    // The unit takes its module's new address, where one can be bound.
    void moveUnit(int index, Ipv4 address);
    void answerSubnetSearch(Ipv4 subnet, const std::pair<Ipv4, uint16_t>& requester, int64_t nowMs);
    void answerSearch(int index, const std::pair<Ipv4, uint16_t>& requester, int64_t nowMs);
    void receiveSerial(int index, int64_t nowMs);
    void schedule(int index, const SimUnit::Response& response, const Route& route, int64_t nowMs);
    void send(const SendQueue::Item& item);
    bool openListener(Ipv4 subnet);

    SimPorts ports_;
    std::vector<std::unique_ptr<Hosted>> units_;
    std::map<Ipv4, UdpSocket> listeners_;  // keyed by the a.b.c.255 address they are bound to
    SendQueue queue_;
    std::string lastError_;
};

}  // namespace qel::sim
