// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "platform/SerialPortMap.h"

#include <cctype>
#include <string>

namespace qel {

namespace {

// Returns n for "COMn" (n >= 1), else 0.
int portNumber(const std::string& name) {
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0) return 0;
    int n = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || n > 9999) return 0;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

}  // namespace

std::string SerialPortMap::devicePath(const std::string& portName) const {
    {
        std::lock_guard lock(mutex_);
        auto it = overrides_.find(portName);
        if (it != overrides_.end()) return it->second;
    }
    const int n = portNumber(portName);
    if (n == 0) return portName;  // already a device path
    return "/dev/ttyUSB" + std::to_string(n - 1);
}

void SerialPortMap::setOverride(const std::string& portName, const std::string& devicePath) {
    std::lock_guard lock(mutex_);
    overrides_[portName] = devicePath;
}

void SerialPortMap::clearOverrides() {
    std::lock_guard lock(mutex_);
    overrides_.clear();
}

bool SerialPortMap::addMapping(const std::string& assignment) {
    const auto eq = assignment.find('=');
    if (eq == std::string::npos || eq + 1 >= assignment.size()) return false;
    const std::string name = assignment.substr(0, eq);
    if (portNumber(name) == 0) return false;
    setOverride(name, assignment.substr(eq + 1));
    return true;
}

}  // namespace qel
