// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "UnitSimulator.h"
#include "controls/MessageBoxes.h"
#include "netsetup/dialogs/EqNetConfigDlg.h"
#include "netsetup/dialogs/IpAddressEdit.h"
#include "support/FakeNetworkAdapters.h"
#include "support/Loopback.h"

using namespace qel;

// The unit network settings against two simulated modules (the second never answers a login),
// with a made-up adapter layer for the neighbour entries and short waits.
class EqNetConfigDlgTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setMessageBoxes(&boxes);
        setNetworkAdapters(&fake);
    }
    void cleanupTestCase() {
        setMessageBoxes(nullptr);
        setNetworkAdapters(nullptr);
    }
    void init() {
        subnet = test::loopbackSubnet();
        sim = std::make_unique<sim::UnitSimulator>();
        QVERIFY(sim->addNetworkUnit(4, subnet + ".2", "Main") >= 0);
        sim::Faults mute;
        mute.moduleNoLogin = true;
        QVERIFY(sim->addNetworkUnit(2, subnet + ".3", "Mute", mute) >= 0);
        QVERIFY(sim->start());
        const Ipv4 g = *parseIpv4(subnet + ".1");
        settings.search.gateway = {ipv4Octet(g, 0), ipv4Octet(g, 1), ipv4Octet(g, 2), 1};
        settings.search.localPort = 0;
        settings.search.windowMs = 400;
        settings.timing.helloWaitMs = settings.timing.loginWaitMs = 100;
        settings.timing.readWaitMs = 400;
        settings.timing.writeGapMs = 10;
        settings.neighbourWaitMs = 0;
        settings.settleMs = settings.afterSuccessMs = 50;
        boxes.clear();
        fake.clearLog();
        fake.failNeighbours = false;
    }
    void cleanup() {
        dialog.reset();
        searcher.wait();
        sim.reset();
    }

    void openingSearchesAndListsTheModulesWithTheFieldsOff() {
        open();
        QCOMPARE(dialog->list()->topLevelItem(rowOf(".2"))->text(3),
                 QString::fromStdString(macOf(0)));
        QCOMPARE(dialog->list()->topLevelItem(0)->text(0), QString("1"));
        QVERIFY(!dialog->okButton()->isEnabled());
        QVERIFY(!dialog->field(CEqNetConfigDlg::kPc1Id)->isEnabled());
        QCOMPARE(searcher.table().entry(rowOf(".2"))->macText,
                 QString::fromStdString(macOf(0)).replace(':', '-').toStdString());
    }

    void choosingAModuleReadsItsSettingsUnderANeighbourEntry() {
        open();
        choose(".2");
        QVERIFY(dialog->okButton()->isEnabled());
        QCOMPARE(field(CEqNetConfigDlg::kUnitIpId), QString::fromStdString(subnet + ".2"));
        QCOMPARE(field(CEqNetConfigDlg::kGatewayId), QString::fromStdString(subnet + ".1"));
        QCOMPARE(field(CEqNetConfigDlg::kPc1Id), QString("192.168.6.222"));
        QCOMPARE(field(CEqNetConfigDlg::kPc2Id), QString("192.168.6.223"));
        QVERIFY(boxes.shown().empty());
        const std::string ip = subnet + ".2";
        QCOMPARE(fake.log(), (std::vector<std::string>{"neigh " + ip + " " + macOf(0),
                                                       "unneigh " + ip + " eth9"}));
        QCOMPARE(searcher.table().selectedRow(), rowOf(".2"));
    }

    void aModuleThatIgnoresTheLoginEndsInTheErrorBox() {
        open();
        choose(".3");
        QCOMPARE(boxes.shown().size(), size_t{1});
        QCOMPARE(boxes.shown()[0].text,
                 QString("Error: Failure to get the equipment's network information !"));
        QCOMPARE(boxes.shown()[0].caption, QString("NetConfig"));
        QCOMPARE(boxes.shown()[0].icon, MsgIcon::Information);
        QVERIFY(!dialog->okButton()->isEnabled());
        QCOMPARE(sim->module(1).log().logins, 4);
    }

    void aRefusedAddressSendsNothingAndAGoodOneMovesTheModule() {
        fake.failNeighbours = true;  // without the rights the read goes on all the same
        open();
        choose(".2");
        dialog->field(CEqNetConfigDlg::kUnitIpId)->setText("0.0.3.4");
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QCOMPARE(boxes.shown().back().text, QString("Error: IP Address or Gateway !"));
        QCOMPARE(sim->module(0).log().writes, 0);
        dialog->field(CEqNetConfigDlg::kUnitIpId)->setText(QString::fromStdString(subnet + ".8"));
        dialog->field(CEqNetConfigDlg::kPc2Id)->setText(QString::fromStdString(subnet + ".77"));
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QCOMPARE(boxes.shown().back().text, QString("Success to modify the IP Address !"));
        QCOMPARE(sim->module(0).log().writes, 1);
        QCOMPARE(formatIpv4(sim->module(0).pc2()), subnet + ".77");
        QVERIFY(!dialog->okButton()->isEnabled());  // a new search runs
        QTRY_COMPARE_WITH_TIMEOUT(dialog->list()->topLevelItemCount(), 2, 3000);
        searcher.wait();
        QTRY_VERIFY(rowOf(".8") >= 0);
    }

    void theSearchOutlivesAClosedDialog() {
        open(false);
        dialog.reset();  // while the search still runs
        QVERIFY(searcher.running());
        searcher.wait();
        QCoreApplication::processEvents();
        QCOMPARE(searcher.table().count(), 2);
    }

private:
    void open(bool waitForRows = true) {
        dialog = std::make_unique<CEqNetConfigDlg>(settings, searcher);
        dialog->show();
        if (!waitForRows) return;
        QTRY_COMPARE_WITH_TIMEOUT(dialog->list()->topLevelItemCount(), 2, 3000);
    }
    int rowOf(const char* host) const {
        const QString ip = QString::fromStdString(subnet + host);
        for (int i = 0; i < dialog->list()->topLevelItemCount(); ++i)
            if (dialog->list()->topLevelItem(i)->text(1) == ip) return i;
        return -1;
    }
    void choose(const char* host) {
        QTreeWidgetItem* item = dialog->list()->topLevelItem(rowOf(host));
        QVERIFY(item);
        dialog->list()->setCurrentItem(item);
        emit dialog->list()->itemClicked(item, 1);
    }
    std::string macOf(int unit) const {
        const auto module = sim->module(unit);
        const uint8_t* m = module.mac();
        char text[18];
        std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", m[0], m[1], m[2], m[3],
                      m[4], m[5]);
        return text;
    }
    QString field(int id) const { return dialog->field(id)->text(); }

    ScriptedMessageBoxes boxes;
    test::FakeNetworkAdapters fake;
    NetConfigSettings settings;
    std::string subnet;
    std::unique_ptr<sim::UnitSimulator> sim;
    NetModuleSearcher searcher;
    std::unique_ptr<CEqNetConfigDlg> dialog;
};

QTEST_MAIN(EqNetConfigDlgTest)
#include "EqNetConfigDlgTest.moc"
