// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "link/CommandQueue.h"
#include "link/Protocol.h"
#include "link/ReplyReceiver.h"
#include "platform/Ipv4.h"
#include "platform/SerialPort.h"
#include "platform/Waker.h"

namespace qel {

class UdpEndpoint;
class SerialPortMap;
class ModeImage;

// Link flags of an Equipment, one atomic word read by several threads.
namespace linkflag {
constexpr uint32_t kAvailable = 0x01;
constexpr uint32_t kStop = 0x02;
constexpr uint32_t kSerial = 0x04;
constexpr uint32_t kUdp = 0x08;
constexpr uint32_t kParamsRead = 0x10;
constexpr uint32_t kMeterPaused = 0x20;  // a whole mode is being moved
constexpr uint32_t kEngineering = 0x100;
}  // namespace linkflag

// Where a unit's link sends and looks for its traffic.
struct LinkSettings {
    UdpEndpoint* endpoint = nullptr;  // the shared endpoint (UDP units)
    uint16_t unitPort = port::kUnit;
    const SerialPortMap* serialMap = nullptr;  // "COMn" to device path; none = name is the path
    // A unit that has sent nothing for this long while at least kSilentCommands commands in a
    // row went unanswered is taken as lost and its link is stopped; 0 never gives up.
    uint32_t silenceLimitMs = 15000;
    static constexpr int kSilentCommands = 4;
    // Long before that, a unit that has sent nothing for this long since it was sent something
    // counts as not answering (the link goes on); 0 never says so.
    uint32_t answerLimitMs = 2000;
};

// Why a link could not start: a UDP unit without an open endpoint, or its serial port.
struct LinkError {
    bool noEndpoint = false;
    SerialError serial;
    bool empty() const { return !noEndpoint && serial.empty(); }
};

// One unit known to the application: its identity, link flags and, while connected, its
// command queue with a sender and a receive thread. Identity setters and getters lock, flags
// are atomic, enqueue and wait may run on any thread.
class Equipment {
public:
    static constexpr uint32_t kDefaultWaitMs = 3000;

    Equipment();
    ~Equipment();
    Equipment(const Equipment&) = delete;
    Equipment& operator=(const Equipment&) = delete;

    // Identity.
    uint32_t modelCode() const { return modelCode_.load(std::memory_order_acquire); }
    void setModelCode(uint32_t code) { modelCode_.store(code, std::memory_order_release); }
    std::string modelName() const;
    void setModelName(const std::string& name);
    std::string deviceName() const;
    void setDeviceName(const std::string& name);
    std::string portName() const;
    void setPortName(const std::string& name);
    Ipv4 address() const { return address_.load(std::memory_order_acquire); }
    std::string addressText() const;
    void setAddress(Ipv4 address);  // also sets the text
    std::array<uint8_t, 6> mac() const;
    void setMac(const std::array<uint8_t, 6>& mac);

    // The parameter image, published by a successful connection or read; null before.
    std::shared_ptr<ModeImage> image() const;
    void setImage(std::shared_ptr<ModeImage> image);

    // A unit that the program stands in for itself (virtual): searches keep it in the list.
    bool isVirtual() const { return virtual_.load(std::memory_order_acquire); }
    void setVirtual(bool isVirtual) { virtual_.store(isVirtual, std::memory_order_release); }

    // Link flags.
    uint32_t flags() const { return flags_.load(std::memory_order_acquire); }
    bool hasFlag(uint32_t bits) const { return (flags() & bits) == bits; }
    void setFlags(uint32_t bits);
    void clearFlags(uint32_t bits);

    // Told whenever what the program shows of the unit may have changed by itself: its
    // state() (it stops answering, answers again, its link is lost or stopped), its flags or
    // its name. Called on whichever thread made the change, under a lock that the setter
    // waits for: the watcher only hands the news on (a queued signal) and never calls back
    // into the unit.
    using Watcher = std::function<void()>;
    void setWatcher(Watcher watcher);

    // Clears the stop flag, opens the serial port of a serial unit and starts the receive and
    // sender threads. False (with lastError(), and the stop flag set) when the port cannot be
    // opened.
    bool startLink(const LinkSettings& settings);
    // Sets the stop flag and wakes the link threads; callable from any thread.
    void requestStop();
    // requestStop(), then joins the threads and closes the serial port. Not from a link thread.
    void stopLink();
    bool linkRunning() const { return running_.load(std::memory_order_acquire); }
    // Tick (tickMs) of the last bytes that came from the unit, answers or not.
    uint32_t lastHeardMs() const { return lastHeardMs_.load(std::memory_order_relaxed); }
    // The link runs, but the unit has sent nothing back for the answer limit since it was last
    // sent something. Clears by itself when the unit sends again. Any thread.
    bool notAnswering() const;
    // What the unit list and the status bar say of the unit: not connected (never read, let
    // go, or its link lost), connected but silent, or online. Any thread.
    enum class State { NotConnected, NotAnswering, Online };
    State state() const;
    LinkError lastError() const;

