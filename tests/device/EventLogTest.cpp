// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "UnitSimulator.h"
#include "device/EventLog.h"
#include "device/EventLogFiles.h"
#include "device/UnitSessions.h"
#include "device/ValueCodes.h"
#include "link/UdpEndpoint.h"
#include "support/Loopback.h"

using namespace qel;

namespace {

// One simulated QD408 "Stage-L", connected, with its session; a lost link is taken up again.
struct OneUnit {
    sim::UnitSimulator sim;
    int id = -1;
    std::string ip = test::loopbackHost(test::loopbackSubnet(), 2);
    UdpEndpoint endpoint;
    std::shared_ptr<Equipment> unit = std::make_shared<Equipment>();
    std::unique_ptr<UnitSessions> sessions;

    bool start() {
        id = sim.addNetworkUnit(4, ip, "Stage-L");
        if (id < 0 || !sim.start() || !endpoint.open(0)) return false;
        SessionOptions options;
        options.link.emplace();
        options.link->endpoint = &endpoint;
        options.link->silenceLimitMs = 800;  // lost soon
        options.link->answerLimitMs = 300;
        options.onDifference = SessionOptions::OnDifference::TakeUnits;
        unit->setAddress(*parseIpv4(ip));
        unit->setFlags(linkflag::kUdp);
        if (UnitTransfer(*unit, *options.link).run(UnitTransfer::Mode::Connect) !=
            UnitTransfer::Result::Success)
            return false;
        sessions = std::make_unique<UnitSessions>(options);
        sessions->open(unit);
        return true;
    }
    UnitSession& session() { return *sessions->of(*unit); }
    ~OneUnit() {
        sessions.reset();
        unit->stopLink();
    }
};

std::vector<EventRecord> ofKind(const std::vector<EventRecord>& records, const char* kind) {
    std::vector<EventRecord> out;
    for (const auto& r : records)
        if (r.kind == QLatin1String(kind)) out.push_back(r);
    return out;
}

}  // namespace

class EventLogTest : public QObject {
    Q_OBJECT

private slots:
    // Entries written, the program stopped in the middle of a line, started again: the new
    // entries follow on a line of their own, the cut line and garbage are counted as skipped,
    // and files older than the days kept are gone.
    void theLogSurvivesARestartAndACutLine() {
        QTemporaryDir dir;
        const QDate today = QDate::currentDate();
        const QString old = dir.filePath(eventlog::fileName(today.addDays(-120)));
        const QString recent = dir.filePath(eventlog::fileName(today.addDays(-3)));
        for (const QString& path : {old, recent}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("nonsense\n");
        }
        Equipment unit;
        unit.setDeviceName("Fill");
        unit.setModelName("QD206");
        unit.setAddress(*parseIpv4("127.0.0.9"));
        {
            EventLog log(dir.path());
            log.transfer(unit, EventRecord::kImport, UnitTransfer::Result::DownloadIncomplete,
                         QStringLiteral("stage \"A\", v2.json"));
            log.alarm(unit, QStringLiteral("limiter out:2"), true);
        }
        QVERIFY(!QFile::exists(old));
        QVERIFY(QFile::exists(recent));
        QFile today_(dir.filePath(eventlog::fileName(today)));
        QVERIFY(today_.open(QIODevice::Append));
        today_.write("{\"time\":\"2026-12-09T20:1");  // the program stopped here
        today_.close();
        {
            EventLog log(dir.path());
            log.alarm(unit, QStringLiteral("limiter out:2"), false);
        }
        const eventlog::Reading read = eventlog::read(dir.path());
        QCOMPARE(read.skipped, 2);  // the cut line and the recent file's garbage
        QCOMPARE(int(read.records.size()), 3);
        const EventRecord& import = read.records[0];
        QCOMPARE(import.kind, QStringLiteral("transfer"));
        QCOMPARE(import.what, QStringLiteral("import"));
        QCOMPARE(import.ok, std::optional<bool>(false));
        QCOMPARE(import.detail, QStringLiteral("stage \"A\", v2.json: not-proven"));
        QCOMPARE(import.unit, QStringLiteral("Fill (QD206)"));
        QCOMPARE(import.address, QStringLiteral("127.0.0.9"));
        QCOMPARE(read.records[1].kind, QStringLiteral("alarm"));
        QCOMPARE(read.records[2].kind, QStringLiteral("alarm-cleared"));
        QCOMPARE(read.records[2].setting, QStringLiteral("limiter out:2"));
    }

