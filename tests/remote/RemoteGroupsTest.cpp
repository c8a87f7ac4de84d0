// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include "UnitSimulator.h"
#include "cli/ServeHost.h"
#include "device/GroupControl.h"
#include "device/ValueCodes.h"
#include "link/UdpEndpoint.h"
#include "remote/RemoteHub.h"
#include "remote/RemoteWords.h"
#include "support/Loopback.h"
#include "support/WebSocketClient.h"

using namespace qel;

namespace {

using Client = test::WebSocketClient;

// Output 1 of both units in one group, as serve --groups reads it.
constexpr char kGroups[] = R"({"format": "quellmar-groups", "version": 1, "groups": [
  {"name": "Mains", "gainDb": 0, "mute": false, "polarity": "normal", "delayMs": 0, "members": [
    {"unit": "Stage-L", "model": "QD408", "channel": "out:1"},
    {"unit": "Stage-R", "model": "QD408", "channel": "out:1"}]}]})";

QJsonObject groupSet(int id, const QString& path, const QJsonValue& value, bool final = true) {
    return {{"type", "set"}, {"id", id},       {"group", "Mains"},
            {"path", path},  {"value", value}, {"final", final}};
}

}  // namespace

// The groups on the remote, as serve holds them: two simulated units, their sessions, the
// groups file and the hub, with WebSocket clients on loopback.
class RemoteGroupsTest : public QObject {
    Q_OBJECT

    sim::UnitSimulator sim_;
    UdpEndpoint endpoint_;
    QTemporaryDir dir_;
    std::unique_ptr<cli::ServeHost> host_;
    std::unique_ptr<RemoteHub> hub_;
    QString token_;
    quint16 port_ = 0;

    int gain(int unit) const { return sim_.state(unit).params.out[0].gain; }

    bool start(bool readOnly) {
        RemoteHub::Settings settings;
        settings.port = 0;
        settings.readOnly = readOnly;
        if (!hub_->start(settings)) return false;
        port_ = QUrl(hub_->pairingUrl()).port();
        return true;
    }

