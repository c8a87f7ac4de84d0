// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QUrlQuery>

#include "UnitSimulator.h"
#include "cli/ServeHost.h"
#include "device/Alarms.h"
#include "device/EditCounts.h"
#include "device/EventLog.h"
#include "device/EventLogFiles.h"
#include "link/UdpEndpoint.h"
#include "remote/OscServer.h"
#include "remote/RemoteHub.h"
#include "support/Loopback.h"
#include "support/WebSocketClient.h"

using namespace qel;

namespace {

using Client = test::WebSocketClient;

// The whole answer to a GET, read until the server closes.
QByteArray get(quint16 port, const QByteArray& path, const QByteArray& token = {}) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(2000)) return {};
    socket.write("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
                 "\r\n" + (token.isEmpty() ? QByteArray() : "Authorization: Bearer " + token + "\r\n") +
                 "\r\n");
    QByteArray reply;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { reply += socket.readAll(); });
    (void)QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 3000);
    return reply + socket.readAll();
}

QByteArray bodyOf(const QByteArray& reply) { return reply.mid(reply.indexOf("\r\n\r\n") + 4); }

}  // namespace

// Alarms, status and metrics as serve holds them: two simulated QD408s with their sessions,
// the event log, the alarms and the hub, scraped over loopback and checked by promtool.
class AlarmsMetricsTest : public QObject {
    Q_OBJECT

    sim::UnitSimulator sim_;
    UdpEndpoint endpoint_;
    QTemporaryDir dir_;
    std::unique_ptr<EventLog> log_;
    std::unique_ptr<cli::ServeHost> host_;
    std::unique_ptr<EditCounts> edits_;
    std::unique_ptr<Alarms> alarms_;
    std::unique_ptr<RemoteHub> hub_;
    Client client_;
    QByteArray token_;
    quint16 port_ = 0;

    QByteArray metrics() { return bodyOf(get(port_, "/metrics", token_)); }
    bool hasAlarm(const QString& name) {
        for (const Alarm& a : alarms_->active())
            if (a.unitText + ' ' + a.name() == name) return true;
        return false;
    }
    // The unit's entries in the log of that kind and setting (the alarm's name).
    int logged(const char* kind, const QString& alarm) {
        log_->flush();
        int n = 0;
        for (const EventRecord& r : eventlog::read(dir_.path()).records)
            n += r.kind == kind && r.setting == alarm;
        return n;
    }

private slots:
    void initTestCase() {
        const std::string subnet = test::loopbackSubnet();
        std::vector<std::shared_ptr<Equipment>> units;
        const char* names[] = {"Stage-L", "Stage-R"};
        for (int u = 0; u < 2; ++u) {
            const std::string ip = test::loopbackHost(subnet, 2 + u);
            QCOMPARE(sim_.addNetworkUnit(4, ip, names[u]), u);
            auto unit = std::make_shared<Equipment>();
            unit->setAddress(*parseIpv4(ip));
            unit->setFlags(linkflag::kUdp);
            units.push_back(unit);
        }
        QVERIFY(sim_.start() && endpoint_.open(0));
        LinkSettings link;
        link.endpoint = &endpoint_;
        for (const auto& unit : units)
            QCOMPARE(UnitTransfer(*unit, link).run(UnitTransfer::Mode::Connect),
                     UnitTransfer::Result::Success);
        log_ = std::make_unique<EventLog>(dir_.path());
        host_ = std::make_unique<cli::ServeHost>(units, link);
        log_->attach(host_->sessions());
        edits_ = std::make_unique<EditCounts>();
        edits_->attach(host_->sessions());
        alarms_ = std::make_unique<Alarms>(host_->sessions(), log_.get());
        AlarmSettings settings;
        settings.link.seconds = 1;
        settings.silence.on = true;
        settings.silence.seconds = 1;
        QVERIFY(alarms_->setSettings(settings));
        hub_ = std::make_unique<RemoteHub>(*host_, dir_.filePath("QelConfig.ini"));
        hub_->setAlarms(alarms_.get());
        hub_->setEditCounts(edits_.get());
        edits_->setOriginText([this](const ParamEdit::Origin& origin) {
            return EventLog::originText(origin, [this](int c) { return hub_->clientLabel(c); });
        });
        RemoteHub::Settings remote;
        remote.port = 0;
        QVERIFY(hub_->start(remote));
        port_ = QUrl(hub_->pairingUrl()).port();
        // A label with the characters the text format escapes.
        QVERIFY(client_.open(port_));
        client_.send({{"type", "hello"},
                      {"pair", QUrlQuery(QUrl(hub_->pairingUrl())).queryItemValue("pair")},
                      {"label", "Desk \"A\"\\1"}});
        token_ = client_.next("welcome").value("token").toString().toLatin1();
        QVERIFY(!token_.isEmpty());
        QCOMPARE(client_.next("alarms").value("count").toInt(), 0);
    }

