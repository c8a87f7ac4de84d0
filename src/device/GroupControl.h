// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/Groups.h"

namespace qel {

class Equipment;
class ModeRecord;
class UnitSession;
class UnitSessions;

// The program's groups put on the units: each move of a group goes to every member through
// its unit session's edit path (origin: the group), to all units at once since each unit's
// link has its own queue. A member whose unit is away (no session, link lost, a transfer
// holds it) is pending: its share goes when its session opens, its link comes back or the
// transfer ends. A member whose unit cannot be found by name and model is missing; it stays
// in its group. The groups and what each channel holds of them are kept in a file (written
// on every change; during a drag, once at its end). GUI thread only.
class GroupControl : public QObject {
    Q_OBJECT
public:
    // The unit named so, of that model; null when none is known.
    using FindUnit =
        std::function<std::shared_ptr<Equipment>(const std::string& name, uint32_t modelCode)>;
    // A FindUnit over a fixed list of units.
    static FindUnit among(std::vector<std::shared_ptr<Equipment>> units);
    // The unit's name as members give it: UTF-8, without the field's padding.
    static std::string unitName(const Equipment& unit);

    GroupControl(UnitSessions& sessions, FindUnit find, QObject* parent = nullptr);
    ~GroupControl() override;

    // Why a call changed nothing.
    enum class Refusal { None, NoSuchGroup, NoName, NameTaken, NoSuchChannel, AlreadyIn, NotIn };
    // The reason in English, for logs and the command line (front ends word it themselves).
    static const char* refusalText(Refusal refusal);

    // ---- the file
    struct LoadResult {
        QString fileError;               // the file exists but cannot be read
        std::vector<GroupIssue> errors;  // what is wrong in it
        bool ok() const { return fileError.isEmpty() && errors.empty(); }
    };
    // Reads the groups from path, which is then the file kept up to date; a file that does
    // not exist gives no groups. On any problem nothing changes (and nothing is sent) and the
    // problems are returned. Pending shares are sent afterwards.
    LoadResult load(const QString& path);
    // Writes the file now, atomically; false with saveError(). Nothing without a file.
    bool save();
    QString path() const { return path_; }
    QString saveError() const { return saveError_; }
    const GroupSet& set() const { return set_; }

    // A show's groups become the program's. Units that took the show hold its values, with
    // its groups' shares in them (a channel's own mute taken as off); the others keep what
    // they hold of the groups until their difference is sent.
    void adopt(std::vector<Group> groups,
               const std::function<bool(const GroupMember& channel)>& tookShow);

    // ---- what the groups and members are
    enum class MemberState { Online, Pending, Missing };
    struct Values {
        double gainDb = 0;
        bool mute = false;
        bool inverted = false;
        double delayMs = 0;
        friend bool operator==(const Values&, const Values&) = default;
    };
    struct MemberView {
        GroupMember member;
        MemberState state = MemberState::Missing;
        Values share;                // what all its groups ask of the channel
        std::optional<Values> own;   // the channel's own: what it holds less the share it got
        std::optional<Values> held;  // what the unit holds (as its session knows it)
    };
    std::vector<std::string> groupNames() const;
    const Group* group(const std::string& name) const { return set_.find(name); }
    std::vector<MemberView> members(const std::string& group) const;
    MemberView member(const GroupMember& member) const;

    // ---- moves
    enum class Field { Gain, Mute, Polarity, Delay };
    // What a move did to one member: what its unit held before and after (none when the
    // unit's settings are not known).
    struct MemberMove {
        GroupMember member;
        std::optional<Values> before, after;
    };
    // One move of a group: its offset before and after (dB, ms, or 0/1), and each member.
    struct Move {
        std::string group;
        Field field = Field::Gain;
        double before = 0, after = 0;
        std::vector<MemberMove> members;
    };
    struct Outcome {
        bool ok = false;                         // the group took the value asked for
        Refusal refused = Refusal::None;         // why nothing happened
        std::optional<GroupMember> limitedBy{};  // the member whose range stopped the move
        double applied = 0;                      // the group's offset now
        std::vector<GroupMember> pending{};      // members whose share waits for their unit
        Move move{};
    };
    // A gain offset (0.5 dB steps) or delay offset whose sum would leave a member's range
    // (-50 .. +12 dB, 0 .. 682 ms) stops at the nearest value that fits every member known.
    Outcome setGainDb(const std::string& group, double db);
    Outcome stepGain(const std::string& group, double stepDb);
    Outcome setMute(const std::string& group, bool mute);
    Outcome setPolarity(const std::string& group, bool inverted);
    Outcome setDelayMs(const std::string& group, double ms);
    // Takes a move (or a whole drag) back: the group's offset returns to what it was before.
    Outcome undo(const Move& move);

    // A drag of one group: its moves make one step in each unit's history, and the file is
    // written once, at the end. endDrag gives the whole drag as one move.
    void beginDrag(const std::string& group);
    Move endDrag();
    bool dragging() const { return drag_.has_value(); }

    // ---- the groups themselves; false with lastRefusal() when refused.
    bool addGroup(const std::string& name);
    bool renameGroup(const std::string& name, const std::string& newName);
    // Its members lose its share.
    bool removeGroup(const std::string& name);
    // The member takes the group's share (when its unit is there).
    bool addMember(const std::string& group, const GroupMember& member);
    bool removeMember(const std::string& group, const GroupMember& member);
    Refusal lastRefusal() const { return refusal_; }

    // Sends every share that waits for its unit; made by itself when a session opens, a lost
    // link is back or a transfer has let go of a unit.
    void sendPending();

signals:
    // The groups, an offset or a member's state changed.
    void changed();
    // The file could not be written (saveError()).
    void saveFailed(const QString& why);

private:
    UnitSession* sessionOf(const GroupMember& member) const;
    // The unit's session, when an edit can reach the unit now.
    UnitSession* reachable(const GroupMember& member) const;
    const ModeRecord* knownRecord(const GroupMember& member) const;
    std::optional<Values> heldValues(const GroupMember& member) const;
    // Gives the channel the share its groups ask; true when it holds it now.
    bool sendShare(const GroupMember& channel, const std::string& by);
    // Changes the group as change says, then sends each member its share.
    Outcome apply(Group& group, Field field, const std::function<void()>& change);
    Outcome setOffset(const std::string& group, Field field, int want);
    double offsetOf(const Group& group, Field field) const;
    // The change is kept: written now, or at the end of a drag.
    void store();
    void newGestures(const Group& group);
    void watch(UnitSession* session);
    void sendPendingSoon();
    bool refuse(Refusal why);

    UnitSessions& sessions_;
    FindUnit find_;
    GroupSet set_;
    QString path_, saveError_;
    Refusal refusal_ = Refusal::None;
    struct Drag {
        std::string group;
        Move move;
        bool dirty = false;
    };
    std::optional<Drag> drag_;
    bool pendingQueued_ = false;
};

}  // namespace qel
