// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QtTest>

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionComboBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTranslator>

#include "UnitSimulator.h"
#include "WireText.h"
#include "controls/MessageBoxes.h"
#include "controls/QelGain.h"
#include "device/ModeFileStore.h"
#include "device/UnitTransfer.h"
#include "device/EditHistory.h"
#include "editor/EditorPage.h"
#include "editor/EqSystemDlg.h"
#include "editor/PanelGain.h"
#include "editor/QelEquipmentDlg.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"
#include "platform/Language.h"
#include "support/EditorRig.h"
#include "support/Gbk.h"
#include "support/Loopback.h"
#include "support/SimRecords.h"

using namespace qel;

namespace {

using Id = CEqSystemDlg::Id;
constexpr int kModel = 2;  // QD206: the shortest download

struct Sent {
    int byte5, code;
    std::vector<uint8_t> payload;
};

}  // namespace

// The system page of an editor connected to a simulated unit: what each handler sends, what
// it shows and what the unit and the PC hold afterwards.
class SystemPageTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setMessageBoxes(&boxes);
        QVERIFY(dir.isValid());
        ip = test::loopbackHost(test::loopbackSubnet(), 2);
        QCOMPARE(sim.addNetworkUnit(kModel, ip, "Hall"), 0);
        QVERIFY(sim.start());
        QVERIFY(endpoint.open(0));
    }

    void init() {
        auto s = sim::defaultUnitState(kModel, "Hall");
        const uint8_t password[] = {1, 2, 3, 4, 5, 6};
        std::copy(std::begin(password), std::end(password), s.password);
        sim.setState(0, s);
        sim.setFaults(0, {});
        LinkSettings link;
        link.endpoint = &endpoint;
        host = std::make_unique<test::TestEditorHost>(link, dir.path());
        store = &host->modeFiles();
        unit = test::connectedUnit(ip, link);
        QVERIFY(unit);
        editor = test::openEditor(unit, *host);  // only the page's commands travel
        page = editor->systemDlg();
        page->refresh();
        editor->show();
        editor->showPage(CQelEquipmentDlg::kSystem);
        sim.clearRequests(0);
        boxes.clear();
    }

    void cleanup() {
        editor.reset();
        unit->stopLink();
    }

    void passwordOpensOneModeSwitch() {
        QCOMPARE(page->geometry(), QRect(22, 22, 910, 460));
        for (QWidget* w : page->findChildren<QWidget*>())
            QVERIFY2(page->rect().contains(w->geometry()), qPrintable(w->objectName()));
        auto* password = find<QLineEdit>(Id::kPassword);
        auto* user = find<QRadioButton>(Id::kUserMode);
        auto* engineering = find<QRadioButton>(Id::kEngineeringMode);
        for (const char* digits : {"12345", "1234567"}) {
            password->clear();
            QTest::keyClicks(password, digits);
            find<QPushButton>(Id::kCheckPassword)->click();
            QVERIFY(lastBox("请输入系统密码!", "错误"));
        }
        QVERIFY(sent().empty());
        password->clear();
        QTest::keyClicks(password, "12a3456");  // digits only
        QCOMPARE(password->text(), QString("123456"));
        password->setText("123457");
        find<QPushButton>(Id::kCheckPassword)->click();
        QVERIFY(lastBox("错误的系统密码!", "错误"));
        QVERIFY(!user->isEnabled() && !engineering->isEnabled());
        password->setText("123456");
        boxes.clear();
        find<QPushButton>(Id::kCheckPassword)->click();
        QVERIFY(boxes.shown().empty());
        QVERIFY(user->isEnabled() && engineering->isEnabled());

        sim.clearRequests(0);
        QTest::mouseClick(engineering, Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY(lastBox("成功转换到工程模式!", "Quellmar"));
        QTRY_COMPARE(sent().size(), size_t{2});
        QCOMPARE(sent()[0].code, 0x06);
        QCOMPARE(sent()[0].byte5, 0x02);
        QCOMPARE(sent()[0].payload[0], uint8_t{1});
        QCOMPARE(sent()[1].code, 0x14);
        QVERIFY(sim.state(0).engineering);
        QVERIFY(unit->hasFlag(linkflag::kEngineering));
        QVERIFY(editor->windowTitle().endsWith(QString("工程模式")));
        // Once: the buttons are off again and the password is gone.
        QVERIFY(!user->isEnabled() && !engineering->isEnabled());
        QVERIFY(password->text().isEmpty());
        QTest::mouseClick(user, Qt::LeftButton, {}, QPoint(4, 4));
        QTest::qWait(100);
        QCOMPARE(sent().size(), size_t{2});
    }

    void passwordChange() {
        auto* oldBox = find<QLineEdit>(Id::kOldPassword);
        auto* newBox = find<QLineEdit>(Id::kNewPassword);
        auto* change = find<QPushButton>(Id::kChangePassword);
        auto attempt = [&](const char* oldDigits, const char* newDigits) {
            oldBox->setText(oldDigits);
            newBox->setText(newDigits);
            change->click();
            QVERIFY(oldBox->text().isEmpty() && newBox->text().isEmpty());
        };
        attempt("", "654321");
        QVERIFY(lastBox("请输出系统密码!", "Error"));
        attempt("123456", "65432");
        QVERIFY(lastBox("错误: 密码必须 6 位数字!", "Error"));
        QVERIFY(sent().empty());
        attempt("111111", "654321");
        QVERIFY(lastBox("错误的系统密码 !", "Error"));
        QCOMPARE(sim.state(0).password[0], uint8_t{1});
        attempt("123456", "654321");
        QVERIFY(lastBox("成功修改系统密码 !", "Quellmar"));
        const uint8_t expected[] = {6, 5, 4, 3, 2, 1};
        QVERIFY(std::equal(std::begin(expected), std::end(expected), sim.state(0).password));
        QTRY_COMPARE(lastCode(), 0x14);
    }

    void storeOnTheUnit() {
        auto* name = find<QLineEdit>(Id::kSlotName);
        auto* slotList = find<QComboBox>(Id::kSlot);
        auto* save = find<QPushButton>(Id::kSaveSlot);
        save->click();
        QVERIFY(lastBox("用户模式不可以保存数据 !", "Quellmar"));
        QCOMPARE(sent().size(), size_t{1});  // the mode-state read alone
        auto s = sim.state(0);
        s.engineering = true;
        sim.setState(0, s);

        sim.clearRequests(0);
        slotList->setCurrentIndex(3);
        name->setText("     ");
        boxes.answer(MsgAnswer::Yes);
        save->click();
        QVERIFY(lastBox("请输入模式名称!", "错误"));
        QCOMPARE(sent().size(), size_t{1});
        QCOMPARE(QString::fromStdString(editor->edit().image().deviceModeName(3)).trimmed(),
                 QString("Mode 4"));

        name->setText("ABCDEFGHIJKLMNOPQRSTUVWXY");
        boxes.answer(MsgAnswer::Yes);
        save->click();
        QVERIFY(lastBox("成功保存模式!", "Quellmar"));
        QCOMPARE(boxes.shown()[boxes.shown().size() - 2].text, QString("您确定要保存当前模式吗 ?"));
        const auto sequence = sent();
        QCOMPARE(sequence[sequence.size() - 2].code, 0x12);
        QCOMPARE(sequence.back().code, 0x10);
        QCOMPARE(sequence.back().payload[0], uint8_t{3});
        QCOMPARE(sim::decodeWireText(sim.state(0).modes[3].nameWire, sim::kNameBytes),
                 std::string("ABCDEFGHIJKLMNOPQRST"));
        QCOMPARE(slotList->itemText(3), QString("4. ABCDEFGHIJKLMNOPQRST"));
        QCOMPARE(host->panes[4], QString("模式名称: ABCDEFGHIJKLMNOPQRST"));
        // A 20-character name shows whole in the closed list and in the open one.
        slotList->setCurrentIndex(19);
        name->setText("MAIN STAGE EVENING 1");
        boxes.answer(MsgAnswer::Yes);
        save->click();
        QVERIFY(lastBox("成功保存模式!", "Quellmar"));
        const int textWidth = slotList->fontMetrics().horizontalAdvance(slotList->itemText(19));
        QStyleOptionComboBox option;
        option.initFrom(slotList);
        const QRect field = slotList->style()->subControlRect(
            QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, slotList);
        QVERIFY2(textWidth <= field.width(), qPrintable(QString::number(field.width())));
        slotList->showPopup();
        QAbstractItemView* view = slotList->view();
        QTRY_VERIFY(view->isVisible());
        QVERIFY(textWidth < view->visualRect(view->model()->index(19, 0)).width());
        slotList->hidePopup();

        // The unit keeps characters 32-127 only: a name of others alone is refused before
        // anything is sent, and the slot keeps its name.
        const QString keeps(
            "设备只能保存英文字母、数字、空格和半角符号 (ASCII 32-127), 不能保存: ");
        sim.clearRequests(0);
        slotList->setCurrentIndex(5);
        name->setText("主舞台模式");
        save->click();
        QVERIFY(lastBox(keeps + "主舞台模式", "错误"));
        QVERIFY(sent().empty());
        QCOMPARE(QString::fromStdString(editor->edit().image().deviceModeName(5)).trimmed(),
                 QString("Mode 6"));
        // Mixed: the name without them is offered; No sends nothing, Yes stores it.
        name->setText("Main 主舞台 Stage");
        boxes.answer(MsgAnswer::No);
        save->click();
        QVERIFY(lastBox(keeps + "主舞台\n是否改用 \"Main  Stage\" ?", "Quellmar"));
        QVERIFY(sent().empty());
        QCOMPARE(name->text(), QString("Main 主舞台 Stage"));
        boxes.answer(MsgAnswer::Yes);
        boxes.answer(MsgAnswer::Yes);
        save->click();
        QVERIFY(lastBox("成功保存模式!", "Quellmar"));
        QCOMPARE(name->text(), QString("Main  Stage"));
        QCOMPARE(sim::decodeWireText(sim.state(0).modes[5].nameWire, sim::kNameBytes),
                 std::string("Main  Stage"));
        QCOMPARE(slotList->itemText(5), QString("6. Main  Stage"));

        // The device name alike.
        sim.clearRequests(0);
        find<QLineEdit>(Id::kDeviceName)->setText("大厅");
        find<QPushButton>(Id::kRename)->click();
        QVERIFY(lastBox(keeps + "大厅", "错误"));
        QVERIFY(sent().empty());
    }

    void pcModesSaveAndApply() {
        auto* list = find<QTableWidget>(Id::kPcModes);
        QCOMPARE(list->rowCount(), 32);
        QVERIFY(list->horizontalHeader()->length() <= list->viewport()->width());
        QCOMPARE(list->item(2, 1)->text(), QString("-"));
        QCOMPARE(page->pcModeRow(), 0);
        page->setToday([] { return QDate(2026, 12, 6); });
        find<QLineEdit>(Id::kPcModeName)->setText("old");
        clickRow(list, 2);
        QCOMPARE(find<QLineEdit>(Id::kPcModeName)->text(), QString());  // not the row's "-"
        find<QLineEdit>(Id::kPcModeName)->setText("Festival");
        boxes.answer(MsgAnswer::Yes);
        find<QPushButton>(Id::kSaveToPc)->click();
        QVERIFY(boxes.shown().size() == 1);  // the question, nothing after it
        QCOMPARE(list->item(2, 1)->text(), QString("Festival"));
        QCOMPARE(list->item(2, 2)->text(), QString("2026-12-6"));
        ModeFileStore disk(dir.path());
        disk.load(kModel);
        const ModeRecord saved = *disk.record(kModel, 2);
        QCOMPARE(saved.date(), std::string("2026-12-6"));
        QVERIFY(saved == editor->edit().image().record());

        // A used row goes to the unit; the unit's parameters are the record's afterwards.
        ModeRecord festival = saved;
        festival.input(1).setGain(71);
        festival.output(4).setDelay(1234);
        festival.output(0).point(2) = EqPoint{0, 60, 130, 9};
        festival.output(5).setLowPassType(4);
        store->setRecord(kModel, 5, festival);
        page->refresh();
        clickRow(list, 5);
        boxes.answer(MsgAnswer::Yes);
        find<QPushButton>(Id::kApply)->click();
        QCOMPARE(boxes.shown().size(), size_t{2});  // the question alone
        ModeRecord onUnit = test::expectedRecord(sim.state(0));
        onUnit.setUsed(true);
        onUnit.setName(festival.name());
        onUnit.setDate(festival.date());
        QVERIFY(onUnit == festival);
        QVERIFY(editor->edit().image().record() == festival);
        QTRY_COMPARE(lastCode(), 0x13);
        QCOMPARE(sent().back().payload[0], uint8_t{0});
        QVERIFY(!unit->hasFlag(linkflag::kMeterPaused));

        // An empty row is refused and nothing is sent.
        sim.clearRequests(0);
        clickRow(list, 7);
        boxes.answer(MsgAnswer::Yes);
        find<QPushButton>(Id::kApply)->click();
        QVERIFY(lastBox("该电脑模式是空的, 不能应用到设备!", "Quellmar"));
        QTest::qWait(100);
        QVERIFY(sent().empty());
    }

    // A mode file that cannot be written is told in the window's language; the path and the
    // system's own words stay as they are.
    void failedSaveReadsInTheWindowsLanguage() {
        editor.reset();
        host = std::make_unique<test::TestEditorHost>(host->link, dir.filePath("missing"));
        store = &host->modeFiles();
        editor = test::openEditor(unit, *host);
        page = editor->systemDlg();
        editor->show();
        editor->showPage(CQelEquipmentDlg::kSystem);
        auto saveFails = [&] {
            boxes.clear();
            find<QLineEdit>(Id::kPcModeName)->setText("Festival");
            boxes.answer(MsgAnswer::Yes);
            find<QPushButton>(Id::kSaveToPc)->click();
            return boxes.shown().size() == 2 ? boxes.shown().back().text : QString();
        };
        const QString path = store->filePath(kModel);
        const QString chinese = saveFails();
        QVERIFY(Language::install(*QCoreApplication::instance(), Language::kEnglish));
        const QString english = saveFails();
        for (auto* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
        QCOMPARE(chinese.section(path, 0, 0), QString("保存模式文件失败: 无法为 "));
        QCOMPARE(english.section(path, 0, 0),
                 QString("Saving the mode file failed: cannot create a temporary file for "));
    }

    void pcModeNamesAreGbkAsTheWindowsProgramKeepsThem() {
        ModeRecord named;
        named.setUsed(true);
        named.setNameBytes(test::gbk("主舞台模式"));
        store->setRecord(kModel, 0, named);
        named.setNameBytes("\x81\x30ok");  // not GBK
        store->setRecord(kModel, 1, named);
        QVERIFY(store->save(kModel).ok);
        page->refresh();
        auto* list = find<QTableWidget>(Id::kPcModes);
        auto* name = find<QLineEdit>(Id::kPcModeName);
        QCOMPARE(list->item(0, 1)->text(), QString("主舞台模式"));
        QCOMPARE(list->item(1, 1)->text(), QString("\uFFFD0ok"));
        auto save = [&](int row, const QString& text) {
            clickRow(list, row);
            if (!text.isNull()) name->setText(text);
            boxes.clear();
            boxes.answer(MsgAnswer::Yes);
            find<QPushButton>(Id::kSaveToPc)->click();
            ModeFileStore disk(dir.path());
            disk.load(kModel);
            return *disk.record(kModel, row);
        };
        // Saved under the name it shows, a row keeps its bytes.
        page->setToday([] { return QDate(2027, 3, 4); });
        ModeRecord saved = save(1, QString());
        QVERIFY(lastBox("您确定要保存当前模式到电脑吗 ?", "Quellmar"));  // and nothing after it
        QCOMPARE(saved.date(), std::string("2027-3-4"));
        QCOMPARE(saved.nameBytes(), std::string("\x81\x30ok"));
        // New names go in GBK, cut between characters, and a cut is said.
        saved = save(4, "中文名称测试 ABC");
        QCOMPARE(boxes.shown().size(), size_t{1});
        QCOMPARE(saved.nameBytes(), test::gbk("中文名称测试 ABC"));
        saved = save(5, "ABCDEFGHIJKLMNOPQRS中文");
        QCOMPARE(saved.nameBytes(), std::string("ABCDEFGHIJKLMNOPQRS"));
        QVERIFY(lastBox("模式名称超过 20 个字节, 已缩短为 \"ABCDEFGHIJKLMNOPQRS\"。", "Quellmar"));
        // A character GBK lacks: refused before the question, nothing saved.
        saved = save(6, "Live 🎤");
        QCOMPARE(boxes.shown().size(), size_t{1});
        QVERIFY(lastBox("模式文件用 GBK 编码保存名称, 不能保存这些字符: 🎤", "错误"));
        QVERIFY(!saved.isUsed());
        QCOMPARE(list->item(6, 1)->text(), QString("-"));
    }

    void recallReadsTheUnitAgain() {
        auto s = sim.state(0);
        s.modes[2].params.in[0].gain = 110;
        s.modes[2].params.out[3].delay = 4800;
        sim.setState(0, s);
        editor->edit().setGain(cmd::outputChannel(2), 77);
        QCOMPARE(editor->history().count(), 1);
        find<QComboBox>(Id::kSlot)->setCurrentIndex(2);
        boxes.answer(MsgAnswer::Yes);
        find<QPushButton>(Id::kRecallSlot)->click();
        QCOMPARE(editor->history().count(), 0);  // the steps no longer describe the unit
        QCOMPARE(sent()[0].code, 0x11);
        QCOMPARE(sent()[1].code, 0x13);
        QCOMPARE(sent()[1].payload[0], uint8_t{2});
        QVERIFY(sent().size() > 20);  // the full read followed
        const ModeRecord& record = editor->edit().image().record();
        QCOMPARE(record.input(0).gain(), uint8_t{110});
        QCOMPARE(record.output(3).delay(), uint16_t{4800});
        QCOMPARE(unit->image().get(), &editor->edit().image());
        QCOMPARE(static_cast<CPanelGain*>(editor->page(1))->fader(0)->code(), 110);
        QCOMPARE(host->panes[3], QString("模式序号: 3"));
        QCOMPARE(host->panes[4].trimmed(), QString("模式名称: Mode 3"));
        QCOMPARE(boxes.shown().size(), size_t{1});
    }

    void silentUnitGivesTimeOuts() {
        sim::Faults silent;
        silent.silentCodes = {0x04, 0x10, 0x11, 0x0C};
        sim.setFaults(0, silent);
        find<QPushButton>(Id::kRename)->click();
        QVERIFY(lastBox("修改设备名称错误! 超时!", "Quellmar"));
        auto s = sim.state(0);
        s.engineering = true;
        sim.setState(0, s);
        find<QComboBox>(Id::kSlot)->setCurrentIndex(1);
        find<QLineEdit>(Id::kSlotName)->setText("Late");
        boxes.answer(MsgAnswer::Yes);
        find<QPushButton>(Id::kSaveSlot)->click();
        QVERIFY(lastBox("保存错误模式, 超时!", "Quellmar"));
        QCOMPARE(editor->edit().image().deviceModeName(1), std::string("Late"));
        boxes.answer(MsgAnswer::Yes);
        find<QPushButton>(Id::kRecallSlot)->click();
        QVERIFY(lastBox("错误: 超时!", "Quellmar"));
        // A download with writes the unit did not take says so.
        ModeRecord used;
        used.setUsed(true);
        store->setRecord(kModel, 0, used);
        page->refresh();
        boxes.answer(MsgAnswer::Yes);
        find<QPushButton>(Id::kApply)->click();
        QVERIFY(lastBox("错误: 超时!", "Quellmar"));
    }

    void cleanupTestCase() {
        sim.stop();
        setMessageBoxes(nullptr);
    }

private:
    template <typename T>
    T* find(int id) {
        T* w = page->findChild<T*>(QString::number(id));
        if (!w) qFatal("no control %d", id);
        return w;
    }

    void clickRow(QTableWidget* list, int row) {
        const QRect cell = list->visualRect(list->model()->index(row, 1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    }

    // The last box shown had this text and caption.
    bool lastBox(const QString& text, const char* caption) const {
        if (boxes.shown().empty()) return false;
        const auto& box = boxes.shown().back();
        if (box.text == text && box.caption == QString(caption)) return true;
        qWarning("last box: %s / %s", qPrintable(box.text), qPrintable(box.caption));
        return false;
    }

    // Unit-wide requests the unit received, without the meter reads.
    std::vector<Sent> sent() const {
        std::vector<Sent> out;
        for (const auto& r : sim.requests(0)) {
            if ((r.frame[5] >> 4) != 0 || r.frame[9] == 0x07) continue;
            out.push_back({r.frame[5], r.frame[9], {r.frame.begin() + 10, r.frame.end()}});
        }
        return out;
    }

    int lastCode() const {
        const auto all = sent();
        return all.empty() ? -1 : all.back().code;
    }

    ScriptedMessageBoxes boxes;
    QTemporaryDir dir;
    sim::UnitSimulator sim;
    UdpEndpoint endpoint;
    std::string ip;
    std::unique_ptr<test::TestEditorHost> host;
    ModeFileStore* store = nullptr;  // the host's
    std::shared_ptr<Equipment> unit;
    std::unique_ptr<CQelEquipmentDlg> editor;
    CEqSystemDlg* page = nullptr;
};

QTEST_MAIN(SystemPageTest)
#include "SystemPageTest.moc"
