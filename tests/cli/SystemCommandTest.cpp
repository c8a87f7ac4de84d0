// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QTemporaryDir>

#include "CliJson.h"
#include "UnitSimulator.h"
#include "WireText.h"
#include "device/ModeFileStore.h"
#include "device/Models.h"
#include "support/Gbk.h"
#include "support/Loopback.h"
#include "support/RunProcess.h"
#include "support/SimRecords.h"

namespace qel {
namespace {

// The system commands against a simulated QD406, in a folder of their own for the mode files.
class SystemCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ip = test::loopbackHost(test::loopbackSubnet(), 3);
        ASSERT_EQ(sim.addNetworkUnit(3, ip, "Tower"), 0) << sim.lastError();
        ASSERT_TRUE(sim.start());
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());  // the mode files live in the current folder
    }
    void TearDown() override { QDir::setCurrent(previous); }

    test::ProcessResult cli(std::vector<std::string> args) {
        args.insert(args.begin(), QUELLMAR_CLI);
        args.insert(args.end(), {"--ip", ip, "--local-port", "0"});
        return test::runProcess(args);
    }
    // Unit-wide writes the unit received with this code.
    int writes(uint8_t code) const {
        int n = 0;
        for (const auto& r : sim.requests(0)) n += r.frame[5] == 0x02 && r.frame[9] == code;
        return n;
    }

    sim::UnitSimulator sim;
    std::string ip;
    QTemporaryDir dir;
    QString previous;
};

