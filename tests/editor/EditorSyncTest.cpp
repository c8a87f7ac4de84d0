// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QtTest>

#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <functional>

#include "UnitSimulator.h"
#include "controls/MessageBoxes.h"
#include "controls/QelBtn.h"
#include "controls/QelLigGain.h"
#include "controls/QelText.h"
#include "controls/QelTitle.h"
#include "device/DownloadVerify.h"
#include "device/FreqTable.h"
#include "device/UnitTransfer.h"
#include "device/ValueCodes.h"
#include "device/EditHistory.h"
#include "editor/EqPage.h"
#include "editor/PanelGain.h"
#include "editor/PresetTransfer.h"
#include "editor/QelEquipmentDlg.h"
#include "editor/QelSyncBar.h"
#include "link/Equipment.h"
#include "link/EquipmentList.h"
#include "link/UdpEndpoint.h"
#include "platform/Language.h"
#include "platform/SerialPortMap.h"
#include "shell/QelEqMgr.h"
#include "support/EditorRig.h"
#include "support/Loopback.h"
#include "support/SimRecords.h"
#include "ui/QelConnectDlg.h"

using namespace qel;

namespace {
constexpr int kModel = 2;  // QD206: the shortest transfers
constexpr int kSerialUnit = 1;

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};
}  // namespace

