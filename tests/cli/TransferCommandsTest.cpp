// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <csignal>
#include <fstream>
#include <thread>
#include <vector>

#include "CliJson.h"
#include "UnitSimulator.h"
#include "device/ModeFileStore.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "support/Loopback.h"
#include "support/RunProcess.h"

namespace qel {
namespace {

class TransferCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ip = test::loopbackHost(test::loopbackSubnet(), 2);
        unit = sim.addNetworkUnit(4, ip, "Main Stage");
        ASSERT_GE(unit, 0) << sim.lastError();
        ASSERT_TRUE(sim.start());
        ASSERT_TRUE(dir.isValid());
    }
    test::ProcessResult cli(std::vector<std::string> args) {
        std::vector<std::string> argv = {QUELLMAR_CLI};
        argv.insert(argv.end(), args.begin(), args.end());
        argv.insert(argv.end(), {"--local-port", "0"});
        return test::runProcess(argv);
    }
    std::string path(const char* name) { return dir.filePath(name).toStdString(); }

    sim::UnitSimulator sim;
    int unit = -1;
    std::string ip;
    QTemporaryDir dir;
};

TEST_F(TransferCommandsTest, ReadWritesTheImageAndPrintsThePresetExportWrites) {
    auto s = sim.state(unit);
    s.params.out[2].delay = 960;  // 20 ms
    s.params.out[2].gain = 110;   // +5 dB
    s.currentMode = 6;
    sim.setState(unit, s);
    const auto r = cli({"read", "--ip", ip, "--out", path("image.bin"), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::ifstream in(path("image.bin"), std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(bytes.size(), ModeImage::kSize);
    const ModeImage image = ModeImage::fromBytes(bytes.data());
    EXPECT_EQ(image.record().output(2).delay(), 960);
    EXPECT_EQ(image.currentMode(), 6u);
    const auto json = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    EXPECT_EQ(json["model"].toString(), "QD408");
    EXPECT_EQ(json["device"].toString(), "Main Stage");
    const auto out3 = json["outputs"].toArray()[2].toObject();
    EXPECT_EQ(out3["delay"].toObject()["samples"].toInt(), 960);
    EXPECT_EQ(out3["gainDb"].toDouble(), 5.0);
    // The unit was told that we let go of it.
    EXPECT_EQ(sim.requests(unit).back().frame[9], 0x00);
    const auto e = cli({"export", "--ip", ip, "--out", path("unit.json")});
    ASSERT_EQ(e.exitCode, 0) << e.err;
    std::ifstream exported(path("unit.json"));
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(exported)), {}), r.out);
    // --json alone prints it; without either there is nothing to give.
    const auto printed = cli({"read", "--ip", ip, "--json"});
    ASSERT_EQ(printed.exitCode, 0) << printed.out;
    EXPECT_EQ(printed.out, r.out);
    const auto neither = cli({"read", "--ip", ip});
    EXPECT_EQ(neither.exitCode, 1);
    EXPECT_NE(neither.err.find("--out FILE, --json"), std::string::npos) << neither.err;
}

