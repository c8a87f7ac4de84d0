// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QTime>
#include <optional>
#include <variant>

namespace qel {

// What raises an alarm, each kind with its own switch and threshold:
//  link     the unit does not answer or its link is lost for longer than `seconds`;
//  clip     a channel's meter at or above `levelDb` for longer than `seconds`;
//  silence  an input's meter at or below `levelDb` for longer than `seconds`, between `from`
//           and `to` (local time; equal times: all day; from after to: over midnight).
// Levels are the meters' own: segments of 1.5 dB, a lit segment s reads s * 1.5 - 30 dB
// (see levelDb()); -30 dB is no segment lit. Kept in QelConfig.ini (section Alarms) by the
// window program and read from a JSON file by serve.
struct AlarmSettings {
    static constexpr int kSegments = 32;
    static constexpr double kSegmentDb = 1.5, kZeroDb = -30.0;

    struct Link {
        bool on = true;
        double seconds = 5;
        friend bool operator==(const Link&, const Link&) = default;
    };
    struct Clip {
        bool on = false;
        double levelDb = 15;
        double seconds = 1;
        friend bool operator==(const Clip&, const Clip&) = default;
    };
    struct Silence {
        bool on = false;
        double levelDb = kZeroDb;
        double seconds = 300;
        QTime from{0, 0}, to{0, 0};
        friend bool operator==(const Silence&, const Silence&) = default;
    };
    Link link;
    Clip clip;
    Silence silence;
    int meterRate = 5;  // readings a second while clip or silence is on

    // The ranges a value must lie in.
    struct Range {
        double min, max;
    };
    static constexpr Range kLinkSeconds{0, 3600}, kClipSeconds{0.2, 600}, kClipDb{-28.5, 18},
        kSilenceSeconds{1, 86400}, kSilenceDb{-30, 12}, kMeterRate{1, 25};

    // Why settings cannot be taken: the field ("clip.seconds"), and what is wrong with it.
    struct Problem {
        enum class Code { OutOfRange, NotANumber, NotATime, NotJson, UnknownField };
        Code code = Code::OutOfRange;
        QString field;
        double value = 0;  // OutOfRange: the value given, and its range
        Range range{0, 0};
        // In English, for the command line and the API.
        QString text() const;
    };
    // The first value out of range; none when all can be used.
    std::optional<Problem> check() const;

    bool meterAlarms() const { return clip.on || silence.on; }
    // The meter level (segments 0..32) at or above which a clip counts, at or below which an
    // input is silent.
    int clipSegment() const;
    int silenceSegment() const;
    static double levelDb(int segments) { return segments * kSegmentDb + kZeroDb; }
    // Whether the silence alarm watches at this time of day.
    bool silenceHours(const QTime& time) const;

    static AlarmSettings load(const QString& configPath);
    void save(const QString& configPath) const;
    // {"link":{"on":true,"seconds":5},"clip":{"on":true,"levelDb":15,"seconds":1},
    //  "silence":{"on":true,"levelDb":-30,"seconds":300,"from":"09:00","to":"23:30"},
    //  "meterRate":5}; a field left out keeps its default. Checked as check() does.
    static std::variant<AlarmSettings, Problem> fromJson(const QByteArray& json);
    QJsonObject toJson() const;
    friend bool operator==(const AlarmSettings&, const AlarmSettings&) = default;
};

}  // namespace qel
