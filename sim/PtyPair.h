// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qel::sim {

// A pseudo-terminal standing in for a unit's USB serial port. The program under test opens
// the slave path; the simulator reads and writes the master. A slave descriptor is kept open
// here so that the master sees no hang-up when the program closes and reopens the port, and
// the slave is in raw mode so that nothing is echoed.
class PtyPair {
public:
    PtyPair() = default;
    ~PtyPair();
    PtyPair(PtyPair&& other) noexcept;
    PtyPair& operator=(PtyPair&& other) noexcept;
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool open();
    void close();
    bool isOpen() const { return master_ >= 0; }
    int masterFd() const { return master_; }
    const std::string& slavePath() const { return path_; }

    // Non-blocking; -1 when nothing waits or on failure.
    long read(uint8_t* buffer, size_t capacity);
    // Non-blocking; what does not fit the terminal's buffer is lost. -1 on failure.
    long write(const uint8_t* data, size_t length);

    const std::string& lastError() const { return lastError_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    std::string lastError_;
};

}  // namespace qel::sim
