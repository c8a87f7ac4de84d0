// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <string>
#include <vector>

#include "device/DownloadParams.h"
#include "device/ModeRecord.h"
#include "device/UnitTransfer.h"

namespace qel {

enum class VerifyOutcome {
    Equal,       // the unit holds every parameter of the record
    Differs,     // some still differ after the last round
    ReadFailed,  // the unit could not be read back
    Cancelled,   // stopped on request before the unit was proven
};

struct VerifyDifference {
    DownloadParam param;
    std::string unitValue, recordValue;
    // "output 3 EQ point 7: unit has ..., record has ..."
    std::string text() const;
};

struct VerifyReport {
    VerifyOutcome outcome = VerifyOutcome::ReadFailed;
    int notConfirmed = 0;  // commands of the download that got no confirmed reply
    int rounds = 0;        // rounds of sending again
    int resent = 0;        // commands sent again, all rounds
    std::vector<VerifyDifference> differences;  // what still differs
    ModeRecord wanted;                          // the record downloaded
    ModeRecord unit;                            // the unit's, as last read back
    bool ok() const { return outcome == VerifyOutcome::Equal; }
    // One line, then one line per difference.
    std::string summary() const;
};

// Proves a full download. A write's reply cannot be told from a late copy of the reply to an
// earlier write of the same code, so "every command accepted" does not mean the unit took
// them. This reads the unit back into a scratch record (the unit's image is left alone),
// compares every parameter the download writes, sends the differing ones again and reads
// once more, for at most kMaxRounds rounds. Runs on a worker thread, like UnitTransfer.
class DownloadVerify {
public:
    static constexpr int kMaxRounds = 2;
    using Outcome = VerifyOutcome;
    using Difference = VerifyDifference;
    using Report = VerifyReport;

    DownloadVerify(Equipment& unit, const LinkSettings& link);
    // As UnitTransfer::setCancel: nothing more is sent once *cancel is set, and the unit is
    // then known to differ.
    void setCancel(const std::atomic<bool>* cancel) { cancel_ = cancel; }

    // The full download of the unit image's record (progress as UnitTransfer gives it), then
    // verify() against that record.
    Report downloadAndVerify(const UnitTransfer::Progress& progress = {});
    // Verifies a download of wanted that has just been made. A unit found equal is marked in
    // sync (Equipment::markInSync), any other outcome as known to differ.
    Report verify(const ModeRecord& wanted);

    // Parameters of the model's channels on which the two records disagree.
    static std::vector<Difference> compare(const ModeRecord& wanted, const ModeRecord& unit,
                                           uint32_t modelCode);

private:
    UnitTransfer quietTransfer() const;
    Report cancelledReport(const ModeRecord& wanted);

    Equipment& unit_;
    LinkSettings link_;
    const std::atomic<bool>* cancel_ = nullptr;
};

}  // namespace qel
