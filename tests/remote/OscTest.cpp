// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include "UnitSimulator.h"
#include "cli/ServeHost.h"
#include "device/GroupControl.h"
#include "device/UnitSession.h"
#include "link/UdpEndpoint.h"
#include "remote/OscServer.h"
#include "remote/RemoteHub.h"
#include "remote/RemoteWords.h"
#include "support/Loopback.h"

using namespace qel;

namespace {

// Output 1 of both units in one group.
constexpr char kGroups[] = R"({"format": "quellmar-groups", "version": 1, "groups": [
  {"name": "Mains", "gainDb": 0, "mute": false, "polarity": "normal", "delayMs": 0, "members": [
    {"unit": "Main", "model": "QD408", "channel": "out:1"},
    {"unit": "Main Stage", "model": "QD408", "channel": "out:1"}]}]})";

// Runs a program to its end while the event loop goes on; its standard output.
QString run(const QString& program, const QStringList& args) {
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    process.start(program, args);
    loop.exec();
    return QString::fromUtf8(process.readAllStandardOutput());
}

quint16 freePort() {
    QUdpSocket socket;
    socket.bind(QHostAddress::LocalHost, 0);
    return socket.localPort();
}

}  // namespace

// The OSC server on serve's units, sessions and groups, driven by liblo's own oscsend and
// oscdump and by a Python peer that writes packets out itself (tests/remote/osc/osc_probe.py).
class OscTest : public QObject {
    Q_OBJECT

    sim::UnitSimulator sim_;
    UdpEndpoint endpoint_;
    QTemporaryDir dir_;
    std::vector<std::shared_ptr<Equipment>> units_;
    std::unique_ptr<cli::ServeHost> host_;
    std::unique_ptr<RemoteHub> hub_;
    std::string rack_;

    sim::ChannelOut out(int unit, int output) const {
        return sim_.state(unit).params.out[output - 1];
    }
    UnitSession& session(int unit) { return *host_->sessions().of(*units_[size_t(unit)]); }
    QString port() const { return QString::number(hub_->osc().port()); }

