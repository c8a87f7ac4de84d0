// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "link/Equipment.h"

#include <algorithm>
#include <chrono>

#include "link/UdpEndpoint.h"
#include "platform/Clock.h"
#include "platform/SerialPortMap.h"
#include "platform/Trace.h"

namespace qel {

namespace {
// An idle link thread wakes only for work or a stop (its waits look at the stop flag); the
// bound is a safety net. Other waits look at the stop flag every kCheckMs.
constexpr uint32_t kIdleWaitMs = 1000;
constexpr uint32_t kCheckMs = 50;

// A serial failure for the trace; a read that found the port hung up has no error kept.
std::string traceText(const SerialError& e) {
    if (e.empty()) return "hang-up";
    if (e.step == SerialError::Step::WriteTimedOut) return e.path + ": write timed out";
    return e.path + ": " + e.systemWords();
}
}  // namespace

Equipment::Equipment() = default;

Equipment::~Equipment() {
    stopLink();
}

std::string Equipment::modelName() const {
    std::lock_guard lock(infoMutex_);
    return modelName_;
}
void Equipment::setModelName(const std::string& name) {
    std::lock_guard lock(infoMutex_);
    modelName_ = name;
}
std::string Equipment::deviceName() const {
    std::lock_guard lock(infoMutex_);
    return deviceName_;
}
void Equipment::setDeviceName(const std::string& name) {
    {
        std::lock_guard lock(infoMutex_);
        if (deviceName_ == name) return;
        deviceName_ = name;
    }
    tellWatcher();
}
std::string Equipment::portName() const {
    std::lock_guard lock(infoMutex_);
    return portName_;
}
void Equipment::setPortName(const std::string& name) {
    std::lock_guard lock(infoMutex_);
    portName_ = name;
}
std::string Equipment::addressText() const {
    std::lock_guard lock(infoMutex_);
    return addressText_;
}
void Equipment::setAddress(Ipv4 address) {
    std::lock_guard lock(infoMutex_);
    address_.store(address, std::memory_order_release);
    addressText_ = formatIpv4(address);
}
std::array<uint8_t, 6> Equipment::mac() const {
    std::lock_guard lock(infoMutex_);
    return mac_;
}
void Equipment::setMac(const std::array<uint8_t, 6>& mac) {
    std::lock_guard lock(infoMutex_);
    mac_ = mac;
}
std::shared_ptr<ModeImage> Equipment::image() const {
    std::lock_guard lock(infoMutex_);
    return image_;
}
void Equipment::setImage(std::shared_ptr<ModeImage> image) {
    std::lock_guard lock(infoMutex_);
    image_ = std::move(image);
}
LinkError Equipment::lastError() const {
    std::lock_guard lock(infoMutex_);
    return lastError_;
}
void Equipment::setError(const LinkError& error) {
    std::lock_guard lock(infoMutex_);
    lastError_ = error;
}

bool Equipment::startLink(const LinkSettings& settings) {
    std::lock_guard lock(linkMutex_);
    if (running_.load(std::memory_order_acquire) && !stopRequested()) return true;
    if (receiver_.joinable()) receiver_.join();
    if (sender_.joinable()) sender_.join();
    settings_ = settings;
    clearFlags(linkflag::kStop);
    if (hasFlag(linkflag::kSerial)) {
        const std::string name = portName();
        const std::string path = settings.serialMap ? settings.serialMap->devicePath(name) : name;
        if (!serial_.open(path)) {
            setError({false, serial_.lastError()});
            setFlags(linkflag::kStop);  // a link that could not start is a stopped one
            return false;
        }
    }
    if (hasFlag(linkflag::kUdp) && (!settings.endpoint || !settings.endpoint->isOpen())) {
        setError({true, {}});
        serial_.close();
        setFlags(linkflag::kStop);
        return false;
    }
    serialWaker_.drain();
    replies_.reset();
    lastHeardMs_.store(tickMs(), std::memory_order_relaxed);
    awaitingSince_.store(0, std::memory_order_relaxed);
    answerLimitMs_.store(settings.answerLimitMs, std::memory_order_relaxed);
    queue_.open();
    running_.store(true, std::memory_order_release);
    receiver_ = std::thread([this] { receiveLoop(); });
    sender_ = std::thread([this] { senderLoop(); });
    return true;
}

void Equipment::requestStop() {
    setFlags(linkflag::kStop);
    serialWaker_.wake();
    queue_.wakeAll();
    if (settings_.endpoint) settings_.endpoint->wakeAll();
}

void Equipment::stopLink() {
    std::lock_guard lock(linkMutex_);
    if (receiver_.joinable() || sender_.joinable()) requestStop();
    if (receiver_.joinable()) receiver_.join();
    if (sender_.joinable()) sender_.join();
    queue_.close();
    serial_.close();
    running_.store(false, std::memory_order_release);
}

void Equipment::setFlags(uint32_t bits) {
    if ((flags_.fetch_or(bits, std::memory_order_acq_rel) & bits) == bits) return;
    toldState_.store(state(), std::memory_order_relaxed);
    tellWatcher();
}

void Equipment::clearFlags(uint32_t bits) {
    if ((flags_.fetch_and(~bits, std::memory_order_acq_rel) & bits) == 0) return;
    toldState_.store(state(), std::memory_order_relaxed);
    tellWatcher();
}

void Equipment::setWatcher(Watcher watcher) {
    std::lock_guard lock(watcherMutex_);
    watcher_ = std::move(watcher);
}

void Equipment::tellWatcher() {
    std::lock_guard lock(watcherMutex_);
    if (watcher_) watcher_();
}

void Equipment::noticeState() {
    const State now = state();
    if (toldState_.exchange(now, std::memory_order_relaxed) != now) tellWatcher();
}

uint32_t Equipment::idleWaitMs() const {
    const uint64_t since = awaitingSince_.load(std::memory_order_acquire);
    const uint32_t limit = answerLimitMs_.load(std::memory_order_relaxed);
    if (!since || !limit) return kIdleWaitMs;
    const uint32_t waited = tickMs() - static_cast<uint32_t>(since);
    return waited >= limit ? kIdleWaitMs : std::min(kIdleWaitMs, limit - waited + 1);
}

bool Equipment::notAnswering() const {
    const uint64_t since = awaitingSince_.load(std::memory_order_acquire);
    const uint32_t limit = answerLimitMs_.load(std::memory_order_relaxed);
    if (!since || !limit || stopRequested() || !linkRunning()) return false;
    return tickMs() - static_cast<uint32_t>(since) >= limit;
}

Equipment::State Equipment::state() const {
    if (!hasFlag(linkflag::kAvailable | linkflag::kParamsRead) || stopRequested())
        return State::NotConnected;
    return notAnswering() ? State::NotAnswering : State::Online;
}

Ticket Equipment::enqueue(const Command& command) {
    if (stopRequested()) return 0;
    Command c = command;
    c.doubtful = (c.operation == op::kWrite || c.operation == op::kLinkedWrite) && notAnswering();
    bool counted = false;
    const Ticket ticket = queue_.enqueue(c, instanceTag(), &counted);
    if (counted) unconfirmed_.fetch_add(1, std::memory_order_acq_rel);
    return ticket;
}

Ticket Equipment::enqueue(uint8_t operation, uint8_t blk, uint8_t channel, uint8_t code,
                          const uint8_t* payload, size_t payloadLength, uint8_t* replyDestination,
                          size_t replyDataLength, int tries, uint32_t timeoutMs) {
    Command c;
    c.operation = operation;
    c.block = blk;
    c.channel = channel;
    c.code = code;
    c.payload = payload;
    c.payloadLength = payloadLength;
    c.replyDestination = replyDestination;
    c.replyDataLength = replyDataLength;
    c.tries = tries;
    c.timeoutMs = timeoutMs;
    return enqueue(c);
}

Outcome Equipment::waitOutcome(Ticket ticket, uint32_t limitMs, size_t* replyLength,
                               const std::atomic<bool>* cancel) {
    return queue_.wait(ticket, limitMs, replyLength, cancel);
}

bool Equipment::waitFor(Ticket ticket, uint32_t limitMs) {
    return waitOutcome(ticket, limitMs) == Outcome::Accepted;
}

void Equipment::transmit(const uint8_t* bytes, size_t length) {
    // Marked before the bytes leave, so that the answer cannot come before the mark.
    uint64_t idle = 0;
    awaitingSince_.compare_exchange_strong(idle, kAwaiting | tickMs(), std::memory_order_acq_rel);
    const uint32_t f = flags();
    if ((f & linkflag::kSerial) && serial_.write(bytes, length) != static_cast<long>(length)) {
        qCDebug(lcLink, "Write to %s failed: %s", portName().c_str(),
                traceText(serial_.lastError()).c_str());
    }
    if ((f & linkflag::kUdp) && settings_.endpoint)
        settings_.endpoint->sendTo(address(), settings_.unitPort, bytes, length);
}

void Equipment::lose(const char* why) {
    qCDebug(lcLink, "Lost %s: %s",
            hasFlag(linkflag::kSerial) ? portName().c_str() : addressText().c_str(), why);
    clearFlags(linkflag::kAvailable);
    requestStop();
}

void Equipment::senderLoop() {
    CommandQueue::Outgoing out;
    int unanswered = 0;  // commands in a row that spent their tries without any reply
    while (!stopRequested()) {
        noticeState();
        if (!queue_.takeHead(out, idleWaitMs(), [this] { return stopRequested(); })) continue;
        bool answered = false, accepted = false;
        for (int attempt = 0; attempt < out.tries && !answered && !stopRequested(); ++attempt) {
            transmit(out.frame, out.length);
            queue_.markTransmitted();
            const auto deadline =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(out.timeoutMs);
            while (!answered && !stopRequested() && std::chrono::steady_clock::now() < deadline) {
                const uint32_t state =
                    queue_.waitReply(std::min(deadline, std::chrono::steady_clock::now() +
                                                            std::chrono::milliseconds(kCheckMs)));
                answered = (state & (reply::kAccepted | reply::kMismatch)) != 0;
                accepted = (state & reply::kAccepted) != 0;
                noticeState();
            }
        }
        queue_.finishHead(!answered && stopRequested());
        const uint8_t operation = out.frame[frame::kTarget] & 0x0F;
        if (!accepted && !out.doubtful && !stopRequested() &&
            (operation == op::kWrite || operation == op::kLinkedWrite))
            unconfirmed_.fetch_add(1, std::memory_order_acq_rel);
        unanswered = answered ? 0 : unanswered + 1;
        const uint32_t limit = settings_.silenceLimitMs;
        if (limit && unanswered >= LinkSettings::kSilentCommands && !stopRequested() &&
            tickMs() - lastHeardMs_.load(std::memory_order_relaxed) >= limit)
            lose("no reply");
    }
    // Nothing is sent after a stop: pending commands end as abandoned and waits return.
    queue_.close();
}

long Equipment::receiveSome(uint8_t* buffer, size_t capacity, bool& datagram) {
    const uint32_t f = flags();
    const bool serial = (f & linkflag::kSerial) != 0;
    const bool udp = (f & linkflag::kUdp) != 0 && settings_.endpoint;
    datagram = false;
    if (!serial && !udp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kCheckMs));
        return 0;
    }
    const int waitMs = serial && udp ? 1 : static_cast<int>(kIdleWaitMs);
    long n = 0;
    if (serial) {
        const auto w = serial_.waitReadable(waitMs, serialWaker_.fd());
        if (w == SerialPort::Wait::HungUp) return -1;
        if (w == SerialPort::Wait::Readable) n = serial_.read(buffer, capacity);
        if (n != 0) return n;
    }
    if (udp && settings_.endpoint->waitFor(address(), waitMs, [this] { return stopRequested(); })) {
        n = static_cast<long>(settings_.endpoint->receiveFor(address(), buffer, capacity));
        datagram = n > 0;
    }
    return n;
}

void Equipment::receiveLoop() {
    uint8_t buffer[frame::kMaxSize];
    while (!stopRequested()) {
        bool datagram = false;
        const long n = receiveSome(buffer, sizeof buffer, datagram);
        if (n < 0) {
            lose(traceText(serial_.lastError()).c_str());
            break;
        }
        if (n == 0) continue;
        lastHeardMs_.store(tickMs(), std::memory_order_relaxed);
        awaitingSince_.store(0, std::memory_order_release);
        noticeState();
        replies_.take(queue_, buffer, static_cast<size_t>(n), datagram);
    }
}

}  // namespace qel
