// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "controls/MessageBoxes.h"
#include "device/EventLog.h"
#include "device/EventLogFiles.h"
#include "shell/EventLogDlg.h"

using namespace qel;

namespace {
EventRecord edit(const QString& unit, const QString& time, const QString& origin, double from,
                 double to) {
    EventRecord r;
    r.time = QDateTime::fromString(time, Qt::ISODate);
    r.kind = QStringLiteral("edit");
    r.unit = unit;
    r.address = QStringLiteral("192.168.6.20");
    r.origin = origin;
    r.channel = QStringLiteral("out:1");
    r.setting = QStringLiteral("gainDb");
    r.from = from;
    r.to = to;
    r.edits = 5;
    return r;
}
}  // namespace

class EventLogWindowTest : public QObject {
    Q_OBJECT

private slots:
    // Yesterday's file with a garbage line and today's entries: the window shows them all and
    // says what it skipped, filters by unit and kind, takes new entries live and exports the
    // rows it shows as CSV.
    void showsFiltersAndExportsTheLog() {
        QTemporaryDir dir;
        const QDate today = QDate::currentDate();
        const QString yesterday = today.addDays(-1).toString(Qt::ISODate);
        EventLog log(dir.path());
        log.add(edit(QStringLiteral("Stage-L (QD408)"), yesterday + "T21:00:00",
                     QStringLiteral("client:Tablet \"2\""), -3, -6.5));
        log.add(edit(QStringLiteral("Fill, Front (QD206)"), yesterday + "T21:00:05",
                     QStringLiteral("desktop"), 0, 1));
        EventRecord lost;
        lost.kind = QStringLiteral("lost");
        lost.unit = QStringLiteral("Stage-L (QD408)");
        log.add(lost);
        log.writeQueued();
        QFile file(dir.filePath(eventlog::fileName(today.addDays(-1))));
        QVERIFY(file.open(QIODevice::Append));
        file.write("\x01\x02 not json\n");
        file.close();

        EventLogDlg window(log, nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        EventLogModel& model = window.model();
        QCOMPARE(model.rowCount(), 3);
        QVERIFY(window.skippedLabel()->isVisible());
        QVERIFY(window.skippedLabel()->text().contains(QLatin1Char('1')));

        QComboBox* units = window.unitBox();
        units->setCurrentIndex(units->findData(QStringLiteral("Stage-L (QD408)")));
        QCOMPARE(model.rowCount(), 2);
        QComboBox* kinds = window.kindBox();
        kinds->setCurrentIndex(kinds->findData(QStringLiteral("edit")));
        QCOMPARE(model.rowCount(), 1);
        log.add(edit(QStringLiteral("Stage-L (QD408)"), today.toString(Qt::ISODate) + "T08:00:00",
                     QStringLiteral("group:Mains"), -6.5, -4));
        QCOMPARE(model.rowCount(), 2);  // live
        log.alarm(Equipment(), QStringLiteral("clip"), true);  // another kind: not shown
        QCOMPARE(model.rowCount(), 2);

        const QString csv = dir.filePath("out.csv");
        QVERIFY(window.exportCsv(csv));
        QFile out(csv);
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(out.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith(QStringLiteral("\"时间\",\"设备\",\"地址\",\"事件\"")));
        QVERIFY(lines[1].startsWith("\"" + yesterday + " 21:00:00\",\"Stage-L (QD408)\""));
        QVERIFY(lines[1].contains(QStringLiteral("\"远程: Tablet \"\"2\"\"\"")));
        QVERIFY(lines[1].contains(QStringLiteral("\"-3 → -6.5 (5 次)\"")));
        QVERIFY(lines[2].contains(QStringLiteral("\"编组: Mains\"")));
        for (const QString& line : lines) QCOMPARE(line.count(QStringLiteral("\",\"")), 8);

        units->setCurrentIndex(units->findData(QStringLiteral("Fill, Front (QD206)")));
        kinds->setCurrentIndex(0);
        QCOMPARE(model.rowCount(), 1);
        ScriptedMessageBoxes boxes;
        setMessageBoxes(&boxes);
        QVERIFY(!window.exportCsv(dir.filePath("no/such/folder/out.csv")));
        setMessageBoxes(nullptr);
        QCOMPARE(boxes.shown().size(), size_t(1));
    }
};

QTEST_MAIN(EventLogWindowTest)
#include "EventLogWindowTest.moc"
