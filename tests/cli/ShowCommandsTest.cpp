// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <thread>

#include "UnitSimulator.h"
#include "device/ShowFile.h"
#include "support/Loopback.h"
#include "support/RunProcess.h"

namespace qel {
namespace {

// A QD408 "Left" and a QD206 "Right" on their own subnet, which the commands search.
class ShowCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        subnet = test::loopbackSubnet();
        left = sim.addNetworkUnit(4, test::loopbackHost(subnet, 2), "Left");
        right = sim.addNetworkUnit(2, test::loopbackHost(subnet, 3), "Right");
        ASSERT_GE(right, 0) << sim.lastError();
        ASSERT_TRUE(sim.start());
        ASSERT_TRUE(dir.isValid());
        setGains(100, 90);
    }
    // No serial port is searched, unless args map one (the last mapping counts).
    test::ProcessResult cli(std::vector<std::string> args) {
        std::vector<std::string> argv = {QUELLMAR_CLI, "--local-port", "0", "--search-port", "0",
                                         "--gateway",  subnet + ".1"};
        for (int n = 1; n <= 16; ++n)
            argv.insert(argv.end(), {"--serial-map", "COM" + std::to_string(n) + "=/nonexistent"});
        argv.insert(argv.end(), args.begin(), args.end());
        return test::runProcess(argv);
    }
    // Output 1's gain code of Left and input B's of Right.
    void setGains(uint8_t leftGain, uint8_t rightGain) {
        auto s = sim.state(left);
        s.params.out[0].gain = leftGain;
        sim.setState(left, s);
        s = sim.state(right);
        s.params.in[1].gain = rightGain;
        sim.setState(right, s);
    }
    std::pair<int, int> gains() const {
        return {sim.state(left).params.out[0].gain, sim.state(right).params.in[1].gain};
    }
    size_t requestCount() const { return sim.requests(left).size() + sim.requests(right).size(); }
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    std::string host(int unit) const { return sim.address(unit); }

    sim::UnitSimulator sim;
    std::string subnet;
    int left = -1, right = -1;
    QTemporaryDir dir;
};

TEST_F(ShowCommandsTest, ASavedShowIsComparedAndSentOnlyWhenTold) {
    auto r = cli({"show-save", "--all", "--out", path("show.json")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QFile file(dir.filePath("show.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const ShowRead saved = readShowJson(file.readAll());
    ASSERT_TRUE(saved.ok());
    ASSERT_EQ(saved.units.size(), 2u);
    for (const ShowUnit& u : saved.units)
        EXPECT_EQ(u.address, host(u.name == "Left" ? left : right)) << u.name;

    r = cli({"show-diff", path("show.json")});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    setGains(60, 90);  // Left's output 1 now at -20 dB, Right as saved
    r = cli({"show-diff", path("show.json")});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_NE(r.out.find(host(left) + ": QD408 \"Left\": 1 setting differs from the show\n  "
                                      "output 1 gain: unit has -20.0 dB, record has +0.0 dB\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(host(right) + ": QD206 \"Right\": holds the show's settings"),
              std::string::npos)
        << r.out;

    r = cli({"show-load", path("show.json")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.out.find("output 1 gain"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("nothing sent"), std::string::npos) << r.err;
    EXPECT_EQ(gains(), std::make_pair(60, 90));

    r = cli({"show-load", path("show.json"), "--yes"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find(host(left) + ": QD408 \"Left\": loaded"), std::string::npos) << r.out;
    EXPECT_EQ(gains(), std::make_pair(100, 90));
}

TEST_F(ShowCommandsTest, BadInputSendsNothingAndWritesNothing) {
    ASSERT_EQ(cli({"show-save", "--all", "--out", path("show.json")}).exitCode, 0);
    // Right's output 1 at +13 dB, beyond what a unit holds.
    QFile file(dir.filePath("show.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    QJsonArray units = root["units"].toArray();
    const int at = units[0].toObject()["name"].toString() == "Right" ? 0 : 1;
    QJsonObject unit = units[at].toObject(), settings = unit["settings"].toObject();
    QJsonArray outputs = settings["outputs"].toArray();
    QJsonObject first = outputs[0].toObject();
    first["gainDb"] = 13;
    outputs[0] = first;
    settings["outputs"] = outputs;
    unit["settings"] = settings;
    units[at] = unit;
    root["units"] = units;
    QFile bad(dir.filePath("bad.json"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QJsonDocument(root).toJson());
    bad.close();
    setGains(60, 50);
    sim.clearRequests(left);
    sim.clearRequests(right);
    auto r = cli({"show-load", path("bad.json"), "--yes"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("unit \"Right\": units[" + std::to_string(at) +
                         "].settings.outputs[0].gainDb: 13 is outside -50 .. 12 dB"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(requestCount(), 0u);
    EXPECT_EQ(gains(), std::make_pair(60, 50));

    // A serial unit is kept by its device path, as the window keeps it.
    const int desk = sim.addSerialUnit(4, "Desk");
    ASSERT_GE(desk, 0) << sim.lastError();
    r = cli({"show-save", "--serial", "COM1", "--serial-map", "COM1=" + sim.slavePath(desk),
             "--out", path("desk.json")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QFile deskFile(dir.filePath("desk.json"));
    ASSERT_TRUE(deskFile.open(QIODevice::ReadOnly));
    const ShowRead deskShow = readShowJson(deskFile.readAll());
    ASSERT_EQ(deskShow.units.size(), 1u);
    EXPECT_EQ(deskShow.units[0].transport, ShowTransport::Serial);
    EXPECT_EQ(deskShow.units[0].address, sim.slavePath(desk));

    // Two units of one model and name, which a file could not tell apart: no file.
    ASSERT_GE(sim.addNetworkUnit(4, test::loopbackHost(subnet, 4), "Left"), 0) << sim.lastError();
    r = cli({"show-save", "--all", "--out", path("twice.json")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(".name: units[0] is already the QD408 named \"Left\""), std::string::npos)
        << r.err;
    EXPECT_FALSE(QFile::exists(dir.filePath("twice.json")));

    // A unit that cannot be read: no file at all.
    const std::string silent = test::loopbackHost(subnet, 9);
    r = cli({"show-save", "--ip", host(left), "--ip", silent, "--out", path("half.json")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(silent + ": connection timed out"), std::string::npos) << r.err;
    EXPECT_FALSE(QFile::exists(dir.filePath("half.json")));
}

TEST_F(ShowCommandsTest, AUnitThatFallsSilentInALoadIsNamedAndTheOtherIsDone) {
    ASSERT_EQ(cli({"show-save", "--all", "--out", path("show.json")}).exitCode, 0);
    setGains(60, 50);
    // What a search, the connection and the full read ask of Left.
    sim.clearRequests(left);
    ASSERT_EQ(cli({"show-diff", path("show.json")}).exitCode, 2);
    const size_t beforeDownload = sim.requests(left).size();
    sim.clearRequests(left);
    std::thread silencer([&] {
        if (sim.waitForRequests(left, beforeDownload + 40, 30000)) sim.setSilenced(left, true);
    });
    const auto r = cli({"show-load", path("show.json"), "--yes"});
    silencer.join();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(host(left) + ": QD408 \"Left\": "), std::string::npos) << r.err;
    EXPECT_NE(r.out.find(host(right) + ": QD206 \"Right\": loaded"), std::string::npos) << r.out;
    EXPECT_EQ(gains().second, 90);
}

}  // namespace
}  // namespace qel
