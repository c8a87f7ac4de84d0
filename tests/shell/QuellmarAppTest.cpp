// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <memory>
#include <thread>

#include "ModuleSearch.h"
#include "netsetup/dialogs/EqNetConfigDlg.h"
#include "platform/Clock.h"
#include "platform/UdpSocket.h"
#include "resources/Skins.h"
#include "shell/ClientWnd.h"
#include "shell/QuellmarApp.h"
#include "support/Loopback.h"

using namespace qel;

namespace {

// Plays a module that keeps answering a search on the given port, one reply a millisecond.
class ReplyStream {
public:
    ReplyStream(Ipv4 module, uint16_t port)
        : thread_([this, module, port] { run(module, port); }) {}
    ~ReplyStream() {
        stop_ = true;
        thread_.join();
    }

private:
    void run(Ipv4 module, uint16_t port) {
        UdpSocket socket;
        if (!socket.open(module, 0)) return;
        const auto reply = sim::ModuleSearch::reply(module);
        while (!stop_) {
            socket.sendTo(*parseIpv4("127.0.0.1"), port, reply.data(), reply.size());
            sleepMs(1);
        }
    }

    std::atomic<bool> stop_{false};
    std::thread thread_;
};

uint16_t freePort() {
    UdpSocket probe;
    return probe.open(0, 0) ? probe.localPort() : 0;
}

}  // namespace

// What the application object owns ends with it, before the QApplication.
class QuellmarAppTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(dir.isValid());
        CQuellmarApp::Options o;
        o.workDir = o.lockDir = dir.path();
        o.localPort = o.searchPort = 0;
        app = std::make_unique<CQuellmarApp>(o);
    }
    void cleanup() { app.reset(); }

    void aModuleSearchInsideItsWindowEndsWithTheApplication() {
        const std::string subnet = test::loopbackSubnet();
        NetConfigSettings settings;
        const Ipv4 g = *parseIpv4(subnet + ".1");
        settings.search.gateway = {ipv4Octet(g, 0), ipv4Octet(g, 1), ipv4Octet(g, 2), 1};
        settings.search.localPort = freePort();
        settings.search.modulePort = freePort();
        settings.search.windowMs = 60000;
        QVERIFY(settings.search.localPort != 0);
        ReplyStream replies(*parseIpv4(subnet + ".2"), settings.search.localPort);
        CEqNetConfigDlg(settings, app->moduleSearcher()).show();  // starts the search, closes
        QTRY_VERIFY(app->moduleSearcher().table().count() > 0);
        QVERIFY(app->moduleSearcher().running());
        app.reset();  // replies keep coming while the search and its table go
        UdpSocket again;
        QVERIFY2(again.open(0, settings.search.localPort), again.lastError().c_str());
    }

    void skinsArePaintedOnceWhileTheApplicationObjectLives() {
        const qint64 kept = skin::bitmap(CClientWnd::kBitmapId).cacheKey();
        QCOMPARE(skin::bitmap(CClientWnd::kBitmapId).cacheKey(), kept);
        app.reset();
        QVERIFY(skin::bitmap(CClientWnd::kBitmapId).cacheKey() != kept);
    }

private:
    QTemporaryDir dir;
    std::unique_ptr<CQuellmarApp> app;
};

QTEST_MAIN(QuellmarAppTest)
#include "QuellmarAppTest.moc"
