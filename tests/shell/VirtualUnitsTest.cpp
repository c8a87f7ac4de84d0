// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// Virtual units in the program: added from the menu or the empty list's offer, reached as
// hardware over loopback, kept across restarts, removed, never clashing with a simulator.
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

#include "device/ModeImage.h"
#include "device/ParamCommands.h"
#include "editor/EqSystemDlg.h"
#include "editor/QelEquipmentDlg.h"
#include "link/Equipment.h"
#include "shell/AddVirtualDlg.h"
#include "shell/QelBarEq.h"
#include "shell/QelEqMgr.h"
#include "shell/QelEqPanel.h"
#include "shell/VirtualUnits.h"
#include "support/AppRig.h"
#include "support/RunProcess.h"

using namespace qel;

namespace {
// Answers the add dialog with the model and name once it shows.
std::unique_ptr<test::ModalSpy> answerAddDialog(const QString& model, const QString& name) {
    return std::make_unique<test::ModalSpy>([model, name](QWidget* w) {
        auto* ask = qobject_cast<AddVirtualDlg*>(w);
        if (!ask || !ask->isVisible()) return;
        ask->modelBox()->setCurrentText(model);
        ask->nameEdit()->setText(name);
        ask->accept();
    });
}

CQelEqMgr* listOf(CMainFrame& frame) {
    return frame.equipmentPanel()->dialog()->equipmentPage()->list();
}

template <typename T>
T* control(CEqSystemDlg* page, int id) {
    T* w = page->findChild<T*>(QString::number(id));
    if (!w) qFatal("no control %d", id);
    return w;
}

// Output 1's gain, set through the editor and taken by the unit.
bool setGain(CQelEquipmentDlg& editor, uint8_t code) {
    if (editor.edit().setGain(cmd::outputChannel(1), code).queued != 1) return false;
    return QTest::qWaitFor([&] { return editor.unit().queue().pendingCount() == 0; }, 5000);
}
}  // namespace

class VirtualUnitsTest : public QObject {
    Q_OBJECT
private slots:
    void offeredOnAnEmptySearchKeptAcrossARestartWithItsGain() {
        test::AppRig rig;
        QVERIFY(rig.start());
        CQelEqMgr* list = listOf(rig.frame());
        QTRY_COMPARE_WITH_TIMEOUT(list->emptyOffer(),
                                  QString("没有找到设备。添加一台虚拟设备试用?"), 5000);
        auto spy = answerAddDialog("QD408", "Home 408");
        QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(40, 20));  // the offer
        spy.reset();
        QCOMPARE(rig.app().equipment().count(), size_t{1});
        auto unit = rig.app().equipment().at(0);
        QVERIFY(unit->isVirtual());
        QCOMPARE(unit->modelCode(), 4u);
        QVERIFY(formatIpv4(unit->address()).rfind("127.255.", 0) == 0);
        // Opened at once, read over the link like hardware.
        QTRY_VERIFY_WITH_TIMEOUT(unit->hasFlag(linkflag::kParamsRead), 5000);
        QCOMPARE(CQelEqMgr::firstLine(*unit), QString("QD408:Home 408"));
        QCOMPARE(CQelEqMgr::secondLine(*unit), QString("状态:在线 (虚拟)"));
        CQelEquipmentDlg* editor = rig.frame().editorOf(*unit);
        QVERIFY(editor);
        const uint8_t was = unit->image()->record().output(1).gain();
        const uint8_t gain = was == 40 ? 41 : 40;
        QVERIFY(editor->edit().setGain(cmd::outputChannel(2), gain).queued == 1);
        QTRY_COMPARE_WITH_TIMEOUT(unit->queue().pendingCount(), size_t{0}, 5000);
        QCOMPARE(unit->unconfirmedWrites(), 0u);