    void cleanupTestCase() {
        hub_.reset();
        alarms_.reset();
        edits_.reset();
        host_.reset();
        log_.reset();
    }

    void scrapesNeedAPairedToken() {
        for (const QByteArray path : {"/metrics", "/api/v1/status"}) {
            const QByteArray none = get(port_, path);
            QVERIFY2(none.startsWith("HTTP/1.1 401"), none.constData());
            QVERIFY(none.contains("\r\nWWW-Authenticate: Bearer\r\n"));
            QVERIFY(get(port_, path, "0123456789abcdef").startsWith("HTTP/1.1 401"));
            QVERIFY(get(port_, path, token_).startsWith("HTTP/1.1 200"));
        }
    }

    void metricsPassPromtoolAndCountEditsByOrigin() {
        client_.send({{"type", "set"}, {"id", 1}, {"unit", "QD408-Stage-L"},
                      {"path", "outputs[0].gainDb"}, {"value", -3}});
        QCOMPARE(client_.answer(1).value("type").toString(), QString("ack"));
        const QByteArray reply = get(port_, "/metrics", token_);
        QVERIFY(reply.contains("\r\nContent-Type: text/plain; version=0.0.4"));
        const QByteArray body = bodyOf(reply);
        QProcess promtool;
        promtool.start("promtool", {"check", "metrics"});
        QVERIFY(promtool.waitForStarted());
        promtool.write(body);
        promtool.closeWriteChannel();
        QVERIFY(promtool.waitForFinished(20000));
        QVERIFY2(promtool.exitCode() == 0,
                 (promtool.readAllStandardOutput() + promtool.readAllStandardError() + "\n" + body)
                     .constData());
        QVERIFY(body.contains("quellmar_unit_up{unit=\"QD408-Stage-L\",model=\"QD408\"} 1\n"));
        QVERIFY(body.contains("quellmar_unit_up{unit=\"QD408-Stage-R\",model=\"QD408\"} 1\n"));
        QVERIFY(body.contains(
            "quellmar_edits_total{unit=\"QD408-Stage-L\",origin=\"client:Desk \\\"A\\\"\\\\1\"} 1\n"));
        QVERIFY(body.contains("quellmar_remote_clients 1\n"));
        // The alarms read the meters: every channel has its level.
        QVERIFY(body.contains("quellmar_meter_level_db{unit=\"QD408-Stage-R\",channel=\"out:8\"}"));
        const QJsonObject status =
            QJsonDocument::fromJson(bodyOf(get(port_, "/api/v1/status", token_))).object();
        QCOMPARE(status.value("units").toArray().size(), 2);
        QCOMPARE(status.value("units")[1].toObject().value("state").toString(), QString("online"));
        QVERIFY(status.value("units")[1].toObject().value("answerAgeSeconds").toDouble() < 5);
        QCOMPARE(status.value("clients")[0].toObject().value("label").toString(),
                 QString("Desk \"A\"\\1"));
    }

    // Stage-R stops answering: its link alarm comes a second after, is on the page, the
    // metrics and in the log; acknowledged, it stays listed but is no longer new; it clears
    // when the unit answers again.
    void aSilencedUnitRaisesItsAlarmUntilItAnswers() {
        // An OSC subscriber hears the alarm too: "/quellmar/subscribe" with no arguments.
        OscServer::Settings osc;
        osc.enabled = true;
        osc.address = QStringLiteral("127.0.0.1");
        osc.port = 0;
        QVERIFY(hub_->osc().start(osc));
        QUdpSocket subscriber;
        QVERIFY(subscriber.bind(QHostAddress::LocalHost, 0));
        QByteArray heard;
        connect(&subscriber, &QUdpSocket::readyRead, [&] {
            while (subscriber.hasPendingDatagrams()) heard += subscriber.receiveDatagram().data();
        });
        subscriber.writeDatagram(QByteArray("/quellmar/subscribe\0,\0\0\0", 24),
                                 QHostAddress::LocalHost, hub_->osc().port());
        QTRY_VERIFY(hub_->osc().senders().size() == 1);

        size_t seen = client_.received.size();
        sim_.setSilenced(1, true);
        QTRY_VERIFY_WITH_TIMEOUT(hasAlarm("Stage-R (QD408) link"), 20000);
        QTRY_VERIFY(heard.contains("/quellmar/unit/Stage-R/alarm\0\0\0\0,sssi"));
        // kind, an empty channel, the detail, 1: raised
        QVERIFY(heard.contains(QByteArray("link\0\0\0\0\0\0\0\0not-answering\0\0\0\0\0\0\1", 32)));
        QCOMPARE(alarms_->active().back().detail, QString("not-answering"));
        const QJsonObject shown = client_.next("alarms", seen, [](const QJsonObject& m) {
            return m.value("count").toInt() > 0;
        });
        const QJsonObject alarm = shown.value("alarms")[0].toObject();
        QCOMPARE(alarm.value("unit").toString(), QString("QD408-Stage-R"));
        QCOMPARE(alarm.value("kind").toString(), QString("link"));
        QCOMPARE(shown.value("new").toInt(), 1);
        const QByteArray body = metrics();
        QVERIFY(body.contains("quellmar_unit_up{unit=\"QD408-Stage-R\",model=\"QD408\"} 0\n"));
        QVERIFY(body.contains("quellmar_unit_up{unit=\"QD408-Stage-L\",model=\"QD408\"} 1\n"));
        QVERIFY(body.contains("quellmar_alarm_active{unit=\"QD408-Stage-R\",kind=\"link\"} 1\n"));
        QCOMPARE(logged(EventRecord::kAlarm, "link"), 1);

        seen = client_.received.size();
        client_.send({{"type", "acknowledge"}, {"id", 2}, {"alarm", alarm.value("number")}});
        QCOMPARE(client_.answer(2).value("type").toString(), QString("ack"));
        const QJsonObject after = client_.next("alarms", seen);
        QCOMPARE(after.value("count").toInt(), 1);
        QCOMPARE(after.value("new").toInt(), 0);
        client_.send({{"type", "acknowledge"}, {"id", 3}, {"alarm", alarm.value("number")}});
        QCOMPARE(client_.answer(3).value("type").toString(), QString("nack"));

        sim_.setSilenced(1, false);
        QTRY_VERIFY_WITH_TIMEOUT(!hasAlarm("Stage-R (QD408) link"), 20000);
        QCOMPARE(logged(EventRecord::kAlarmCleared, "link"), 1);
        QTRY_VERIFY(metrics().contains("quellmar_unit_up{unit=\"QD408-Stage-R\",model=\"QD408\"} 1\n"));
        QTRY_VERIFY(heard.contains(QByteArray("not-answering\0\0\0\0\0\0\0", 20)));
        hub_->osc().stop();
    }

