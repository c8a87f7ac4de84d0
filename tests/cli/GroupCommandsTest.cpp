// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <thread>

#include "UnitSimulator.h"
#include "device/Groups.h"
#include "support/Loopback.h"
#include "support/RunProcess.h"

namespace qel {
namespace {

// A QD408 "Stage-L" and a QD206 "Stage-R" on their own subnet, and a groups file whose group
// "Mains" holds output 1 of each.
class GroupCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        subnet = test::loopbackSubnet();
        left = sim.addNetworkUnit(4, test::loopbackHost(subnet, 2), "Stage-L");
        right = sim.addNetworkUnit(2, test::loopbackHost(subnet, 3), "Stage-R");
        ASSERT_GE(right, 0) << sim.lastError();
        ASSERT_TRUE(sim.start());
        ASSERT_TRUE(dir.isValid());
        setGain(left, 100);
        setGain(right, 80);
        writeGroups(R"({"format": "quellmar-groups", "version": 1, "groups": [
            {"name": "Mains", "gainDb": 0, "mute": false, "polarity": "normal", "delayMs": 0,
             "members": [{"unit": "Stage-L", "model": "QD408", "channel": "out:1"},
                         {"unit": "Stage-R", "model": "QD206", "channel": "out:1"}]}]})");
    }
    test::ProcessResult cli(std::vector<std::string> args,
                            const std::function<void(pid_t)>& started = {}) {
        std::vector<std::string> argv = {QUELLMAR_CLI, "--local-port", "0", "--search-port", "0",
                                         "--gateway",  subnet + ".1"};
        for (int n = 1; n <= 16; ++n)
            argv.insert(argv.end(), {"--serial-map", "COM" + std::to_string(n) + "=/nonexistent"});
        argv.insert(argv.end(), args.begin(), args.end());
        return test::runProcess(argv, 60000, started);
    }
    void setGain(int unit, uint8_t code) {
        auto s = sim.state(unit);
        s.params.out[0].gain = code;
        sim.setState(unit, s);
    }
    int gain(int unit) const { return sim.state(unit).params.out[0].gain; }
    std::string file() const { return dir.filePath("groups.json").toStdString(); }
    void writeGroups(const QByteArray& json) {
        QFile f(QString::fromStdString(file()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(json);
    }
    QByteArray groupsBytes() const {
        QFile f(QString::fromStdString(file()));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::vector<std::string> set(std::vector<std::string> move) {
        std::vector<std::string> args = {"group-set", "--groups", file(),
                                         "--group",   "Mains",    "--all"};
        args.insert(args.end(), move.begin(), move.end());
        return args;
    }

    sim::UnitSimulator sim;
    std::string subnet;
    int left = -1, right = -1;
    QTemporaryDir dir;
};

TEST_F(GroupCommandsTest, AMoveLandsOnEveryMemberOverItsOwnValueAndIsKept) {
    auto r = cli(set({"--gain-db", "-3"}));
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(gain(left), 94);
    EXPECT_EQ(gain(right), 74);
    const GroupsRead kept = readGroupsJson(groupsBytes());
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(kept.set.groups.at(0).gainSteps, -6);
    EXPECT_EQ(kept.set.held.size(), 2u);

    // The next move counts from each member's own value, not from what it holds.
    r = cli(set({"--gain-step", "-2"}));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(gain(left), 90);
    EXPECT_EQ(gain(right), 70);

    r = cli({"group-list", "--groups", file(), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QJsonObject listed = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    const QJsonObject mains = listed["groups"].toArray().at(0).toObject();
    EXPECT_EQ(mains["gainDb"].toDouble(), -5.0);
    EXPECT_EQ(mains["members"].toArray().at(1).toObject()["pending"].toBool(), false);
}

TEST_F(GroupCommandsTest, ALimitingOrUnreachedMemberIsNamedAndFails) {
    setGain(left, 122);  // +11 dB: Stage-L takes at most +1 dB more
    auto r = cli(set({"--gain-db", "3"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Stage-L QD408 out:1 allows no more"), std::string::npos) << r.err;
    EXPECT_EQ(gain(left), 124);
    EXPECT_EQ(gain(right), 82);

    writeGroups(R"({"format": "quellmar-groups", "version": 1, "groups": [
        {"name": "Mains", "gainDb": 0, "mute": false, "polarity": "normal", "delayMs": 0,
         "members": [{"unit": "Stage-R", "model": "QD206", "channel": "out:1"},
                     {"unit": "Gone", "model": "QD408", "channel": "out:2"}]}]})");
    r = cli(set({"--mute", "on"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Gone QD408 out:2: not reached"), std::string::npos) << r.err;
    EXPECT_EQ(sim.state(right).params.out[0].mute, 1);
    r = cli({"group-list", "--groups", file()});
    EXPECT_NE(r.out.find("Gone QD408 out:2  (pending)"), std::string::npos) << r.out;
}

TEST_F(GroupCommandsTest, ABrokenFileSendsNothingAndIsLeftAsItIs) {
    const QByteArray broken = R"({"format": "quellmar-groups", "version": 1, "groups": [
        {"name": "Mains", "gainDb": 0, "mute": false, "polarity": "normal", "delayMs": 0,
         "members": [{"unit": "Stage-R", "model": "QD206", "channel": "out:7"}]}]})";
    writeGroups(broken);
    const size_t before = sim.requests(left).size() + sim.requests(right).size();
    auto r = cli(set({"--gain-db", "-3"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("group \"Mains\": groups[0].members[0].channel: a QD206 has no channel "
                         "out:7"),
              std::string::npos)
        << r.err;
    r = cli({"serve", "--listen", "127.0.0.1:0", "--all", "--config",
             dir.filePath("QelConfig.ini").toStdString(), "--groups", file()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("groups[0].members[0].channel"), std::string::npos) << r.err;
    EXPECT_EQ(groupsBytes(), broken);
    EXPECT_EQ(sim.requests(left).size() + sim.requests(right).size(), before);
}

// serve sends a share the file says the units lack, keeps that in the file, and after a
// restart sends nothing twice.
TEST_F(GroupCommandsTest, ServeKeepsItsGroupsFileAcrossARestart) {
    writeGroups(R"({"format": "quellmar-groups", "version": 1, "groups": [
        {"name": "Mains", "gainDb": -3, "mute": false, "polarity": "normal", "delayMs": 0,
         "members": [{"unit": "Stage-L", "model": "QD408", "channel": "out:1"},
                     {"unit": "Stage-R", "model": "QD206", "channel": "out:1"}]}]})");
    for (int run = 0; run < 2; ++run) {
        std::atomic<pid_t> pid{0};
        test::ProcessResult r;
        std::thread serve([&] {
            r = cli({"serve", "--listen", "127.0.0.1:0", "--all", "--config",
                     dir.filePath("QelConfig.ini").toStdString(), "--groups", file()},
                    [&](pid_t p) { pid = p; });
        });
        const auto start = std::chrono::steady_clock::now();
        while (readGroupsJson(groupsBytes()).set.held.size() < 2 &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(20))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        while (pid == 0) std::this_thread::yield();
        ::kill(pid, SIGTERM);
        serve.join();
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(gain(left), 94) << "run " << run;
        EXPECT_EQ(gain(right), 74) << "run " << run;
    }
}

}  // namespace
}  // namespace qel