    // A client paired with the first one's token that watches every unit.
    bool join(Client& c) {
        if (!c.open(port_)) return false;
        c.send({{"type", "hello"}, {"token", token_}});
        c.send({{"type", "subscribe"}, {"units", "*"}});
        return !c.next("groups").isEmpty();
    }

private slots:
    void initTestCase() {
        const std::string subnet = test::loopbackSubnet();
        const char* names[] = {"Stage-L", "Stage-R"};
        const uint8_t gains[] = {100, 120};  // 0 dB and +10 dB of their own
        std::vector<std::shared_ptr<Equipment>> units;
        for (int u = 0; u < 2; ++u) {
            const std::string ip = test::loopbackHost(subnet, 2 + u);
            QCOMPARE(sim_.addNetworkUnit(4, ip, names[u]), u);
            auto s = sim_.state(u);
            s.params.out[0].gain = gains[u];
            sim_.setState(u, s);
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
        host_ = std::make_unique<cli::ServeHost>(units, link);
        QVERIFY(!host_->groups());  // no file: no groups for the clients
        QFile file(dir_.filePath("groups.json"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(kGroups) > 0);
        file.close();
        QVERIFY(host_->loadGroups(file.fileName()).ok());
        hub_ = std::make_unique<RemoteHub>(*host_, dir_.filePath("QelConfig.ini"));
        QVERIFY(start(false));
    }

    void cleanupTestCase() {
        hub_.reset();
        host_.reset();
    }

    void clientsSeeTheGroupsAndAMoveLandsOnEveryMember() {
        Client a;
        QVERIFY(a.open(port_));
        a.send({{"type", "hello"},
                {"pair", QUrlQuery(QUrl(hub_->pairingUrl())).queryItemValue("pair")}});
        token_ = a.next("welcome").value("token").toString();
        const QJsonArray groups = a.next("groups").value("groups").toArray();
        QCOMPARE(groups.size(), 1);
        const QJsonObject mains = groups[0].toObject();
        QCOMPARE(mains.value("name").toString(), QString("Mains"));
        QCOMPARE(mains.value("polarity").toString(), QString("normal"));
        const QJsonArray members = mains.value("members").toArray();
        QCOMPARE(members.size(), 2);
        QCOMPARE(members[1].toObject(), (QJsonObject{{"unit", "Stage-R"},
                                                     {"model", "QD408"},
                                                     {"channel", "out:1"},
                                                     {"state", "online"}}));
        a.send({{"type", "subscribe"}, {"units", "*"}});
        QTRY_COMPARE(a.count("snapshot"), 2);

        size_t seen = a.received.size();
        a.send(groupSet(1, "gainDb", -3));
        QCOMPARE(a.answer(1).value("type").toString(), QString("ack"));
        QCOMPARE(a.answer(1).value("value").toDouble(), -3.0);
        QTRY_COMPARE(gain(0), 100 - 6);
        QTRY_COMPARE(gain(1), 120 - 6);
        // Each member's change is told as any edit, made by the group.
        const QJsonObject changed = a.next("changed", seen);
        QCOMPARE(changed.value("by").toObject(),
                 (QJsonObject{{"kind", "group"}, {"group", "Mains"}}));
        QCOMPARE(changed.value("values").toObject().value("outputs[0].gainDb").toDouble(),
                 changed.value("unit") == "QD408-Stage-L" ? -3.0 : 7.0);
        // The groups once, with the new offset.
        QTest::qWait(200);
        QCOMPARE(a.count("groups", seen), 1);
        const QJsonArray now = a.next("groups", seen).value("groups").toArray();
        QCOMPARE(now[0].toObject().value("gainDb").toDouble(), -3.0);

        a.send(groupSet(2, "polarity", "inverted"));
        QCOMPARE(a.answer(2).value("value").toString(), QString("inverted"));
        QTRY_COMPARE(int(sim_.state(0).params.out[0].polarity), 1);
        a.send(groupSet(3, "polarity", true));
        QCOMPARE(a.answer(3).value("reason").toString(), RemoteWords::notTaken("polarity"));
        a.send(groupSet(4, "eq", 1));
        QCOMPARE(a.answer(4).value("reason").toString(), RemoteWords::notASetting("eq"));
        a.send({{"type", "set"}, {"id", 5}, {"group", "Side"}, {"path", "mute"}, {"value", true}});
        QCOMPARE(a.answer(5).value("reason").toString(), RemoteWords::noGroup("Side"));

        // Stage-R holds +10 dB of its own: +6 dB stops at +2 dB, and the answer says so.
        a.send(groupSet(6, "gainDb", 6));
        const QJsonObject limited = a.answer(6);
        QCOMPARE(limited.value("type").toString(), QString("nack"));
        QCOMPARE(limited.value("value").toDouble(), 2.0);
        QCOMPARE(limited.value("limitedBy").toObject().value("unit").toString(),
                 QString("Stage-R"));
        QVERIFY2(limited.value("reason").toString().startsWith("Stage-R "),
                 qPrintable(limited.value("reason").toString()));
        QTRY_COMPARE(gain(1), int(kGainCodeMax));
        QTRY_COMPARE(gain(0), 100 + 4);
    }

    // Sets of a dragged group fader are one drag of the groups: the file is written at its end.
    void aDragIsOneDragOfTheGroups() {
        Client a;
        QVERIFY(join(a));
        GroupControl& groups = *host_->groups();
        const QString path = dir_.filePath("groups.json");
        const auto fileGain = [&] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly)
                       ? readGroupsJson(file.readAll()).set.groups[0].gainSteps
                       : -1000;
        };
        const int before = fileGain();
        for (int i = 1; i <= 10; ++i) {
            a.send(groupSet(100 + i, "gainDb", -0.5 * i, i == 10));
            if (i < 10) QTRY_VERIFY(a.answer(100 + i).value("type") == "ack");
            if (i == 5) {
                QVERIFY(groups.dragging());
                QCOMPARE(fileGain(), before);
            }
        }
        QCOMPARE(a.answer(110).value("value").toDouble(), -5.0);
        QVERIFY(!groups.dragging());
        QCOMPARE(fileGain(), groupGainSteps(-5.0));
        QTRY_COMPARE(gain(0), 100 - 10);
    }

    // A client that may only watch is told the groups, and each set of them is refused.
    void aWatchOnlyClientIsRefused() {
        QVERIFY(start(true));
        Client c;
        QVERIFY(join(c));
        c.send(groupSet(1, "mute", true));
        QCOMPARE(c.answer(1).value("reason").toString(), RemoteWords::watchOnly());
        QTest::qWait(100);
        QCOMPARE(int(sim_.state(0).params.out[0].mute), 0);
        QVERIFY(!host_->groups()->group("Mains")->mute);
    }
};

QTEST_GUILESS_MAIN(RemoteGroupsTest)
#include "RemoteGroupsTest.moc"
