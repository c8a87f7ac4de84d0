// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/AlarmSettings.h"

#include <QJsonDocument>
#include <QSettings>
#include <algorithm>
#include <cmath>

namespace qel {

namespace {

constexpr const char* kTimeFormat = "HH:mm";

std::optional<AlarmSettings::Problem> outside(const char* field, double value,
                                              AlarmSettings::Range range) {
    using Code = AlarmSettings::Problem::Code;
    if (!std::isfinite(value)) return AlarmSettings::Problem{Code::NotANumber, field, value, range};
    if (value < range.min || value > range.max)
        return AlarmSettings::Problem{Code::OutOfRange, field, value, range};
    return std::nullopt;
}

int segmentOf(double db) {
    const long s = std::lround((db - AlarmSettings::kZeroDb) / AlarmSettings::kSegmentDb);
    return int(std::clamp<long>(s, 0, AlarmSettings::kSegments));
}

// Reads one object of the file into the settings; the first problem stops it.
class JsonReader {
public:
    std::optional<AlarmSettings::Problem> problem;

    void known(const QJsonObject& o, const QString& prefix, const QStringList& keys) {
        for (auto it = o.begin(); it != o.end() && !problem; ++it)
            if (!keys.contains(it.key()))
                problem = {AlarmSettings::Problem::Code::UnknownField, prefix + it.key()};
    }
    void flag(const QJsonObject& o, const QString& field, const char* key, bool& out) {
        if (problem || !o.contains(key)) return;
        if (!o.value(key).isBool()) return fail(field + key);
        out = o.value(key).toBool();
    }
    void number(const QJsonObject& o, const QString& field, const char* key, double& out) {
        if (problem || !o.contains(key)) return;
        if (!o.value(key).isDouble()) return fail(field + key);
        out = o.value(key).toDouble();
    }
    void time(const QJsonObject& o, const QString& field, const char* key, QTime& out) {
        if (problem || !o.contains(key)) return;
        const QTime t = QTime::fromString(o.value(key).toString(), kTimeFormat);
        if (!t.isValid()) problem = {AlarmSettings::Problem::Code::NotATime, field + key};
        out = t;
    }

private:
    void fail(const QString& field) { problem = {AlarmSettings::Problem::Code::NotANumber, field}; }
};

}  // namespace

QString AlarmSettings::Problem::text() const {
    switch (code) {
        case Code::OutOfRange:
            return QStringLiteral("%1 is %2; it must lie between %3 and %4")
                .arg(field)
                .arg(value)
                .arg(range.min)
                .arg(range.max);
        case Code::NotANumber:
            return QStringLiteral("%1 is not a value of its kind").arg(field);
        case Code::NotATime:
            return QStringLiteral("%1 is not a time of day such as 09:30").arg(field);
        case Code::NotJson:
            return QStringLiteral("not a JSON object: %1").arg(field);
        case Code::UnknownField:
            return QStringLiteral("%1 is not an alarm setting").arg(field);
    }
    return field;
}

std::optional<AlarmSettings::Problem> AlarmSettings::check() const {
    for (auto problem : {outside("link.seconds", link.seconds, kLinkSeconds),
                         outside("clip.levelDb", clip.levelDb, kClipDb),
                         outside("clip.seconds", clip.seconds, kClipSeconds),
                         outside("silence.levelDb", silence.levelDb, kSilenceDb),
                         outside("silence.seconds", silence.seconds, kSilenceSeconds),
                         outside("meterRate", meterRate, kMeterRate)})
        if (problem) return problem;
    if (!silence.from.isValid()) return Problem{Problem::Code::NotATime, "silence.from"};
    if (!silence.to.isValid()) return Problem{Problem::Code::NotATime, "silence.to"};
    return std::nullopt;
}

int AlarmSettings::clipSegment() const { return std::max(1, segmentOf(clip.levelDb)); }

int AlarmSettings::silenceSegment() const { return segmentOf(silence.levelDb); }

bool AlarmSettings::silenceHours(const QTime& time) const {
    const QTime& from = silence.from;
    const QTime& to = silence.to;
    if (from == to) return true;
    if (from < to) return time >= from && time < to;
    return time >= from || time < to;  // over midnight
}

AlarmSettings AlarmSettings::load(const QString& configPath) {
    QSettings s(configPath, QSettings::IniFormat);
    AlarmSettings r;
    s.beginGroup(QStringLiteral("Alarms"));
    r.link.on = s.value("LinkOn", r.link.on).toBool();
    r.link.seconds = s.value("LinkSeconds", r.link.seconds).toDouble();
    r.clip.on = s.value("ClipOn", r.clip.on).toBool();
    r.clip.levelDb = s.value("ClipLevelDb", r.clip.levelDb).toDouble();
    r.clip.seconds = s.value("ClipSeconds", r.clip.seconds).toDouble();
    r.silence.on = s.value("SilenceOn", r.silence.on).toBool();
    r.silence.levelDb = s.value("SilenceLevelDb", r.silence.levelDb).toDouble();
    r.silence.seconds = s.value("SilenceSeconds", r.silence.seconds).toDouble();
    r.silence.from = QTime::fromString(s.value("SilenceFrom", "00:00").toString(), kTimeFormat);
    r.silence.to = QTime::fromString(s.value("SilenceTo", "00:00").toString(), kTimeFormat);
    // A file edited by hand to a value out of range is not used: the defaults are.
    return r.check() ? AlarmSettings() : r;
}

void AlarmSettings::save(const QString& configPath) const {
    QSettings s(configPath, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Alarms"));
    s.setValue("LinkOn", link.on);
    s.setValue("LinkSeconds", link.seconds);
    s.setValue("ClipOn", clip.on);
    s.setValue("ClipLevelDb", clip.levelDb);
    s.setValue("ClipSeconds", clip.seconds);
    s.setValue("SilenceOn", silence.on);
    s.setValue("SilenceLevelDb", silence.levelDb);
    s.setValue("SilenceSeconds", silence.seconds);
    s.setValue("SilenceFrom", silence.from.toString(kTimeFormat));
    s.setValue("SilenceTo", silence.to.toString(kTimeFormat));
}

std::variant<AlarmSettings, AlarmSettings::Problem> AlarmSettings::fromJson(
    const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (!doc.isObject())
        return Problem{Problem::Code::NotJson,
                       error.error ? error.errorString() : QStringLiteral("an array")};
    AlarmSettings r;
    JsonReader read;
    const QJsonObject top = doc.object();
    read.known(top, {}, {"link", "clip", "silence", "meterRate"});
    const QJsonObject link = top.value("link").toObject(), clip = top.value("clip").toObject(),
                      silence = top.value("silence").toObject();
    read.known(link, "link.", {"on", "seconds"});
    read.known(clip, "clip.", {"on", "levelDb", "seconds"});
    read.known(silence, "silence.", {"on", "levelDb", "seconds", "from", "to"});
    read.flag(link, "link.", "on", r.link.on);
    read.number(link, "link.", "seconds", r.link.seconds);
    read.flag(clip, "clip.", "on", r.clip.on);
    read.number(clip, "clip.", "levelDb", r.clip.levelDb);
    read.number(clip, "clip.", "seconds", r.clip.seconds);
    read.flag(silence, "silence.", "on", r.silence.on);
    read.number(silence, "silence.", "levelDb", r.silence.levelDb);
    read.number(silence, "silence.", "seconds", r.silence.seconds);
    read.time(silence, "silence.", "from", r.silence.from);
    read.time(silence, "silence.", "to", r.silence.to);
    double rate = r.meterRate;
    read.number(top, {}, "meterRate", rate);
    if (read.problem) return *read.problem;
    if (auto problem = outside("meterRate", rate, kMeterRate)) return *problem;
    if (rate != std::floor(rate)) return Problem{Problem::Code::NotANumber, "meterRate"};
    r.meterRate = int(rate);
    if (auto problem = r.check()) return *problem;
    return r;
}

QJsonObject AlarmSettings::toJson() const {
    return {{"link", QJsonObject{{"on", link.on}, {"seconds", link.seconds}}},
            {"clip",
             QJsonObject{{"on", clip.on}, {"levelDb", clip.levelDb}, {"seconds", clip.seconds}}},
            {"silence", QJsonObject{{"on", silence.on},
                                    {"levelDb", silence.levelDb},
                                    {"seconds", silence.seconds},
                                    {"from", silence.from.toString(kTimeFormat)},
                                    {"to", silence.to.toString(kTimeFormat)}}},
            {"meterRate", meterRate}};
}

}  // namespace qel
