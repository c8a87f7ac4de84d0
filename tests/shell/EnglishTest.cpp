// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QLabel>
#include <QMenu>
#include <QtTest>

#include "controls/QelButton.h"
#include "controls/QelStatic.h"
#include "controls/QelTitle.h"
#include "platform/Language.h"
#include "shell/MainFrame.h"
#include "shell/MyStatusBar.h"
#include "shell/QelEqMgr.h"
#include "shell/QuellmarApp.h"
#include "support/AppRig.h"

using namespace qel;

namespace {

bool hasChinese(const QString& text) {
    for (QChar c : text)
        if ((c.unicode() >= 0x3000 && c.unicode() <= 0x9FFF) ||
            (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF))
            return true;
    return false;
}

// Every text a window shows, but the language menu, which names both languages on purpose.
QStringList textsOf(QWidget* root) {
    QStringList texts{root->windowTitle()};
    const auto* languages = root->findChild<QMenu*>("Qel.LanguageMenu");
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (w == languages) continue;
        texts << w->windowTitle() << w->toolTip();
        if (auto* l = qobject_cast<QLabel*>(w)) texts << l->text();
        if (auto* s = qobject_cast<CQelStatic*>(w)) texts << s->text();
        if (auto* b = qobject_cast<CQelButton*>(w)) texts << b->text();
        if (auto* m = qobject_cast<QMenu*>(w)) texts << m->title();
        if (auto* t = qobject_cast<CQelTitle*>(w))
            for (int i = 0; i < t->tabCount(); ++i) texts << t->tabText(i);
        if (auto* bar = qobject_cast<CMyStatusBar*>(w))
            for (int i = 0; i < bar->paneCount(); ++i) texts << bar->paneText(i);
    }
    for (QAction* a : root->findChildren<QAction*>())
        if (a->parent() != languages) texts << a->text() << a->toolTip() << a->statusTip();
    return texts;
}

}  // namespace

// The main window, the search window and the connection window in English.
class EnglishTest : public QObject {
    Q_OBJECT
private slots:
    void windowsShowNoChinese() {
        QVERIFY(Language::install(*QCoreApplication::instance(), Language::kEnglish));
        test::AppRig rig;
        QVERIFY(rig.addNetworkUnit(2, "Fill") >= 0);
        QVERIFY(rig.start());
        CQuellmarApp& app = rig.app();
        CMainFrame& frame = rig.frame();
        // The search and connection windows are modal: their texts are read while they run.
        QStringList modal;
        auto spy = std::make_unique<test::ModalSpy>([&](QWidget* w) { modal << textsOf(w); }, true);
        QTRY_COMPARE_WITH_TIMEOUT(app.equipment().count(), size_t{1}, 5000);
        const auto unit = app.equipment().at(0);
        QCOMPARE(CQelEqMgr::secondLine(*unit), QString("State:not connected (UDP)"));  // found
        frame.openUnit(unit);
        QVERIFY(unit->hasFlag(linkflag::kParamsRead));
        spy.reset();
        QVERIFY(modal.contains(" Search Equipment"));
        QVERIFY(modal.contains(" Connect Unit"));
        QStringList texts = modal + textsOf(&frame);
        texts << CQelEqMgr::firstLine(*unit) << CQelEqMgr::secondLine(*unit);
        QVERIFY(texts.contains("&Search Equipment"));
        for (const QString& t : texts) QVERIFY2(!hasChinese(t), qPrintable(t));
    }
};

QTEST_MAIN(EnglishTest)
#include "EnglishTest.moc"
