// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/EqPoint.h"
#include "device/ParamCommands.h"

namespace qel {

struct EqFit;
class Equipment;
class ModeImage;
class ModeRecord;
class OutputChannel;

// The one path from any control to the unit. Each call writes the unit's mode record in its
// image, then queues the command(s) of the command set, and returns what it changed. Callers
// never build frames or touch record offsets. One thread at a time (the editor's GUI thread).
class ParamEdit {
public:
    using Channel = cmd::ChannelId;

    // A run of record bytes one edit changed, before and after.
    struct Change {
        size_t offset = 0;  // into the mode record's bytes
        std::vector<uint8_t> before;
        std::vector<uint8_t> after;
        friend bool operator==(const Change&, const Change&) = default;
    };
    // What an edit was about: a parameter code (param::kGain ...), param::kEqReset,
    // param::kCopyChannel (source: the channel copied), kRestore or kImportEq (a channel's EQ
    // taken from a file); the channel and EQ point.
    static constexpr uint8_t kRestore = 0xFF, kImportEq = 0xFE;
    struct Subject {
        uint8_t code = kRestore;
        Channel channel{};
        int point = -1;  // 0-based
        int source = 0;  // copies: the source channel's number
        friend bool operator==(const Subject&, const Subject&) = default;
    };
    // Who made an edit: a control of the editor (the default), the undo history, the A/B
    // switch, a file put on the unit, a remote client, a group of channels across units, or
    // an OSC sender.
    struct Origin {
        enum class Kind : uint8_t { Editor, Undo, Redo, Switch, Import, Remote, Group, Osc };
        Kind kind = Kind::Editor;
        int client = 0;       // Remote: which client
        std::string group{};  // Group: the group's name (UTF-8)
        std::string peer{};   // Osc: the sender's address and port, "192.168.6.20:9000"
        friend bool operator==(const Origin&, const Origin&) = default;
    };
    struct Result;
    // Makes an edit again or takes it back, given the runs the edit (or its merged steps)
    // changed, sending the unit what a user making that edit would send.
    using Replay = std::function<Result(ParamEdit&, const std::vector<Change>&)>;
    struct Result {
        std::vector<Change> changes;
        int queued = 0;   // commands the queue took
        int refused = 0;  // commands it refused (link stopped, queue full)
        Subject subject;
        Origin origin;
        Replay redo, undo;
    };
    // Told of every edit, after its commands were queued.
    using Listener = std::function<void(const Result&)>;
    struct Listeners;
    // A listener's place: destroying or resetting it ends the calls, also during one. It may
    // outlive the ParamEdit.
    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&& other) noexcept = default;
        Subscription& operator=(Subscription&& other) noexcept;
        ~Subscription() { reset(); }
        void reset();

