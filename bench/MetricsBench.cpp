// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// GET /metrics with many units, as a Prometheus server scrapes it.
//   bench_metrics [--units N] [--samples S]
// quellmar-unitsim serves N QD408s (default 64) in a child process. Each is connected and read,
// then held as serve holds it (sessions, the hub, edit counts, alarms with clip and silence on,
// so that every unit's meters are read at 5/s and their levels are in the metrics); each unit
// takes a few edits so that every family has samples. A scraper on its own thread (plain
// blocking socket, as a separate program would be) sends S requests 50 ms apart with a bearer
// token. Reported: the time from connecting to the end of the whole body (the server closes),
// the body's size and lines, and the GUI thread's time to write the text alone.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QWebSocket>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "cli/ServeHost.h"
#include "device/Alarms.h"
#include "device/EditCounts.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"
#include "remote/HubReport.h"
#include "remote/RemoteHub.h"
#include "SimUnits.h"

using namespace qel;
using Clock = std::chrono::steady_clock;

namespace {

int option(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], name)) return std::max(1, std::atoi(argv[i + 1]));
    return fallback;
}

template <typename F>
bool pumpUntil(F done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// One scrape over a blocking socket: milliseconds to the end of the answer, and the answer.
double scrape(quint16 port, const std::string& token, std::string& reply) {
    const auto start = Clock::now();
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    reply.clear();
    if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
        const std::string request = "GET /metrics HTTP/1.1\r\nHost: 127.0.0.1:" +
                                    std::to_string(port) + "\r\nAuthorization: Bearer " + token +
                                    "\r\n\r\n";
        if (send(fd, request.data(), request.size(), 0) == ssize_t(request.size())) {
            char buffer[65536];
            for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) reply.append(buffer, size_t(n));
        }
    }
    close(fd);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double pct(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[size_t(p * double(v.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
    const int units = option(argc, argv, "--units", 64);
    const int samples = option(argc, argv, "--samples", 200);
    QCoreApplication app(argc, argv);
    UdpEndpoint endpoint;  // goes after the units' links
    bench::SimUnits sim(units, 87);
    if (!sim.start() || !endpoint.open(0)) return 1;
    LinkSettings link;
    link.endpoint = &endpoint;
    const auto connected = sim.connect(link);
    QTemporaryDir dir;
    int status = 0;
    {
        cli::ServeHost host(connected, link);
        EditCounts edits;
        edits.attach(host.sessions());
        Alarms alarms(host.sessions());
        AlarmSettings settings;
        settings.clip.on = settings.silence.on = true;
        alarms.setSettings(settings);
        RemoteHub hub(host, dir.filePath("QelConfig.ini"));
        hub.setAlarms(&alarms);
        hub.setEditCounts(&edits);
        RemoteHub::Settings remote;
        remote.port = 0;
        if (!hub.start(remote)) return std::fprintf(stderr, "listen failed\n"), 1;
        for (UnitSession* s : host.sessions().all())
            for (int code : {90, 100}) s->edit().setGain(cmd::outputChannel(1), uint8_t(code));
        // A paired client's token, as a scraper is given one.
        QWebSocket client;
        std::string token;
        QObject::connect(&client, &QWebSocket::textMessageReceived, [&](const QString& t) {
            const QJsonObject m = QJsonDocument::fromJson(t.toUtf8()).object();
            if (m.value("type") == "welcome") token = m.value("token").toString().toStdString();
        });
        client.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(hub.server().port())));
        if (!pumpUntil([&] { return client.state() == QAbstractSocket::ConnectedState; }, 3000))
            return std::fprintf(stderr, "no connection\n"), 1;
        const QString code = QUrlQuery(QUrl(hub.pairingUrl())).queryItemValue("pair");
        client.sendTextMessage(QString::fromUtf8(
            QJsonDocument(QJsonObject{{"type", "hello"}, {"pair", code}, {"label", "bench"}})
                .toJson(QJsonDocument::Compact)));
        if (!pumpUntil([&] { return !token.empty(); }, 3000))
            return std::fprintf(stderr, "not paired\n"), 1;
        pumpUntil([] { return false; }, 2000);  // the meters run

        std::vector<double> scrapes;
        std::string reply;
        std::thread scraper([&] {
            for (int i = 0; i < samples; ++i) {
                std::string r;
                scrapes.push_back(scrape(hub.server().port(), token, r));
                if (i == 0) reply = r;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
        });
        app.exec();
        scraper.join();
        std::vector<double> writes;
        for (int i = 0; i < 50; ++i) {
            const auto start = Clock::now();
            (void)hubreport::metricsText(hub);
            writes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        const size_t body = reply.find("\r\n\r\n");
        const bool ok = reply.rfind("HTTP/1.1 200", 0) == 0 && body != std::string::npos;
        const long lines = std::count(reply.begin(), reply.end(), '\n');
        std::printf("%d of %d units connected, alarms on clip and silence (meters at 5/s)\n",
                    int(connected.size()), units);
        std::printf("  answer: %s, body %zu bytes, %ld lines\n", ok ? "200" : "FAILED",
                    ok ? reply.size() - body - 4 : 0, lines);
        std::printf("  GET /metrics, connect to end of body (%d scrapes): p50=%.2f ms p99=%.2f ms "
                    "max=%.2f ms\n",
                    samples, pct(scrapes, 0.5), pct(scrapes, 0.99), pct(scrapes, 1.0));
        std::printf("  writing the text on the GUI thread (50 times): p50=%.2f ms max=%.2f ms\n",
                    pct(writes, 0.5), pct(writes, 1.0));
        status = ok ? 0 : 1;
        hub.setAlarms(nullptr);
    }
    return status;
}
