// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli/ErrorText.h"
#include "device/ModeFileStore.h"
#include "device/Models.h"
#include "support/Gbk.h"
#include "support/RunProcess.h"

namespace qel {
namespace {

constexpr size_t kFileSize = ModeFileStore::kFileSize;
constexpr int kCannotDropPrivileges = 77;

std::vector<uint8_t> pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> v(size);
    for (size_t i = 0; i < size; ++i) v[i] = static_cast<uint8_t>(i * 13 + seed);
    return v;
}

bool writeFile(const QString& path, const std::vector<uint8_t>& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const auto n = static_cast<qint64>(bytes.size());
    return f.write(reinterpret_cast<const char*>(bytes.data()), n) == n;
}

std::vector<uint8_t> readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray all = f.readAll();
    return {all.begin(), all.end()};
}

ModeRecord namedRecord(const char* name) {
    ModeRecord r;
    r.setUsed(true);
    r.setName(name);
    r.setDate(2024, 12, 31);
    r.output(5).setDelay(4800);
    return r;
}

// Runs body in a forked child, as an unprivileged user when asked and running as root (root
// ignores file permissions). Returns the wait status.
int runInChild(const std::function<int()>& body, bool unprivileged = false) {
    return test::waitStatus(test::forkChild([&] {
        if (unprivileged && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return kCannotDropPrivileges;
        return body();
    }));
}

class DeviceModeFileStore : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    void TearDown() override { ::chmod(QFile::encodeName(dir_.path()).constData(), 0700); }
    QString path(uint32_t model) const { return dir_.filePath(ModeFileStore::fileName(model)); }
    QStringList entries() const {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    void setFolderMode(mode_t mode) {
        ASSERT_EQ(::chmod(QFile::encodeName(dir_.path()).constData(), mode), 0);
    }

    QTemporaryDir dir_;
};

TEST_F(DeviceModeFileStore, MissingFilesAreCreatedEmptyInLoadOrder) {
    ModeFileStore store(dir_.path());
    const auto results = store.loadAll();
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].fileName, "mode408.dat");
    EXPECT_EQ(results[1].fileName, "mode406.dat");
    EXPECT_EQ(results[2].fileName, "mode206.dat");
    for (const auto& r : results) EXPECT_TRUE(r.ok) << cli::modeFileText(r);
    EXPECT_EQ(entries(), (QStringList{"mode206.dat", "mode406.dat", "mode408.dat"}));
    for (uint32_t m : {model::kQD206, model::kQD406, model::kQD408}) {
        EXPECT_EQ(QFileInfo(path(m)).size(), 0);
        EXPECT_EQ(store.contents(m), std::vector<uint8_t>(kFileSize, 0));
        EXPECT_FALSE(store.record(m, 31)->isUsed());
    }
}

TEST_F(DeviceModeFileStore, ShortFileLeavesTheRestZero) {
    const auto head = pattern(1000, 5);
    ASSERT_TRUE(writeFile(path(model::kQD406), head));
    ModeFileStore store(dir_.path());
    ASSERT_TRUE(store.load(model::kQD406).ok);
    const auto content = store.contents(model::kQD406);
    ASSERT_EQ(content.size(), kFileSize);
    EXPECT_TRUE(std::equal(head.begin(), head.end(), content.begin()));
    EXPECT_TRUE(std::all_of(content.begin() + 1000, content.end(), [](uint8_t b) { return !b; }));
    EXPECT_EQ(QFileInfo(path(model::kQD406)).size(), 1000);  // loading does not touch it
}

TEST_F(DeviceModeFileStore, LongFileGivesItsFirst24832Bytes) {
    const auto all = pattern(30000, 9);
    ASSERT_TRUE(writeFile(path(model::kQD408), all));
    ModeFileStore store(dir_.path());
    store.loadAll();
    EXPECT_EQ(store.contents(model::kQD408),
              std::vector<uint8_t>(all.begin(), all.begin() + kFileSize));
    EXPECT_EQ(readFile(path(model::kQD408)), all);
}

TEST_F(DeviceModeFileStore, RecordsSitAt776ByteSteps) {
    std::vector<uint8_t> file(kFileSize, 0);
    namedRecord("thirty-two").toBytes(file.data() + 31 * ModeRecord::kSize);
    namedRecord("first").toBytes(file.data());
    ASSERT_TRUE(writeFile(path(model::kQD206), file));
    ModeFileStore store(dir_.path());
    store.loadAll();
    EXPECT_EQ(store.record(model::kQD206, 0)->name(), "first");
    EXPECT_EQ(store.record(model::kQD206, 31)->name(), "thirty-two");
    EXPECT_EQ(store.record(model::kQD206, 31)->date(), "2024-12-31");
    EXPECT_FALSE(store.record(model::kQD206, 1)->isUsed());
}

