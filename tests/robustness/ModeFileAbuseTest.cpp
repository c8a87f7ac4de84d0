// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// Mode files as a user's disk may hold them: cut short at every length, too long, with
// flipped bits, and a save killed half-way. Every load must give the bytes as stored and
// every record must decode into page values; a killed save must leave a whole file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cmath>
#include <csignal>
#include <random>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "device/ModeFileStore.h"
#include "device/Models.h"
#include "device/RecordValues.h"
#include "device/ValueCodes.h"
#include "support/RunProcess.h"

namespace qel {
namespace {

constexpr size_t kFileSize = ModeFileStore::kFileSize;
constexpr uint32_t kSeed = 20240611;

std::vector<uint8_t> randomBytes(size_t size, uint32_t seed) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> v(size);
    for (auto& b : v) b = static_cast<uint8_t>(gen());
    return v;
}

// A new file each time: rewriting one in place makes ext4 flush it at every close.
bool writeFile(const QString& path, const std::vector<uint8_t>& bytes, size_t length) {
    QFile::remove(path);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const auto n = static_cast<qint64>(length);
    return f.write(reinterpret_cast<const char*>(bytes.data()), n) == n;
}

std::vector<uint8_t> readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray all = f.readAll();
    return {all.begin(), all.end()};
}

// Decodes one record of the model's buffer into page values and checks that each value is
// the one its stored byte stands for. Returns the number of values looked at.
size_t decodeRecord(const ModeFileStore& store, uint32_t model, int index) {
    const auto record = store.record(model, index);
    if (!record) {
        ADD_FAILURE() << "no record " << index;
        return 0;
    }
    uint8_t raw[ModeRecord::kSize];
    record->toBytes(raw);
    const RecordValues v = recordValues(*record, model);
    size_t looked = 0;
    // Any stored bytes show as a name (GBK, read leniently): at most one character per byte.
    EXPECT_LE(record->nameBytes().size(), ModeRecord::kMaxNameLength);
    EXPECT_LE(QString::fromStdString(v.name).size(),
              static_cast<qsizetype>(record->nameBytes().size()));
    EXPECT_EQ(v.used, raw[0] != 0 || raw[1] != 0);
    EXPECT_EQ(v.inputs.size(), static_cast<size_t>(inputCount(model)));
    EXPECT_EQ(v.outputs.size(), static_cast<size_t>(outputCount(model)));
    bool sound = true;
    for (size_t k = 0; k < v.outputs.size(); ++k) {
        const OutputValues& o = v.outputs[k];
        const uint8_t* out = raw + ModeRecord::kOutputsOffset + k * OutputChannel::kSize;
        sound = sound && o.gainDb == gainDb(out[OutputChannel::kGainOffset]) &&
                o.attackMs.has_value() == (out[OutputChannel::kLimiterAttackOffset] < 12) &&
                std::isfinite(o.delayMs) && std::isfinite(o.highPassHz);
        for (const auto& p : o.points) sound = sound && p.q > 0.19 && p.q < 36.01;
        looked += 8 + o.points.size();
    }
    for (const auto& in : v.inputs) looked += 3 + in.points.size();
    EXPECT_TRUE(sound) << "record " << index;
    return looked;
}

size_t decodeAll(const ModeFileStore& store, uint32_t model) {
    size_t looked = 0;
    for (int i = 0; i < ModeFileStore::kRecords; ++i) looked += decodeRecord(store, model, i);
    return looked;
}

class ModeFileAbuse : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(uint32_t model) const { return dir.filePath(ModeFileStore::fileName(model)); }

    QTemporaryDir dir;
};

// Lengths 0..24832 in four slices, so that CTest can run them side by side.
class TruncatedModeFile : public ModeFileAbuse, public ::testing::WithParamInterface<int> {};

TEST_P(TruncatedModeFile, EveryLengthLoadsAsStoredWithZerosBehind) {
    const auto full = randomBytes(kFileSize, kSeed);
    std::printf("seed %u, lengths from slice %d\n", kSeed, GetParam());
    const size_t slice = kFileSize / 4 + 1;
    const size_t from = static_cast<size_t>(GetParam()) * slice;
    const size_t to = std::min(kFileSize, from + slice - 1);
    ModeFileStore store(dir.path());
    size_t values = 0;
    for (size_t length = from; length <= to; ++length) {
        ASSERT_TRUE(writeFile(path(model::kQD408), full, length));
        const ModeFileStatus s = store.load(model::kQD408);
        ASSERT_TRUE(s.ok) << length << ": " << s.values.join(": ").toStdString();
        std::vector<uint8_t> expected(full.begin(), full.begin() + static_cast<long>(length));
        expected.resize(kFileSize, 0);
        ASSERT_EQ(store.contents(model::kQD408), expected) << "length " << length;
        values += decodeAll(store, model::kQD408);
        if (HasFailure()) FAIL() << "length " << length;
    }
    std::printf("lengths %zu..%zu loaded, %zu page values decoded\n", from, to, values);
}

INSTANTIATE_TEST_SUITE_P(Slices, TruncatedModeFile, ::testing::Range(0, 4));

