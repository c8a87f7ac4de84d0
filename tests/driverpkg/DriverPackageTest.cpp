// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>

#include "driverpkg/DriverContainer.h"
#include "driverpkg/DriverPackage.h"
#include "support/RunProcess.h"

namespace qel {
namespace {

using File = DriverContainer::File;

std::vector<File> fourteenFiles() {
    std::vector<File> files;
    for (int i = 0; i < 14; ++i)
        files.push_back({i < 6 ? 0u : 1u, "f" + std::to_string(i) + ".txt",
                         std::vector<uint8_t>(static_cast<size_t>(i * 3), uint8_t(i))});
    return files;
}

QByteArray bytes(const std::vector<uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Puts a raw path text (up to 31 bytes) into record `index`'s path field.
void setPath(std::vector<uint8_t>& c, size_t index, const std::string& path) {
    size_t at = 0;
    for (size_t i = 0; i < index; ++i)
        at += DriverContainer::kHeaderSize + (c[at + 36] | c[at + 37] << 8);
    std::memset(&c[at + 4], 0xCC, DriverContainer::kPathField);
    std::memcpy(&c[at + 4], path.c_str(), path.size() + 1);
}

TEST(DriverContainerTest, RecordsReadBackWithNamesTakenByPosition) {
    const auto c = DriverContainer::build(fourteenFiles());
    ASSERT_TRUE(c);
    EXPECT_EQ(std::memcmp(c->data() + 4, ".\\FTDI\\f0.txt\0\xCC\xCC", 16), 0);  // filler kept
    std::string error;
    const auto records = DriverContainer::read(c->data(), c->size(), &error);
    ASSERT_TRUE(records) << error;
    ASSERT_EQ(records->size(), 14u);
    EXPECT_EQ((*records)[0].name, "f0.txt");
    EXPECT_EQ((*records)[13].name, "f13.txt");
    EXPECT_TRUE((*records)[13].inSubfolder());
    EXPECT_EQ((*records)[13].size, 39u);
    EXPECT_EQ(c->at((*records)[13].offset), 13);
    EXPECT_EQ((*records)[13].offset + 39, c->size());
    // Any other prefix of the right length yields the same name.
    auto other = *c;
    setPath(other, 6, "XXXXXXXXXXXXname.bin");
    EXPECT_EQ(DriverContainer::read(other.data(), other.size())->at(6).name, "name.bin");
}

TEST(DriverContainerTest, UnsafeOrShortContainersAreRefused) {
    const auto good = *DriverContainer::build(fourteenFiles());
    auto refused = [](std::vector<uint8_t> c) {
        std::string error;
        const bool ok = DriverContainer::read(c.data(), c.size(), &error).has_value();
        return !ok && !error.empty();
    };
    for (const char* path : {".\\FTDI\\../evil", ".\\FTDI\\a/b", ".\\FTDI\\a\\b", ".\\FTDI\\",
                             ".\\FTDI", ".\\FTDI\\.", ".\\FTDI\\..", ""}) {
        auto c = good;
        setPath(c, 3, path);
        EXPECT_TRUE(refused(c)) << path;
    }
    auto unterminated = good;
    std::memset(&unterminated[4], 'a', DriverContainer::kPathField);
    EXPECT_TRUE(refused(unterminated));
    EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.end() - 1)));  // body cut
    auto files = fourteenFiles();
    files.pop_back();
    EXPECT_TRUE(refused(*DriverContainer::build(files)));  // 13 records
    auto huge = good;
    huge[36] = huge[37] = huge[38] = huge[39] = 0xFF;
    EXPECT_TRUE(refused(huge));
    EXPECT_FALSE(DriverContainer::build({{1, std::string(20, 'n'), {}}}));  // too long
}

