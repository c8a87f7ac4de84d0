// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The event log over a week of a busy show, on a clock the benchmark steps itself.
//   bench_eventlog [--edits N] [--states N] [--dir FOLDER]
// Eight QD408s with their sessions (no link: the edits are taken by the image and logged, the
// commands refused). Every evening from 18:00 someone drags a setting (a gain, a delay or an
// EQ point of a random channel: 25 edits 40 ms apart) or taps a mute, then rests 5 to 60 s;
// the desk, two named tablets and a group take turns. State changes (not answering, back,
// lost, transfers, alarms) come between them. Reported:
// 1. the log's files: size, days, entries;
// 2. the edit path: the mean time of one edit with the log listening, and without;
// 3. opening the log's window on them: the files read and the table filled, and the window
//    shown (offscreen).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <random>

#include "device/EventLog.h"
#include "device/EventLogFiles.h"
#include "device/ModeImage.h"
#include "device/UnitSessions.h"
#include "link/Equipment.h"
#include "shell/EventLogDlg.h"

using namespace qel;

namespace {

constexpr int kUnits = 8, kDragEdits = 25, kEditStepMs = 40;

std::vector<std::shared_ptr<Equipment>> makeUnits() {
    std::vector<std::shared_ptr<Equipment>> units;
    for (int i = 0; i < kUnits; ++i) {
        auto unit = std::make_shared<Equipment>();
        unit->setModelCode(model::kQD408);
        unit->setModelName("QD408");
        unit->setDeviceName("Stage-" + std::to_string(i + 1));
        unit->setAddress(ipv4FromOctets(192, 168, 6, uint8_t(20 + i)));
        unit->setFlags(linkflag::kUdp | linkflag::kStop);    // no link, no meter thread
        unit->setImage(std::make_shared<ModeImage>());
        units.push_back(unit);
    }
    return units;
}

// One gesture on a unit: a drag of 25 edits or one tap. Returns the edits made.
int gesture(ParamEdit& edit, std::mt19937& random, qint64& clockMs) {
    const int kind = int(random() % 4);
    const int output = 1 + int(random() % 8);
    if (kind == 3) {
        edit.setMute(cmd::outputChannel(output), uint8_t(random() % 2));
        return 1;
    }
    const int start = 40 + int(random() % 40);
    const int point = int(random() % 9);
    EqPoint p = edit.image().record().output(output - 1).point(point);
    for (int i = 0; i < kDragEdits; ++i) {
        if (kind == 0) edit.setGain(cmd::outputChannel(output), uint8_t(start + i));
        if (kind == 1) edit.setDelay(output, uint16_t(start * 10 + i * 5));
        if (kind == 2) {
            p.gain = uint8_t(100 + i);
            p.freq = uint8_t(start + i);
            edit.setEqPoint(cmd::outputChannel(output), point, p);
        }
        clockMs += kEditStepMs;
    }
    return kDragEdits;
}

ParamEdit::Origin originFor(std::mt19937& random) {
    switch (random() % 4) {
        case 0: return {ParamEdit::Origin::Kind::Remote, 1, {}};
        case 1: return {ParamEdit::Origin::Kind::Remote, 2, {}};
        case 2: return {ParamEdit::Origin::Kind::Group, 0, "Mains"};
        default: return {};
    }
}

void stateChange(EventLog& log, const Equipment& unit, int n) {
    EventRecord r;
    r.unit = EventLog::unitText(unit);
    r.address = EventLog::addressText(unit);
    switch (n % 5) {
        case 0: r.kind = QLatin1String(EventRecord::kNotAnswering); break;
        case 1: r.kind = QLatin1String(EventRecord::kBack); break;
        case 2: return log.alarm(unit, QStringLiteral("limiter out:%1").arg(1 + n % 8), n % 2);
        case 3: return log.transfer(unit, EventRecord::kSync, UnitTransfer::Result::Success);
        default: r.kind = QLatin1String(EventRecord::kLost); break;
    }
    log.add(std::move(r));
}

long long folderBytes(const QString& folder, int& files) {
    long long bytes = 0;
    files = 0;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files)) {
        bytes += f.size();
        ++files;
    }
    return bytes;
}

