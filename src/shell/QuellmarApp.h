// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QLockFile>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "device/Alarms.h"
#include "device/EditCounts.h"
#include "device/EventLog.h"
#include "device/GroupControl.h"
#include "device/ModeFileStore.h"
#include "device/UnitSessions.h"
#include "link/Equipment.h"
#include "link/EquipmentList.h"
#include "link/EquipmentSearch.h"
#include "link/UdpEndpoint.h"
#include "netsetup/NetModuleSearch.h"
#include "platform/SerialPortMap.h"
#include "resources/SkinCache.h"
#include "shell/VirtualUnits.h"

namespace qel {

// The application object: the process-wide state that the windows share (the UDP endpoint,
// the list of units, the PC mode files, the serial port names, the network module search and
// the painted skins) and the start-up rules. Made after the QApplication and destroyed before
// it; its destructor stops every thread it owns.
class CQuellmarApp {
public:
    struct Options {
        QString workDir;  // where "QelConfig.ini" and the mode files live; "" = current
        QString lockDir;  // where the single-instance lock lives; "" = runtime folder
        QString dataDir;  // where the virtual units are kept; "" = the user's data folder
        uint16_t localPort = UdpEndpoint::kDefaultPort;
        uint16_t unitPort = port::kUnit;
        uint16_t modulePort = port::kModule;
        uint16_t searchPort = port::kSearch;
        uint32_t progressPauseMs = 30;  // rest after each progress report of the windows
    };

    static constexpr const char* kTitle = "Quellmar 1.0.0";
    static constexpr const char* kLockName = "Quellmar_0x0100.lock";

    explicit CQuellmarApp(Options options);
    ~CQuellmarApp();
    CQuellmarApp(const CQuellmarApp&) = delete;
    CQuellmarApp& operator=(const CQuellmarApp&) = delete;

    // False when another copy already runs for this user.
    bool acquireInstanceLock();
    // Opens the UDP endpoint and loads the mode files; false when the port is taken.
    bool openEndpoint();
    void loadModeFiles();

    const Options& options() const { return options_; }
    QString workDir() const;
    QString configPath() const;  // "<work dir>/QelConfig.ini"
    UdpEndpoint& endpoint() { return endpoint_; }
    EquipmentList& equipment() { return equipment_; }
    ModeFileStore& modeFiles() { return *modeFiles_; }
    SerialPortMap& serialMap() { return serialMap_; }
    NetModuleSearcher& moduleSearcher() { return moduleSearcher_; }
    VirtualUnits& virtualUnits() { return *virtualUnits_; }
    // The sessions of the connected units.
    UnitSessions& sessions() { return *sessions_; }
    // The program's groups of channels across units, kept in "Groups.json" in the data
    // folder (not written while that file could not be read).
    GroupControl& groups() { return *groups_; }
    // The event log, kept beside Groups.json (events-YYYY-MM-DD.jsonl).
    EventLog& events() { return *events_; }
    // The alarms of the connected units, as section Alarms of QelConfig.ini sets them.
    Alarms& alarms() { return *alarms_; }
    // The edits each unit took, by origin (for the metrics).
    EditCounts& editCounts() { return *editCounts_; }
    // Why Groups.json was not used (it is then left as it is and not written); empty when it was.
    const QString& groupsProblem() const { return groupsProblem_; }
    // The search goes to a.b.c.255 of the configured gateway ("NetConfig" / "GateWay").
    std::array<uint8_t, 4> gateway() const;
    SearchSettings searchSettings();
    LinkSettings linkSettings();

private:
    void readSerialPortNames();

    Options options_;
    std::unique_ptr<QLockFile> lock_;
    UdpEndpoint endpoint_;
    EquipmentList equipment_;
    std::unique_ptr<ModeFileStore> modeFiles_;
    SerialPortMap serialMap_;
    NetModuleSearcher moduleSearcher_;
    skin::SkinCache skins_;
    std::unique_ptr<VirtualUnits> virtualUnits_;  // goes after the links that reach them
    std::unique_ptr<EventLog> events_;            // told of the sessions that close
    std::unique_ptr<UnitSessions> sessions_;      // goes first: its meter threads use the links
    std::unique_ptr<EditCounts> editCounts_;
    std::unique_ptr<Alarms> alarms_;  // logs into events_
    std::unique_ptr<GroupControl> groups_;
    QString groupsProblem_;  // goes before the sessions it reaches
};

}  // namespace qel
