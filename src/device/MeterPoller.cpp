// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/MeterPoller.h"

#include <algorithm>
#include <cmath>

#include "device/UnitCommands.h"
#include "link/Equipment.h"
#include "platform/Clock.h"

namespace qel {

namespace {
// How soon paused meters notice that the pause is over.
constexpr uint32_t kPauseCheckMs = 10;
// How long a plain reading waits for the unit's answer: a unit answers within a few ms.
constexpr uint32_t kAnswerMs = 20;
}  // namespace

void MeterHold::pass(const uint8_t* reply, uint8_t* display, double fall) {
    for (int i = 0; i < kSlots; ++i) {
        double& held = held_[static_cast<size_t>(i)];
        if (reply[i] > held) {
            display[i] = reply[i];
            held = reply[i];
        } else {
            display[i] = static_cast<uint8_t>(std::lround(held));
            held = std::max(0.0, held - fall);
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

void MeterPoller::setDemand(int readingsPerSecond, bool displayPasses) {
    const int rate = std::clamp(readingsPerSecond, 0, 1000);
    {
        std::lock_guard lock(restMutex_);
        if (demand_.rate == rate && demand_.passes == displayPasses) return;
        demand_.rate = rate;
        demand_.passes = displayPasses;
        ++demand_.generation;
    }
    restWake_.notify_all();
}

MeterPoller::Demand MeterPoller::demand() const {
    std::lock_guard lock(restMutex_);
    return demand_;
}

MeterPoller::Display MeterPoller::display() const {
    {
        std::lock_guard lock(passMutex_);
        if (passesRunning_) {
            catchUpPasses();
            return passShown_;
        }
    }
    Display d;
    for (size_t i = 0; i < d.size(); ++i) d[i] = display_[i].load(std::memory_order_relaxed);
    return d;
}

bool MeterPoller::rest(uint32_t ms) {
    std::unique_lock lock(restMutex_);
    return !restWake_.wait_for(lock, std::chrono::milliseconds(ms),
                               [this] { return stopping_.load(); });
}

bool MeterPoller::restUnlessChanged(uint32_t ms, uint64_t generation) {
    std::unique_lock lock(restMutex_);
    restWake_.wait_for(lock, std::chrono::milliseconds(ms), [&] {
        return stopping_.load() || demand_.generation != generation;
    });
    return !stopping_.load();
}

void MeterPoller::ask() {
    const OwnedCommand spec = cmd::readMeters();
    Command c = spec.toCommand(reply_);
    c.coalesce = true;  // a reading still waiting in the queue serves as well
    if (unit_.enqueue(c)) asked_.fetch_add(1, std::memory_order_relaxed);
}

void MeterPoller::takeReply(MeterHold& hold, uint8_t* reply) {
    std::fill_n(reply, MeterHold::kSlots, uint8_t{0});
    // The last reading of a unit that stopped answering is no level: dark.
    if (unit_.notAnswering())
        hold.reset();
    else
        unit_.queue().readReplyData(reply_, reply, MeterHold::kSlots);
}

void MeterPoller::catchUpPasses() const {
    // Passes fall due evenly, as many per reading cycle as the thread's own passes would take.
    const uint32_t cycleMs = static_cast<uint32_t>(timing_.passes) * timing_.passMs + 1;
    const uint64_t elapsed = tickMs() - passesFromMs_;
    const uint64_t due = elapsed * static_cast<uint64_t>(timing_.passes) / cycleMs + 1;
    if (due <= passesDone_) return;
    uint8_t reply[MeterHold::kSlots];
    std::fill_n(reply, MeterHold::kSlots, uint8_t{0});
    if (unit_.notAnswering())
        passHold_.reset();
    else
        unit_.queue().readReplyData(reply_, reply, MeterHold::kSlots);
    // A display asked for after a long pause starts afresh rather than running every pass missed.
    const uint64_t passes = std::min<uint64_t>(due - passesDone_, 4ull * timing_.passes);
    for (uint64_t p = 0; p < passes; ++p) passHold_.pass(reply, passShown_.data());
    passesDone_ = due;
}

void MeterPoller::setPassesRunning(bool running) {
    uint8_t shown[MeterHold::kSlots];
    {
        std::lock_guard lock(passMutex_);
        if (running == passesRunning_) return;
        passesRunning_ = running;
        std::copy(passShown_.begin(), passShown_.end(), shown);
        passHold_.reset();
        passShown_.fill(0);
        passesFromMs_ = tickMs();
        passesDone_ = 0;
    }
    // Without passes the stored bytes show again: they take over from the passes' last display.
    if (!running) publish(shown);
}

bool MeterPoller::displayReading() {
    setPassesRunning(true);
    ask();
    // The passes run when the display is asked for; a frame is asked for while anything shows.
    bool lit = false;
    {
        std::lock_guard lock(passMutex_);
        lit = std::any_of(passShown_.begin(), passShown_.end(), [](uint8_t v) { return v > 0; });
    }
    // The reply comes within the first pass; then the frames follow the display.
    const bool alive = rest(timing_.passMs);
    if (!alive) return false;
    if (!lit) {
        uint8_t reply[MeterHold::kSlots] = {};
        if (!unit_.notAnswering()) unit_.queue().readReplyData(reply_, reply, MeterHold::kSlots);
        lit = std::any_of(std::begin(reply), std::end(reply), [](uint8_t v) { return v > 0; });
    }
    if (lit && published_) published_();
    return rest(timing_.passMs * static_cast<uint32_t>(timing_.passes - 1) + 1);
}

bool MeterPoller::plainReading(MeterHold& hold, const Demand& demand) {
    const uint32_t period = static_cast<uint32_t>(1000 / demand.rate);
    const uint32_t start = tickMs();
    ask();
    if (!restUnlessChanged(std::min(period, kAnswerMs), demand.generation)) return false;
    // Held once per reading, the level falls as far as the display passes take it meanwhile.
    const uint32_t cycleMs = static_cast<uint32_t>(timing_.passes) * timing_.passMs + 1;
    const double fall =
        MeterHold::kFall * timing_.passes * period / static_cast<double>(cycleMs);
    uint8_t reply[MeterHold::kSlots], shown[MeterHold::kSlots];
    takeReply(hold, reply);
    hold.pass(reply, shown, fall);
    publish(shown);
    const uint32_t spent = tickMs() - start;
    return spent >= period || restUnlessChanged(period - spent, demand.generation);
}

bool MeterPoller::idleReading(MeterHold& hold, const Demand& demand) {
    ask();
    const bool alive = restUnlessChanged(timing_.idlePollMs, demand.generation);
    hold.reset();
    return alive;
}

void MeterPoller::run() {
    MeterHold hold;
    bool alive = rest(timing_.startMs);
    while (alive && !unit_.hasFlag(linkflag::kStop)) {
        if (unit_.hasFlag(linkflag::kMeterPaused)) {
            alive = rest(kPauseCheckMs);
            continue;
        }
        const Demand d = demand();
        if (!d.passes) setPassesRunning(false);
        if (d.passes)
            alive = displayReading();
        else if (d.rate > 0)
            alive = plainReading(hold, d);
        else
            alive = idleReading(hold, d);
    }
    setPassesRunning(false);
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
