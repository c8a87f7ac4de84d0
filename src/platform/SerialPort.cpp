// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "platform/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/Clock.h"

namespace qel {

SerialPort::~SerialPort() {
    close();
}

bool SerialPort::open(const std::string& devicePath) {
    close();
    path_ = devicePath;
    fd_ = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        setError(SerialError::Step::Open, errno);
        return false;
    }
    if (::ioctl(fd_, TIOCEXCL) != 0 || !configure()) {
        setError(SerialError::Step::Open, errno);
        close();
        return false;
    }
    return true;
}

bool SerialPort::configure() {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return false;
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag = (t.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | CS8 | CREAD | CLOCAL;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, B115200) != 0 || ::cfsetospeed(&t, B115200) != 0) return false;
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) return false;
    ::tcflush(fd_, TCIOFLUSH);
    return true;
}

void SerialPort::close() {
    if (fd_ >= 0) {
        ::ioctl(fd_, TIOCNXCL);  // the exclusive mark would outlive us while others hold the tty
        ::close(fd_);
    }
    fd_ = -1;
}

long SerialPort::read(uint8_t* buffer, size_t maxBytes) {
    if (fd_ < 0) return -1;
    int waiting = 0;
    if (::ioctl(fd_, FIONREAD, &waiting) != 0) {
        setError(SerialError::Step::Read, errno);
        return -1;
    }
    if (waiting <= 0) return 0;
    const ssize_t n = ::read(fd_, buffer, std::min(maxBytes, static_cast<size_t>(waiting)));
    if (n < 0) {
        if (errno == EAGAIN || errno == EINTR) return 0;
        setError(SerialError::Step::Read, errno);
        return -1;
    }
    return static_cast<long>(n);
}

long SerialPort::write(const uint8_t* data, size_t length) {
    if (fd_ < 0) return -1;
    const uint32_t start = tickMs();
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd_, data + done, length - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            setError(SerialError::Step::Write, errno);
            return -1;
        }
        const int left = kWriteLimitMs - static_cast<int>(tickMs() - start);
        if (left <= 0) {
            setError(SerialError::Step::WriteTimedOut, 0);
            return static_cast<long>(done);
        }
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, left);
    }
    return static_cast<long>(done);
}

SerialPort::Wait SerialPort::waitReadable(int timeoutMs, int wakeFd) const {
    pollfd p[2] = {{fd_, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    const int n = ::poll(p, wakeFd >= 0 ? 2 : 1, timeoutMs);
    if (n <= 0) return Wait::Timeout;
    if (p[0].revents & POLLIN) return Wait::Readable;
    if (p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return Wait::HungUp;
    return Wait::Woken;
}

std::string SerialError::systemWords() const {
    return std::strerror(systemError);
}

SerialError SerialPort::lastError() const {
    std::lock_guard lock(errorMutex_);
    return lastError_;
}

void SerialPort::setError(SerialError::Step step, int systemError) {
    std::lock_guard lock(errorMutex_);
    lastError_ = {step, path_, systemError};
}

}  // namespace qel