        rig.restart();
        QCOMPARE(rig.app().equipment().count(), size_t{1});  // before any search
        unit = rig.app().equipment().at(0);
        QCOMPARE(CQelEqMgr::firstLine(*unit), QString("QD408:Home 408"));
        QCOMPARE(CQelEqMgr::secondLine(*unit), QString("状态:断开 (虚拟)"));
        rig.frame().runSearch();  // keeps it, and finds it no second time
        QCOMPARE(rig.app().equipment().count(), size_t{1});
        QCOMPARE(rig.app().equipment().at(0), unit);
        rig.frame().openUnit(unit);
        QVERIFY(unit->hasFlag(linkflag::kParamsRead));
        QCOMPARE(unit->image()->record().output(1).gain(), gain);
        QVERIFY(rig.boxes().shown().empty());
    }

    void removedOnlyWhenConfirmedAndGoneAfterARestart() {
        test::AppRig rig;
        QVERIFY(rig.start());
        auto spy = answerAddDialog("QD206", "Lobby");
        rig.frame().action(command::kAddVirtual)->trigger();
        spy.reset();
        auto unit = rig.app().equipment().at(0);
        QVERIFY(unit && unit->isVirtual() && rig.app().sessions().of(*unit));
        QCOMPARE(unit->modelCode(), 2u);
        rig.boxes().answer(MsgAnswer::No);
        rig.frame().action(command::kRemoveVirtual)->trigger();  // the active unit
        QCOMPARE(rig.app().equipment().count(), size_t{1});
        rig.boxes().answer(MsgAnswer::Yes);
        rig.frame().action(command::kRemoveVirtual)->trigger();
        QCOMPARE(rig.boxes().shown().back().text,
                 QString("删除虚拟设备 Lobby 吗? 它的设置会一起删除。"));
        QCOMPARE(rig.app().equipment().count(), size_t{0});
        QVERIFY(!unit->linkRunning());
        QVERIFY(!rig.frame().editorOf(*unit));
        QVERIFY(!rig.frame().activeUnit());
        rig.restart();
        QCOMPARE(rig.app().equipment().count(), size_t{0});
        rig.frame().action(command::kRemoveVirtual)->trigger();  // nothing to remove
        QCOMPARE(rig.boxes().shown().back().text, QString("请先在设备列表中选中一台虚拟设备。"));
    }

    void aNameTheUnitCannotKeepIsRefused() {
        QCOMPARE(AddVirtualDlg::nameProblem("Stage Left 2"), QString());
        QCOMPARE(AddVirtualDlg::nameProblem("  "), QString("请输入设备名称。"));
        for (const QString& bad : {QString("舞台"), QString("x").repeated(21)})
            QCOMPARE(AddVirtualDlg::nameProblem(bad),
                     QString("设备名称只能包含英文字母、数字和符号, 最多 20 个字符。"));
    }

    // quellmar-unitsim already serves the first virtual address: the virtual unit takes
    // another (two sockets never share one address and port), which the program reaches.
    void anAddressInUseIsPassedOver() {
        test::RunningProgram other(
            {QUELLMAR_UNITSIM_PATH, "--unit",
             std::string("QD408@") + VirtualUnits::kFirstAddress + ":Taken"});
        QCOMPARE(QString::fromStdString(other.readLine(5000)),
                 QString("QD408\t%1\tTaken").arg(VirtualUnits::kFirstAddress));
        test::AppRig rig;
        QVERIFY(rig.start());
        auto spy = answerAddDialog("QD406", "Mine");
        rig.frame().action(command::kAddVirtual)->trigger();
        spy.reset();
        auto unit = rig.app().equipment().at(0);
        QVERIFY(unit);
        QVERIFY(formatIpv4(unit->address()) != VirtualUnits::kFirstAddress);
        QVERIFY(unit->hasFlag(linkflag::kParamsRead));  // from its own address
    }

    // The system page on a virtual unit: engineering mode with the unit's password, a mode
    // stored on the unit and recalled, and a PC mode saved and applied; the unit keeps the
    // applied settings across a restart.
    void theSystemPageKeepsAndRecallsModes() {
        test::AppRig rig;
        QVERIFY(rig.start());
        auto spy = answerAddDialog("QD206", "Gig");
        rig.frame().action(command::kAddVirtual)->trigger();
        spy.reset();
        auto unit = rig.app().equipment().at(0);
        CQelEquipmentDlg* editor = rig.frame().editorOf(*unit);
        QVERIFY(editor);
        editor->showPage(CQelEquipmentDlg::kSystem);
        CEqSystemDlg* page = editor->systemDlg();
        using Id = CEqSystemDlg::Id;
        control<QLineEdit>(page, Id::kPassword)->setText("000000");
        control<QPushButton>(page, Id::kCheckPassword)->click();
        QTest::mouseClick(control<QRadioButton>(page, Id::kEngineeringMode), Qt::LeftButton, {},
                          QPoint(4, 4));
        QVERIFY(unit->hasFlag(linkflag::kEngineering));

        QVERIFY(setGain(*editor, 90));
        control<QComboBox>(page, Id::kSlot)->setCurrentIndex(3);
        control<QLineEdit>(page, Id::kSlotName)->setText("Gig");
        rig.boxes().answer(MsgAnswer::Yes);
        control<QPushButton>(page, Id::kSaveSlot)->click();
        QCOMPARE(rig.boxes().shown().back().text, QString("成功保存模式!"));
        QVERIFY(setGain(*editor, 60));
        rig.boxes().answer(MsgAnswer::Yes);
        control<QPushButton>(page, Id::kRecallSlot)->click();
        QCOMPARE(editor->edit().image().record().output(0).gain(), uint8_t{90});

        auto* pcModes = control<QTableWidget>(page, Id::kPcModes);
        const auto clickRow = [pcModes](int row) {
            const QRect cell = pcModes->visualRect(pcModes->model()->index(row, 1));
            QTest::mouseClick(pcModes->viewport(), Qt::LeftButton, {}, cell.center());
        };
        QVERIFY(setGain(*editor, 70));
        clickRow(2);
        control<QLineEdit>(page, Id::kPcModeName)->setText("Home");
        rig.boxes().answer(MsgAnswer::Yes);
        control<QPushButton>(page, Id::kSaveToPc)->click();
        QCOMPARE(pcModes->item(2, 1)->text(), QString("Home"));
        QVERIFY(setGain(*editor, 50));
        clickRow(2);
        rig.boxes().answer(MsgAnswer::Yes);
        control<QPushButton>(page, Id::kApply)->click();
        QCOMPARE(editor->edit().image().record().output(0).gain(), uint8_t{70});
        QTRY_VERIFY(!unit->hasFlag(linkflag::kMeterPaused));

        rig.restart();
        unit = rig.app().equipment().at(0);
        rig.frame().openUnit(unit);
        QVERIFY(unit->hasFlag(linkflag::kParamsRead));
        QCOMPARE(unit->image()->record().output(0).gain(), uint8_t{70});
        QCOMPARE(QString::fromStdString(unit->image()->deviceModeName(3)).trimmed(),
                 QString("Gig"));
    }

    // A state file that cannot be read is said, set aside, and not written over.
    void anUnreadableStateFileIsKeptAside() {
        test::AppRig rig;
        QFile bad(QDir(rig.dir()).filePath(VirtualUnits::kFileName));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a state file");
        bad.close();
        QVERIFY(rig.start());
        QCOMPARE(rig.boxes().shown().size(), size_t{1});
        QVERIFY(rig.boxes().shown()[0].text.startsWith("无法恢复虚拟设备: "));
        QFile aside(bad.fileName() + ".unreadable");
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), QByteArray("not a state file"));
    }
};

QTEST_MAIN(VirtualUnitsTest)
#include "VirtualUnitsTest.moc"