TEST_F(DeviceModeFileStore, NamesAreHeldInGbkAsAChineseWindowsWritesThem) {
    std::vector<uint8_t> file(kFileSize, 0);
    auto putName = [&](int index, const std::string& bytes) {
        file[index * ModeRecord::kSize] = 1;
        std::copy(bytes.begin(), bytes.end(),
                  file.begin() + index * ModeRecord::kSize + ModeRecord::kNameOffset);
    };
    putName(0, test::gbk("主舞台模式"));
    putName(1, "\x81\x30ok");  // not GBK: shown leniently
    ASSERT_TRUE(writeFile(path(model::kQD406), file));
    ModeFileStore store(dir_.path());
    store.loadAll();
    EXPECT_EQ(store.record(model::kQD406, 0)->name(), "主舞台模式");
    EXPECT_EQ(store.record(model::kQD406, 1)->name(), "\uFFFD0ok");

    // A new name goes in GBK, cut between characters at 20 bytes; the others keep their bytes.
    ModeRecord r;
    r.setUsed(true);
    const GbkName cut = r.setName("中文名称测试 ABCDEFGHI");
    EXPECT_TRUE(cut.shortened);
    EXPECT_EQ(r.name(), "中文名称测试 ABCDEFG");
    EXPECT_FALSE(r.setName("Stage 🎤").ok());
    EXPECT_EQ(r.name(), "中文名称测试 ABCDEFG");
    store.setRecord(model::kQD406, 2, r);
    ASSERT_TRUE(store.save(model::kQD406).ok);
    putName(2, test::gbk("中文名称测试 ABCDEFG"));
    EXPECT_EQ(readFile(path(model::kQD406)), file);
}

TEST_F(DeviceModeFileStore, SaveRewritesAllRecordsOfOneModelOnly) {
    const auto old406 = pattern(kFileSize, 1);
    const auto old206 = pattern(500, 2);
    ASSERT_TRUE(writeFile(path(model::kQD406), old406));
    ASSERT_TRUE(writeFile(path(model::kQD206), old206));
    ModeFileStore store(dir_.path());
    store.loadAll();
    ASSERT_TRUE(store.setRecord(model::kQD406, 7, namedRecord("changed")));
    const ModeFileStatus saved = store.save(model::kQD406);
    EXPECT_TRUE(saved.ok) << cli::modeFileText(saved);
    EXPECT_EQ(saved.fileName, "mode406.dat");

    auto expected = old406;
    namedRecord("changed").toBytes(expected.data() + 7 * ModeRecord::kSize);
    EXPECT_EQ(readFile(path(model::kQD406)), expected);
    EXPECT_EQ(readFile(path(model::kQD206)), old206);
    EXPECT_EQ(entries(), (QStringList{"mode206.dat", "mode406.dat", "mode408.dat"}));

    // A short file grows to the full 32 records when saved.
    ASSERT_TRUE(store.save(model::kQD206).ok);
    auto grown = old206;
    grown.resize(kFileSize, 0);
    EXPECT_EQ(readFile(path(model::kQD206)), grown);
}

TEST_F(DeviceModeFileStore, UnknownModelsAndIndicesChangeNothing) {
    ModeFileStore store(dir_.path());
    store.loadAll();
    EXPECT_FALSE(store.record(5, 0).has_value());
    EXPECT_FALSE(store.record(model::kQD206, 32).has_value());
    EXPECT_FALSE(store.record(model::kQD206, -1).has_value());
    EXPECT_FALSE(store.setRecord(model::kQD408, 32, namedRecord("x")));
    EXPECT_FALSE(store.setRecord(1, 0, namedRecord("x")));
    const ModeFileStatus s = store.save(9);
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(s.hasProblem());
    EXPECT_FALSE(store.load(0).ok);
    EXPECT_TRUE(ModeFileStore::fileName(1).isEmpty());
    EXPECT_EQ(store.contents(model::kQD408), std::vector<uint8_t>(kFileSize, 0));
    EXPECT_EQ(ModeFileStore().filePath(model::kQD206), "mode206.dat");
}

TEST_F(DeviceModeFileStore, UnreadableFileLeavesItsBufferZero) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("mode408.dat"));  // a folder in the file's place
    ModeFileStore store(dir_.path());
    const auto results = store.loadAll();
    EXPECT_FALSE(results[0].ok);
    EXPECT_TRUE(QString::fromStdString(cli::modeFileText(results[0])).contains("mode408.dat"));
    EXPECT_TRUE(results[1].ok);
    EXPECT_EQ(store.contents(model::kQD408), std::vector<uint8_t>(kFileSize, 0));
}

