// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// Records the fuzz targets' seed corpora from simulator traffic: a QD408 on the network and
// a QD206 on a pseudo-terminal are connected, read and written by the program's own code;
// the requests the units received, the replies they gave and the files the program saved
// become seeds in each target's input format.
//   fuzz_corpus_recorder OUT_DIR     (writes OUT_DIR/{receive,discovery,modefile,simrequest})
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <QFile>

#include "ModuleSearch.h"
#include "SimUnit.h"
#include "UnitSimulator.h"
#include "device/ModeFileStore.h"
#include "device/ModeImage.h"
#include "device/UnitTransfer.h"
#include "link/UdpEndpoint.h"
#include "platform/SerialPortMap.h"

using namespace qel;
using Bytes = std::vector<uint8_t>;

namespace {

std::string out;
int written = 0;

void save(const std::string& target, const std::string& name, const Bytes& bytes) {
    const std::string dir = out + "/" + target;
    ::mkdir(dir.c_str(), 0755);
    std::ofstream(dir + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    ++written;
}

void chunk(Bytes& to, const Bytes& bytes) {
    to.push_back(static_cast<uint8_t>(bytes.size()));
    to.insert(to.end(), bytes.begin(), bytes.end());
}

// The replies a unit of the model gives to these requests, in order.
std::vector<Bytes> repliesTo(int model, const std::vector<Bytes>& requests) {
    sim::SimUnit unit(model, "Recorded", {}, 1);
    std::vector<Bytes> replies;
    for (const Bytes& r : requests) {
        const auto response = unit.receive(r.data(), r.size(), 0);
        replies.push_back(response.frames.empty() ? Bytes{} : response.frames.front());
    }
    return replies;
}

std::vector<Bytes> requestsOf(const sim::UnitSimulator& sim, int unit) {
    std::vector<Bytes> frames;
    for (const auto& r : sim.requests(unit)) frames.push_back(r.frame);
    return frames;
}

void receiveSeeds(const std::vector<Bytes>& requests, const std::vector<Bytes>& replies,
                  bool serial, const std::string& prefix) {
    for (size_t i = 0; i < requests.size(); i += 7) {
        const Bytes& q = requests[i];
        if (replies[i].empty()) continue;
        Bytes seed = {static_cast<uint8_t>(serial ? 1 : 0), q[frame::kTarget], q[frame::kChannel],
                      q[frame::kCode],
                      static_cast<uint8_t>(replies[i].size() - frame::kHeaderSize)};
        if (serial) {
            Bytes stream = {0x00, 0x13, 0xFF};  // line noise ahead of the reply
            stream.insert(stream.end(), replies[i].begin(), replies[i].end());
            chunk(seed, Bytes(stream.begin(), stream.begin() + 9));
            chunk(seed, Bytes(stream.begin() + 9, stream.end()));
        } else {
            chunk(seed, replies[i]);
            chunk(seed, replies[i]);  // and a duplicate
        }
        save("receive", prefix + std::to_string(i), seed);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_corpus_recorder OUT_DIR\n");
        return 2;
    }
    out = argv[1];
    ::mkdir(out.c_str(), 0755);
    setInstanceTag(0x5A3C);

    sim::UnitSimulator sim;
    const std::string ip = "127.77.0.2";
    const int net = sim.addNetworkUnit(4, ip, "Main Stage");
    const int ser = sim.addSerialUnit(2, "Monitor");
    if (net < 0 || ser < 0 || !sim.start()) return 1;
    UdpEndpoint endpoint;
    if (!endpoint.open(0)) return 1;
    SerialPortMap map;
    map.setOverride("COM3", sim.slavePath(ser));
    LinkSettings link;
    link.endpoint = &endpoint;
    link.serialMap = &map;

    Equipment a, b;
    a.setAddress(*parseIpv4(ip));
    a.setFlags(linkflag::kUdp);
    b.setPortName("COM3");
    b.setFlags(linkflag::kSerial);
    for (Equipment* e : {&a, &b}) {
        UnitTransfer t(*e, link);
        t.setProgressPause(0);
        if (t.run(UnitTransfer::Mode::Connect) != UnitTransfer::Result::Success) return 1;
        if (t.run(UnitTransfer::Mode::Download) != UnitTransfer::Result::Success) return 1;
    }

    const auto netRequests = requestsOf(sim, net), serRequests = requestsOf(sim, ser);
    const auto netReplies = repliesTo(4, netRequests), serReplies = repliesTo(2, serRequests);
    receiveSeeds(netRequests, netReplies, false, "udp-");
    receiveSeeds(serRequests, serReplies, true, "serial-");

    // Discovery: a search reply, then the four network probes; the serial probes.
    Bytes search = {0};
    chunk(search, sim::ModuleSearch::reply(*parseIpv4(ip)));
    for (uint8_t code : {0x02, 0x03, 0x04, 0x02}) {
        Bytes probe(12);
        const uint8_t zero[2] = {0, 0};
        buildFrame(probe.data(), probe.size(), 0, 0, 0, code, zero, 2, 0x5A3C);
        chunk(search, repliesTo(4, {probe}).front());
    }
    save("discovery", "network-qd408", search);
    Bytes serialProbes = {1};
    for (uint8_t code : {0x03, 0x04, 0x02}) {
        Bytes probe(12);
        const uint8_t zero[2] = {0, 0};
        buildFrame(probe.data(), probe.size(), 0, 0, 0, code, zero, 2, 0x5A3C);
        chunk(serialProbes, repliesTo(2, {probe}).front());
    }
    save("discovery", "serial-qd206", serialProbes);

    // Simulator requests: runs of what each unit received, as datagrams and as a stream.
    for (size_t i = 0; i + 12 <= netRequests.size(); i += 40) {
        Bytes seed = {2, 0, 0};
        for (size_t k = i; k < i + 12; ++k) chunk(seed, netRequests[k]);
        save("simrequest", "udp-" + std::to_string(i), seed);
    }
    for (size_t i = 0; i + 12 <= serRequests.size(); i += 40) {
        Bytes seed = {0, 0x10, 1};
        for (size_t k = i; k < i + 12; ++k) chunk(seed, serRequests[k]);
        save("simrequest", "serial-" + std::to_string(i), seed);
    }

    // Mode files: the image read from the QD408 saved into records 0 and 5, and cut short.
    ModeFileStore store(QString::fromStdString(out));
    ModeRecord record = a.image()->record();
    record.setUsed(true);
    record.setName("Recorded");
    record.setDate(2024, 6, 11);
    store.setRecord(4, 0, record);
    store.setRecord(4, 5, b.image()->record());
    const Bytes file = store.contents(4);
    Bytes seed = {2};
    seed.insert(seed.end(), file.begin(), file.end());
    save("modefile", "qd408-full", seed);
    save("modefile", "qd408-short", Bytes(seed.begin(), seed.begin() + 1 + 1000));
    save("modefile", "empty", Bytes{0});
    std::printf("%d seeds written under %s\n", written, out.c_str());
    return 0;
}