    // A fader drag from a remote client and a desk edit meanwhile: one entry each once they
    // settle, from the first value to the last, with who made them; the unit took the edits.
    void editsThroughASessionAreSummedUpPerOrigin() {
        OneUnit rig;
        QVERIFY(rig.start());
        QTemporaryDir dir;
        EventLog log(dir.path());
        log.setClientNames(
            [](int client) { return client == 7 ? QStringLiteral("Tablet") : QString(); });
        std::vector<EventRecord> seen;
        connect(&log, &EventLog::logged, this, [&seen](const EventRecord& r) { seen.push_back(r); });
        log.attach(*rig.sessions);
        ParamEdit& edit = rig.session().edit();
        const uint8_t start = edit.image().record().output(0).gain();
        {
            const ParamEdit::OriginScope scope(edit, {ParamEdit::Origin::Kind::Remote, 7, {}});
            for (int step = 1; step <= 12; ++step)
                edit.setGain(cmd::outputChannel(1), uint8_t(start - step));
        }
        edit.setMute(cmd::inputChannel(2), 1);
        QCOMPARE(int(ofKind(seen, EventRecord::kEdit).size()), 0);  // not settled yet
        QTRY_COMPARE_WITH_TIMEOUT(int(ofKind(seen, EventRecord::kEdit).size()), 2, 4000);
        log.flush();
        const auto edits = ofKind(eventlog::read(dir.path()).records, EventRecord::kEdit);
        QCOMPARE(int(edits.size()), 2);
        const EventRecord& drag = edits[0];
        QCOMPARE(drag.unit, QStringLiteral("Stage-L (QD408)"));
        QCOMPARE(drag.address, QString::fromStdString(rig.ip));
        QCOMPARE(drag.origin, QStringLiteral("client:Tablet"));
        QCOMPARE(drag.channel, QStringLiteral("out:1"));
        QCOMPARE(drag.setting, QStringLiteral("gainDb"));
        QCOMPARE(drag.from.toDouble(), gainDb(start));
        QCOMPARE(drag.to.toDouble(), gainDb(uint8_t(start - 12)));
        QCOMPARE(drag.edits, 12);
        const EventRecord& mute = edits[1];
        QCOMPARE(mute.origin, QStringLiteral("desktop"));
        QCOMPARE(mute.channel, QStringLiteral("in:B"));
        QCOMPARE(mute.setting, QStringLiteral("mute"));
        QCOMPARE(mute.from, QJsonValue(false));
        QCOMPARE(mute.to, QJsonValue(true));
        QCOMPARE(ofKind(seen, EventRecord::kConnect).size(), size_t(1));
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.sim.state(rig.id).params.out[0].gain), start - 12, 3000);
    }

    // A unit that falls silent is logged as lost (not answering first), and as back once it
    // answers again; its disconnect too.
    void aLostUnitAndItsReturnAreLogged() {
        OneUnit rig;
        QVERIFY(rig.start());
        QTemporaryDir dir;
        EventLog log(dir.path());
        log.attach(*rig.sessions);
        std::vector<EventRecord> seen;
        connect(&log, &EventLog::logged, this, [&seen](const EventRecord& r) { seen.push_back(r); });
        sim::Faults silent;
        silent.dropRequests = 1.0;
        rig.sim.setFaults(rig.id, silent);
        QTRY_VERIFY_WITH_TIMEOUT(!ofKind(seen, EventRecord::kLost).empty(), 8000);
        rig.sim.setFaults(rig.id, {});
        QTRY_VERIFY_WITH_TIMEOUT(!ofKind(seen, EventRecord::kBack).empty(), 8000);
        rig.sessions->close(*rig.unit);
        log.flush();
        QStringList kinds;
        for (const auto& r : eventlog::read(dir.path()).records)
            if (r.kind != QLatin1String(EventRecord::kTransfer)) kinds << r.kind;
        kinds.removeDuplicates();
        QCOMPARE(kinds, QStringList({"connect", "not-answering", "lost", "back", "disconnect"}));
    }

    // A folder that cannot be made: said once, however many entries follow, and the edits
    // still reach the unit.
    void anUnwritableFolderIsToldOnceAndEditsGoOn() {
        OneUnit rig;
        QVERIFY(rig.start());
        QTemporaryDir dir;
        QFile blocker(dir.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        EventLog log(dir.filePath("file/events"));  // under a file: never a folder, even as root
        QSignalSpy failed(&log, &EventLog::writeFailed);
        log.attach(*rig.sessions);
        ParamEdit& edit = rig.session().edit();
        for (uint8_t code = 10; code < 40; ++code) {
            edit.setGain(cmd::outputChannel(3), code);
            log.writeAllEdits();
        }
        log.flush();
        QTRY_COMPARE(failed.count(), 1);
        QTest::qWait(100);
        QCOMPARE(failed.count(), 1);
        QVERIFY(failed.first().first().toString().contains(QStringLiteral("file/events")));
        QVERIFY(log.dropped() >= 30);
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.sim.state(rig.id).params.out[2].gain), 39, 3000);
    }
};

QTEST_GUILESS_MAIN(EventLogTest)
#include "EventLogTest.moc"
