// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>
#include <QTimer>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "UnitState.h"
#include "link/EquipmentList.h"

namespace qel::sim {
class UnitSimulator;
}

namespace qel {

// Units that the program stands in for itself: simulated units, each on a loopback address
// that nothing else had bound on the units' port, so that the program reaches them as it
// reaches hardware and no network reaches them. Their network modules sit on ports of their
// own, so searches never find them. Their states (settings, name and the 20 stored modes) are
// kept in a file of the given folder. GUI thread only; the simulator serves on its own thread.
class VirtualUnits {
public:
    static constexpr const char* kFileName = "VirtualUnits.state";
    static constexpr const char* kFirstAddress = "127.255.0.2";  // tests use 127.1-254.x.x
    static constexpr int kMaxTries = 200;                        // addresses tried before giving up

    VirtualUnits(QString folder, uint16_t unitPort);
    ~VirtualUnits();
    VirtualUnits(const VirtualUnits&) = delete;
    VirtualUnits& operator=(const VirtualUnits&) = delete;

    // Brings back the units kept in the folder and appends them to list; false (lastError())
    // when the file is there but cannot be read (it is then renamed to "<file>.unreadable")
    // or a unit cannot be made.
    bool restore(EquipmentList& list);
    // A new unit of the model (code 2..4) with the name, appended to list; null on failure.
    EquipmentList::Entry add(int model, const std::string& name, EquipmentList& list);
    // Takes a virtual unit out of list; it answers nothing any more. Stop its link first.
    void remove(const Equipment& unit, EquipmentList& list);
    // Writes the states of the units still there when they changed since the last save, and
    // forgets the requests the simulator logged; false (lastError()) when it cannot write.
    // Runs by itself every kSaveEveryMs and when the object goes.
    bool save();
    static constexpr int kSaveEveryMs = 10000;
    size_t count() const { return units_.size(); }
    QString filePath() const;
    QString lastError() const { return error_; }

private:
    struct Unit {
        EquipmentList::Entry entry;
        int simUnit = -1;
    };
    // Puts a unit on the first free address; -1 when none is found.
    int place(int model, const std::string& name);
    EquipmentList::Entry listed(int simUnit, EquipmentList& list);

    QString folder_;
    std::unique_ptr<sim::UnitSimulator> sim_;
    std::vector<Unit> units_;
    uint32_t nextHost_ = 0;  // offset from kFirstAddress of the next address to try
    std::map<std::string, sim::UnitState>
        saved_;  // as last saved: saves that change nothing are skipped
    QTimer autosave_;
    QString error_;
};

}  // namespace qel