TEST_F(SystemCommandTest, PasswordGuardsTheModeSwitchAndUserModeRefusesStores) {
    auto r = cli({"mode-switch", "--password", "12345", "--engineering"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "please enter the system password!\n");
    EXPECT_TRUE(sim.requests(0).empty());
    r = cli({"mode-switch", "--password", "000001", "--engineering"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "wrong system password!\n");
    r = cli({"store", "4", "--name", "Evening"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "user mode cannot save data !\n");
    EXPECT_EQ(writes(0x10), 0);
    EXPECT_FALSE(sim.state(0).engineering);

    r = cli({"mode-switch", "--password", "000000", "--engineering"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "switched to engineering mode!\n");
    EXPECT_TRUE(sim.state(0).engineering);
    EXPECT_EQ(writes(0x14), 1);
    // The unit keeps characters 32-127 only: other names are refused before anything is sent.
    sim.clearRequests(0);
    r = cli({"store", "4", "--name", "主舞台模式"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "the unit keeps only ASCII letters, digits, spaces and symbols (characters 32-127), "
              "not: 主舞台模式\n");
    r = cli({"store", "4", "--name", "Main 主舞台 Stage"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("not: 主舞台; without them the name is \"Main  Stage\"\n"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(sim.requests(0).empty());
    r = cli({"store", "4", "--name", "ABCDEFGHIJKLMNOPQRSTUVWXY"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(sim::decodeWireText(sim.state(0).modes[3].nameWire, sim::kNameBytes),
              "ABCDEFGHIJKLMNOPQRST");
    r = cli({"password", "--old", "000000", "--new", "271828"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const uint8_t expected[] = {2, 7, 1, 8, 2, 8};
    EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), sim.state(0).password));

    auto s = sim.state(0);
    s.modes[5].params.out[2].delay = 2400;
    sim.setState(0, s);
    r = cli({"recall", "6"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "recalled mode 6. Mode 6\n");
    EXPECT_EQ(sim.state(0).currentMode, 5);
    EXPECT_EQ(sim.state(0).params.out[2].delay, 2400);
}

TEST_F(SystemCommandTest, PcModesAreSavedListedAndApplied) {
    auto s = sim.state(0);
    test::randomise(s, 11);
    sim.setState(0, s);
    auto r = cli({"pc-save", "3", "--name", "Festival"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ModeFileStore store;
    ASSERT_TRUE(store.load(3).ok);
    const ModeRecord saved = *store.record(3, 2);
    const QDate today = QDate::currentDate();
    const std::string date = std::to_string(today.year()) + "-" + std::to_string(today.month()) +
                             "-" + std::to_string(today.day());
    EXPECT_EQ(saved.date(), date);
    ModeRecord read = test::expectedRecord(s);
    read.setUsed(true);
    read.setName("Festival");
    read.setDate(date);
    EXPECT_EQ(saved, read);

    r = cli({"modes"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string current = "* " + std::to_string(s.currentMode + 1) + ". Mode ";
    EXPECT_NE(r.out.find(current), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n3\tFestival\t" + date + "\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n4\t-\t-\n"), std::string::npos) << r.out;

    // Names go into the file in GBK, as the Windows program keeps them, cut between
    // characters; a character GBK lacks is refused.
    r = cli({"pc-save", "7", "--name", "中文名称测试 ABC"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    r = cli({"pc-save", "8", "--name", "ABCDEFGHIJKLMNOPQRS中文"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err,
              "the name takes more than 20 bytes in GBK and was shortened to "
              "\"ABCDEFGHIJKLMNOPQRS\"\n");
    r = cli({"pc-save", "9", "--name", "Live 🎤"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "the mode files hold names in GBK, which has no code for: 🎤\n");
    ASSERT_TRUE(store.load(3).ok);
    EXPECT_EQ(store.record(3, 6)->nameBytes(), test::gbk("中文名称测试 ABC"));
    EXPECT_EQ(store.record(3, 7)->nameBytes(), "ABCDEFGHIJKLMNOPQRS");
    EXPECT_FALSE(store.record(3, 8)->isUsed());
    r = cli({"modes"});
    EXPECT_NE(r.out.find("\n7\t中文名称测试 ABC\t"), std::string::npos) << r.out;

    // Other settings on the unit; applying the PC mode brings the saved ones back.
    auto later = sim.state(0);
    test::randomise(later, 12);
    sim.setState(0, later);
    sim.clearRequests(0);
    r = cli({"pc-apply", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ModeRecord onUnit = test::expectedRecord(sim.state(0));
    onUnit.setUsed(true);
    onUnit.setName("Festival");
    onUnit.setDate(date);
    // A download reaches only the model's channels.
    for (int k = outputCount(3); k < kMaxOutputs; ++k) onUnit.output(k) = saved.output(k);
    EXPECT_EQ(onUnit, saved);
    EXPECT_EQ(writes(0x13), 1);

    sim.clearRequests(0);
    r = cli({"pc-apply", "5"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "PC mode 5 is empty: nothing was sent\n");
    for (const auto& request : sim.requests(0)) EXPECT_EQ(request.frame[5] >> 4, 0);
}

TEST_F(SystemCommandTest, JsonTellsEachResultAndEachRefusalByItsCode) {
    const auto failure = [](const test::ProcessResult& r) {
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "");
        const QJsonObject json = test::jsonOf(r.out);
        EXPECT_FALSE(json["ok"].toBool()) << r.out;
        return test::text(test::field(json, "error", "code"));
    };
    EXPECT_EQ(failure(cli({"mode-switch", "--password", "12345", "--user", "--json"})),
              "password-format");
    EXPECT_EQ(failure(cli({"mode-switch", "--password", "000001", "--user", "--json"})),
              "wrong-password");
    EXPECT_EQ(failure(cli({"store", "4", "--name", "Evening", "--json"})), "user-mode");
    EXPECT_EQ(failure(cli({"pc-apply", "5", "--json"})), "empty-pc-mode");
    EXPECT_EQ(failure(cli({"recall", "21", "--json"})), "usage");

    auto r = cli({"mode-switch", "--password", "000000", "--engineering", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    auto json = test::jsonOf(r.out);
    EXPECT_TRUE(json["ok"].toBool());
    EXPECT_TRUE(json["engineering"].toBool());
    EXPECT_EQ(test::text(json["message"]), "switched to engineering mode!");
    EXPECT_EQ(test::text(json["unit"]), ip);
    EXPECT_EQ(test::text(json["model"]), "QD406");
    r = cli({"store", "4", "--name", "Evening", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    json = test::jsonOf(r.out);
    EXPECT_EQ(json["number"].toInt(), 4);
    EXPECT_EQ(test::text(json["name"]), "Evening");
    r = cli({"pc-save", "2", "--name", "Gala", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    json = test::jsonOf(r.out);
    EXPECT_EQ(test::text(json["file"]), "mode406.dat");
    const std::string date = test::text(json["date"]);
    EXPECT_EQ(date.rfind(std::to_string(QDate::currentDate().year()) + "-", 0), 0u) << date;

    r = cli({"modes", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    json = test::jsonOf(r.out);
    EXPECT_EQ(test::text(json["name"]), "Tower");
    EXPECT_TRUE(json["engineering"].toBool());
    const QJsonArray device = json["deviceModes"].toArray();
    ASSERT_EQ(device.size(), 20);
    EXPECT_EQ(test::text(test::field(device, 3, "name")), "Evening");
    for (int slot = 0; slot < 20; ++slot)
        EXPECT_EQ(test::field(device, slot, "current").toBool(), slot == sim.state(0).currentMode) << slot;
    const QJsonArray pc = json["pcModes"].toArray();
    ASSERT_EQ(pc.size(), 32);
    EXPECT_EQ(pc[1].toObject(), (QJsonObject{{"number", 2},
                                             {"used", true},
                                             {"name", "Gala"},
                                             {"date", QString::fromStdString(date)}}));
    EXPECT_EQ(pc[2].toObject(),
              (QJsonObject{{"number", 3}, {"used", false}, {"name", ""}, {"date", ""}}));

    r = cli({"pc-apply", "2", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    json = test::jsonOf(r.out);
    EXPECT_EQ(json["number"].toInt(), 2);
    EXPECT_EQ(test::text(json["name"]), "Gala");
}

}  // namespace
}  // namespace qel
