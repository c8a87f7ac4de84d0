// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QSignalSpy>
#include <QTest>

#include "UnitSimulator.h"
#include "device/DownloadVerify.h"
#include "device/ModeImage.h"
#include "device/UnitSessions.h"
#include "link/UdpEndpoint.h"
#include "remote/SessionUnits.h"
#include "support/Loopback.h"

using namespace qel;

namespace {
// The units a test holds, reached through their sessions.
class TestUnits : public SessionUnits {
public:
    TestUnits(UnitSessions& sessions, std::shared_ptr<Equipment> unit)
        : SessionUnits(sessions), unit_(std::move(unit)) {}
    std::vector<std::shared_ptr<Equipment>> units() const override { return {unit_}; }

private:
    std::shared_ptr<Equipment> unit_;
};
}  // namespace

// A lost unit that comes back with other settings than its session holds, where a person
// chooses (the window program): the choice waits; "the program's" writes them back.
class SessionReturnTest : public QObject {
    Q_OBJECT

private slots:
    void aUnitBackWithOtherSettingsWaitsForTheChoiceAndTakesTheProgramsBack() {
        const std::string ip = test::loopbackHost(test::loopbackSubnet(), 2);
        sim::UnitSimulator sim;
        const int id = sim.addNetworkUnit(2, ip, "Fill");
        QVERIFY(id >= 0 && sim.start());
        UdpEndpoint endpoint;
        QVERIFY(endpoint.open(0));
        SessionOptions options;
        options.link.emplace();
        options.link->endpoint = &endpoint;
        options.link->silenceLimitMs = 800;  // lost soon
        options.link->answerLimitMs = 300;
        auto unit = std::make_shared<Equipment>();
        unit->setAddress(*parseIpv4(ip));
        unit->setFlags(linkflag::kUdp);
        QCOMPARE(UnitTransfer(*unit, *options.link).run(UnitTransfer::Mode::Connect),
                 UnitTransfer::Result::Success);
        UnitSessions sessions(options);
        UnitSession& session = sessions.open(unit);
        TestUnits units(sessions, unit);
        const uint8_t held = session.image()->record().output(0).gain();

        sim::Faults silent;
        silent.dropRequests = 1.0;
        sim.setFaults(id, silent);
        QTRY_VERIFY_WITH_TIMEOUT(units.reconnecting(*unit), 8000);
        auto state = sim.state(id);
        state.params.out[0].gain = uint8_t(held - 10);
        sim.setState(id, state);
        sim.setFaults(id, {});
        QTRY_COMPARE_WITH_TIMEOUT(units.differs(*unit), std::optional<int>(1), 8000);
        QVERIFY(unit->knownDifferent());
        QCOMPARE(session.image()->record().output(0).gain(), held);  // nothing taken yet

        QSignalSpy written(&session, &UnitSession::settingsWritten);
        QVERIFY(units.settle(*unit, false));
        QVERIFY(session.busy());
        QVERIFY(written.wait(8000));
        QCOMPARE(written.first().first().toBool(), true);
        QCOMPARE(int(sim.state(id).params.out[0].gain), int(held));
        QVERIFY(!units.differs(*unit) && !unit->knownDifferent() && !session.busy());

        // A transfer of the session's own holds the unit with its meters paused until done
        // has run, which still reads the job's status and verify report; another is refused.
        UnitJob* job = nullptr;
        bool heldInDone = false;
        std::shared_ptr<const VerifyReport> report;
        const char* status = nullptr;
        job = session.startTransfer(
            QStringLiteral("写入"),
            [](UnitTransfer& transfer) { return transfer.run(UnitTransfer::Mode::Download); },
            [&](UnitTransfer::Result result) {
                heldInDone = session.busy() && result == UnitTransfer::Result::Success;
                report = job->verifyReport();
                status = job->status();
            });
        QVERIFY(job && session.transfer() == job && unit->hasFlag(linkflag::kMeterPaused));
        QVERIFY(!session.startTransfer(QStringLiteral("其他"), {}, {}));
        QCOMPARE(session.holder(), QStringLiteral("写入"));
        QTRY_VERIFY_WITH_TIMEOUT(!session.busy(), 8000);
        QVERIFY(heldInDone && report && report->ok() && status);
        QVERIFY(!unit->hasFlag(linkflag::kMeterPaused) && !session.transfer());
    }
};

QTEST_GUILESS_MAIN(SessionReturnTest)
#include "SessionReturnTest.moc"
