// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device/GbkText.h"
#include "device/ModeFileStore.h"
#include "device/UnitTransfer.h"

namespace qel {

class Equipment;
class ModeImage;
class ModeRecord;
struct OwnedCommand;

// The unit-wide functions of the system page and of quellmar-cli: password check, user and
// engineering mode, password change, rename, storing and recalling the unit's 20 modes, and
// the modes kept on the PC. The unit calls send commands and block (up to 3000 ms per waited
// command), so they belong on a worker thread; they touch no image and no widget.
class SystemFunctions {
public:
    static constexpr uint32_t kWaitMs = 3000;
    static constexpr int kPcModes = ModeFileStore::kRecords;

    explicit SystemFunctions(Equipment& unit) : unit_(unit) {}

    // 0x05 read: true when the unit's password is the six digits of entry. An entry that is
    // not six digits sends nothing; no reply counts as a wrong password.
    bool passwordMatches(std::string_view entry);
    // 0x06 write; on success queues 0x14 and sets or clears the engineering flag.
    bool switchMode(bool engineering);

    enum class PasswordChange { Changed, WrongOld, Failed };
    // Checks the old password (0x05 read), then writes the new one (0x05 write) and queues
    // 0x14 when the unit took it. Both must be six digits (WrongOld otherwise, nothing sent).
    PasswordChange changePassword(std::string_view oldDigits, std::string_view newDigits);

    // 0x04 write of the first 20 characters; the unit's copy of the name is not changed.
    bool rename(std::string_view name);

    // 0x06 read into a zeroed buffer: true in engineering mode; false in user mode and when
    // the unit did not answer.
    bool storingAllowed();
    // 0x12 write with the name (its outcome does not matter), then 0x10 write of the slot
    // (0..19): true when the unit confirmed the store.
    bool store(int slot, std::string_view name);
    // 0x11 write, then 0x13 with the same slot: true when both were confirmed.
    bool recall(int slot);
    // Queues 0x13 [0, 0] after a PC mode was downloaded; nothing waits for it.
    void activateDownloaded();
    // Waits until the commands queued without a wait (0x14, 0x13) have been answered or have
    // spent their tries, for a caller that lets go of the unit next; true when all were
    // answered.
    bool settle();

    // Runs a transfer of the whole mode with the meter polling paused around it.
    UnitTransfer::Result withMetersPaused(const std::function<UnitTransfer::Result()>& transfer);

    // Names for the unit, UTF-8, for 20-byte fields: at most 20 characters and 20 bytes, cut
    // between characters.
    static std::string cutName(std::string_view text);
    // A name for a unit mode slot: cut, then trimmed of white space at both ends.
    static std::string slotName(std::string_view text);

    // The name a PC mode is saved under in row 0..31 of the model: the row's own bytes when
    // the text is what the row shows (a name GBK cannot read is kept as it is), else the text
    // in GBK, cut between characters at 20 bytes.
    static GbkName pcModeName(const ModeFileStore& store, uint32_t model, int row,
                              std::string_view text);
    // Saves the image's record into PC-mode row 0..31 of the model: the record takes the name
    // (refused when it is not ok), the used flag and the date ("%d-%d-%d"), then the model's
    // file is saved whole. When the save fails, the row in memory goes back to what the file
    // still holds.
    static ModeFileStatus saveToPc(ModeRecord& record, ModeFileStore& store, uint32_t model,
                                   int row, const GbkName& name, int year, int month, int day);

    enum class PcMode { Loaded, Empty, NoRecord };
    // Copies PC-mode row 0..31 of the model over the record, unless that row is unused
    // (an empty record would set every level to its minimum on a live unit).
    static PcMode loadPcMode(ModeRecord& record, const ModeFileStore& store, uint32_t model,
                             int row);

private:
    // Enqueues and waits; the reply payload lands in reply (room for spec.replyLength).
    bool exchange(const OwnedCommand& spec, uint8_t* reply = nullptr);
    // Queues without waiting.
    void post(const OwnedCommand& spec);

    Equipment& unit_;
    std::vector<std::pair<Ticket, uint32_t>> posted_;  // queued without a wait, with its limit
};

}  // namespace qel
