// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "cli/ErrorText.h"
#include "device/ModeRecord.h"
#include "device/SystemFunctions.h"
#include "device/UnitText.h"
#include "support/Gbk.h"

namespace qel {
namespace {

TEST(SystemFunctionsText, NamesAreCutToTwentyCharactersAndBytesThenTrimmed) {
    EXPECT_EQ(SystemFunctions::cutName("abcdefghijklmnopqrstuvwxy"), "abcdefghijklmnopqrst");
    // Three bytes per character: six fit into 20 bytes, never half of one.
    EXPECT_EQ(SystemFunctions::cutName("一二三四五六七八九十"), "一二三四五六");
    EXPECT_EQ(SystemFunctions::slotName("   \t "), "");
    EXPECT_EQ(SystemFunctions::slotName("  Live  "), "Live");
    // Cut first, then trimmed: two leading spaces leave 18 letters.
    EXPECT_EQ(SystemFunctions::slotName("  abcdefghijklmnopqrstuvw"), "abcdefghijklmnopqr");
    // The unit keeps 0x20..0x7F: the other characters are named once each, in their order.
    EXPECT_EQ(unitTextRefused("Main Stage ~"), "");
    EXPECT_EQ(unitTextRefused("主舞台模式"), "主舞台模式");
    EXPECT_EQ(unitTextRefused("ab中文中\tcé"), "中文\té");
    EXPECT_EQ(unitTextKept("ab中文中\tcé ~"), "abc ~");
}

TEST(SystemFunctionsPcModes, NamesGoIntoTheFileInGbkAndAnUnreadableNameKeepsItsBytes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ModeFileStore store(dir.path());
    store.loadAll();
    const uint32_t m = model::kQD408;
    ModeRecord record;
    // Two bytes per Chinese character: the whole name fits into 20 bytes.
    GbkName name = SystemFunctions::pcModeName(store, m, 0, "中文名称测试 ABC");
    EXPECT_EQ(name.bytes, test::gbk("中文名称测试 ABC"));
    EXPECT_FALSE(name.shortened);
    ASSERT_TRUE(SystemFunctions::saveToPc(record, store, m, 0, name, 2026, 1, 2).ok);
    QFile file(store.filePath(m));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(ModeRecord::kNameOffset + 17).mid(ModeRecord::kNameOffset).toStdString(),
              test::gbk("中文名称测试 ABC") + '\0');
    file.close();
    EXPECT_EQ(store.record(m, 0)->name(), "中文名称测试 ABC");

    // Cut between characters, and said so.
    name = SystemFunctions::pcModeName(store, m, 1, "ABCDEFGHIJKLMNOPQRS中文");
    EXPECT_EQ(name.bytes, "ABCDEFGHIJKLMNOPQRS");
    EXPECT_TRUE(name.shortened);
    // A character GBK lacks refuses the name, and saving it changes nothing.
    name = SystemFunctions::pcModeName(store, m, 1, "Live 🎤 ñ 🎤");
    EXPECT_FALSE(name.ok());
    EXPECT_EQ(name.missing, "🎤ñ");
    EXPECT_FALSE(SystemFunctions::saveToPc(record, store, m, 1, name, 2026, 1, 2).ok);
    EXPECT_FALSE(store.record(m, 1)->isUsed());

    // A row whose name is not GBK shows it leniently; saved under the text it shows, the row
    // keeps its bytes; an edited text is new and must be GBK.
    ModeRecord odd;
    odd.setUsed(true);
    odd.setNameBytes("\x81\x30ok\xfe");
    store.setRecord(m, 3, odd);
    bool valid = true;
    EXPECT_EQ(decodeGbk(odd.nameBytes(), &valid), odd.name());
    EXPECT_FALSE(valid);
    EXPECT_NE(odd.name().find("\uFFFD"), std::string::npos);
    EXPECT_EQ(SystemFunctions::pcModeName(store, m, 3, odd.name()).bytes, "\x81\x30ok\xfe");
    EXPECT_FALSE(SystemFunctions::pcModeName(store, m, 3, odd.name() + "!").ok());
}

TEST(SystemFunctionsPcModes, SaveWritesTheRowAndAFailedSaveLeavesWhatIsOnDisk) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ModeFileStore store(dir.path());
    store.loadAll();
    ModeRecord record;
    record.output(3).setDelay(480);
    auto status = SystemFunctions::saveToPc(record, store, model::kQD406, 4,
                                            encodeGbk("Festival", 20), 2026, 12, 6);
    ASSERT_TRUE(status.ok) << cli::modeFileText(status);
    EXPECT_EQ(record.date(), "2026-12-6");
    EXPECT_TRUE(record.isUsed());
    QFile file(store.filePath(model::kQD406));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    ASSERT_EQ(bytes.size(), static_cast<qsizetype>(ModeFileStore::kFileSize));
    EXPECT_EQ(ModeRecord::fromBytes(reinterpret_cast<const uint8_t*>(bytes.constData()) +
                                    4 * ModeRecord::kSize),
              record);

    // The file's place is taken by a folder: the save fails and row 5 is again the empty one
    // the file holds.
    ASSERT_TRUE(QFile::remove(store.filePath(model::kQD406)));
    ASSERT_TRUE(QDir(dir.path()).mkdir("mode406.dat"));
    store.setRecord(model::kQD406, 4, ModeRecord{});
    status = SystemFunctions::saveToPc(record, store, model::kQD406, 5, encodeGbk("Later", 20),
                                       2027, 1, 2);
    EXPECT_FALSE(status.ok);
    EXPECT_TRUE(status.hasProblem());
    EXPECT_FALSE(store.record(model::kQD406, 5)->isUsed());

    // Applying: an unused row is refused and the record stays; a used row is copied.
    ModeRecord target;
    target.input(0).setGain(33);
    EXPECT_EQ(SystemFunctions::loadPcMode(target, store, model::kQD406, 7),
              SystemFunctions::PcMode::Empty);
    EXPECT_EQ(target.input(0).gain(), 33);
    store.setRecord(model::kQD406, 7, record);
    EXPECT_EQ(SystemFunctions::loadPcMode(target, store, model::kQD406, 7),
              SystemFunctions::PcMode::Loaded);
    EXPECT_EQ(target, record);
    EXPECT_EQ(SystemFunctions::loadPcMode(target, store, 9, 0), SystemFunctions::PcMode::NoRecord);
}

}  // namespace
}  // namespace qel
