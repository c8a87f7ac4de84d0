// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QSpinBox>
#include <QTest>
#include <cmath>

#include "controls/QelText.h"
#include "device/ValueCodes.h"
#include "device/EditHistory.h"
#include "editor/PanelEqo.h"
#include "editor/QelEquipmentDlg.h"
#include "editor/TypedValue.h"
#include "eqresponse/view/QelEqView.h"
#include "link/EquipmentList.h"
#include "remote/RemoteHub.h"
#include "remote/dialog/RemoteDlg.h"
#include "support/AppRig.h"
#include "support/WebSocketClient.h"

using namespace qel;

namespace {

// The browser's script, talking one JSON line at a time; the event loop runs while it waits,
// as the remote hub lives on it.
class BrowserScript {
public:
    explicit BrowserScript(const QStringList& args) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral("/usr/bin/python3"),
                       QStringList{QUELLMAR_WINDOW_DRAG} + args);
    }
    // Its input closed, the script fails and quits its browser.
    ~BrowserScript() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(30000)) process_.kill();
    }
    QJsonObject next() {
        const QDeadlineTimer deadline(120000);
        while (!process_.canReadLine() && process_.state() != QProcess::NotRunning &&
               !deadline.hasExpired())
            QTest::qWait(20);
        return QJsonDocument::fromJson(process_.readLine()).object();
    }
    void say(const QByteArray& line) { process_.write(line + '\n'); }
    // Its exit code once ended, -1 when it did not end within a minute.
    int finished() {
        const QDeadlineTimer deadline(60000);
        while (process_.state() != QProcess::NotRunning && !deadline.hasExpired()) QTest::qWait(20);
        return process_.state() == QProcess::NotRunning ? process_.exitCode() : -1;
    }

private:
    QProcess process_;
};

// The EQ view's summed curve in dB, as the remote sends a channel's curve.
std::vector<double> viewCurve(const CQelEqView& view) {
    const EqCurves& curves = view.curves();
    std::vector<double> db;
    for (float px : curves.sum()) db.push_back(-px * 36.0 / (curves.plotHeight() - 2));
    return db;
}

double largestGap(const std::vector<double>& a, const QJsonArray& b) {
    double gap = a.size() == size_t(b.size()) ? 0 : INFINITY;
    for (size_t j = 0; j < a.size() && j < size_t(b.size()); ++j)
        gap = std::max(gap, std::abs(a[j] - b[qsizetype(j)].toDouble()));
    return gap;
}

}  // namespace

// The remote control of the window program in a real browser: an output's EQ point dragged on
// a tablet-sized page moves in the open editor and in the unit, and the editor's undo shows on
// the page.
class RemoteWindowBrowserTest : public QObject {
    Q_OBJECT

private slots:
    void aPointDraggedInTheBrowserMovesTheEditorAndTheUnit() {
        constexpr int kOutput = 2, kPoint = 4;
        test::AppRig rig;
        const int sim = rig.addNetworkUnit(4, "Main Stage");
        QVERIFY(sim >= 0 && rig.start());
        QTRY_COMPARE_WITH_TIMEOUT(rig.app().equipment().count(), size_t{1}, 5000);
        const auto unit = rig.app().equipment().at(0);
        rig.frame().openUnit(unit);
        CQelEquipmentDlg* editor = rig.frame().editorOf(*unit);
        QVERIFY(editor);
        for (int i = 0; i < 2; ++i)  // the page first, then its channel
            editor->chooseTab(CQelEquipmentDlg::kOutputEq, kOutput + 1, 0);
        auto* page = static_cast<CPanelEqo*>(editor->page(CQelEquipmentDlg::kOutputEq));
        QCOMPARE(page->channel(), kOutput + 1);
        const std::vector<double> curveBefore = viewCurve(*page->view());

        RemoteHub& hub = rig.frame().remote();
        RemoteDlg dialog(hub, rig.app().configPath());
        dialog.portBox()->setValue(test::freeTcpPort());
        dialog.enabledBox()->setChecked(true);
        QVERIFY(hub.running());
        BrowserScript browser({dialog.urlText()->text(), hub.idOf(*unit), QString::number(kOutput),
                               QString::number(kPoint)});

        // Dragged up and to the right in the browser.
        const QJsonObject dragged = browser.next();
        QVERIFY2(!dragged.isEmpty(), "the browser did not drag");
        const QJsonObject before = dragged.value("before").toObject();
        const QJsonObject after = dragged.value("after").toObject();
        const double hz = after.value("frequencyHz").toDouble(),
                     db = after.value("gainDb").toDouble();
        QVERIFY(hz > before.value("frequencyHz").toDouble());
        QVERIFY(db > before.value("gainDb").toDouble() + 3);

        // The unit holds the point the browser shows.
        const auto held = [&] {
            return EqPoint::fromWire(rig.sim().state(sim).params.out[kOutput].eq[kPoint]);
        };
        QTRY_COMPARE_WITH_TIMEOUT(held().gain, QuantizeEqGain(db).code, 1000);
        QCOMPARE(held().freq, QuantizeFreq(hz).code);

        // The editor shows it: the point's boxes, the view's point and its curve, which is the
        // curve the browser drew.
        QCOMPARE(page->gainBox(kPoint)->text(), signedDbText(db));
        QCOMPARE(page->freqBox(kPoint)->text(), freqText(QuantizeFreq(hz).code));
        QCOMPARE(page->view()->point(kPoint), held());
        const std::vector<double> curve = viewCurve(*page->view());
        QVERIFY(largestGap(curve, dragged.value("curve").toArray()) < 0.3);
        QVERIFY(largestGap(curveBefore, dragged.value("curve").toArray()) > 3);

        // The editor takes it back: the unit and the browser follow.
        QVERIFY(editor->history().canUndo());
        editor->history().undo();
        QCOMPARE(page->gainBox(kPoint)->text(), signedDbText(before.value("gainDb").toDouble()));
        browser.say("undone");
        const QJsonObject undone = browser.next();
        QVERIFY2(undone.contains("undone"), "the browser did not show the undo");
        QTRY_COMPARE_WITH_TIMEOUT(held().gain,
                                  QuantizeEqGain(before.value("gainDb").toDouble()).code, 1000);
        QCOMPARE(held().freq, QuantizeFreq(before.value("frequencyHz").toDouble()).code);
        QCOMPARE(browser.finished(), 0);
    }
};

QTEST_MAIN(RemoteWindowBrowserTest)
#include "RemoteWindowBrowserTest.moc"
