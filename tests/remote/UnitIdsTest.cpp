// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QTest>
#include <QUrl>
#include <memory>

#include "link/Equipment.h"
#include "platform/Ipv4.h"
#include "remote/UnitIds.h"

using namespace qel;

namespace {

std::shared_ptr<Equipment> udpUnit(const std::string& model, const std::string& name,
                                   uint8_t host) {
    auto unit = std::make_shared<Equipment>();
    unit->setModelName(model);
    unit->setDeviceName(name);
    unit->setFlags(linkflag::kUdp);
    unit->setAddress(ipv4FromOctets(192, 168, 6, host));
    return unit;
}

}  // namespace

// The ids clients keep in their addresses: made of model and name, told apart by address
// only where those are shared, and kept through a rename while the program runs.
class UnitIdsTest : public QObject {
    Q_OBJECT

private slots:
    void sharedNamesAreToldApartByAddress() {
        auto serial = std::make_shared<Equipment>();
        serial->setModelName("QD206");
        serial->setDeviceName("Fill  ");  // as the unit pads it
        serial->setFlags(linkflag::kSerial);
        serial->setPortName("COM3");
        const UnitIds::List list{udpUnit("QD408", "Main Stage", 10),
                                 udpUnit("QD408", "Main Stage", 11), serial,
                                 udpUnit("QD406", "舞台 左/右", 12)};
        UnitIds ids;
        QCOMPARE(ids.idOf(*list[0], list), QString("QD408-Main-Stage_192.168.6.10"));
        QCOMPARE(ids.idOf(*list[1], list), QString("QD408-Main-Stage_192.168.6.11"));
        QCOMPARE(ids.idOf(*list[2], list), QString("QD206-Fill"));
        const QString chinese = ids.idOf(*list[3], list);
        QCOMPARE(chinese, QString("QD406-舞台-左-右"));
        // As a page writes it into its address and reads it back.
        const QString fragment = QString::fromLatin1(QUrl::toPercentEncoding(chinese));
        QCOMPARE(ids.unitOf(QUrl::fromPercentEncoding(fragment.toLatin1()), list), list[3]);
        QVERIFY(!ids.unitOf("QD408-Main-Stage", list));
    }

    void aRenamedUnitKeepsItsIdUntilTheNextStart() {
        const auto stage = udpUnit("QD408", "Stage", 10);
        UnitIds::List list{stage};
        UnitIds ids;
        QCOMPARE(ids.idOf(*stage, list), QString("QD408-Stage"));
        stage->setDeviceName("Foyer");
        QCOMPARE(ids.idOf(*stage, list), QString("QD408-Stage"));
        // A unit found later under the old name does not take the id.
        list.push_back(udpUnit("QD408", "Stage", 11));
        QCOMPARE(ids.idOf(*list[1], list), QString("QD408-Stage_192.168.6.11"));
        QCOMPARE(ids.unitOf("QD408-Stage", list), stage);

        // The renamed one leaves the list: its id is free, and said to be gone.
        list.erase(list.begin());
        QCOMPARE(ids.keepOnly(list), QStringList{"QD408-Stage"});
        QVERIFY(!ids.unitOf("QD408-Stage", list));

        UnitIds restarted;
        QCOMPARE(restarted.idOf(*stage, {stage}), QString("QD408-Foyer"));
    }
};

QTEST_MAIN(UnitIdsTest)
#include "UnitIdsTest.moc"
