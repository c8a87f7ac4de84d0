// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// Show files in the window: every listed unit saved into one file; the file opened again is
// matched to the list, its differences shown in a table, and sent with proven downloads.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include "controls/QelText.h"
#include "device/DownloadVerify.h"
#include "device/GroupControl.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/UnitText.h"
#include "editor/PanelGain.h"
#include "editor/QelEquipmentDlg.h"
#include "link/Equipment.h"
#include "shell/ShowFiles.h"
#include "shell/ShowTableDlg.h"
#include "shell/VirtualUnits.h"
#include "support/AppRig.h"

using namespace qel;

namespace {

// What the table showed for one file unit.
struct Row {
    int choice = 0;
    int differences = 0;
    bool sent = false;
};

// Looks at the show table once it shows, then lets act answer it.
std::unique_ptr<test::ModalSpy> onTable(std::vector<Row>& rows,
                                        std::function<void(ShowTableDlg&)> act) {
    return std::make_unique<test::ModalSpy>([&rows, act, seen = false](QWidget* w) mutable {
        auto* table = qobject_cast<ShowTableDlg*>(w);
        if (!table || !table->isVisible() || seen) return;
        seen = true;
        for (int row = 0; row < table->rowCount(); ++row)
            rows.push_back({table->choice(row), table->differences(row), table->sent(row)});
        act(*table);
    });
}

// Answers the file window with path once it shows.
std::unique_ptr<test::ModalSpy> chooseFile(const QString& path) {
    return std::make_unique<test::ModalSpy>([path](QWidget* w) {
        auto* files = qobject_cast<QFileDialog*>(w);
        if (!files || !files->isVisible()) return;
        files->selectFile(path);
        static_cast<QDialog*>(files)->accept();  // QFileDialog::accept, as its button does
    });
}

std::shared_ptr<Equipment> unitNamed(test::AppRig& rig, const std::string& name) {
    for (const auto& unit : rig.app().equipment().snapshot())
        if (unpaddedUnitText(unit->deviceName()) == name) return unit;
    return nullptr;
}

int listIndex(test::AppRig& rig, const std::string& name) {
    const auto units = rig.app().equipment().snapshot();
    for (size_t i = 0; i < units.size(); ++i)
        if (unpaddedUnitText(units[i]->deviceName()) == name) return static_cast<int>(i);
    return -1;
}

double dbOf(uint8_t gainCode) {
    return gainCode / 2.0 - 50;
}

uint8_t otherGain(uint8_t code) {
    return code == 80 ? 90 : 80;
}

QString lastBox(test::AppRig& rig) {
    return rig.boxes().shown().empty() ? QString() : rig.boxes().shown().back().text;
}

}  // namespace