TEST_F(ModeFileAbuse, LongerFilesGiveTheirFirst32RecordsAndAreLeftAlone) {
    for (size_t size :
         {kFileSize + 1, kFileSize + ModeRecord::kSize, size_t{65536}, size_t{1} << 20}) {
        const auto bytes = randomBytes(size, kSeed + static_cast<uint32_t>(size));
        ASSERT_TRUE(writeFile(path(model::kQD206), bytes, size));
        ModeFileStore store(dir.path());
        ASSERT_TRUE(store.load(model::kQD206).ok);
        EXPECT_EQ(store.contents(model::kQD206),
                  std::vector<uint8_t>(bytes.begin(), bytes.begin() + kFileSize))
            << size;
        decodeAll(store, model::kQD206);
        EXPECT_EQ(readFile(path(model::kQD206)), bytes) << size;
    }
}

TEST_F(ModeFileAbuse, ThousandBitFlipVariantsLoadAsStored) {
    // A plausible file: used records with names, dates and values in their ranges.
    std::vector<uint8_t> good(kFileSize, 0);
    std::mt19937 gen(kSeed);
    for (int i = 0; i < ModeFileStore::kRecords; i += 2) {
        ModeRecord r;
        r.setUsed(true);
        r.setName("Mode " + std::to_string(i));
        r.setDate(2024, 1 + i % 12, 1 + i);
        for (int k = 0; k < kMaxOutputs; ++k) {
            r.output(k).setGain(static_cast<uint8_t>(gen() % 201));
            r.output(k).setDelay(static_cast<uint16_t>(gen() % 48000));
            r.output(k).setLimiterAttack(static_cast<uint8_t>(gen() % 12));
            r.output(k).setLowPassFreq(255);
        }
        r.toBytes(good.data() + static_cast<size_t>(i) * ModeRecord::kSize);
    }
    std::printf("bit flips: seed %u\n", kSeed);
    const uint32_t models[] = {model::kQD206, model::kQD406, model::kQD408};
    for (int variant = 0; variant < 1000; ++variant) {
        auto bytes = good;
        const int flips = 1 + static_cast<int>(gen() % 16);
        for (int f = 0; f < flips; ++f)
            bytes[gen() % kFileSize] ^= static_cast<uint8_t>(1u << (gen() % 8));
        const uint32_t model = models[variant % 3];
        ASSERT_TRUE(writeFile(path(model), bytes, bytes.size()));
        ModeFileStore store(dir.path());
        ASSERT_TRUE(store.load(model).ok);
        ASSERT_EQ(store.contents(model), bytes) << "variant " << variant;
        decodeAll(store, model);
        if (HasFailure()) FAIL() << "variant " << variant;
    }
}

// A child saves in a loop, alternating two versions, and is killed at a seeded moment. The
// file must then hold one whole version. The child marks the start and the end of each save
// on a pipe, so a kill that came in the middle of a save shows as a start without an end.
TEST_F(ModeFileAbuse, ASaveKilledHalfWayLeavesAWholeFile) {
    ModeRecord a, b;
    a.setUsed(true);
    a.setName("version A");
    b.setUsed(true);
    b.setName("version B");
    b.output(7).setDelay(48000);
    std::vector<uint8_t> fileA(kFileSize), fileB(kFileSize);
    for (int i = 0; i < ModeFileStore::kRecords; ++i) {
        a.toBytes(fileA.data() + static_cast<size_t>(i) * ModeRecord::kSize);
        b.toBytes(fileB.data() + static_cast<size_t>(i) * ModeRecord::kSize);
    }
    ASSERT_TRUE(writeFile(path(model::kQD406), fileA, kFileSize));
    std::mt19937 gen(kSeed);
    std::printf("kill moments: seed %u\n", kSeed);
    int midSave = 0;
    constexpr int kRounds = 100;
    for (int round = 0; round < kRounds; ++round) {
        int marks[2];
        ASSERT_EQ(::pipe(marks), 0);
        const pid_t pid = test::forkChild([&]() -> int {
            ::close(marks[0]);
            ModeFileStore store(dir.path());
            for (long n = 1;; ++n) {
                for (int i = 0; i < ModeFileStore::kRecords; ++i)
                    store.setRecord(model::kQD406, i, n % 2 ? b : a);
                if (::write(marks[1], "S", 1) != 1) return 3;
                store.save(model::kQD406);
                if (::write(marks[1], "E", 1) != 1) return 3;
            }
        });
        ASSERT_GE(pid, 0);
        ::close(marks[1]);
        // Wait for the first save to begin, then a seeded while longer.
        char mark = 0;
        ASSERT_EQ(::read(marks[0], &mark, 1), 1);
        ::usleep(static_cast<useconds_t>(gen() % 3000));
        const int status = test::killChild(pid);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        char last = mark, buffer[4096];
        for (ssize_t n; (n = ::read(marks[0], buffer, sizeof buffer)) > 0;) last = buffer[n - 1];
        ::close(marks[0]);
        midSave += last == 'S';
        const auto now = readFile(path(model::kQD406));
        ASSERT_TRUE(now == fileA || now == fileB) << "round " << round << ": " << now.size();
    }
    std::printf("%d of %d kills landed in the middle of a save\n", midSave, kRounds);
    EXPECT_GT(midSave, 0);
    ModeFileStore again(dir.path());
    ASSERT_TRUE(again.load(model::kQD406).ok);
    EXPECT_TRUE(again.contents(model::kQD406) == fileA || again.contents(model::kQD406) == fileB);
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    std::printf("files left in the folder: %s\n", left.join(", ").toStdString().c_str());
}

}  // namespace
}  // namespace qel
