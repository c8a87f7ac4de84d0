// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "device/ValueCodes.h"
#include "support/GroupRig.h"

using namespace qel;
using qel::test::GroupRig;

class GroupControlTest : public QObject {
    Q_OBJECT

private slots:
    // A show's groups become the program's: a unit that took the show holds their share
    // already, one that did not gets the difference.
    void aShowsGroupsAreAdopted() {
        GroupRig rig;
        QVERIFY(rig.start({100, 80}));
        const Group subs{.name = "Subs", .gainSteps = -4, .members = {rig.left, rig.right}};
        rig.groups->adopt({subs}, [](const GroupMember& m) { return m.unit == "Stage-L"; });
        QCOMPARE(rig.groups->groupNames(), std::vector<std::string>{"Subs"});
        QTRY_COMPARE(int(rig.out(1).gain), 76);
        QTest::qWait(200);
        QCOMPARE(int(rig.out(0).gain), 100);
        QCOMPARE(rig.groups->member(rig.left).own->gainDb, 2.0);
        QCOMPARE(rig.groups->member(rig.right).own->gainDb, -10.0);
    }

    void aGainMoveLandsAsOwnPlusTheOffsetOnEveryMember() {
        GroupRig rig;
        QVERIFY(rig.start({100, 80}));
        const auto outcome = rig.groups->setGainDb("Mains", -3.0);
        QVERIFY(outcome.ok && !outcome.limitedBy && outcome.pending.empty());
        QCOMPARE(outcome.applied, -3.0);
        QTRY_COMPARE(int(rig.out(0).gain), 100 - 6);
        QTRY_COMPARE(int(rig.out(1).gain), 80 - 6);
        const auto views = rig.groups->members("Mains");
        QCOMPARE(views.size(), size_t(2));
        QCOMPARE(views[0].state, GroupControl::MemberState::Online);
        QCOMPARE(views[0].own->gainDb, gainDb(100));
        QCOMPARE(views[0].held->gainDb, gainDb(100 - 6));
        QCOMPARE(views[1].share.gainDb, -3.0);
        // The move says what each member held, for taking it back.
        QCOMPARE(outcome.move.members[1].before->gainDb, gainDb(80));
        QCOMPARE(outcome.move.members[1].after->gainDb, gainDb(74));
        rig.groups->undo(outcome.move);
        QTRY_COMPARE(int(rig.out(0).gain), 100);
        QTRY_COMPARE(int(rig.out(1).gain), 80);
    }

    void aMovePastAMembersRangeStopsAtItAndNamesIt() {
        GroupRig rig;
        QVERIFY(rig.start({120, 100}));  // +10 dB and 0 dB
        auto outcome = rig.groups->setGainDb("Mains", 6.0);
        QVERIFY(!outcome.ok);
        QVERIFY(outcome.limitedBy == rig.left);
        QCOMPARE(outcome.applied, 2.0);
        QTRY_COMPARE(int(rig.out(0).gain), int(kGainCodeMax));
        QTRY_COMPARE(int(rig.out(1).gain), 104);
        // Delay: output 1 holds 10 ms, so -20 ms stops at -10 ms.
        outcome = rig.groups->setDelayMs("Mains", -20.0);
        QVERIFY(!outcome.ok && outcome.limitedBy);
        QCOMPARE(outcome.applied, -10.0);
        QTRY_COMPARE(int(rig.out(1).delay), 0);
    }