class ShowFilesTest : public QObject {
    Q_OBJECT
private slots:
    // Two real units (one in its editor) and a virtual one are saved; both real units are
    // changed; the file puts them back, and the editor shows it. Then one real unit is gone
    // by the time OK is pressed: it is named, the other is done.
    void aSavedShowPutsChangedUnitsBack() {
        QTemporaryDir dir;
        test::AppRig rig;
        const int mainSim = rig.addNetworkUnit(4, "Main Stage");
        const int fillSim = rig.addNetworkUnit(2, "Fill");
        QVERIFY(rig.start());
        QTRY_COMPARE_WITH_TIMEOUT(rig.app().equipment().count(), size_t{2}, 10000);
        QVERIFY(rig.app().virtualUnits().add(3, "Home", rig.app().equipment()));
        const auto main = unitNamed(rig, "Main Stage"), fill = unitNamed(rig, "Fill");
        rig.frame().openUnit(main);
        CQelEquipmentDlg* editor = rig.frame().editorOf(*main);
        QVERIFY(editor);
        auto* gains = static_cast<CPanelGain*>(editor->page(CQelEquipmentDlg::kGain));
        const QString path = dir.filePath("venue.json");
        GroupControl& groups = rig.app().groups();
        QVERIFY(groups.addGroup("Mains") &&
                groups.addMember("Mains", {"Main Stage", model::kQD408, cmd::outputChannel(1)}));
        QVERIFY(rig.frame().showFiles().save(path));
        QVERIFY(groups.removeGroup("Mains"));  // the file brings it back
        QVERIFY(!fill->linkRunning());         // read for the file, then let go again
        const sim::UnitState mainSaved = rig.sim().state(mainSim),
                             fillSaved = rig.sim().state(fillSim);
        for (int round = 0; round < 2; ++round) {
            const uint8_t mainGain = otherGain(mainSaved.params.out[0].gain);
            gains->gainTyped(gains->inputs(), QString::number(dbOf(mainGain)));  // output 1
            sim::UnitState fillChanged = fillSaved;
            fillChanged.params.out[0].gain = otherGain(fillSaved.params.out[0].gain);
            rig.sim().setState(fillSim, fillChanged);
            QTRY_COMPARE(rig.sim().state(mainSim).params.out[0].gain, mainGain);

            std::vector<Row> rows;
            auto spy = onTable(rows, [&](ShowTableDlg& table) {
                if (round == 1) rig.sim().setSilenced(fillSim, true);
                table.accept();
            });
            QCOMPARE(rig.frame().showFiles().open(path), round == 0);
            spy.reset();
            QCOMPARE(rows.size(), size_t{3});
            for (const char* name : {"Main Stage", "Fill", "Home"}) {
                const Row& row = rows[static_cast<size_t>(listIndex(rig, name))];
                QCOMPARE(row.choice, listIndex(rig, name));  // the file kept the list's order
                const bool changed = std::string(name) != "Home";
                QCOMPARE(row.differences > 0, changed);
                QCOMPARE(row.sent, changed);
            }
            QCOMPARE(rig.sim().state(mainSim).params, mainSaved.params);
            QCOMPARE(editor->edit().image().record().output(0).gain(),
                     mainSaved.params.out[0].gain);
            QCOMPARE(gains->gainBox(gains->inputs())->text(),
                     QString::asprintf("%+.1f dB", dbOf(mainSaved.params.out[0].gain)));
            QCOMPARE(groups.groupNames(), std::vector<std::string>{"Mains"});
            if (round == 0) {
                QCOMPARE(rig.sim().state(fillSim).params, fillSaved.params);
                QCOMPARE(lastBox(rig), QString("2 台设备已收到演出文件的设置并读回验证。"));
            } else {
                QCOMPARE(rig.sim().state(fillSim).params, fillChanged.params);
                QCOMPARE(lastBox(rig),
                         QString("1 台设备已收到演出文件的设置并读回验证。\n\n以下设备没有成功:\n"
                                 "%1: 设备没有应答。")
                             .arg(ShowFiles::unitLabel(*fill)));
            }
            QVERIFY(!fill->linkRunning());
        }
    }

    // An exit asked for while the table waits for the user's answer is not held up by it: the
    // main window closes at once (the running program's quit then ends the table too), and
    // nothing is sent.
    void anExitWhileTheTableWaitsIsNotHeldUp() {
        QTemporaryDir dir;
        test::AppRig rig;
        const int mainSim = rig.addNetworkUnit(4, "Main Stage");
        QVERIFY(rig.start());
        QTRY_COMPARE_WITH_TIMEOUT(rig.app().equipment().count(), size_t{1}, 10000);
        const QString path = dir.filePath("venue.json");
        QVERIFY(rig.frame().showFiles().save(path));
        sim::UnitState changed = rig.sim().state(mainSim);
        changed.params.out[0].gain = otherGain(changed.params.out[0].gain);
        rig.sim().setState(mainSim, changed);
        bool closed = false;
        std::vector<Row> rows;
        auto spy = onTable(rows, [&](ShowTableDlg& table) {
            rig.frame().exitOnRequest();
            QTimer::singleShot(1000, &table, [&] {
                closed = !rig.frame().isVisible();
                table.reject();
            });
        });
        auto files = chooseFile(path);
        rig.frame().action(command::kOpenShow)->trigger();
        QCOMPARE(rows.size(), size_t{1});
        QVERIFY(closed);
        QCOMPARE(rig.sim().state(mainSim).params, changed.params);
    }

    // Two units of one model and one name cannot be told apart in a show: nothing is written.
    void twoUnitsOfOneNameAreNotSaved() {
        QTemporaryDir dir;
        test::AppRig rig;
        QVERIFY(rig.addNetworkUnit(2, "Fill") >= 0 && rig.addNetworkUnit(2, "Fill") >= 0);
        QVERIFY(rig.start());
        QTRY_COMPARE_WITH_TIMEOUT(rig.app().equipment().count(), size_t{2}, 10000);
        const QString path = dir.filePath("venue.json");
        QVERIFY(!rig.frame().showFiles().save(path));
        QVERIFY(!QFile::exists(path));
        const auto units = rig.app().equipment().snapshot();
        QCOMPARE(lastBox(rig),
                 QString("%1 和 %2 同名, 演出文件没有保存: 文件中同一型号的设备各要有自己的名称。"
                         "请先在编辑器的系统页给其中一台改名。")
                     .arg(ShowFiles::unitLabel(*units[0]), ShowFiles::unitLabel(*units[1])));
    }

