#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "device/ModeRecord.h"
#include "device/SystemFunctions.h"
#include "device/UnitText.h"

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
    // Characters outside 0x20..0x7F travel as 0.
    const auto wire = encodeUnitText(SystemFunctions::slotName("ab中"));
    EXPECT_EQ(wire[0], 'a' - 0x20);
    EXPECT_EQ(wire[1], 'b' - 0x20);
    for (size_t i = 2; i < wire.size(); ++i) EXPECT_EQ(wire[i], 0) << i;
}

TEST(SystemFunctionsPcModes, SaveWritesTheRowAndAFailedSaveLeavesWhatIsOnDisk) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ModeFileStore store(dir.path());
    store.loadAll();
    ModeRecord record;
    record.output(3).setDelay(480);
    auto status = SystemFunctions::saveToPc(record, store, model::kQD406, 4, "Festival", 2026, 12,
                                            6);
    ASSERT_TRUE(status.ok) << status.error.toStdString();
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
    status = SystemFunctions::saveToPc(record, store, model::kQD406, 5, "Later", 2027, 1, 2);
    EXPECT_FALSE(status.ok);
    EXPECT_FALSE(status.error.isEmpty());
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