    private:
        friend class ParamEdit;
        struct Entry;
        std::weak_ptr<Listeners> owner_;
        std::shared_ptr<Entry> entry_;
    };
    // Edits made while a scope lives are reported as the origin's. Scopes nest.
    class OriginScope {
    public:
        OriginScope(ParamEdit& edit, Origin origin);
        ~OriginScope();
        OriginScope(const OriginScope&) = delete;
        OriginScope& operator=(const OriginScope&) = delete;

    private:
        ParamEdit& edit_;
        Origin outer_;
    };

    ParamEdit(Equipment& unit, std::shared_ptr<ModeImage> image);

    ModeImage& image() { return *image_; }
    Equipment& unit() const { return unit_; }
    uint32_t modelCode() const;
    // Adds a listener, called after those added before it; one added during a call is told
    // from the next edit on.
    [[nodiscard]] Subscription listen(Listener listener);
    const Origin& origin() const { return origin_; }

    Result setGain(Channel channel, uint8_t code);
    Result setMute(Channel channel, uint8_t muted);
    Result setPolarity(int output, uint8_t inverted);  // outputs 1-based, as channels
    Result setDelay(int output, uint16_t samples);
    Result setInputSelect(int output, uint8_t inputSet);  // bit 0 = input A
    Result setLimiterLevel(int output, uint8_t code);
    Result setLimiterAttack(int output, uint8_t index);
    Result setLimiterRelease(int output, uint8_t index);

    // EQ edits reach the channel and every channel linked with it (numbers 1-based; the
    // channel itself may be listed): the image of each is written, and one linked write
    // carries the change when others are linked.
    Result setEqPoint(Channel channel, int pointIndex, const EqPoint& point,
                      std::span<const int> linked = {});
    // An EQ page's point edit: as setEqPoint, and the linked channels take over all of the
    // channel's points, so that a link group keeps one EQ.
    Result setGroupEqPoint(Channel channel, int pointIndex, const EqPoint& point,
                           std::span<const int> linked);
    Result setEqSwitch(Channel channel, uint8_t on, std::span<const int> linked = {});
    // The channel's points become the given ones (one per point of the channel) and the unit
    // is told to reset that channel's EQ. Linked channels are left alone.
    Result resetEq(Channel channel, std::span<const EqPoint> points);
    Result setHighPass(int output, uint8_t type, uint8_t freqCode,
                       std::span<const int> linked = {});
    Result setLowPass(int output, uint8_t type, uint8_t freqCode, std::span<const int> linked = {});
    // A measurement program's fitted filters on the channel and those linked with it, their
    // EQ on (putFittedFilters()); the unit gets what differs. One edit, kImportEq.
    Result importEq(Channel channel, const EqFit& fit, std::span<const int> linked = {});
    // The channel takes over the source channel's EQ (outputs: and both filters).
    Result copyEq(Channel channel, int sourceNumber);

    // The channels take the target's settings; each parameter that differs goes to the unit
    // as the write a user's edit of it sends. With whole, every EQ point, the EQ switch and
    // (outputs) both filters of that channel are sent, differing or not: a reset or copy on
    // the unit is taken back that way.
    Result restore(const ModeRecord& target, std::optional<Channel> whole = {});
    // As restore, reported as the given edit.
    Result restore(const ModeRecord& target, std::optional<Channel> whole, Subject subject);
    // restore() of the record with the runs' bytes put back to before (or after) them.
    Result putBack(const std::vector<Change>& runs, bool before, std::optional<Channel> whole = {});

    // Record bytes as they are now, for a caller that restores a run later.
    std::vector<uint8_t> recordBytes() const;

private:
    // Applies change to the record, queues the commands and reports the difference.
    Result apply(const std::function<void(ModeRecord&)>& change,
                 const std::vector<OwnedCommand>& commands, Subject subject, Replay redo,
                 Replay undo);
    void notify(const Result& result);
    // For an edit whose undo is not one edit of the same kind: put its runs back.
    static Replay putBackReplay(bool before, std::optional<Channel> whole = {});
    // A setting of one value: get and set read and write it on the channel's settings (an
    // InputChannel or an OutputChannel; outputs only when they take just an OutputChannel),
    // write makes its command.
    template <typename T, typename Get, typename Set>
    Result setValue(Channel channel, T value, uint8_t code,
                    OwnedCommand (*write)(cmd::WriteKind, Channel, T), Get get, Set set);
    // A crossover filter of an output: its fields, writes and setter.
    struct Filter {
        uint8_t (OutputChannel::*type)() const;
        uint8_t (OutputChannel::*freq)() const;
        void (OutputChannel::*setType)(uint8_t);
        void (OutputChannel::*setFreq)(uint8_t);
        uint8_t code;
        OwnedCommand (*write)(cmd::WriteKind, int, uint8_t, uint8_t);
        OwnedCommand (*linkedWrite)(int, uint8_t, uint8_t, std::span<const int>);
        Result (ParamEdit::*self)(int, uint8_t, uint8_t, std::span<const int>);
    };
    Result setFilter(int output, uint8_t type, uint8_t freqCode, std::span<const int> linked,
                     const Filter& f);

    Equipment& unit_;
    std::shared_ptr<ModeImage> image_;
    std::shared_ptr<Listeners> listeners_;
    Origin origin_;
};

}  // namespace qel