TEST_F(TransferCommandsTest, DownloadIsVerifiedAndNamesWhatTheUnitIgnored) {
    ModeFileStore store(dir.path());
    store.loadAll();
    ModeRecord record;
    record.setUsed(true);
    record.setName("Festival");
    record.output(5).setDelay(480);
    record.input(1).setGain(77);
    ASSERT_TRUE(store.setRecord(model::kQD408, 9, record));
    ASSERT_TRUE(store.save(model::kQD408).ok);
    const std::string file = store.filePath(model::kQD408).toStdString();
    auto r = cli({"download", "--ip", ip, "--mode-file", file, "--record", "9"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, ip + ": downloaded record 9 (Festival) to QD408; verified: the unit equals "
                          "the record\n");
    EXPECT_EQ(sim.state(unit).params.out[5].delay, 480);
    EXPECT_EQ(sim.state(unit).params.in[1].gain, 77);
    // A unit that confirms delay writes without taking them.
    record.output(5).setDelay(960);
    ASSERT_TRUE(store.setRecord(model::kQD408, 9, record));
    ASSERT_TRUE(store.save(model::kQD408).ok);
    sim.setFaults(unit, sim::Faults{.ignoredWrites = {0x04}});
    r = cli({"download", "--ip", ip, "--mode-file", file, "--record", "9"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, ip + ": 1 parameter still differs after 2 rounds of sending them again\n  "
                          "output 6 delay: unit has 10.000 ms (480 samples), record has 20.000 ms "
                          "(960 samples)\n");
    r = cli({"download", "--ip", ip, "--mode-file", file, "--record", "9", "--no-verify"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("not verified"), std::string::npos) << r.out;
}

TEST_F(TransferCommandsTest, InterruptStopsADownloadAndLetsGoOfTheUnit) {
    ModeRecord record;
    record.setName("Festival");
    ASSERT_TRUE(ModeFileStore::saveRecordInFile(dir.filePath("mode408.dat"), 9, record).ok);
    sim.setFaults(unit, sim::Faults{.replyDelayMs = 150});  // the download takes about 50 s
    std::thread interrupter;
    const auto r =
        test::runProcess({QUELLMAR_CLI, "download", "--ip", ip, "--mode-file", path("mode408.dat"),
                          "--record", "9", "--json", "--local-port", "0"},
                         20000, [&](pid_t pid) {
                             interrupter = std::thread([this, pid] {
                                 if (sim.waitForRequests(unit, 20, 10000)) ::kill(pid, SIGINT);
                             });
                         });
    interrupter.join();
    EXPECT_EQ(r.exitCode, 1) << r.err;
    const auto json = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    const auto entry = json["units"].toArray()[0].toObject();
    EXPECT_EQ(entry["error"].toObject()["code"].toString(), "cancelled") << r.out;
    const auto requests = sim.requests(unit);
    EXPECT_LT(requests.size(), 40u);            // a whole download is some 300 commands
    EXPECT_EQ(requests.back().frame[9], 0x00);  // the unit was told that we let go of it
}

TEST_F(TransferCommandsTest, JsonGivesEachUnitsResultAndWhatStillDiffers) {
    ModeRecord record;
    record.setName("Festival");
    record.output(5).setDelay(960);
    ASSERT_TRUE(ModeFileStore::saveRecordInFile(dir.filePath("mode408.dat"), 9, record).ok);
    // The first unit confirms delay writes without taking them; the second never answers.
    sim.setFaults(unit, sim::Faults{.ignoredWrites = {0x04}});
    const std::string silent = test::loopbackHost(test::loopbackSubnet(), 9);
    auto r = cli({"download", "--json", "--ip", ip, "--ip", silent, "--mode-file",
                  path("mode408.dat"), "--record", "9"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "");
    auto json = test::jsonOf(r.out);
    EXPECT_FALSE(json["ok"].toBool());
    EXPECT_EQ(test::text(test::field(json, "error", "code")), "units-failed");
    EXPECT_EQ(test::text(test::field(json, "error", "message")), "2 of 2 units failed");
    const QJsonArray units = json["units"].toArray();
    ASSERT_EQ(units.size(), 2) << r.out;
    const QJsonObject first = units[0].toObject(), second = units[1].toObject();
    EXPECT_EQ(test::text(first["unit"]), ip);
    EXPECT_FALSE(first["ok"].toBool());
    EXPECT_EQ(test::text(first["model"]), "QD408");
    EXPECT_EQ(test::text(test::field(first, "error", "code")), "verify-failed");
    EXPECT_EQ(test::text(test::field(first, "error", "message")),
              "1 parameter still differs after 2 rounds of sending them again");
    EXPECT_EQ(test::field(first, "error", "details").toArray(),
              QJsonArray{"output 6 delay: unit has 0.000 ms (0 samples), record has 20.000 ms "
                         "(960 samples)"});
    EXPECT_EQ(test::text(second["unit"]), silent);
    EXPECT_EQ(test::text(test::field(second, "error", "code")), "handshake-timeout");

    sim.setFaults(unit, sim::Faults{});
    r = cli(
        {"download", "--json", "--ip", ip, "--mode-file", path("mode408.dat"), "--record", "9"});
    EXPECT_EQ(r.exitCode, 0) << r.out;
    json = test::jsonOf(r.out);
    EXPECT_TRUE(json["ok"].toBool());
    EXPECT_TRUE(test::field(json, "units", 0, "ok").toBool());
    EXPECT_EQ(test::text(test::field(json, "units", 0, "message")),
              "downloaded record 9 (Festival) to QD408; verified: the unit equals the record");

    r = cli({"export", "--json", "--ip", ip, "--out", path("unit.json")});
    EXPECT_EQ(r.exitCode, 0) << r.out;
    json = test::jsonOf(r.out);
    EXPECT_EQ(test::text(test::field(json, "units", 0, "file")), path("unit.json"));
    EXPECT_EQ(test::text(test::field(json, "units", 0, "model")), "QD408");
    r = cli({"import", "--json", path("unit.json"), "--mode-file", path("mode408.dat"), "--record",
             "3"});
    EXPECT_EQ(r.exitCode, 0) << r.out;
    json = test::jsonOf(r.out);
    EXPECT_EQ(json["record"].toInt(), 3);
    EXPECT_EQ(test::text(json["file"]), path("mode408.dat"));
    EXPECT_EQ(json["notes"].toArray(), QJsonArray());
    EXPECT_EQ(ModeFileStore::readRecordOfFile(dir.filePath("mode408.dat"), 3)->output(5).delay(),
              960);
}

TEST_F(TransferCommandsTest, PresetsGoIntoModeFilesAndErrorsNameTheirPath) {
    ModeRecord record;
    record.setName("Cafe");
    record.output(1).setLimiterLevel(30);
    ModeFileStore store(dir.path());
    store.loadAll();
    ASSERT_TRUE(store.setRecord(model::kQD408, 2, record));
    ASSERT_TRUE(store.save(model::kQD408).ok);
    const std::string file = store.filePath(model::kQD408).toStdString();
    auto r = cli({"export", "--mode-file", file, "--record", "2", "--out", path("cafe.json")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QFile json(QString::fromStdString(path("cafe.json")));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    QJsonObject root = QJsonDocument::fromJson(json.readAll()).object();
    QJsonArray outs = root["outputs"].toArray();
    QJsonObject out2 = outs[1].toObject();
    out2["gainDb"] = -12.0;
    outs[1] = out2;
    root["outputs"] = outs;
    std::ofstream(path("edited.json")) << QJsonDocument(root).toJson().toStdString();
    r = cli({"import", path("edited.json"), "--mode-file", file, "--record", "7"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    store.loadAll();
    record.output(1).setGain(76);  // -12 dB
    EXPECT_TRUE(store.record(model::kQD408, 7) == record);

    out2["mute"] = "yes";
    outs[1] = out2;
    root["outputs"] = outs;
    std::ofstream(path("bad.json")) << QJsonDocument(root).toJson().toStdString();
    r = cli({"import", path("bad.json"), "--mode-file", file, "--record", "8"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("outputs[1].mute: expected true or false, found a text"),
              std::string::npos)
        << r.err;
    store.loadAll();
    EXPECT_FALSE(store.record(model::kQD408, 8)->isUsed());
    EXPECT_EQ(store.record(model::kQD408, 8)->output(1).gain(), 0);
    r = cli({"import", path("edited.json"), "--mode-file",
             dir.filePath("mode206.dat").toStdString(), "--record", "0"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("model: the preset is for a QD408, the target is a QD206"),
              std::string::npos)
        << r.err;

    // With --json the preset's problems are the error's details, and nothing is written.
    r = cli({"import", path("bad.json"), "--mode-file", file, "--record", "8", "--json"});
    EXPECT_EQ(r.exitCode, 1);
    const QJsonObject error = test::jsonOf(r.out)["error"].toObject();
    EXPECT_EQ(test::text(error["code"]), "preset");
    EXPECT_EQ(test::text(error["message"]), path("bad.json") + ": the preset cannot be used:");
    EXPECT_EQ(error["details"].toArray(),
              QJsonArray{"outputs[1].mute: expected true or false, found a text"});
    store.loadAll();
    EXPECT_FALSE(store.record(model::kQD408, 8)->isUsed());
}

TEST_F(TransferCommandsTest, ImportEqPutsMeasuredFiltersOnAChannel) {
    std::ofstream(path("eq.txt")) << "Preamp: -3 dB\n"
                                     "Filter 1: ON PK Fc 100 Hz Gain -3,0 dB Q 1,41\n"
                                     "Filter 2: OFF None\n"
                                     "Filter 3: ON HSC Fc 4000 Hz Gain 2.0 dB Q 0.7\n";
    auto r = cli({"import-eq", path("eq.txt"), "--channel", "out:3", "--ip", ip});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("verified"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("at most"), std::string::npos) << r.out;
    const auto& out3 = sim.state(unit).params.out[2];
    EXPECT_EQ(out3.eq[0][0], 0);    // peak
    EXPECT_EQ(out3.eq[0][1], 59);   // 100 Hz (wire order: type, frequency, gain, Q)
    EXPECT_EQ(out3.eq[0][2], 105);  // -3.0 dB
    EXPECT_EQ(out3.eq[0][3], 6);    // Q 1.4
    EXPECT_EQ(out3.eq[1][0], 2);    // high shelf
    EXPECT_EQ(out3.eq[2][2], 120);  // left over: 0 dB
    EXPECT_EQ(out3.eqSwitch, 0);    // the EQ works (1 would be "EQ pass")

    std::string many;
    for (int i = 1; i <= 11; ++i)
        many += "Filter " + std::to_string(i) + ": ON PK Fc 1 kHz Gain 1 dB Q 2\n";
    std::ofstream(path("many.txt")) << many;
    const auto before = sim.requests(unit).size();
    r = cli({"import-eq", path("many.txt"), "--channel", "out:3", "--ip", ip});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("line 11: 11 filters are on, output 3 has 10 EQ points"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(sim.requests(unit).size(), before);  // nothing was sent

    // An equaliser's configuration for two channels: one is named, HP goes to the high-pass.
    std::ofstream(path("config.txt")) << "Device: Speakers; all\n"
                                         "Channel: L\n"
                                         "Filter 1: ON PEQ Fc 100 Hz Gain 1.0 dB BW Oct 0.167\n"
                                         "Channel: R\n"
                                         "Filter 1: ON LS 12dB Fc 300 Hz Gain 5.0 dB\n"
                                         "Filter 2: ON HP Fc 30 Hz\n";
    r = cli({"import-eq", path("config.txt"), "--channel", "out:3", "--ip", ip});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("line 5: the filters belong to more than one channel (L, R)"),
              std::string::npos)
        << r.err;
    r = cli({"import-eq", path("config.txt"), "--channel", "out:3", "--source-channel", "R", "--ip",
             ip});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("line 1: skipped \"Device: Speakers; all\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("filters for other channels, skipped: 1"), std::string::npos) << r.out;
    const auto& hp = sim.state(unit).params.out[2];
    EXPECT_EQ(hp.eq[0][0], 1);   // low shelf
    EXPECT_EQ(hp.eq[0][1], 99);  // 300 Hz
    EXPECT_EQ(hp.hpfType, 0);    // Butterworth 12 dB
    EXPECT_EQ(hp.hpfFreq, 15);   // 30 Hz
    // Inputs have no high-pass: refused on its line.
    r = cli({"import-eq", path("config.txt"), "--channel", "in:A", "--source-channel", "R", "--ip",
             ip});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("line 6: HP is a crossover filter, which input A does not have"),
              std::string::npos)
        << r.err;
}

TEST_F(TransferCommandsTest, ExportEqWritesAChannelThatImportEqTakesBack) {
    auto s = sim.state(unit);
    auto& out3 = s.params.out[2];
    for (int n = 0; n < 10; ++n) {
        const uint8_t point[4] = {static_cast<uint8_t>(n % 3), static_cast<uint8_t>(20 * n + 7),
                                  static_cast<uint8_t>(100 + 5 * n), static_cast<uint8_t>(3 * n)};
        std::copy(point, point + 4, out3.eq[n]);
    }
    out3.hpfType = 0, out3.hpfFreq = 15;   // Butterworth 12 dB at 30 Hz
    out3.lpfType = 7, out3.lpfFreq = 200;  // Linkwitz-Riley 24 dB: not for the text
    out3.eqSwitch = 0;                     // the EQ works, as an import leaves it
    sim.setState(unit, s);
    const auto original = sim.state(unit).params.out[2];
    auto r = cli({"export-eq", "--channel", "out:3", "--ip", ip, "--format", "apo", "--out",
                  path("out3.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("wrote 11 filters of output 3 to " + path("out3.txt")), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("note: the low-pass (Lik-Riley  -24dB) is not written"), std::string::npos)
        << r.out;
    std::ifstream in(path("out3.txt"));
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text.rfind("# QD408 Main Stage, output 3\n", 0), 0u) << text;
    EXPECT_NE(text.find("Filter 1: ON PK Fc 24.1 Hz Gain -4.0 dB Q 0.2\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Filter 11: ON HP Fc 30 Hz\n"), std::string::npos) << text;

    // The unit's EQ moved on; the file puts it back as it was.
    s = sim.state(unit);
    for (auto& point : s.params.out[2].eq) point[2] = 120;
    s.params.out[2].hpfFreq = 0;
    sim.setState(unit, s);
    r = cli({"import-eq", path("out3.txt"), "--channel", "out:3", "--ip", ip});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(sim.state(unit).params.out[2] == original);

    // A mode file record, in the generic layout; a channel the model lacks is refused.
    ModeRecord record;
    record.setName("Venue");
    record.input(1).point(0) = EqPoint{1, 130, 143, 4};
    ASSERT_TRUE(ModeFileStore::saveRecordInFile(dir.filePath("mode206.dat"), 2, record).ok);
    r = cli({"export-eq", "--channel", "in:B", "--mode-file", path("mode206.dat"), "--record", "2",
             "--out", path("inB.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::ifstream generic(path("inB.txt"));
    const std::string inB((std::istreambuf_iterator<char>(generic)), {});
    EXPECT_EQ(inB.rfind("Filter Settings file\n\nQD206 Venue, input B\n", 0), 0u) << inB;
    EXPECT_NE(inB.find("Filter 1: ON LS Fc 1000 Hz Gain 2.0 dB\n"), std::string::npos) << inB;
    r = cli({"export-eq", "--channel", "in:C", "--mode-file", path("mode206.dat"), "--record", "0",
             "--out", path("inC.txt")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("input C is not on a QD206"), std::string::npos) << r.err;
}

TEST_F(TransferCommandsTest, DownloadAllWorksOnEveryUnitSideBySide) {
    // Eight QD408s and a QD206 on one subnet, found by the search.
    sim::UnitSimulator many;
    const std::string subnet = test::loopbackSubnet();
    std::vector<int> units;
    for (int i = 0; i < 8; ++i)
        units.push_back(
            many.addNetworkUnit(4, test::loopbackHost(subnet, 10 + i), "U" + std::to_string(i)));
    ASSERT_GE(many.addNetworkUnit(2, test::loopbackHost(subnet, 30), "Small"), 0);
    ASSERT_TRUE(many.start());
    ModeRecord record;
    record.setName("Venue");
    record.output(7).setPolarity(1);
    ASSERT_TRUE(ModeFileStore::saveRecordInFile(dir.filePath("mode408.dat"), 4, record).ok);
    std::vector<std::string> args = {"download",      "--all", "--gateway",   subnet + ".1",
                                     "--search-port", "0",     "--mode-file", path("mode408.dat"),
                                     "--record",      "4"};
    for (int n = 1; n <= 16; ++n)
        args.insert(args.end(), {"--serial-map", "COM" + std::to_string(n) + "=/nonexistent"});
    const auto r = cli(args);
    EXPECT_EQ(r.exitCode, 1);  // the QD206 takes no QD408 modes
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 8) << r.out;
    for (int u : units) {
        EXPECT_NE(r.out.find(many.address(u) + ": downloaded record 4 (Venue) to QD408; verified"),
                  std::string::npos)
            << r.out;
        EXPECT_EQ(many.state(u).params.out[7].polarity, 1);
    }
    EXPECT_EQ(r.err, test::loopbackHost(subnet, 30) + ": " + path("mode408.dat") +
                         " holds QD408 modes; the unit is a QD206\n");
}

TEST_F(TransferCommandsTest, FailuresAreReportedOnOneLine) {
    // A QD206 that never confirms its six outputs' limiter release (short of the silence
    // after which a unit counts as lost).
    const std::string small = test::loopbackHost(test::loopbackSubnet(), 3);
    sim::Faults f;
    f.silentCodes = {0x07};
    ASSERT_GE(sim.addNetworkUnit(2, small, "Fill", f), 0) << sim.lastError();
    std::ofstream(path("short.dat")) << "x";
    auto r = cli({"download", "--ip", small, "--mode-file", path("short.dat"), "--record", "0",
                  "--no-verify"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("download incomplete: 6 commands"), std::string::npos) << r.err;
    r = cli({"download", "--ip", ip, "--mode-file", path("missing.dat"), "--record", "0"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("missing.dat"), std::string::npos) << r.err;
    r = cli({"download", "--ip", ip, "--mode-file", path("short.dat"), "--record", "32"});
    EXPECT_EQ(r.exitCode, 1);
    f.silentCodes = {0x02};
    sim.setFaults(unit, f);  // the QD408 no longer answers the handshake
    r = cli({"read", "--ip", ip, "--out", path("never.bin")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("timed out"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("never.bin"))));
}

}  // namespace
}  // namespace qel
