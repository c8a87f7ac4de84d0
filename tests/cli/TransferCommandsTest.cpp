#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <fstream>
#include <vector>

#include "UnitSimulator.h"
#include "device/ModeFileStore.h"
#include "device/ModeImage.h"
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

TEST_F(TransferCommandsTest, ReadWritesTheImageAndDescribesIt) {
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
    EXPECT_EQ(json["name"].toString(), "Main Stage");
    EXPECT_EQ(json["currentMode"].toInt(), 7);
    const auto out3 = json["outputs"].toArray()[2].toObject();
    EXPECT_EQ(out3["delay"].toObject()["ms"].toDouble(), 20.0);
    EXPECT_EQ(out3["gain"].toObject()["dB"].toDouble(), 5.0);
    EXPECT_EQ(json["outputs"].toArray().size(), 8);
    // The unit was told that we let go of it.
    EXPECT_EQ(sim.requests(unit).back().frame[9], 0x00);
}

TEST_F(TransferCommandsTest, DownloadSendsOneRecordOfAModeFile) {
    ModeFileStore store(dir.path());
    store.loadAll();
    ModeRecord record;
    record.setUsed(true);
    record.setName("Festival");
    record.output(5).setDelay(480);
    record.input(1).setGain(77);
    ASSERT_TRUE(store.setRecord(model::kQD408, 9, record));
    ASSERT_TRUE(store.save(model::kQD408).ok);
    const auto r = cli({"download", "--ip", ip, "--mode-file", store.filePath(model::kQD408).toStdString(),
                        "--record", "9"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Festival"), std::string::npos) << r.out;
    EXPECT_EQ(sim.state(unit).params.out[5].delay, 480);
    EXPECT_EQ(sim.state(unit).params.in[1].gain, 77);
}

TEST_F(TransferCommandsTest, FailuresAreReportedOnOneLine) {
    // A QD206 that never confirms its six outputs' limiter release (short of the silence
    // after which a unit counts as lost).
    const std::string small = test::loopbackHost(test::loopbackSubnet(), 3);
    sim::Faults f;
    f.silentCodes = {0x07};
    ASSERT_GE(sim.addNetworkUnit(2, small, "Fill", f), 0) << sim.lastError();
    std::ofstream(path("short.dat")) << "x";
    auto r = cli({"download", "--ip", small, "--mode-file", path("short.dat"), "--record", "0"});
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