// An editor connected to a simulated unit: presets and measured EQ in and out of files, the
// writes the unit did not confirm, and a lost link taken up again.
class EditorSyncTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setMessageBoxes(&boxes);
        QVERIFY(dir.isValid());
        QCOMPARE(sim.addNetworkUnit(kModel, test::loopbackHost(test::loopbackSubnet(), 2), "Hall"),
                 0);
        QCOMPARE(sim.addSerialUnit(kModel, "Stage"), kSerialUnit);
        QVERIFY(sim.start());
        QVERIFY(endpoint.open(0));
        link.endpoint = &endpoint;
        host = std::make_unique<test::TestEditorHost>(link);
    }

    void init() {
        sim.setState(0, sim::defaultUnitState(kModel, "Hall"));
        sim.setFaults(0, {});
        sim.setSilenced(0, false);
        unit = test::connectedUnit(sim.address(0), link);
        QVERIFY(unit);
        openEditor(test::quietMeters());  // only the editor's own commands travel
        boxes.clear();
    }

    void cleanup() {
        editor.reset();
        unit->stopLink();
    }

    void presetsGoOutAndComeBackProven() {
        const ModeRecord original = record();
        const QString path = dir.filePath("hall.json");
        QVERIFY(PresetTransfer::exportTo(*editor, path));
        QVERIFY(boxes.shown().empty());
        QVERIFY(!PresetTransfer::exportTo(*editor, dir.filePath("missing/hall.json")));
        QVERIFY(lastBoxStarts("无法写入文件"));

        edit([&](ParamEdit& e) { e.setGain(cmd::outputChannel(2), 40); });
        QTRY_COMPARE(sim.state(0).params.out[1].gain, uint8_t{40});
        const ModeRecord edited = record();
        QFile broken(dir.filePath("broken.json"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(R"({"format": "quellmar-preset", "version": 1, "model": "QD206")");
        broken.close();
        QVERIFY(!PresetTransfer::importFrom(*editor, broken.fileName()));
        QVERIFY(lastBoxStarts("预设文件有错误"));
        QVERIFY(!PresetTransfer::importFrom(*editor, dir.filePath("none.json")));
        QVERIFY(lastBoxStarts("无法读取文件"));
        QVERIFY(record() == edited);  // nothing lost

        boxes.answer(MsgAnswer::No);  // the question: nothing happens
        QVERIFY(!PresetTransfer::importFrom(*editor, path));
        QVERIFY(record() == edited);
        boxes.answer(MsgAnswer::Yes);
        QVERIFY(PresetTransfer::importFrom(*editor, path));
        QVERIFY(DownloadVerify::compare(original, record(), kModel).empty());
        QVERIFY(unitEqualsEditor());
        QCOMPARE(sim.state(0).params.out[1].gain, original.output(1).gain());
    }

    void measuredFiltersReachTheSelectedChannel() {
        editor->showPage(CQelEquipmentDlg::kOutputEq);
        auto* page = static_cast<EqPage*>(editor->page(CQelEquipmentDlg::kOutputEq));
        page->selectChannel(2, 0, true);
        const ModeRecord before = record();
        QVERIFY(!page->importFilters(file("bad.txt",
                                          "Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 2\n"
                                          "Filter 2: ON XX Fc 1000 Hz Gain 2 dB Q 1\n")));
        QVERIFY(lastBoxStarts("无法使用文件"));
        QVERIFY(boxes.shown().back().text.contains("第 2 行"));
        QVERIFY(record() == before);

        const QString good = file("room.txt",
                                  "Filter Settings file\n"
                                  "Preamp: -4.0 dB\n"
                                  "Filter 1: ON PK Fc 100 Hz Gain -3.0 dB Q 2.00\n"
                                  "Filter 2: ON HS Fc 8000 Hz Gain 2.5 dB\n");
        boxes.answer(MsgAnswer::Yes);
        QVERIFY(page->importFilters(good));
        const QString report = boxes.shown().back().text;
        QVERIFY2(report.contains("滤波器 1 (第 3 行)") && report.contains("滤波器 2 (第 4 行)") &&
                     report.contains("-4.0 dB") && report.contains("输出 2"),
                 qPrintable(report));
        const EqPoint first = record().output(1).point(0);
        QCOMPARE(std::lround(FreqTable[first.freq]), 100L);
        QCOMPARE(eqGainDb(first.gain), -3.0);
        QCOMPARE(record().output(1).point(1).type, uint8_t{2});  // high shelf
        QCOMPARE(record().output(1).eqSwitch(), uint8_t{0});
        QCOMPARE(page->gainBox(0)->text(), QString("-3.0 dB"));  // the page shows it
        QTRY_VERIFY(unitEqualsEditor());
        QCOMPARE(editor->history().undoText(), QString("输出 2 EQ 导入滤波器"));
        editor->history().undo();  // one step
        QVERIFY(record() == before);
        QTRY_VERIFY(unitEqualsEditor());

        // An equaliser's configuration: an HP reaches the output's high-pass; filters for
        // several channels are refused with their names.
        QVERIFY(!page->importFilters(file("two.txt",
                                          "Channel: L\nFilter: ON PEQ Fc 100 Hz Gain 1 dB "
                                          "BW Oct 1\nChannel: R\nFilter: ON HP Fc 30 Hz\n")));
        QVERIFY(boxes.shown().back().text.contains("第 4 行: 滤波器属于多个通道 (L, R)"));
        boxes.answer(MsgAnswer::Yes);
        QVERIFY(page->importFilters(file("apo.txt",
                                         "Device: all\nFilter: ON LS 6dB Fc 300 Hz Gain 3 dB\n"
                                         "Filter: ON HP Fc 30 Hz\n")));
        QVERIFY(boxes.shown().back().text.contains("Butterworth 12 dB 30.0 Hz"));
        QCOMPARE(record().output(1).highPassType(), uint8_t{0});
        QCOMPARE(record().output(1).highPassFreq(), uint8_t{15});
        QCOMPARE(record().output(1).point(0).type, uint8_t{1});
        QTRY_VERIFY(unitEqualsEditor());

        // The export writes the channel as it is; imported again, nothing changes.
        const QString exported = dir.filePath("out2.txt");
        QVERIFY(page->exportFilters(exported, EqTextFormat::Apo));
        QVERIFY2(boxes.shown().back().text.startsWith("已把 输出 2 的 11 个滤波器写入"),
                 qPrintable(boxes.shown().back().text));
        QFile text(exported);
        QVERIFY(text.open(QIODevice::ReadOnly));
        const QString written = QString::fromUtf8(text.readAll());
        QVERIFY2(written.startsWith("# QD206 Hall, output 2\n") &&
                     written.contains("Filter 1: ON LS Fc 300 Hz Gain 3.0 dB\n") &&
                     written.contains("Filter 11: ON HP Fc 30 Hz\n"),
                 qPrintable(written));
        const ModeRecord imported = record();
        boxes.answer(MsgAnswer::Yes);
        QVERIFY(page->importFilters(exported));
        QVERIFY(record() == imported);

        // The file windows open where a filter file was last chosen, at first the home folder.
        const QString chosen = dir.filePath("chosen.txt");
        QCOMPARE(clickForFile("Qel.EqExport", chosen), QDir::homePath());
        QVERIFY(QFile::exists(chosen));
        QCOMPARE(clickForFile("Qel.EqImport", {}), dir.path());
    }

    void unconfirmedWritesAreCountedAndResyncProvesTheUnit() {
        auto* bar = editor->syncBar();
        QVERIFY(!bar->isVisible());
        sim::Faults deaf;
        deaf.dropRequests = 1.0;
        sim.setFaults(0, deaf);
        edit([&](ParamEdit& e) { e.setGain(cmd::inputChannel(1), 60); });
        QTRY_COMPARE(unit->unconfirmedWrites(), 1u);
        QTRY_COMPARE(bar->state(), CQelSyncBar::State::Unconfirmed);
        QVERIFY(bar->isVisible() && bar->text().contains("1"));
        QVERIFY(sim.state(0).params.in[0].gain != 60);
        QVERIFY(!bar->narrow() && bar->button()->text() == QString("同步"));

        // A QD408's eight output buttons reach into the bar's room: it keeps clear of them.
        auto other = std::make_shared<Equipment>();
        other->setModelCode(4);
        test::SessionEditor qd408(other, *host, test::quietMeters());
        for (int id = CQelEquipmentDlg::kGain; id <= CQelEquipmentDlg::kSystem; ++id) {
            qd408.showPage(id);
            const QRect room = qd408.syncBar()->geometry();
            QVERIFY(room.left() >= CQelSyncBar::kX && room.right() < CQelSyncBar::kRight);
            for (int c = 0; c < qd408.title()->channelCount(); ++c)
                QVERIFY(!room.intersects(qd408.title()->channelRect(c)));
        }
        QVERIFY(qd408.syncBar()->width() >= qd408.syncBar()->button()->width());

        sim::Faults stubborn;  // answers the gain writes but keeps its gains
        stubborn.ignoredWrites = {param::kGain};
        sim.setFaults(0, stubborn);
        bar->resync();
        QVERIFY(lastBoxStarts("同步没有成功"));
        QVERIFY2(boxes.shown().back().text.contains("仍有 1 处不同:\n设备: 输入 A 增益"),
                 qPrintable(boxes.shown().back().text));
        QVERIFY(unit->knownDifferent() && bar->isVisible());
        sim.setFaults(0, {});
        bar->resync();
        QCOMPARE(unit->unconfirmedWrites(), 0u);
        QVERIFY(!unit->knownDifferent());
        QCOMPARE(bar->state(), CQelSyncBar::State::Quiet);
        QVERIFY(!bar->isVisible());
        QCOMPARE(sim.state(0).params.in[0].gain, uint8_t{60});
        QVERIFY(unitEqualsEditor());
    }

    void lostLinkIsReadBackBeforeAnythingIsWritten() {
        auto* bar = editor->syncBar();
        // The lost-unit rule on a short fuse: a silent unit and a few unanswered edits.
        unit->stopLink();
        LinkSettings impatient = link;
        impatient.silenceLimitMs = 300;
        QVERIFY(unit->startLink(impatient));
        sim.setSilenced(0, true);
        edit([&](ParamEdit& e) {
            for (int out = 1; out <= 4; ++out) e.setGain(cmd::outputChannel(out), 20);
        });
        QTRY_VERIFY_WITH_TIMEOUT(unit->hasFlag(linkflag::kStop), 10000);
        QTRY_COMPARE(bar->state(), CQelSyncBar::State::Lost);
        sim.setSilenced(0, false);
        auto state = sim.state(0);
        state.params.in[1].gain = 77;  // meanwhile changed at the unit
        sim.setState(0, state);
        const ModeRecord editorSide = record();

        boxes.clear();
        boxes.answer(MsgAnswer::Cancel);  // decide later
        const int steps = host->guardedSteps, listChanges = host->listChanges;
        bar->reconnect();
        QVERIFY(unit->linkRunning() && !unit->hasFlag(linkflag::kStop));
        // The reconnect ran as one guarded step of the host's; the unit list was told.
        QCOMPARE(host->guardedSteps, steps + 1);
        QCOMPARE(host->listChanges, listChanges + 1);
        const QString question = boxes.shown().back().text;
        QVERIFY2(question.contains("5 处不同") && question.contains("设备: 输入 B 增益"),
                 qPrintable(question));
        QVERIFY(record() == editorSide);  // read into a scratch image only
        QCOMPARE(sim.state(0).params.in[1].gain, uint8_t{77});
        QCOMPARE(bar->state(), CQelSyncBar::State::Differs);
        QVERIFY(unit->knownDifferent() && unit->unconfirmedWrites() == 0);

        unit->requestStop();  // lost again; this time the unit's settings win
        QTRY_COMPARE(bar->state(), CQelSyncBar::State::Lost);
        boxes.answer(MsgAnswer::No);
        bar->reconnect();
        QCOMPARE(record().input(1).gain(), uint8_t{77});
        QCOMPARE(record().output(0).gain(), sim.state(0).params.out[0].gain);
        QVERIFY(unitEqualsEditor());
        QCOMPARE(bar->state(), CQelSyncBar::State::Quiet);
        QVERIFY(&editor->edit().image() == unit->image().get());  // still shared
    }

    void silentUnitShowsAtOnceAndItsEditsCountAsUnconfirmed() {
        MeterPoller::Timing meters;
        meters.startMs = 0;  // polling, as a person's editor does
        openEditor(meters);
        auto* bar = editor->syncBar();
        EquipmentList units;
        units.append(unit);
        CQelEqMgr rows(units);
        rows.resize(180, 100);
        rows.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rows));
        PaintCounter paints(&rows);
        QCoreApplication::processEvents();
        paints.count = 0;

        QTRY_VERIFY(litMeters(*editor) > 0);
        sim.setSilenced(0, true);  // the unit is switched off
        QTRY_COMPARE_WITH_TIMEOUT(bar->state(), CQelSyncBar::State::NotAnswering, 5000);
        QVERIFY(!unit->hasFlag(linkflag::kStop));  // long before the link is given up
        QTRY_COMPARE(litMeters(*editor), 0);       // no reading is no level
        QVERIFY(bar->isVisible() && bar->text() == QString("设备无响应"));
        QCOMPARE(bar->button()->text(), QString("重连"));
        QCOMPARE(CQelEqMgr::secondLine(*unit), QString("状态:无响应 (UDP)"));
        QTRY_VERIFY(paints.count > 0);  // the list shows it without being asked
        const uint32_t unconfirmed = unit->unconfirmedWrites();
        edit([&](ParamEdit& e) { e.setGain(cmd::outputChannel(3), 30); });
        QCOMPARE(unit->unconfirmedWrites(), unconfirmed + 1);  // at once

        const int painted = paints.count;
        sim.setSilenced(0, false);  // back: the state clears by itself, the edit stays counted
        QTRY_COMPARE_WITH_TIMEOUT(bar->state(), CQelSyncBar::State::Unconfirmed, 5000);
        QCOMPARE(CQelEqMgr::secondLine(*unit), QString("状态:在线 (UDP)"));
        QTRY_VERIFY(paints.count > painted);
        QTRY_VERIFY(litMeters(*editor) > 0);
        bar->resync();
        QCOMPARE(bar->state(), CQelSyncBar::State::Quiet);
        QVERIFY(unitEqualsEditor());
    }

    void longTransfersCanBeCancelled() {
        const QString path = dir.filePath("slow.json");
        QVERIFY(PresetTransfer::exportTo(*editor, path));
        edit([&](ParamEdit& e) { e.setGain(cmd::outputChannel(1), 10); });
        QTRY_COMPARE(sim.state(0).params.out[0].gain, uint8_t{10});
        const ModeRecord before = record();
        sim::Faults slow;
        slow.replyDelayMs = 250;  // a whole download takes about 40 s
        sim.setFaults(0, slow);

        bool held = false;  // the windows wait, but Qt blocks none of their close requests
        whileTransferring([&](CQelConnectDlg& w) {
            held = !editor->isEnabled() && !QGuiApplication::modalWindow();
            QTest::mouseClick(w.cancelButton(), Qt::LeftButton);
        });
        boxes.answer(MsgAnswer::Yes);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!PresetTransfer::importFrom(*editor, path));
        QVERIFY(clock.elapsed() < 15000);
        QVERIFY(held);
        expectCancelled(before, 1);  // only the import's question was asked
        boxes.clear();

        auto* bar = editor->syncBar();
        whileTransferring([](CQelConnectDlg& w) { QTest::keyClick(&w, Qt::Key_Escape); });
        bar->resync();
        expectCancelled(before, 0);  // and no report of a failed sync
        whileTransferring([](CQelConnectDlg& w) { w.close(); });
        bar->resync();
        expectCancelled(before, 0);
        boxes.answer(MsgAnswer::No);  // the editor's close box: asked, and the sync goes on
        boxes.answer(MsgAnswer::Yes);
        whileTransferring([this](CQelConnectDlg&) {
            editor->close();
            QVERIFY(editor->isVisible() && !CQelConnectDlg::running()->cancelRequested());
            editor->close();
        });
        bar->resync();
        expectCancelled(before, 2);
        QCOMPARE(boxes.shown().back().text, QString("正在向设备传输数据。要取消传输吗 ?"));
        QTRY_VERIFY(!editor->isVisible());

        sim.setFaults(0, {});
        editor->show();
        bar->resync();  // 同步 finishes what was cancelled
        QCOMPARE(bar->state(), CQelSyncBar::State::Quiet);
        QVERIFY(unitEqualsEditor());
    }

    void pulledSerialCableIsReconnectedOnceThePortIsBack() {
        const int s = kSerialUnit;
        SerialPortMap ports;
        ports.setOverride("COM7", sim.slavePath(s));
        LinkSettings serialLink = link;
        serialLink.serialMap = &ports;
        auto stage = std::make_shared<Equipment>();
        stage->setPortName("COM7");
        stage->setFlags(linkflag::kSerial);
        UnitTransfer connect(*stage, serialLink);
        connect.setProgressPause(0);
        QCOMPARE(connect.run(UnitTransfer::Mode::Connect), UnitTransfer::Result::Success);
        MeterPoller::Timing meters;
        meters.startMs = 0;  // polling, as a person's editor does
        test::TestEditorHost stageHost(serialLink);
        test::SessionEditor stageEditor(stage, stageHost, meters);
        stageEditor.show();
        auto* bar = stageEditor.syncBar();
        QTRY_VERIFY(litMeters(stageEditor) > 0);

        sim.closeSerial(s);  // the cable is pulled
        QTRY_COMPARE(bar->state(), CQelSyncBar::State::Lost);
        QTRY_COMPARE(litMeters(stageEditor), 0);  // dark, not frozen
        QTRY_VERIFY(lastBoxStarts("设备已经断开!"));
        bar->reconnect();  // the port is still gone: said, and nothing else changes
        QVERIFY2(lastBoxStarts("无法打开 COM7") && boxes.shown().back().text.endsWith("设备不存在"),
                 qPrintable(boxes.shown().back().text));
        QCOMPARE(bar->state(), CQelSyncBar::State::Lost);
        QVERIFY(!stage->linkRunning());

        QVERIFY(sim.reopenSerial(s));
        ports.setOverride("COM7", sim.slavePath(s));
        bar->reconnect();
        QVERIFY(lastBoxStarts("已重新连接设备, 设备与编辑器的设置相同"));
        QCOMPARE(bar->state(), CQelSyncBar::State::Quiet);
        QVERIFY(stage->linkRunning());
        const uint64_t asked = stageEditor.meters().readingsAsked();
        QTRY_VERIFY(stageEditor.meters().readingsAsked() > asked);  // the meters poll again
        QTRY_VERIFY(litMeters(stageEditor) > 0);
        stageEditor.edit().setGain(cmd::outputChannel(1), 40);
        QTRY_COMPARE(sim.state(s).params.out[0].gain, uint8_t{40});
        stage->stopLink();
    }

    // The problems of a preset or a measured EQ text, and a preset's moved values, read whole
    // in the window's language.
    void fileProblemsReadInTheWindowsLanguage() {
        const QString bad = editedPreset("bad.json", [](QJsonObject& out, QJsonObject&) {
            out["gainDb"] = 40.0;
            out["mute"] = 1;
            out["routing"] = QJsonArray{"A", "Z"};
        });
        const QString moved = editedPreset(
            "moved.json", [](QJsonObject&, QJsonObject& point) { point["frequencyHz"] = 10.0; });
        const QString noQ = file("noq.txt", "Filter 1: ON PK Fc 100 Hz Gain 1 dB\n");
        std::string many;
        for (int i = 1; i <= 16; ++i)
            many += "Filter " + std::to_string(i) + ": ON PK Fc 1000 Hz Gain 1 dB Q 1\n";
        const QString tooMany = file("many.txt", many.c_str());
        editor->showPage(CQelEquipmentDlg::kInputEq);
        auto* page = static_cast<EqPage*>(editor->page(CQelEquipmentDlg::kInputEq));
        boxes.answer(MsgAnswer::No);
        auto shown = [&](const QString& path) {
            boxes.clear();
            if (path.endsWith(".txt"))
                page->importFilters(path);
            else
                PresetTransfer::importFrom(*editor, path);
            return boxes.shown().empty() ? QString() : boxes.shown().back().text;
        };
        auto all = [&] { return shown(bad) + shown(moved) + shown(noQ) + shown(tooMany); };
        const QString chinese = all();
        QVERIFY(chinese.contains("outputs[1].gainDb") && chinese.contains("frequencyHz") &&
                chinese.contains("第 16 行"));
        const QRegularExpression sentence("[A-Za-z]{2,} [A-Za-z]{2,}");
        QVERIFY2(!sentence.match(chinese).hasMatch(), qPrintable(chinese));

        QVERIFY(Language::install(*QCoreApplication::instance(), Language::kEnglish));
        const QString english = all();
        QVERIFY2(english.contains("outputs[1].gainDb: 40 is outside -50 .. 12 dB") &&
                     english.contains("10 Hz became 19.8 Hz") &&
                     english.contains("line 1: the PK filter has no Q") &&
                     english.contains("16 filters are on, Input A has 15 EQ points"),
                 qPrintable(english));
        static const QRegularExpression chineseText("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]");
        QVERIFY2(!chineseText.match(english).hasMatch(), qPrintable(english));
        for (auto* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
    }

private:
    void openEditor(MeterPoller::Timing meters) {
        editor.reset();
        editor = test::openEditor(unit, *host, meters);
        editor->show();
    }
    // Runs act on the download window once the download has been under way for a while.
    void whileTransferring(std::function<void(CQelConnectDlg&)> act) {
        auto* poll = new QTimer(this);
        auto since = std::make_shared<QElapsedTimer>();
        connect(poll, &QTimer::timeout, this, [this, poll, since, act] {
            CQelConnectDlg* w = CQelConnectDlg::running(unit.get());
            if (!w || !w->isVisible()) return;
            if (!since->isValid()) since->start();
            if (since->elapsed() < 500) return;
            poll->stop();
            poll->deleteLater();
            act(*w);
        });
        poll->start(20);
    }
    // A cancelled download: the editor as it was, the unit known to differ (同步 is offered),
    // the windows free again and nothing sent any more; boxes says how many boxes came.
    void expectCancelled(const ModeRecord& editorBefore, size_t boxesShown) {
        QVERIFY(record() == editorBefore);
        QVERIFY(unit->knownDifferent());
        QCOMPARE(editor->syncBar()->state(), CQelSyncBar::State::Differs);
        QCOMPARE(boxes.shown().size(), boxesShown);
        QVERIFY(editor->isEnabled() && !CQelConnectDlg::running());
        QTest::qWait(400);  // the reply to the command in flight
        const size_t sent = sim.requests(0).size();
        QTest::qWait(600);
        QCOMPARE(sim.requests(0).size(), sent);
    }
    // How many meters of the gain page show a level.
    static int litMeters(const CQelEquipmentDlg& e) {
        const auto* gains = static_cast<const CPanelGain*>(e.page(CQelEquipmentDlg::kGain));
        int lit = 0;
        for (int strip = 0; strip < gains->strips(); ++strip)
            lit += gains->meter(strip)->level() > 0;
        return lit;
    }
    // Clicks the current page's button and answers the file window it opens with path (none:
    // cancels); returns the folder the window opened in.
    QString clickForFile(const char* button, const QString& path) {
        QString folder;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!files || !files->isVisible()) return;
            poll.stop();
            folder = files->directory().absolutePath();
            if (path.isEmpty()) return files->reject();
            files->selectFile(path);
            static_cast<QDialog*>(files)->accept();  // QFileDialog::accept, as its button does
        });
        poll.start(10);
        QTest::mouseClick(editor->page(editor->currentPage())->findChild<QWidget*>(button),
                          Qt::LeftButton);
        return folder;
    }
    // An edit as a page makes it: the pages then show the image.
    void edit(const std::function<void(ParamEdit&)>& change) {
        change(editor->edit());
        editor->updateAllPanels();
    }
    const ModeRecord& record() { return editor->edit().image().record(); }
    bool unitEqualsEditor() {
        return DownloadVerify::compare(record(), test::expectedRecord(sim.state(0)), kModel)
            .empty();
    }
    bool lastBoxStarts(const char* text) {
        return !boxes.shown().empty() && boxes.shown().back().text.startsWith(QString(text));
    }
    // The editor's preset with output 2 and its EQ point 7 changed by edit.
    QString editedPreset(const char* name,
                         const std::function<void(QJsonObject&, QJsonObject&)>& edit) {
        const QString path = dir.filePath(name);
        if (!PresetTransfer::exportTo(*editor, path)) return {};
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        QJsonObject root = QJsonDocument::fromJson(f.readAll()).object();
        f.close();
        QJsonArray outs = root["outputs"].toArray();
        QJsonObject out = outs[1].toObject(), eq = out["eq"].toObject();
        QJsonArray points = eq["points"].toArray();
        QJsonObject point = points[6].toObject();
        edit(out, point);
        points[6] = point;
        eq["points"] = points;
        out["eq"] = eq;
        outs[1] = out;
        root["outputs"] = outs;
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(QJsonDocument(root).toJson());
        return path;
    }
    QString file(const char* name, const char* text) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return f.fileName();
    }

    ScriptedMessageBoxes boxes;
    QTemporaryDir dir;
    sim::UnitSimulator sim;
    UdpEndpoint endpoint;
    LinkSettings link;
    std::unique_ptr<test::TestEditorHost> host;
    std::shared_ptr<Equipment> unit;
    std::unique_ptr<CQelEquipmentDlg> editor;
};

QTEST_MAIN(EditorSyncTest)
#include "EditorSyncTest.moc"