TEST_F(DeviceModeFileStore, ReadOnlyFileIsStillRead) {
    const auto old = pattern(kFileSize, 3);
    ASSERT_TRUE(writeFile(path(model::kQD206), old));
    ::chmod(QFile::encodeName(path(model::kQD206)).constData(), 0444);
    setFolderMode(0755);
    const int status = runInChild(
        [&] {
            ModeFileStore store(dir_.path());
            const ModeFileStatus s = store.load(model::kQD206);
            if (!s.ok) return 1;
            if (!s.hasProblem()) return 2;  // the caller learns it cannot be saved in place
            return store.contents(model::kQD206) == old ? 0 : 3;
        },
        true);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotDropPrivileges)
        GTEST_SKIP() << "cannot drop root privileges";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(DeviceModeFileStore, SaveIntoUnwritableFolderFailsAndKeepsTheOldFile) {
    const auto old = pattern(kFileSize, 4);
    ASSERT_TRUE(writeFile(path(model::kQD408), old));
    setFolderMode(0555);
    const int status = runInChild(
        [&] {
            ModeFileStore store(dir_.path());
            store.loadAll();
            store.setRecord(model::kQD408, 0, namedRecord("lost?"));
            const ModeFileStatus s = store.save(model::kQD408);
            if (s.ok) return 1;
            return QString::fromStdString(cli::modeFileText(s)).contains("mode408.dat") ? 0 : 2;
        },
        true);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotDropPrivileges)
        GTEST_SKIP() << "cannot drop root privileges";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile(path(model::kQD408)), old);
}

// A file size limit below the mode file's size stands for a full disk (SIGXFSZ ignored: the
// write fails) or for a crash in the middle of writing (SIGXFSZ kills the process).
int saveUnderSizeLimit(const QString& folder, bool ignoreSignal) {
    ModeFileStore store(folder);
    store.loadAll();
    for (int i = 0; i < ModeFileStore::kRecords; ++i)
        store.setRecord(model::kQD406, i, namedRecord("new"));
    if (ignoreSignal) std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{10000, 10000};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
    const ModeFileStatus s = store.save(model::kQD406);
    if (s.ok) return 1;
    return s.hasProblem() ? 0 : 2;
}

TEST_F(DeviceModeFileStore, FullDiskReportsFailureAndKeepsTheOldFile) {
    const auto old = pattern(kFileSize, 6);
    ASSERT_TRUE(writeFile(path(model::kQD406), old));
    const int status = runInChild([&] { return saveUnderSizeLimit(dir_.path(), true); });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile(path(model::kQD406)), old);
    EXPECT_EQ(entries(), (QStringList{"mode206.dat", "mode406.dat", "mode408.dat"}));
}

TEST_F(DeviceModeFileStore, CrashWhileWritingKeepsTheOldFile) {
    const auto old = pattern(kFileSize, 7);
    ASSERT_TRUE(writeFile(path(model::kQD406), old));
    const int status = runInChild([&] { return saveUnderSizeLimit(dir_.path(), false); });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(readFile(path(model::kQD406)), old);
    ModeFileStore again(dir_.path());
    again.loadAll();
    EXPECT_EQ(again.contents(model::kQD406), old);
}

TEST_F(DeviceModeFileStore, KilledSaverLeavesOneWholeVersion) {
    ModeRecord a = namedRecord("version A"), b = namedRecord("version B");
    std::vector<uint8_t> fileA(kFileSize, 0), fileB(kFileSize, 0);
    for (int i = 0; i < ModeFileStore::kRecords; ++i) {
        a.toBytes(fileA.data() + i * ModeRecord::kSize);
        b.toBytes(fileB.data() + i * ModeRecord::kSize);
    }
    ASSERT_TRUE(writeFile(path(model::kQD408), fileA));
    for (int round = 0; round < 8; ++round) {
        const pid_t pid = test::forkChild([&]() -> int {
            ModeFileStore store(dir_.path());
            for (long n = 0;; ++n) {
                for (int i = 0; i < ModeFileStore::kRecords; ++i)
                    store.setRecord(model::kQD408, i, n % 2 ? a : b);
                store.save(model::kQD408);
            }
        });
        // Let the child save a few times, then kill it wherever it is.
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + 7 * round));
        test::killChild(pid);
        const auto now = readFile(path(model::kQD408));
        EXPECT_TRUE(now == fileA || now == fileB) << "round " << round << ": " << now.size();
    }
}

TEST_F(DeviceModeFileStore, ConcurrentEditsAndSavesStayWhole) {
    ModeFileStore store(dir_.path());
    store.loadAll();
    std::thread editor([&] {
        for (int n = 0; n < 200; ++n)
            store.setRecord(model::kQD206, n % ModeFileStore::kRecords,
                            namedRecord(n % 2 ? "odd" : "even"));
    });
    for (int n = 0; n < 20; ++n) ASSERT_TRUE(store.save(model::kQD206).ok);
    editor.join();
    ASSERT_TRUE(store.save(model::kQD206).ok);
    EXPECT_EQ(readFile(path(model::kQD206)), store.contents(model::kQD206));
}

}  // namespace
}  // namespace qel
