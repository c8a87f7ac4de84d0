// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/MeterPoller.h"

#include <cmath>

#include "device/UnitCommands.h"
#include "link/Equipment.h"
#include "platform/Clock.h"

namespace qel {

namespace {
// How soon a hidden editor's meters notice that they are shown again.
constexpr uint32_t kIdleCheckMs = 10;
}  // namespace

void MeterHold::pass(const uint8_t* reply, uint8_t* display) {
    for (int i = 0; i < kSlots; ++i) {
        double& held = held_[static_cast<size_t>(i)];
        if (reply[i] > held) {
            display[i] = reply[i];
            held = reply[i];
        } else {
            display[i] = static_cast<uint8_t>(std::lround(held));
            held = std::max(0.0, held - 0.3);
        }
    }
}

MeterPoller::MeterPoller(Equipment& unit, std::function<void()> published, Timing timing)
    : unit_(unit), published_(std::move(published)), timing_(timing) {}

MeterPoller::~MeterPoller() {
    stop();
}

void MeterPoller::start() {
    if (thread_.joinable()) return;
    stopping_ = false;
    thread_ = std::thread([this] { run(); });
}

void MeterPoller::stop() {
    {
        std::lock_guard lock(restMutex_);
        stopping_ = true;
    }
    restWake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void MeterPoller::setOnScreen(bool shown) {
    onScreen_.store(shown, std::memory_order_release);
}

MeterPoller::Display MeterPoller::display() const {
    Display d;
    for (size_t i = 0; i < d.size(); ++i) d[i] = display_[i].load(std::memory_order_relaxed);
    return d;
}

bool MeterPoller::rest(uint32_t ms) {
    std::unique_lock lock(restMutex_);
    return !restWake_.wait_for(lock, std::chrono::milliseconds(ms),
                               [this] { return stopping_.load(); });
}

void MeterPoller::setWatched(bool watched) {
    watched_.store(watched, std::memory_order_release);
}

bool MeterPoller::metersShown() const {
    return onScreen_.load(std::memory_order_acquire) || watched_.load(std::memory_order_acquire);
}

void MeterPoller::ask() {
    const OwnedCommand spec = cmd::readMeters();
    Command c = spec.toCommand(reply_);
    c.coalesce = true;  // a reading still waiting in the queue serves as well
    if (unit_.enqueue(c)) asked_.fetch_add(1, std::memory_order_relaxed);
}

void MeterPoller::run() {
    MeterHold hold;
    bool alive = rest(timing_.startMs);
    while (alive && !unit_.hasFlag(linkflag::kStop)) {
        alive = rest(1);
        if (!alive || unit_.hasFlag(linkflag::kMeterPaused)) continue;
        if (metersShown()) {
            ask();
            for (int p = 0; p < timing_.passes && alive; ++p) {
                uint8_t reply[MeterHold::kSlots] = {}, shown[MeterHold::kSlots] = {};
                // The last reading of a unit that stopped answering is no level: dark.
                if (unit_.notAnswering())
                    hold.reset();
                else
                    unit_.queue().readReplyData(reply_, reply, sizeof reply);
                hold.pass(reply, shown);
                publish(shown);
                alive = rest(timing_.passMs);
            }
        } else {
            ask();
            const uint32_t since = tickMs();
            while (alive && !metersShown() && tickMs() - since < timing_.idlePollMs)
                alive = rest(kIdleCheckMs);
            hold.reset();
        }
    }
    unit_.queue().detach(reply_);
    // A lost link leaves no level to show.
    if (alive) {
        const uint8_t dark[MeterHold::kSlots] = {};
        publish(dark);
    }
}

void MeterPoller::publish(const uint8_t* shown) {
    bool changed = false;
    for (size_t i = 0; i < display_.size(); ++i)
        if (display_[i].exchange(shown[i], std::memory_order_relaxed) != shown[i]) changed = true;
    // An unchanged display costs the GUI thread nothing.
    if (changed && published_) published_();
}

}  // namespace qel