// Mean microseconds of one edit through the edit path, with whatever listens to it.
double editMicros(ParamEdit& edit, int count) {
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < count; ++i) edit.setGain(cmd::outputChannel(1 + i % 8), uint8_t(i % 100));
    return double(t.nsecsElapsed()) / 1000.0 / count;
}

}  // namespace

int main(int argc, char** argv) {
    int edits = 50000, states = 2000;
    QString folder;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--edits")) edits = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--states")) states = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--dir")) folder = QString::fromLocal8Bit(argv[i + 1]);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temporary;
    if (folder.isEmpty()) folder = temporary.path();

    const auto units = makeUnits();
    UnitSessions sessions;
    for (const auto& unit : units) sessions.open(unit);
    std::mt19937 random(2026);
    // The week that ends today, from 18:00 each day.
    const QDate first = QDate::currentDate().addDays(-6);
    qint64 clockMs = 0;
    int day = 0;
    QElapsedTimer wall;
    wall.start();
    {
        EventLog log(folder);
        log.setClientNames([](int client) { return QStringLiteral("Tablet %1").arg(client); });
        log.attach(sessions);
        log.setClock([&] {
            return QDateTime(first.addDays(day), QTime(18, 0)).addMSecs(clockMs);
        });
        const int perDay = (edits + 6) / 7;
        int made = 0, dayMade = 0, statesMade = 0;
        while (made < edits) {
            UnitSession& session = *sessions.all()[random() % kUnits];
            {
                const ParamEdit::OriginScope scope(session.edit(), originFor(random));
                const int n = gesture(session.edit(), random, clockMs);
                made += n;
                dayMade += n;
            }
            clockMs += 5000 + qint64(random() % 55000);
            log.writeSettled();
            // State changes spread over the edits.
            while (statesMade < qint64(states) * made / edits)
                stateChange(log, session.unit(), statesMade++);
            if (dayMade >= perDay && day < 6) {
                log.writeAllEdits();
                ++day;
                dayMade = 0;
                clockMs = 0;
            }
        }
        log.flush();
    }
    const double writeSeconds = double(wall.nsecsElapsed()) / 1e9;
    int files = 0;
    const long long bytes = folderBytes(folder, files);

    // The edit path's own cost, with the log listening and without.
    UnitSession& one = *sessions.all().front();
    double withLog = 0;
    {
        QTemporaryDir other;
        EventLog log(other.path());
        log.attach(sessions);
        withLog = editMicros(one.edit(), 20000);
    }
    const double withoutLog = editMicros(one.edit(), 20000);

    EventLog log(folder);
    QElapsedTimer open;
    open.start();
    const eventlog::Reading reading = eventlog::read(folder);
    EventLogModel model;
    model.setRecords(reading.records);
    const double modelMs = double(open.nsecsElapsed()) / 1e6;
    open.restart();
    EventLogDlg window(log, nullptr);
    window.show();
    QApplication::processEvents();
    const double windowMs = double(open.nsecsElapsed()) / 1e6;

    std::printf("week: %d edits, %d state changes, logged in %.2f s\n", edits, states,
                writeSeconds);
    std::printf("files: %d day files, %.2f MB (%lld bytes), %zu entries, %d lines skipped\n",
                files, double(bytes) / 1e6, bytes, reading.records.size(), reading.skipped);
    std::printf("edit path: %.2f us an edit with the log listening, %.2f us without\n", withLog,
                withoutLog);
    std::printf("open: files read and table filled in %.0f ms; window made and shown in %.0f ms "
                "(%d rows)\n",
                modelMs, windowMs, window.model().rowCount());
    return 0;
}
