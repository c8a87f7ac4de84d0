// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <map>
#include <mutex>
#include <string>

namespace qel {

// Maps the logical port names "COM1".."COM16" to device paths: "COMn" is /dev/ttyUSB(n-1)
// unless an override names another path. Safe to use from several threads.
class SerialPortMap {
public:
    std::string devicePath(const std::string& portName) const;
    void setOverride(const std::string& portName, const std::string& devicePath);
    void clearOverrides();
    // Parses "COMn=PATH"; false when the text has another shape.
    bool addMapping(const std::string& assignment);

private:
    mutable std::mutex mutex_;  // guards overrides_
    std::map<std::string, std::string> overrides_;
};

}  // namespace qel