    bool start(QStringList allow = {}, bool readOnly = false, int rate = 200) {
        OscServer::Settings s;
        s.port = 0;
        s.allow = std::move(allow);
        s.readOnly = readOnly;
        s.messagesPerSecond = rate;
        return hub_->osc().start(s);
    }
    void oscsend(const QStringList& args) {
        run("oscsend", QStringList{"127.0.0.1", port()} + args);
    }
    QStringList probe(const QStringList& args, const QString& to = {}) {
        return run("python3", QStringList{QUELLMAR_OSC_PROBE, to.isEmpty() ? port() : to} + args)
            .split('\n', Qt::SkipEmptyParts);
    }
    const OscServer::Sender* sender(const QString& prefix) {
        static OscServer::Sender found;
        for (const auto& s : hub_->osc().senders())
            if (s.address.startsWith(prefix)) return &(found = s);
        return nullptr;
    }

private slots:
    void initTestCase() {
        const std::string subnet = test::loopbackSubnet();
        const char* names[] = {"Main", "Main Stage"};
        for (int u = 0; u < 2; ++u) {
            const std::string ip = test::loopbackHost(subnet, 2 + u);
            QCOMPARE(sim_.addNetworkUnit(4, ip, names[u]), u);
            auto state = sim_.state(u);
            for (auto& output : state.params.out) output.gain = 100;  // 0 dB
            sim_.setState(u, state);
            auto unit = std::make_shared<Equipment>();
            unit->setAddress(*parseIpv4(ip));
            unit->setFlags(linkflag::kUdp);
            units_.push_back(unit);
        }
        rack_ = test::loopbackHost(subnet, 4);
        QCOMPARE(sim_.addNetworkUnit(2, rack_, "Rack"), 2);  // serve's alone
        QVERIFY(sim_.start() && endpoint_.open(0));
        LinkSettings link;
        link.endpoint = &endpoint_;
        for (const auto& unit : units_)
            QCOMPARE(UnitTransfer(*unit, link).run(UnitTransfer::Mode::Connect),
                     UnitTransfer::Result::Success);
        host_ = std::make_unique<cli::ServeHost>(units_, link);
        QFile file(dir_.filePath("groups.json"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(kGroups) > 0);
        file.close();
        QVERIFY(host_->loadGroups(file.fileName()).ok());
        hub_ = std::make_unique<RemoteHub>(*host_, dir_.filePath("QelConfig.ini"));
        QVERIFY(!hub_->osc().running());  // off until started
        QVERIFY(start());
    }

    void cleanupTestCase() {
        hub_.reset();
        host_.reset();
    }

    // A set by oscsend reaches the unit through its edit path, made by the sender; a wildcard
    // set is one step per unit; a query answers the value.
    void setsAndQueries() {
        oscsend({"/quellmar/unit/Main/out/3/mute", "i", "1"});
        QTRY_COMPARE(int(out(0, 3).mute), 1);
        EditHistory& history = session(0).history();
        const ParamEdit::Origin by = history.origin(history.count() - 1);
        QCOMPARE(by.kind, ParamEdit::Origin::Kind::Osc);
        QVERIFY(QString::fromStdString(by.peer).startsWith("127.0.0.1:"));

        const int steps[] = {session(0).history().count(), session(1).history().count()};
        oscsend({"/quellmar/unit/*/out/[1-4]/mute", "i", "1"});
        for (int output = 1; output <= 4; ++output) {
            QTRY_COMPARE(int(out(1, output).mute), 1);
            QTRY_COMPARE(int(out(0, output).mute), 1);
        }
        QCOMPARE(int(out(1, 5).mute), 0);
        QCOMPARE(session(0).history().count(), steps[0] + 1);
        QCOMPARE(session(1).history().count(), steps[1] + 1);

        // A name with a space is written with '_'; the value goes to the unit's step.
        QCOMPARE(probe({"ask", "/quellmar/unit/Main_Stage/out/2/gain", "f", "-6.2"}),
                 QStringList());
        QTRY_COMPARE(int(out(1, 2).gain), 100 - 12);
        QCOMPARE(probe({"ask", "/quellmar/unit/Main_Stage/out/2/gain"}),
                 QStringList{"/quellmar/unit/Main_Stage/out/2/gain f -6"});
        QCOMPARE(probe({"ask", "/quellmar/unit/Main/out/{2,3}/mute"}),
                 (QStringList{"/quellmar/unit/Main/out/2/mute i 1",
                              "/quellmar/unit/Main/out/3/mute i 1"}));
        oscsend({"/quellmar/unit/Main/out/1/delay", "f", "10"});
        QTRY_COMPARE(int(out(0, 1).delay), 480);
        oscsend({"/quellmar/unit/Main/in/B/eq/4/gain", "f", "3"});
        QTRY_COMPARE(probe({"ask", "/quellmar/unit/Main/in/B/eq/4/gain"}),
                     QStringList{"/quellmar/unit/Main/in/B/eq/4/gain f 3"});

        // Refusals name the address and why; nothing changes.
        QCOMPARE(probe({"ask", "/quellmar/unit/Main/out/3/gain", "f", "40"}).size(), 1);
        QVERIFY(probe({"ask", "/quellmar/unit/Side/out/3/mute", "i", "0"})
                    .value(0)
                    .startsWith("/quellmar/error s /quellmar/unit/Side/out/3/mute: "));
        QCOMPARE(probe({"ask", "/quellmar/unit/Main/in/A/polarity", "i", "1"}),
                 QStringList{"/quellmar/error s /quellmar/unit/Main/in/A/polarity: " +
                             RemoteWords::notASetting("/quellmar/unit/Main/in/A/polarity")});
        QCOMPARE(int(out(0, 3).gain), 100);

        const QStringList list = probe({"ask", "/quellmar/units"});
        QCOMPARE(list,
                 QStringList{"/quellmar/units ssssss Main QD408 online Main_Stage QD408 online"});
    }

    // A group's move lands on every member; the group answers its value.
    void groups() {
        oscsend({"/quellmar/group/Mains/gain", "f", "-3"});
        QTRY_COMPARE(int(out(0, 1).gain), 100 - 6);
        QTRY_COMPARE(int(out(1, 1).gain), 100 - 6);
        oscsend({"/quellmar/group/Mains/gain/step", "f", "1"});
        QTRY_COMPARE(probe({"ask", "/quellmar/group/Mains/gain"}),
                     QStringList{"/quellmar/group/Mains/gain f -2"});
        oscsend({"/quellmar/group/*/mute", "i", "1"});
        QTRY_VERIFY(host_->groups()->group("Mains")->mute);
        QTRY_COMPARE(int(out(1, 1).mute), 1);
    }

    // oscdump, subscribed, prints the change a desktop edit makes, and the meters.
    void subscribersHearEveryChange() {
        const quint16 dumpPort = freePort();
        QProcess dump;
        dump.start("oscdump", {"-L", QString::number(dumpPort)});
        QVERIFY(dump.waitForStarted());
        QTest::qWait(200);  // listening
        oscsend({"/quellmar/subscribe", "ii", "10", QString::number(dumpPort)});
        QTRY_COMPARE(hub_->osc().subscribers(), 1);
        {
            ParamEdit& edit = session(0).edit();  // as the desktop's controls edit
            edit.setGain(cmd::outputChannel(5), 88);
        }
        QString seen;
        QTRY_VERIFY((seen += dump.readAllStandardOutput())
                        .contains("/quellmar/unit/Main/out/5/gain f -6.0"));
        QTRY_VERIFY((seen += dump.readAllStandardOutput())
                        .contains(QRegularExpression("/quellmar/unit/Main/meters f{12} ")));
        dump.kill();
        dump.waitForFinished();
    }

    // The unit takes up stored mode 2 and is read again in its session, whose image then
    // holds that mode's settings with a fresh history; a busy unit is refused with its holder,
    // a number outside 1..20 with the range.
    void modeRecall() {
        auto state = sim_.state(0);
        state.modes[1].params = state.params;
        state.modes[1].params.out[6].gain = 40;  // -30 dB
        sim_.setState(0, state);
        {
            const auto lease = session(0).lease(QStringLiteral("同步"));
            QCOMPARE(probe({"ask", "/quellmar/unit/Main/mode", "i", "2"}),
                     QStringList{"/quellmar/error s /quellmar/unit/Main/mode: " +
                                 RemoteWords::busyWith("同步")});
        }
        QCOMPARE(probe({"ask", "/quellmar/unit/Main/mode", "i", "21"}),
                 QStringList{"/quellmar/error s /quellmar/unit/Main/mode: " +
                             RemoteWords::oscModeNumber(20)});
        QCOMPARE(int(out(0, 7).gain), 100);

        QVERIFY(session(0).history().count() > 0);
        oscsend({"/quellmar/unit/Main/mode", "i", "2"});
        QTRY_COMPARE(int(sim_.state(0).currentMode), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!session(0).busy(), 10000);
        QCOMPARE(int(out(0, 7).gain), 40);
        QCOMPARE(session(0).history().count(), 0);
        QCOMPARE(probe({"ask", "/quellmar/unit/Main/out/7/gain"}),
                 QStringList{"/quellmar/unit/Main/out/7/gain f -30"});
        QCOMPARE(probe({"ask", "/quellmar/unit/Main/mode"}),
                 QStringList{"/quellmar/unit/Main/mode i 2"});
    }

    // A sender outside the allowed networks changes nothing and is not answered; a read-only
    // server refuses sets; malformed packets are refused and the server goes on; a sender
    // beyond its rate is dropped.
    void badSendersAndBadPackets() {
        QVERIFY(start({"192.168.6.0/24"}));
        const int steps = session(0).history().count();
        QCOMPARE(probe({"ask", "/quellmar/unit/Main/out/6/mute", "i", "1"}), QStringList());
        QTRY_VERIFY(sender("127.0.0.1:") && sender("127.0.0.1:")->refused == 1);
        QCOMPARE(int(out(0, 6).mute), 0);
        QCOMPARE(session(0).history().count(), steps);

        QVERIFY(start({"127.0.0.0/8"}, true));
        QCOMPARE(probe({"ask", "/quellmar/unit/Main/out/6/mute", "i", "1"}),
                 QStringList{"/quellmar/error s /quellmar/unit/Main/out/6/mute: " +
                             RemoteWords::watchOnly()});
        QCOMPARE(probe({"ask", "/quellmar/unit/Main/out/6/mute"}),
                 QStringList{"/quellmar/unit/Main/out/6/mute i 0"});

        QVERIFY(start());
        const QStringList bad = probe({"bad", "/quellmar/unit/Main/out/8/mute"});
        QVERIFY2(bad.size() >= 2 && bad.last() == "/quellmar/unit/Main/out/8/mute i 0",
                 qPrintable(bad.join('\n')));
        for (const QString& line : bad.mid(0, bad.size() - 2))
            QVERIFY2(line.startsWith("/quellmar/error s "), qPrintable(line));
        QCOMPARE(session(0).history().count(), steps);
        QCOMPARE(int(out(0, 8).gain), 100);

        QVERIFY(start({}, false, 3));
        probe({"burst", "10", "/quellmar/unit/Main/out/7/mute", "i", "0"});
        QTRY_VERIFY(sender("127.0.0.1:") && sender("127.0.0.1:")->dropped >= 4);
    }

    // quellmar-cli serve with OSC alone: it says where, takes queries, refuses sets when
    // read-only; a network that is none stops it at once.
    void serveTakesOsc() {
        const QStringList units{"--ip",     QString::fromStdString(rack_), "--local-port", "0",
                                "--config", dir_.filePath("serve.ini")};
        QProcess bad;
        bad.start(
            QUELLMAR_CLI,
            QStringList{"serve", "--osc", "127.0.0.1:0", "--osc-allow", "10.0.0.0/40"} + units);
        QVERIFY(bad.waitForFinished(10000));
        QCOMPARE(bad.exitCode(), 1);
        QVERIFY(bad.readAllStandardError().contains("10.0.0.0/40"));

        QProcess serve;
        serve.start(QUELLMAR_CLI, QStringList{"serve", "--osc", "127.0.0.1:0", "--osc-read-only",
                                              "--osc-allow", "127.0.0.0/8"} +
                                      units);
        QVERIFY(QTest::qWaitFor([&] { return serve.canReadLine(); }, 15000));
        const QUrl url(QString::fromUtf8(serve.readLine()).trimmed());
        QCOMPARE(url.scheme(), QString("osc.udp"));
        const QString at = QString::number(url.port());
        QCOMPARE(probe({"ask", "/quellmar/unit/Rack/out/1/mute"}, at),
                 QStringList{"/quellmar/unit/Rack/out/1/mute i 0"});
        const QStringList refused = probe({"ask", "/quellmar/unit/Rack/out/1/mute", "i", "1"}, at);
        QCOMPARE(refused.size(), 1);
        QVERIFY(refused[0].startsWith("/quellmar/error s /quellmar/unit/Rack/out/1/mute: "));
        QCOMPARE(int(out(2, 1).mute), 0);
        serve.terminate();
        QVERIFY(serve.waitForFinished(5000));
        QCOMPARE(serve.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(OscTest)
#include "OscTest.moc"
