// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The remote control's edit path: a `set` taken by the hub to its command at the unit.
//   bench_remote [--samples N]
// In one process: a simulated QD408 on loopback, connected and read as `serve` does, the hub
// on 127.0.0.1 and a WebSocket client. The client sends input A gain sets, 60-90 ms apart (so
// none merges with the one before). Measured on the steady clock: from the server socket
// having the whole set frame (its textFrameReceived, emitted just before textMessageReceived
// reaches the hub) to the simulator's receive of the gain write; the client's send to the
// same end is given too, and the part from the whole frame until the edit path's listeners (the
// hub's first) are done, in wall and GUI thread CPU time.
#include <time.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QWebSocket>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <vector>

#include "HubBenchRig.h"
#include "UnitSimulator.h"
#include "cli/ServeHost.h"
#include "cli/Session.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"
#include "remote/RemoteHub.h"

using namespace qel;
using namespace qel::bench;

namespace {

void send(QWebSocket& socket, const QJsonObject& m) {
    socket.sendTextMessage(QString::fromUtf8(QJsonDocument(m).toJson(QJsonDocument::Compact)));
}

}  // namespace

int main(int argc, char** argv) {
    int samples = 300;
    for (int i = 1; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], "--samples")) samples = std::max(1, std::atoi(argv[i + 1]));
    QCoreApplication app(argc, argv);
    UnitRig rig;
    if (!rig.connect("127.86.0.2")) return 1;
    cli::ServeHost host({rig.unit}, rig.link);
    RemoteHub hub(host, rig.dir.filePath("QelConfig.ini"));
    RemoteHub::Settings settings;
    settings.port = 0;
    if (!hub.start(settings)) return std::fprintf(stderr, "listen failed\n"), 1;

    int64_t takenNs = 0, takenCpuNs = 0;  // the server socket has the whole set
    QObject::connect(&hub.server(), &RemoteServer::socketOpened, [&](QWebSocket* s) {
        QObject::connect(s, &QWebSocket::textFrameReceived, [&](const QString&, bool last) {
            if (!last) return;
            takenNs = nowNs();
            takenCpuNs = cpuNs(CLOCK_THREAD_CPUTIME_ID);
        });
    });
    QWebSocket client;
    QString unitId;
    QObject::connect(&client, &QWebSocket::textMessageReceived, [&](const QString& t) {
        const QJsonObject m = QJsonDocument::fromJson(t.toUtf8()).object();
        if (m.value("type") == "units")
            unitId = m.value("units").toArray().at(0).toObject().value("id").toString();
    });
    client.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(hub.server().port())));
    if (!pumpUntil([&] { return client.state() == QAbstractSocket::ConnectedState; }, 3000))
        return std::fprintf(stderr, "no connection\n"), 1;
    const QString code = QUrlQuery(QUrl(hub.pairingUrl())).queryItemValue("pair");
    send(client, {{"type", "hello"}, {"pair", code}, {"label", "bench"}});
    if (!pumpUntil([&] { return !unitId.isEmpty(); }, 3000))
        return std::fprintf(stderr, "no units\n"), 1;
    send(client, {{"type", "subscribe"}, {"units", QJsonArray{unitId}}});
    pump(300);
    int64_t toldNs = 0,
            toldCpuNs =
                0;  // the edit path queued the command and told its listeners, the hub first
    const ParamEdit::Subscription told =
        host.editOf(*rig.unit)->listen([&](const ParamEdit::Result&) {
            toldNs = nowNs();
            toldCpuNs = cpuNs(CLOCK_THREAD_CPUTIME_ID);
        });

    std::vector<double> fromHub, fromClient, hubPart, hubCpu;
    for (int i = 0; i < samples; ++i) {
        rig.sim.clearRequests(0);  // copies of a long log under the simulator's lock would delay it
        const size_t before = 0;
        const double db = -20 + (i % 40) * 0.5;
        const int64_t sentNs = nowNs();
        send(client, {{"type", "set"},
                      {"id", i + 1},
                      {"unit", unitId},
                      {"path", "inputs[0].gainDb"},
                      {"value", db},
                      {"final", true}});
        if (!pumpUntil([&] { return gainWrites(rig.sim).size() > before; }, 2000))
            return std::fprintf(stderr, "set %d never reached the unit\n", i), 1;
        const int64_t atUnit = gainWrites(rig.sim).back();
        fromHub.push_back(static_cast<double>(atUnit - takenNs) / 1e6);
        fromClient.push_back(static_cast<double>(atUnit - sentNs) / 1e6);
        hubPart.push_back(static_cast<double>(toldNs - takenNs) / 1e6);
        hubCpu.push_back(static_cast<double>(toldCpuNs - takenCpuNs) / 1e6);
        pump(60 + (i * 7) % 31);
    }
    std::printf("set -> gain write at the unit, samples=%d\n", samples);
    std::printf("  from the server socket's whole frame: p50=%.3f ms p99=%.3f ms max=%.3f ms\n",
                pct(fromHub, 0.5), pct(fromHub, 0.99), pct(fromHub, 1));
    std::printf("  from the client's send:               p50=%.3f ms p99=%.3f ms max=%.3f ms\n",
                pct(fromClient, 0.5), pct(fromClient, 0.99), pct(fromClient, 1));
    std::printf("  of which the whole frame to the hub's listener done: p50=%.3f ms p99=%.3f ms\n",
                pct(hubPart, 0.5), pct(hubPart, 0.99));
    std::printf("  the GUI thread's CPU time over that part:          p50=%.3f ms p99=%.3f ms\n",
                pct(hubCpu, 0.5), pct(hubCpu, 0.99));
    return 0;
}
