// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <atomic>
#include <memory>
#include <optional>

#include "device/ModeRecord.h"
#include "device/UnitTransfer.h"
#include "link/Equipment.h"

namespace qel {

struct VerifyReport;

// One unit's part in saving or opening a show: its settings read, or a record sent with a
// proven download. A unit whose link is down is brought up for it (handshake) and let go
// again by letGo(); one the program holds connected keeps its link as it is. read(), send() and
// letGo() run on a worker thread; the rest on the GUI thread before or after them.
class ShowUnitTask {
public:
    enum class Outcome {
        NotRun,
        Done,
        PortFailed,
        NoAnswer,
        ReadFailed,
        LinkLost,
        NotProven,
        Cancelled,
    };

    ShowUnitTask(std::shared_ptr<Equipment> unit, const LinkSettings& link, bool sessionOpen);

    const std::shared_ptr<Equipment>& unit() const { return unit_; }
    bool sessionOpen() const { return sessionOpen_; }
    // The unit's settings: as read(), or as its session holds them.
    const std::optional<ModeRecord>& record() const { return record_; }
    void setRecord(const ModeRecord& record) { record_ = record; }
    Outcome outcome() const { return outcome_; }
    // The verify's account of send(); none when it did not get that far.
    const std::shared_ptr<const VerifyReport>& report() const { return report_; }

    // Handshake and full read into the unit's image, whose record becomes record(). A unit
    // whose editor is open is read into a scratch record instead (its meters paused), so that
    // the editor's image stays as it is.
    Outcome read(const UnitTransfer::Progress& progress, const std::atomic<bool>* cancel);
    // The full download of the unit image's record, proven by reading it back. The unit is
    // asked first whether it still answers, so that a unit gone since it was read fails at
    // once instead of command by command.
    Outcome send(const UnitTransfer::Progress& progress, const std::atomic<bool>* cancel);
    // Lets go of a unit this task brought up (the disconnect notice, the link stopped).
    void letGo();

private:
    UnitTransfer transfer(const UnitTransfer::Progress& progress,
                          const std::atomic<bool>* cancel) const;
    Outcome readBeside(const std::atomic<bool>* cancel);
    // The link up and the unit answering, or why not.
    Outcome reach(const std::atomic<bool>* cancel);
    Outcome done(Outcome outcome) { return outcome_ = outcome; }

    std::shared_ptr<Equipment> unit_;
    LinkSettings link_;
    bool sessionOpen_ = false;
    bool broughtUp_ = false;
    std::optional<ModeRecord> record_;
    Outcome outcome_ = Outcome::NotRun;
    std::shared_ptr<const VerifyReport> report_;
};

}  // namespace qel