TEST(DriverPackageTest, BuiltInPackageHoldsTheRuleTheScriptAndNotes) {
    const QByteArray& pkg = DriverPackage::builtIn();
    const auto records = DriverContainer::read(reinterpret_cast<const uint8_t*>(pkg.data()),
                                               static_cast<size_t>(pkg.size()));
    ASSERT_TRUE(records);
    QStringList top, notes;
    for (const auto& r : *records)
        (r.inSubfolder() ? notes : top) << QString::fromStdString(r.name);
    EXPECT_EQ(top, QStringList({"README.txt", "README.zh.txt", "70-quellmar.rules", "setup.sh"}));
    EXPECT_EQ(notes.size(), 10);
    QTemporaryDir dir;
    const auto result = DriverPackage::unpack(pkg, dir.path() + "/FTDI");
    ASSERT_TRUE(result.ok) << result.file.toStdString();
    EXPECT_EQ(result.written, 14);
    EXPECT_EQ(readAll(dir.path() + "/FTDI/70-quellmar.rules"),
              readAll(QUELLMAR_SOURCE_DIR "/src/resources/udev/70-quellmar-usb-serial.rules"));
    EXPECT_TRUE(QFile::exists(dir.path() + "/FTDI/i386/uninstall.zh.txt"));
    EXPECT_EQ(DriverPackage::setupCommand(dir.path() + "/FTDI"),
              (std::vector<std::string>{"/bin/sh", (dir.path() + "/FTDI/setup.sh").toStdString()}));
}

TEST(DriverPackageTest, UnpackingTwiceGivesIdenticalFilesAndLinksAreNotFollowed) {
    QTemporaryDir dir;
    const QByteArray pkg = bytes(*DriverContainer::build(fourteenFiles()));
    const QString target = dir.path() + "/FTDI";
    ASSERT_TRUE(DriverPackage::unpack(pkg, target).ok);
    QFile::resize(target + "/i386/f13.txt", 2);
    const QString outside = dir.path() + "/outside.txt";
    QFile(outside).open(QIODevice::WriteOnly);
    QFile::remove(target + "/f2.txt");
    ASSERT_TRUE(QFile::link(outside, target + "/f2.txt"));
    ASSERT_TRUE(DriverPackage::unpack(pkg, target).ok);
    EXPECT_EQ(readAll(target + "/i386/f13.txt"), QByteArray(39, 13));
    EXPECT_EQ(readAll(target + "/f2.txt"), QByteArray(6, 2));
    EXPECT_FALSE(QFileInfo(target + "/f2.txt").isSymLink());
    EXPECT_EQ(QFileInfo(outside).size(), 0);
    EXPECT_EQ(QDir(target).entryList(QDir::Files).size(), 6);
    EXPECT_EQ(QDir(target + "/i386").entryList(QDir::Files).size(), 8);
}

TEST(DriverPackageTest, CraftedContainerWritesNothingAndAFailedWriteNamesItsFile) {
    QTemporaryDir dir;
    auto crafted = *DriverContainer::build(fourteenFiles());
    setPath(crafted, 9, ".\\FTDI\\i386\\../../escaped.txt");
    const auto refused = DriverPackage::unpack(bytes(crafted), dir.path() + "/FTDI");
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.file.isEmpty());
    EXPECT_NE(refused.reason.indexOf("record 10"), -1) << refused.reason.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

    // A folder in the place of record 4 stops the unpacking there.
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/FTDI/f3.txt"));
    const auto failed =
        DriverPackage::unpack(bytes(*DriverContainer::build(fourteenFiles())), dir.path() + "/FTDI");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.file, dir.path() + "/FTDI/f3.txt");
    EXPECT_EQ(failed.written, 3);
    EXPECT_FALSE(QFile::exists(dir.path() + "/FTDI/f4.txt"));
}

TEST(DriverPackageTest, SetupScriptInstallsTheRuleAndReloadsUdev) {
    QTemporaryDir dir;
    ASSERT_TRUE(DriverPackage::unpack(DriverPackage::builtIn(), dir.path() + "/FTDI").ok);
    const QString log = dir.path() + "/udevadm.log", fake = dir.path() + "/udevadm";
    QFile script(fake);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(("#!/bin/sh\necho \"$*\" >> " + log + "\n").toUtf8());
    script.close();
    ::chmod(fake.toUtf8().constData(), 0755);
    const std::string rules = (dir.path() + "/rules.d").toStdString();
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(rules)));  // writable: no pkexec
    const auto r = test::runProcess({"/usr/bin/env", "QUELLMAR_UDEV_DIR=" + rules,
                                     "QUELLMAR_UDEVADM=" + fake.toStdString(), "/bin/sh",
                                     (dir.path() + "/FTDI/setup.sh").toStdString()},
                                    10000);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readAll(QString::fromStdString(rules) + "/70-quellmar-usb-serial.rules"),
              readAll(dir.path() + "/FTDI/70-quellmar.rules"));
    EXPECT_EQ(readAll(log), "control --reload-rules\ntrigger --action=change --subsystem-match=tty\n");
}

}  // namespace
}  // namespace qel
