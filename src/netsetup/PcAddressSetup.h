// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>
#include <string>
#include <utility>
#include <vector>

#include "platform/NetworkAdapters.h"

namespace qel {

// The PC's side of the units' subnet: the run marker, the automatic change that adds
// 192.168.6.222/24 to the wired adapter for the time the program runs, and its removal at exit.
// Settings: "NetConfig" in QelConfig.ini; the run marker "Quellmar_Once" in the user's
// settings (organisation and application "Quellmar"). One thread at a time.
class PcAddressSetup {
public:
    static constexpr const char* kMarker = "Quellmar_Once";
    static constexpr const char* kUnitsSubnet = "192.168.6.";
    static constexpr const char* kAutoAddress = "192.168.6.222";
    static constexpr const char* kAutoCidr = "192.168.6.222/24";

    enum class Start { First, Later };
    enum class Change { NoAdapter, AlreadyThere, Made, Failed };

    PcAddressSetup(NetworkAdapters& adapters, QString configPath);

    // Counts this start in the run marker: First (marker absent or empty; the caller shows the
    // address dialog) or Later.
    Start countStart();
    // "NetConfig" / "AutoIP", 1 when absent.
    bool autoIpOn() const;
    // Finds the wired adapter, keeps its address as "realIP" / "realWY" unless it is in the
    // units' subnet already, and adds 192.168.6.222/24 unless the adapter has it. A failure
    // leaves a trace line.
    Change automaticChange();
    // Removes the address added by automaticChange, so that the adapter is as it was at start.
    void restoreAtExit();
    bool changed() const { return method_ != AddressMethod::None; }
    const std::string& adapterName() const { return adapter_; }

    // The wired adapter whose first IPv4 address begins with "192.168."; the last one found.
    static const NetworkAdapter* findAdapter(const std::vector<NetworkAdapter>& adapters);
    // The address dialog's defaults: the PC's last address (not loopback) and the same address
    // ending in .1; both "" without one.
    static std::pair<std::string, std::string> hostDefaults(
        const std::vector<NetworkAdapter>& adapters);

private:
    NetworkAdapters& adapters_;
    QString configPath_;
    std::string adapter_;
    AddressMethod method_ = AddressMethod::None;  // how the address was added; None: not added
};

}  // namespace qel