    // A bad value in one unit refuses the whole file with the unit and the path, and nothing
    // reaches any unit. A unit the list does not have is offered as none, or as a new virtual
    // unit that then holds the file's settings.
    void aBrokenFileIsRefusedAndAnUnmatchedUnitCanBecomeVirtual() {
        QTemporaryDir dir;
        test::AppRig rig;
        const int mainSim = rig.addNetworkUnit(4, "Main Stage");
        const int fillSim = rig.addNetworkUnit(2, "Fill");
        QVERIFY(rig.start());
        QTRY_COMPARE_WITH_TIMEOUT(rig.app().equipment().count(), size_t{2}, 10000);
        const QString path = dir.filePath("venue.json");
        QVERIFY(rig.frame().showFiles().save(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QJsonObject show = QJsonDocument::fromJson(file.readAll()).object();
        file.close();
        const int fillAt = listIndex(rig, "Fill");
        auto edited = [&](const QString& name, const std::function<void(QJsonObject&)>& edit) {
            QJsonArray units = show["units"].toArray();
            QJsonObject unit = units[fillAt].toObject();
            edit(unit);
            units[fillAt] = unit;
            QJsonObject changed = show;
            changed["units"] = units;
            const QString out = dir.filePath(name);
            QFile f(out);
            f.open(QIODevice::WriteOnly);
            f.write(QJsonDocument(changed).toJson());
            return out;
        };

        const QString broken = edited("broken.json", [](QJsonObject& unit) {
            QJsonObject settings = unit["settings"].toObject();
            QJsonArray outputs = settings["outputs"].toArray();
            QJsonObject first = outputs[0].toObject();
            first["gainDb"] = 99;
            outputs[0] = first;
            settings["outputs"] = outputs;
            unit["settings"] = settings;
        });
        rig.sim().clearRequests(mainSim);
        rig.sim().clearRequests(fillSim);
        std::vector<Row> rows;
        auto spy = onTable(rows, [](ShowTableDlg& table) { table.reject(); });
        QVERIFY(!rig.frame().showFiles().open(broken));
        QVERIFY(rows.empty());
        QVERIFY(lastBox(rig).startsWith("演出文件有错误, 没有发送任何设置:\n设备 \"Fill\": "));
        QVERIFY(
            lastBox(rig).contains(QString("units[%1].settings.outputs[0].gainDb: ").arg(fillAt)));
        QVERIFY(rig.sim().requests(mainSim).empty() && rig.sim().requests(fillSim).empty());

        const QString elsewhere =
            edited("elsewhere.json", [](QJsonObject& unit) { unit["name"] = "Spare"; });
        const ShowRead wanted = [&] {
            QFile f(elsewhere);
            f.open(QIODevice::ReadOnly);
            return readShowJson(f.readAll());
        }();
        QVERIFY(wanted.ok());
        spy = onTable(rows, [&](ShowTableDlg& table) {
            // Fill picked by hand is read and counted: it holds what the file holds.
            table.choose(fillAt, fillAt);
            rows.push_back({table.choice(fillAt), table.differences(fillAt), table.sent(fillAt)});
            table.choose(fillAt, ShowTableDlg::kNewVirtual);
            rows.push_back({table.choice(fillAt), table.differences(fillAt), table.sent(fillAt)});
            table.accept();
        });
        QVERIFY(rig.frame().showFiles().open(elsewhere));
        spy.reset();
        QCOMPARE(rows.size(), size_t{4});  // the two file units, then the row as chosen
        QCOMPARE(rows[static_cast<size_t>(fillAt)].choice, ShowTableDlg::kNone);
        QVERIFY(!rows[static_cast<size_t>(fillAt)].sent);
        QCOMPARE(rows[2].choice, fillAt);
        QCOMPARE(rows[2].differences, 0);
        QVERIFY(!rows[2].sent);
        QCOMPARE(rows[3].choice, ShowTableDlg::kNewVirtual);
        QVERIFY(rows[3].sent);
        QCOMPARE(rows[static_cast<size_t>(1 - fillAt)].differences, 0);  // nothing to send
        const auto spare = unitNamed(rig, "Spare");
        QVERIFY(spare && spare->isVirtual());
        QCOMPARE(spare->modelCode(), 2u);
        rig.frame().openUnit(spare);
        QVERIFY(spare->hasFlag(linkflag::kParamsRead));
        QVERIFY(DownloadVerify::compare(wanted.units[static_cast<size_t>(fillAt)].record,
                                        spare->image()->record(), 2)
                    .empty());
    }
};

QTEST_MAIN(ShowFilesTest)
#include "ShowFilesTest.moc"
