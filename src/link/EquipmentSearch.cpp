// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "link/EquipmentSearch.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "link/Packet.h"
#include "link/Protocol.h"
#include "link/ReplyAssembler.h"
#include "link/UdpEndpoint.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "platform/SerialPortMap.h"
#include "platform/Trace.h"
#include "platform/UdpSocket.h"

namespace qel {

namespace {

constexpr uint8_t kSearchRequest[EquipmentSearch::kRequestSize] = {
    0x01, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0xFF, 0xFF};
constexpr uint8_t kProbeBusy = 0x02, kProbeModel = 0x03, kProbeName = 0x04;

uint32_t remainingMs(uint32_t start, uint32_t total) {
    const uint32_t spent = tickMs() - start;
    return spent >= total ? 0 : total - spent;
}

}  // namespace

EquipmentSearch::EquipmentSearch(EquipmentList& list, SearchSettings settings, Progress progress)
    : list_(list), settings_(settings), progress_(std::move(progress)) {}

size_t EquipmentSearch::buildProbe(uint8_t code, uint8_t* out) {
    const uint8_t zero[2] = {0, 0};
    return buildFrame(out, frame::kMaxSize, block::kUnit, op::kRead, 0, code, zero, 2,
                      instanceTag());
}

std::string EquipmentSearch::decodeProbeName(const uint8_t* payload) {
    std::string name;
    for (size_t i = 0; i < 20; ++i) {
        const auto c = static_cast<uint8_t>(payload[i] + 32);
        if (c == 0) break;
        name += static_cast<char>(c);
    }
    return name;
}

void EquipmentSearch::run() {
    list_.prune([this](const Equipment& e) {
        return e.isVirtual() || (settings_.keep && settings_.keep(e));
    });
    qCInfo(lcSearch, "Search For Equipment.");
    if (settings_.network) networkSearch();
    if (settings_.serial) serialSearch();
    qCDebug(lcSearch, "\n");  // two empty lines after the search
}

bool EquipmentSearch::knownAddress(Ipv4 address) const {
    for (const auto& e : list_.snapshot())
        if (e->hasFlag(linkflag::kUdp) && e->address() == address) return true;
    return false;
}

bool EquipmentSearch::knownPort(const std::string& name) const {
    for (const auto& e : list_.snapshot())
        if (e->hasFlag(linkflag::kSerial) && e->portName() == name) return true;
    return false;
}

Ipv4 EquipmentSearch::requestAddress(const std::array<uint8_t, 4>& gateway) {
    return ipv4FromOctets(gateway[0], gateway[1], gateway[2], 255);
}

void EquipmentSearch::networkSearch() {
    UdpSocket socket;
    if (!socket.open(0, settings_.searchPort)) {
        qCDebug(lcSearch, "Search: %s", socket.lastError().c_str());
        return;
    }
    // A send to a subnet's broadcast address needs SO_BROADCAST; a failed send is traced and
    // the window runs all the same.
    if (!socket.allowBroadcast()) qCDebug(lcSearch, "Search: %s", socket.lastError().c_str());
    if (socket.sendTo(requestAddress(settings_.gateway), settings_.modulePort, kSearchRequest,
                      sizeof kSearchRequest) < 0)
        qCDebug(lcSearch, "Search: %s", socket.lastError().c_str());
    const uint32_t start = tickMs();
    static thread_local uint8_t datagram[8192];
    for (uint32_t left; (left = remainingMs(start, settings_.windowMs)) > 0;) {
        if (!socket.waitReadable(static_cast<int>(left))) continue;
        const long n = socket.receiveFrom(datagram, sizeof datagram);
        if (n > 0) takeSearchReply(datagram, static_cast<size_t>(n));
    }
}

void EquipmentSearch::takeSearchReply(const uint8_t* datagram, size_t size) {
    // A reply too short to hold the unit's address is not read.
    if (size < kMinReplySize) return;
    std::array<uint8_t, 6> mac;
    std::memcpy(mac.data(), datagram + 12, 6);
    const Ipv4 address = ipv4FromOctets(datagram[18], datagram[19], datagram[20], datagram[21]);
    // A unit kept from an earlier search (open in its editor) is not listed a second time.
    if ((settings_.endpoint == nullptr && !probeExchange_) || knownAddress(address)) return;
    const uint8_t probes[4] = {kProbeBusy, kProbeModel, kProbeName, kProbeBusy};
    EquipmentList::Entry entry;
    for (int i = 0; i < 4; ++i) {
        uint8_t packet[frame::kMaxSize], reply[frame::kMaxSize + 1] = {};
        const size_t length = buildProbe(probes[i], packet);
        const size_t got = probeExchange_
                               ? probeExchange_(packet, length, reply)
                               : networkExchange(*settings_.endpoint, address, settings_.unitPort,
                                                 packet, length, reply, settings_.probeTimeoutMs);
        if (!got) return;
        const uint8_t* data = reply + frame::kPayload;
        if (probes[i] == kProbeBusy && data[0] == 1) return;
        if (probes[i] == kProbeModel && !entry) {
            if (!isKnownModel(data[0])) return;
            entry = std::make_shared<Equipment>();
            entry->setFlags(linkflag::kAvailable | linkflag::kUdp);
            entry->setModelCode(data[0]);
            entry->setModelName(std::string(modelName(data[0])));
            entry->setAddress(address);
            entry->setMac(mac);
            list_.append(entry);
        }
        if (probes[i] == kProbeName && entry) entry->setDeviceName(decodeProbeName(data));
        if (i == 3 && entry && data[0] == 0) entry->clearFlags(linkflag::kAvailable);
    }
}

void EquipmentSearch::serialSearch() {
    for (int port = settings_.firstSerialPort; port <= settings_.lastSerialPort; ++port) {
        reportProgress(port);
        probeSerialPort(port);
    }
}

void EquipmentSearch::probeSerialPort(int port) {
    const std::string name = "COM" + std::to_string(port);
    if (knownPort(name)) return;  // held by a connected unit
    const std::string path = settings_.serialMap ? settings_.serialMap->devicePath(name) : name;
    SerialPort serial;
    if (!serial.open(path)) return;
    probeSerialUnit(name, &serial);
}

void EquipmentSearch::probeSerialUnit(const std::string& name, SerialPort* serial) {
    if (!serial && !probeExchange_) return;
    const int port = std::atoi(name.c_str() + (name.rfind("COM", 0) == 0 ? 3 : 0));
    const uint8_t probes[3] = {kProbeModel, kProbeName, kProbeBusy};
    EquipmentList::Entry entry;
    for (uint8_t code : probes) {
        uint8_t packet[frame::kMaxSize], reply[frame::kMaxSize + 1] = {};
        const size_t length = buildProbe(code, packet);
        const size_t got = probeExchange_ ? probeExchange_(packet, length, reply)
                                          : serialExchange(*serial, packet, length, reply,
                                                           settings_.probeTimeoutMs);
        if (!got) return;
        const uint8_t* data = reply + frame::kPayload;
        if (code == kProbeModel && !entry) {
            if (!isKnownModel(data[0])) return;
            entry = std::make_shared<Equipment>();
            entry->setFlags(linkflag::kAvailable | linkflag::kSerial);
            entry->setPortName(name);
            entry->setModelCode(data[0]);
            entry->setModelName(std::string(modelName(data[0])));
            list_.append(entry);
            reportProgress(port);
        }
        if (code == kProbeName && entry) entry->setDeviceName(decodeProbeName(data));
        if (code == kProbeBusy && entry && data[0] == 0) entry->clearFlags(linkflag::kAvailable);
    }
}

void EquipmentSearch::reportProgress(int port) {
    if (progress_) progress_(20 + 5 * port, list_.count(), port);
    if (settings_.progressPauseMs) sleepMs(settings_.progressPauseMs);
}

size_t EquipmentSearch::networkExchange(UdpEndpoint& endpoint, Ipv4 unit, uint16_t unitPort,
                                        const uint8_t* packet, size_t length, uint8_t* reply,
                                        uint32_t timeoutMs) {
    if (!endpoint.sendTo(unit, unitPort, packet, length)) return 0;
    ReplyAssembler assembler;
    uint8_t bytes[frame::kMaxSize];
    const uint32_t start = tickMs();
    for (uint32_t left; (left = remainingMs(start, timeoutMs)) > 0;) {
        if (!endpoint.waitFor(unit, static_cast<int>(left))) continue;
        const size_t n = endpoint.receiveFor(unit, bytes, sizeof bytes);
        if (const size_t found = assembleReply(assembler, bytes, n, reply)) return found;
    }
    return 0;
}

size_t EquipmentSearch::assembleReply(ReplyAssembler& assembler, const uint8_t* bytes, size_t count,
                                      uint8_t* reply) {
    for (size_t i = 0; i < count; ++i) {
        if (const size_t found = assembler.feed(bytes[i])) {
            std::memcpy(reply, assembler.data(), found + 1);
            return found;
        }
    }
    return 0;
}

size_t EquipmentSearch::assembleSerialReply(ReplyAssembler& assembler, const uint8_t* bytes,
                                            size_t count, uint8_t* reply) {
    for (size_t i = 0; i < count; ++i) {
        // Two start bytes begin a new frame, whatever came before them.
        if (i > 0 && bytes[i] == 0xFF && bytes[i - 1] == 0xFF) {
            assembler.clear();
            assembler.feed(0xFF);
        }
        if (const size_t found = assembler.feed(bytes[i])) {
            std::memcpy(reply, assembler.data(), found + 1);
            return found;
        }
    }
    return 0;
}

size_t EquipmentSearch::serialExchange(SerialPort& port, const uint8_t* packet, size_t length,
                                       uint8_t* reply, uint32_t timeoutMs) {
    if (port.write(packet, length) != static_cast<long>(length)) return 0;
    ReplyAssembler assembler;
    uint8_t bytes[256];
    const uint32_t start = tickMs();
    for (uint32_t left; (left = remainingMs(start, timeoutMs)) > 0;) {
        const auto wait = port.waitReadable(static_cast<int>(left), -1);
        if (wait == SerialPort::Wait::HungUp) return 0;
        if (wait != SerialPort::Wait::Readable) continue;
        const long n = port.read(bytes, sizeof bytes);
        if (n < 0) return 0;
        if (const size_t found =
                assembleSerialReply(assembler, bytes, static_cast<size_t>(n), reply))
            return found;
    }
    return 0;
}

}  // namespace qel
