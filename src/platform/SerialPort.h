// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace qel {

// A failure of a serial device: the step, the device path and the system's error number
// (0 for a write that ran out of time). Front ends word it.
struct SerialError {
    enum class Step : uint8_t { None, Open, Read, Write, WriteTimedOut };
    Step step = Step::None;
    std::string path;
    int systemError = 0;  // errno
    bool empty() const { return step == Step::None; }
    // The system's own words for systemError (strerror).
    std::string systemWords() const;
};

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

    SerialError lastError() const;

private:
    bool configure();

    int fd_ = -1;
    std::string path_;
    void setError(SerialError::Step step, int systemError);

    mutable std::mutex errorMutex_;  // guards lastError_: reads and writes run on two threads
    SerialError lastError_;
};

}  // namespace qel