    void muteAndFlipCombineWithEachMembersOwn() {
        GroupRig rig;
        QVERIFY(rig.start({100, 100}, {1, 0}, {1, 0}));  // Left muted and inverted of its own
        QVERIFY(rig.groups->addGroup("Fills"));
        QVERIFY(rig.groups->addMember("Fills", rig.left));
        rig.groups->setMute("Mains", true);
        QTRY_COMPARE(int(rig.out(1).mute), 1);
        QCOMPARE(int(rig.out(0).mute), 1);
        rig.groups->setMute("Fills", true);
        rig.groups->setMute("Mains", false);
        QTRY_COMPARE(int(rig.out(1).mute), 0);
        QCOMPARE(rig.groups->member(rig.left).own->mute, true);
        rig.groups->setMute("Fills", false);  // Left keeps its own mute
        QTest::qWait(200);
        QCOMPARE(int(rig.out(0).mute), 1);

        rig.groups->setPolarity("Mains", true);
        QTRY_COMPARE(int(rig.out(1).polarity), 1);
        QTRY_COMPARE(int(rig.out(0).polarity), 0);
        rig.groups->setPolarity("Fills", true);  // two flips cancel on Left
        QTRY_COMPARE(int(rig.out(0).polarity), 1);
        QCOMPARE(rig.groups->member(rig.left).own->inverted, true);
        rig.groups->setPolarity("Mains", false);
        QTRY_COMPARE(int(rig.out(1).polarity), 0);
        QTRY_COMPARE(int(rig.out(0).polarity), 0);
    }

    void anInputMemberTakesGainAndMuteAndIgnoresPolarityAndDelay() {
        GroupRig rig;
        QVERIFY(rig.start({100, 80}));
        const GroupMember input{"Stage-L", model::kQD408, cmd::inputChannel(1)};
        QVERIFY(rig.groups->addMember("Mains", input));
        const auto before = rig.sim.state(0).params.in[0];
        const auto polarity = rig.groups->setPolarity("Mains", true);
        const auto delay = rig.groups->setDelayMs("Mains", 5.0);
        QVERIFY(polarity.pending.empty() && delay.pending.empty() && delay.ok);
        QTRY_COMPARE(int(rig.out(0).delay), 480 + 240);
        rig.groups->setGainDb("Mains", -1.0);
        QTRY_COMPARE(int(rig.sim.state(0).params.in[0].gain), before.gain - 2);
        QCOMPARE(rig.groups->member(input).state, GroupControl::MemberState::Online);
        QCOMPARE(rig.groups->member(input).share.inverted, false);
    }

    void offsetsSurviveAReloadOfTheFile() {
        GroupRig rig;
        QVERIFY(rig.start({100, 80}));
        rig.groups->setGainDb("Mains", -3.0);
        QTRY_COMPARE(int(rig.out(1).gain), 74);
        rig.groups.reset();
        auto again = rig.makeControl();
        QVERIFY(again->load(rig.file()).ok());
        QCOMPARE(again->group("Mains")->gainSteps, -6);
        QCOMPARE(again->member(rig.right).own->gainDb, gainDb(80));
        again->setGainDb("Mains", -5.0);  // own - 5 dB, not the held value - 5 dB
        QTRY_COMPARE(int(rig.out(1).gain), 70);
        QTRY_COMPARE(int(rig.out(0).gain), 90);
    }

    void anAbsentUnitsShareGoesWhenItsSessionOpens() {
        GroupRig rig;
        QVERIFY(rig.start({100, 80}));
        rig.sessions->close(*rig.units[1]);
        auto outcome = rig.groups->setGainDb("Mains", -2.0);
        QCOMPARE(outcome.pending.size(), size_t(1));
        QVERIFY(outcome.pending[0] == rig.right);
        QCOMPARE(rig.groups->member(rig.right).state, GroupControl::MemberState::Pending);
        QTRY_COMPARE(int(rig.out(0).gain), 96);
        QCOMPARE(int(rig.out(1).gain), 80);
        rig.sessions->open(rig.units[1]);
        QTRY_COMPARE(int(rig.out(1).gain), 76);
        QCOMPARE(rig.groups->member(rig.right).state, GroupControl::MemberState::Online);
        // A unit named otherwise now is missing, and stays in the group.
        const GroupMember gone{"Stage-X", model::kQD408, cmd::outputChannel(2)};
        QVERIFY(rig.groups->addMember("Mains", gone));
        QCOMPARE(rig.groups->member(gone).state, GroupControl::MemberState::Missing);
        QCOMPARE(rig.groups->members("Mains").size(), size_t(3));
    }