    // Input A of Stage-L goes quiet (muted at the unit): its silence alarm comes and goes.
    void aQuietInputRaisesSilence() {
        auto state = sim_.state(0);
        state.params.in[0].mute = 1;
        sim_.setState(0, state);
        QTRY_VERIFY_WITH_TIMEOUT(hasAlarm("Stage-L (QD408) silence:in:A"), 10000);
        QVERIFY(metrics().contains(
            "quellmar_meter_level_db{unit=\"QD408-Stage-L\",channel=\"in:A\"} -Inf\n"));
        state.params.in[0].mute = 0;
        sim_.setState(0, state);
        QTRY_VERIFY_WITH_TIMEOUT(!hasAlarm("Stage-L (QD408) silence:in:A"), 10000);
        QCOMPARE(logged(EventRecord::kAlarm, "silence:in:A"), 1);
        QCOMPARE(logged(EventRecord::kAlarmCleared, "silence:in:A"), 1);
        // Only the quiet input: the others' levels pass through zero but never stay there.
        QCOMPARE(logged(EventRecord::kAlarm, "silence:in:B"), 0);
    }

    void settingsOutOfRangeAreRefusedWithAReason() {
        using Code = AlarmSettings::Problem::Code;
        const auto problem = [](const char* json) {
            const auto read = AlarmSettings::fromJson(json);
            const auto* p = std::get_if<AlarmSettings::Problem>(&read);
            return p ? *p : AlarmSettings::Problem{Code::NotJson, "(taken)"};
        };
        const auto fast = problem(R"({"clip": {"on": true, "seconds": 0.05}})");
        QCOMPARE(fast.code, Code::OutOfRange);
        QCOMPARE(fast.text(), QString("clip.seconds is 0.05; it must lie between 0.2 and 600"));
        QCOMPARE(problem(R"({"silence": {"from": "25:00"}})").field, QString("silence.from"));
        QCOMPARE(problem(R"({"silence": {"levelDb": "-30"}})").code, Code::NotANumber);
        QCOMPARE(problem(R"({"link": {"second": 3}})").field, QString("link.second"));
        QCOMPARE(problem(R"({"meterRate": 100})").code, Code::OutOfRange);
        const auto good = AlarmSettings::fromJson(
            R"({"clip": {"on": true, "levelDb": 12}, "silence": {"from": "22:00", "to": "06:00"}})");
        QVERIFY(std::holds_alternative<AlarmSettings>(good));
        const AlarmSettings night = std::get<AlarmSettings>(good);
        QCOMPARE(night.clipSegment(), 28);
        QVERIFY(night.silenceHours(QTime(23, 0)) && night.silenceHours(QTime(5, 59)));
        QVERIFY(!night.silenceHours(QTime(12, 0)));

        AlarmSettings wrong = alarms_->settings();
        wrong.link.seconds = -1;
        QVERIFY(!alarms_->setSettings(wrong));
        QCOMPARE(alarms_->settings().link.seconds, 1.0);
        QCOMPARE(wrong.check()->field, QString("link.seconds"));
    }
};

QTEST_GUILESS_MAIN(AlarmsMetricsTest)
#include "AlarmsMetricsTest.moc"
