// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QAction>
#include <QDialog>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include "TextFit.h"
#include "controls/QelBtn.h"
#include "controls/QelTitle.h"
#include "editor/QelEquipmentDlg.h"
#include "editor/QelSyncBar.h"
#include "platform/Language.h"
#include "shell/QelBarEq.h"
#include "shell/QelEqMgr.h"
#include "shell/QelEqPanel.h"
#include "shell/ShowFiles.h"
#include "support/AppRig.h"

using namespace qel;

namespace {

// Only the translation of code is installed.
void useLanguage(const QString& code) {
    for (auto* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    Language::install(*QCoreApplication::instance(), code);
}

}  // namespace

// Every window of the program, in Chinese and in English, shows its texts whole.
class TextFitTest : public QObject {
    Q_OBJECT
private slots:
    void everyTextFits_data() {
        QTest::addColumn<QString>("language");
        QTest::newRow("zh") << QString(Language::kChinese);
        QTest::newRow("en") << QString(Language::kEnglish);
    }

    void everyTextFits() {
        QFETCH(QString, language);
        useLanguage(language);
        test::AppRig rig;
        QVERIFY(rig.addNetworkUnit(4, "Main Stage") >= 0);
        QVERIFY(rig.addNetworkUnit(3, "Delay Tower") >= 0);
        QVERIFY(rig.addNetworkUnit(2, "Fill") >= 0);
        const int rack = rig.addSerialUnit(2, "Rack", "COM16");
        QVERIFY(rack >= 0);
        QVERIFY(rig.start());
        test::TextFit fit;
        bool closeModals = false;  // the dialogs opened here close once looked at
        test::ModalSpy spy([&](QWidget* w) {
            fit.check(w);
            if (auto* dialog = qobject_cast<QDialog*>(w); dialog && closeModals) dialog->reject();
        });
        QTRY_COMPARE_WITH_TIMEOUT(rig.app().equipment().count(), size_t{4}, 20000);
        checkFrame(fit, rig.frame());
        for (const auto& unit : rig.app().equipment().snapshot()) {
            rig.frame().openUnit(unit);
            QVERIFY(unit->hasFlag(linkflag::kParamsRead));
            checkFrame(fit, rig.frame());
            if (unit->hasFlag(linkflag::kSerial)) lookAtSilentUnit(fit, rig, *unit, rack);
            if (!QTest::currentTestFailed()) lookAtEditor(fit, *rig.frame().editorOf(*unit));
            if (QTest::currentTestFailed()) return;
        }
        closeModals = true;
        for (int command :
             {command::kLocalAddress, command::kNetwork, command::kAbout, command::kRemote})
            rig.frame().action(command)->trigger();
        // The show table, one row per unit of a file saved from these.
        QTemporaryDir shows;
        QVERIFY(rig.frame().showFiles().save(shows.filePath("show.json")));
        checkFrame(fit, rig.frame());  // the status bar says so
        QVERIFY(!rig.frame().showFiles().open(shows.filePath("show.json")));
        for (const QString& cut : fit.cuts()) qWarning().noquote() << cut;
        QVERIFY2(fit.cuts().isEmpty(), qPrintable(QString("%1 texts cut").arg(fit.cuts().size())));
    }

private:
    // After the layout took the sizes the frame's bars asked for.
    static void checkFrame(test::TextFit& fit, CMainFrame& frame) {
        QCoreApplication::processEvents();
        fit.check(&frame);
    }

    // A unit that stops answering says so in its row, which the bar shows whole.
    static void lookAtSilentUnit(test::TextFit& fit, test::AppRig& rig, const Equipment& unit,
                                 int simUnit) {
        rig.sim().setSilenced(simUnit, true);
        QTRY_VERIFY_WITH_TIMEOUT(unit.notAnswering(), 5000);
        const CQelEqMgr* list = rig.frame().equipmentPanel()->dialog()->equipmentPage()->list();
        QTRY_VERIFY(list->rowsWidth() <= list->width());
        checkFrame(fit, rig.frame());
        rig.sim().setSilenced(simUnit, false);
    }

    // Each page by a click on its tab, with the link up and once it is lost.
    static void lookAtEditor(test::TextFit& fit, CQelEquipmentDlg& editor) {
        CQelTitle* strip = editor.title();
        for (bool lost : {false, true}) {
            if (lost) {
                editor.unit().requestStop();
                QTRY_COMPARE(editor.syncBar()->state(), CQelSyncBar::State::Lost);
                // Its button offers 重连 in the control font, not squeezed.
                const CQelBtn* button = editor.syncBar()->button();
                QCOMPARE(button->textFont(button->text()), button->font());
            }
            for (int tab = 0; tab < strip->tabCount(); ++tab) {
                QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(tab).center());
                QCOMPARE(editor.currentPage(), tab + 1);
                fit.check(&editor);
            }
        }
    }
};

QTEST_MAIN(TextFitTest)
#include "TextFitTest.moc"