    void aDragWritesTheFileOnceAtItsEnd() {
        GroupRig rig;
        QVERIFY(rig.start({100, 80}));
        const QByteArray before = [&] {
            QFile f(rig.file());
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        rig.groups->beginDrag("Mains");
        for (int step = 1; step <= 8; ++step) rig.groups->setGainDb("Mains", -0.5 * step);
        QFile f(rig.file());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        f.close();
        const auto move = rig.groups->endDrag();
        QCOMPARE(move.before, 0.0);
        QCOMPARE(move.after, -4.0);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(readGroupsJson(f.readAll()).set.groups.at(0).gainSteps, -8);
        QTRY_COMPARE(int(rig.out(0).gain), 92);
        // The drag is one step in each unit's history.
        UnitSession* left = rig.sessions->of(*rig.units[0]);
        const int steps = left->history().count();
        left->history().undo();
        QTRY_COMPARE(int(rig.out(0).gain), 100);
        QCOMPARE(left->history().origin(steps - 1).kind, ParamEdit::Origin::Kind::Group);
        QCOMPARE(left->history().origin(steps - 1).group, std::string("Mains"));
    }

    void aBrokenFileIsRefusedWithItsGroupAndPathAndChangesNothing() {
        GroupRig rig;
        QVERIFY(rig.start({100, 80}));
        rig.groups->setGainDb("Mains", -1.0);
        QFile f(rig.file());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray good = f.readAll();
        f.close();
        const QByteArray head = R"({"format": "quellmar-groups", "version": 1, "groups": [)";
        const QByteArray mains =
            R"({"name": "Mains", "gainDb": 0.0, "mute": false, "polarity": "normal", "delayMs": 0.0, "members": [{"unit": "A", "model": "QD206", "channel": "out:1"}]})";
        struct Case {
            QByteArray json;
            int group;
            std::string path;
            PresetProblem problem;
        };
        const auto with = [&](const char* from, const char* to) {
            QByteArray g = mains;
            return head + g.replace(from, to) + "]}";
        };
        const std::vector<Case> cases = {
            {head + mains, -1, "(document)", PresetProblem::Syntax},  // cut
            {with("\"mute\"", "\"mutes\""), 0, "groups[0].mutes", PresetProblem::UnknownKey},
            {head + mains + "," + mains + "]}", 1, "groups[1].name", PresetProblem::GroupTwice},
            {with("out:1", "out:7"), 0, "groups[0].members[0].channel",
             PresetProblem::NoSuchChannel},
            {with("\"gainDb\": 0.0", "\"gainDb\": 70"), 0, "groups[0].gainDb",
             PresetProblem::OutOfRange},
            {with("\"mute\": false", "\"mute\": 0"), 0, "groups[0].mute", PresetProblem::WrongType},
            {with("QD206", "QD999"), 0, "groups[0].members[0].model", PresetProblem::UnknownModel},
        };
        for (const Case& c : cases) {
            const QString broken = rig.dir.filePath("broken.json");
            QFile b(broken);
            QVERIFY(b.open(QIODevice::WriteOnly | QIODevice::Truncate));
            b.write(c.json);
            b.close();
            const auto read = rig.groups->load(broken);
            QVERIFY2(!read.ok(), c.path.c_str());
            const auto e =
                std::find_if(read.errors.begin(), read.errors.end(),
                             [&](const GroupIssue& i) { return i.issue.path == c.path; });
            QVERIFY2(e != read.errors.end(), read.errors.at(0).issue.path.c_str());
            QCOMPARE(e->issue.problem, c.problem);
            QCOMPARE(e->group, c.group);
            if (c.group >= 0) QCOMPARE(e->groupName, std::string("Mains"));
            // Nothing changed: the groups, their file, and what the units hold.
            QCOMPARE(rig.groups->path(), rig.file());
            QCOMPARE(rig.groups->group("Mains")->gainSteps, -2);
            QVERIFY(b.open(QIODevice::ReadOnly));
            QCOMPARE(b.readAll(), c.json);
            b.close();
        }
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), good);
        QCOMPARE(int(rig.out(0).gain), 98);
    }
};

QTEST_GUILESS_MAIN(GroupControlTest)
#include "GroupControlTest.moc"