    // Queues a command; 0 when refused (link not running, payload too long, queue full). A
    // write queued while the unit is not answering counts as unconfirmed at once.
    Ticket enqueue(const Command& command);
    Ticket enqueue(uint8_t operation, uint8_t block, uint8_t channel, uint8_t code,
                   const uint8_t* payload, size_t payloadLength, uint8_t* replyDestination,
                   size_t replyDataLength, int tries, uint32_t timeoutMs);
    // Waits for that command: success only when its reply echoed it, within limitMs.
    bool waitFor(Ticket ticket, uint32_t limitMs = kDefaultWaitMs);
    // cancel, when given, ends the wait early (TimedOut) once set.
    Outcome waitOutcome(Ticket ticket, uint32_t limitMs = kDefaultWaitMs,
                        size_t* replyLength = nullptr, const std::atomic<bool>* cancel = nullptr);

    CommandQueue& queue() { return queue_; }

    // Writes that spent all their tries without an accepted reply since the unit was last
    // proven to hold its image: it may not hold what was sent. Counted by the sender thread.
    uint32_t unconfirmedWrites() const { return unconfirmed_.load(std::memory_order_acquire); }
    // The unit is known to hold something else than its image (a download that could not be
    // proven, or a difference left for later).
    bool knownDifferent() const { return knownDifferent_.load(std::memory_order_acquire); }
    void setKnownDifferent() { knownDifferent_.store(true, std::memory_order_release); }
    // The unit was proven to hold its image (a verified download, a full read): no write is
    // unconfirmed and no difference known. Any thread.
    void markInSync() {
        unconfirmed_.store(0, std::memory_order_release);
        knownDifferent_.store(false, std::memory_order_release);
    }

private:
    void senderLoop();
    void receiveLoop();
    // datagram: the bytes are one UDP datagram (else part of the serial stream).
    long receiveSome(uint8_t* buffer, size_t capacity, bool& datagram);
    void transmit(const uint8_t* frameBytes, size_t length);
    bool stopRequested() const { return (flags() & linkflag::kStop) != 0; }
    void setError(const LinkError& error);
    // Stops the link of a unit that is gone; from a link thread.
    void lose(const char* why);
    void tellWatcher();
    // Tells the watcher when state() is not what it was last told.
    void noticeState();
    // How long the sender may wait for work: no longer than until the unit's silence reaches
    // the answer limit, so that the change to not answering is told on time.
    uint32_t idleWaitMs() const;

    std::atomic<uint32_t> modelCode_{0};
    std::atomic<uint32_t> flags_{0};
    std::atomic<Ipv4> address_{0};
    std::atomic<bool> virtual_{false};

    mutable std::mutex infoMutex_;  // guards the identity texts, mac_, lastError_ and image_
    std::string modelName_;
    std::string deviceName_;
    std::string portName_;
    std::string addressText_;
    std::array<uint8_t, 6> mac_{};
    LinkError lastError_;
    std::shared_ptr<ModeImage> image_;

    // Link state: written by startLink/stopLink while no link thread runs, read by the threads.
    LinkSettings settings_;
    SerialPort serial_;
    Waker serialWaker_;
    ReplyReceiver replies_;  // receive thread only
    CommandQueue queue_;
    std::thread receiver_;
    std::thread sender_;
    std::atomic<bool> running_{false};
    std::atomic<uint32_t> lastHeardMs_{0};  // tick of the last bytes from the unit
    // kAwaiting plus the tick of the first transmission since the unit last sent bytes; 0
    // while nothing sent is waiting for the unit.
    std::atomic<uint64_t> awaitingSince_{0};
    static constexpr uint64_t kAwaiting = uint64_t{1} << 32;
    std::atomic<uint32_t> answerLimitMs_{0};
    std::atomic<uint32_t> unconfirmed_{0};  // writes without an accepted reply
    std::atomic<bool> knownDifferent_{false};
    std::mutex linkMutex_;  // serialises startLink and stopLink
    std::atomic<State> toldState_{State::NotConnected};
    std::mutex watcherMutex_;  // guards watcher_
    Watcher watcher_;
};

}  // namespace qel
