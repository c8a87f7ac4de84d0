// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace qel {

// A serial device on termios: exclusive, raw, 115200 baud, 8 data bits; parity and stop bits
// stay as the driver has them. Works on pseudo-terminals. One thread reads and one writes;
// open and close happen while neither runs.
class SerialPort {
public:
    enum class Wait { Readable, Timeout, Woken, HungUp };

    static constexpr int kWriteLimitMs = 5000;

    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    bool open(const std::string& devicePath);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }

    // Reads what is waiting, at most maxBytes, without blocking. 0 when nothing waits,
    // -1 when the device is gone or failed.
    long read(uint8_t* buffer, size_t maxBytes);
    // Writes everything, waiting for the device as needed, but gives up after 5000 ms.
    // Returns the bytes written, or -1 on failure.
    long write(const uint8_t* data, size_t length);
    // Waits for input; wakeFd (or -1) lets another thread end the wait early.
    Wait waitReadable(int timeoutMs, int wakeFd) const;

    std::string lastError() const;

private:
    bool configure();

    int fd_ = -1;
    std::string path_;
    void setError(std::string text);

    mutable std::mutex errorMutex_;  // guards lastError_: reads and writes run on two threads
    std::string lastError_;
};

}  // namespace qel
