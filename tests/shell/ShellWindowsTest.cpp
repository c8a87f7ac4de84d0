// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QLabel>
#include <QProgressBar>
#include <QtTest>

#include "UnitSimulator.h"
#include "controls/MessageBoxes.h"
#include "link/UdpEndpoint.h"
#include "platform/SerialPortMap.h"
#include "shell/AboutDlg.h"
#include "shell/InitSearchDlg.h"
#include "shell/QelEqMgr.h"
#include "support/Loopback.h"
#include "ui/QelConnectDlg.h"

using namespace qel;

namespace {

std::shared_ptr<Equipment> unitEntry(const char* model, const char* name, uint32_t flags,
                                     const char* port = "") {
    auto e = std::make_shared<Equipment>();
    e->setModelName(model);
    e->setDeviceName(name);
    e->setFlags(flags);
    e->setPortName(port);
    return e;
}

}  // namespace

class ShellWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { setMessageBoxes(&boxes); }
    void cleanup() {
        setMessageBoxes(nullptr);
        boxes = ScriptedMessageBoxes();
    }

    void listRowsShowModelNameAndState() {
        EquipmentList list;
        list.append(unitEntry("QD408", "Main", linkflag::kUdp));
        list.append(unitEntry("QD206", "Rack",
                              linkflag::kSerial | linkflag::kAvailable | linkflag::kParamsRead,
                              "COM3"));
        list.append(unitEntry("QD406", "Half", linkflag::kUdp | linkflag::kParamsRead));
        const auto units = list.snapshot();
        QCOMPARE(CQelEqMgr::firstLine(*units[0]), QString("QD408:Main"));
        QCOMPARE(CQelEqMgr::secondLine(*units[0]), QString("状态:断开 (UDP)"));
        QCOMPARE(CQelEqMgr::secondLine(*units[1]), QString("状态:在线 (COM3)"));
        QCOMPARE(CQelEqMgr::secondLine(*units[2]), QString("状态:断开 (UDP)"));
        // A name too long for the row ends clear of the text's edge, 6 pixels inside the row's
        // border, instead of in a letter cut there.
        list.append(unitEntry("QD406", "Delay Tower Tower", linkflag::kUdp));
        list.append(unitEntry("QD408", "Main Stage          ", linkflag::kUdp));
        list.append(unitEntry("QD408", "Main Stage", linkflag::kUdp));
        CQelEqMgr mgr(list);
        mgr.resize(180, 300);
        const QImage shot = mgr.grab().toImage();
        const QRect row = CQelEqMgr::rowRect(3, 180);
        const int edge = row.right() - 6;  // the last column text may use
        for (int y = row.top() + 6; y < row.top() + 40; ++y)
            for (int x = edge - 1; x < row.right(); ++x)
                QVERIFY2(qGray(shot.pixel(x, y)) > 160, qPrintable(QString("%1,%2").arg(x).arg(y)));
        int ink = 0;
        for (int x = 36; x < edge - 1; ++x) ink += qGray(shot.pixel(x, row.top() + 14)) < 160;
        QVERIFY(ink > 10);
        // The spaces a unit pads its name with take no room: the name fits as it does unpadded.
        QCOMPARE(shot.copy(CQelEqMgr::rowRect(4, 180)), shot.copy(CQelEqMgr::rowRect(5, 180)));
    }

    void aboutBoxSaysWhatTheProgramIsAndShowsItsWholeCaption() {
        CAboutDlg about;
        about.show();
        const QString all = about.lines().join('\n');
        QVERIFY(QRegularExpression("Quellmar \\d+\\.\\d+\\.\\d+").match(all).hasMatch());
        for (const char* part : {"QD408", "GPL-3.0-or-later", "README", "quellmar(1)"})
            QVERIFY2(all.contains(part), part);
        for (const QString& line : about.lines()) {
            QLabel* label = nullptr;
            for (QLabel* l : about.findChildren<QLabel*>())
                if (l->text() == line) label = l;
            QVERIFY2(label && label->isVisible(), qPrintable(line));
        }
        // A caption bar's buttons and margins take about 150 pixels beside its text.
        QVERIFY(about.width() >= about.fontMetrics().horizontalAdvance(about.windowTitle()) + 150);
    }

    void pressesSelectAndQuickSecondPressOpens() {
        EquipmentList list;
        list.append(unitEntry("QD408", "Main", linkflag::kUdp));
        list.append(unitEntry("QD206", "Rack", linkflag::kUdp));
        CQelEqMgr mgr(list);
        mgr.resize(180, 300);
        uint32_t now = 10000;
        mgr.setClock([&] { return now; });
        std::vector<std::shared_ptr<Equipment>> opened;
        mgr.setOpenHandler([&](QWidget*, const EquipmentList::Entry& e) { opened.push_back(e); });
        const QPoint row1(60, 46 + 20), gap(60, 47);
        QTest::mouseClick(&mgr, Qt::LeftButton, {}, row1);
        QCOMPARE(mgr.selection(), 1);
        now += 300;  // too slow for an open
        QTest::mouseClick(&mgr, Qt::LeftButton, {}, row1);
        QVERIFY(opened.empty());
        now += 200;
        QTest::mouseClick(&mgr, Qt::LeftButton, {}, row1);
        QCOMPARE(opened.size(), size_t{1});
        QCOMPARE(opened[0], list.at(1));
        now += 1000;
        QTest::mouseClick(&mgr, Qt::LeftButton, {}, gap);
        QCOMPARE(mgr.selection(), -1);
        // The selected row is painted in its own colours; an empty list is plain white.
        now += 1000;
        QTest::mouseClick(&mgr, Qt::LeftButton, {}, QPoint(60, 20));
        const QImage shot = mgr.grab().toImage();
        QCOMPARE(QColor(shot.pixel(10, 30)), QColor(240, 250, 255));
        QCOMPARE(QColor(shot.pixel(10, 70)), QColor(246, 253, 255));
        QCOMPARE(QColor(shot.pixel(10, 47)), QColor(255, 255, 255));
        EquipmentList empty;
        CQelEqMgr blank(empty);
        blank.resize(180, 100);
        const QImage white = blank.grab().toImage();
        QCOMPARE(QColor(white.pixel(90, 20)), QColor(255, 255, 255));
    }

    void searchWindowFindsUnitsAndReportsPorts() {
        sim::UnitSimulator sim;
        const std::string subnet = test::loopbackSubnet();
        QVERIFY(sim.addNetworkUnit(4, subnet + ".2", "Main") >= 0);
        const int rack = sim.addSerialUnit(2, "Rack");
        QVERIFY(sim.start());
        UdpEndpoint endpoint;
        QVERIFY(endpoint.open(0));
        SerialPortMap map;
        for (int n = 1; n <= 16; ++n) map.setOverride("COM" + std::to_string(n), "/nonexistent");
        map.setOverride("COM5", sim.slavePath(rack));
        SearchSettings s;
        s.endpoint = &endpoint;
        s.searchPort = 0;
        s.serialMap = &map;
        s.progressPauseMs = 0;
        const auto g = *parseIpv4(subnet + ".1");
        s.gateway = {ipv4Octet(g, 0), ipv4Octet(g, 1), ipv4Octet(g, 2), 1};
        EquipmentList list;
        QWidget corner;  // a parent away from the screen's centre
        corner.setGeometry(0, 0, 200, 150);
        corner.show();
        CInitSearchDlg dialog(list, s, &corner, 0);
        QCOMPARE(dialog.windowTitle(), QString(" 搜索设备"));
        QCOMPARE(dialog.statusText(), QString("发现 0 台设备, 断口: TCP "));
        dialog.exec();
        QCOMPARE(list.count(), size_t{2});
        QCOMPARE(dialog.bar()->value(), 100);
        QCOMPARE(dialog.statusText(), QString("发现 2 台设备, 端口: COM16"));
        QCOMPARE(dialog.promptText(), QString("请稍候 ..."));
        const QPoint off =
            dialog.frameGeometry().center() - dialog.screen()->availableGeometry().center();
        QVERIFY2(off.manhattanLength() <= 1, "the window is centred on the screen");
    }

    void connectWindowConnectsOrExplainsTheTimeOut() {
        sim::UnitSimulator sim;
        const std::string ip = test::loopbackHost(test::loopbackSubnet(), 2);
        QVERIFY(sim.addNetworkUnit(3, ip, "Tower") >= 0);
        QVERIFY(sim.start());
        UdpEndpoint endpoint;
        QVERIFY(endpoint.open(0));
        LinkSettings link;
        link.endpoint = &endpoint;
        auto unit = unitEntry("QD406", "Tower", linkflag::kUdp | linkflag::kAvailable);
        unit->setAddress(*parseIpv4(ip));
        QCOMPARE(CQelConnectDlg::titleFor(CQelConnectDlg::Mode::Connect), QString(" 连接设备"));
        QCOMPARE(CQelConnectDlg::titleFor(CQelConnectDlg::Mode::ReadOnly),
                 QString(" 读取设备数据"));
        QCOMPARE(CQelConnectDlg::titleFor(CQelConnectDlg::Mode::Download),
                 QString(" 从电脑下载数据"));
        QCOMPARE(CQelConnectDlg::run(unit, CQelConnectDlg::Mode::Connect, link, nullptr, 0),
                 UnitTransfer::Result::Success);
        QCOMPARE(CQelEqMgr::secondLine(*unit), QString("状态:在线 (UDP)"));
        QVERIFY(boxes.shown().empty());
        unit->stopLink();
        sim::Faults busy;
        busy.busy = sim::Faults::Busy::Always;
        sim.setFaults(0, busy);
        QCOMPARE(CQelConnectDlg::run(unit, CQelConnectDlg::Mode::Connect, link, nullptr, 0),
                 UnitTransfer::Result::HandshakeTimeout);
        QCOMPARE(boxes.shown().size(), size_t{1});
        QCOMPARE(boxes.shown()[0].text, QString("提示: 连接超时 !"));
        QCOMPARE(boxes.shown()[0].caption, QString("Error"));
        QVERIFY(unit->hasFlag(linkflag::kStop));
    }

private:
    ScriptedMessageBoxes boxes;
};

QTEST_MAIN(ShellWindowsTest)
#include "ShellWindowsTest.moc"
