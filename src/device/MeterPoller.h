// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "device/ModeImage.h"

namespace qel {

class Equipment;

// How the level meters show a reading: one above the held level shows at once and is held;
// otherwise the held level shows (rounded) and falls by 0.3 per pass, not below 0.
class MeterHold {
public:
    static constexpr int kSlots = ModeImage::kMeters;
    void pass(const uint8_t* reply, uint8_t* display);
    void reset() { held_.fill(0.0); }

private:
    std::array<double, kSlots> held_{};
};

// An editor's meter thread. While the meters are on screen it asks the unit for its levels
// and runs five display passes 8 ms apart per reading; otherwise it asks once a second. It
// touches no widget: each pass publishes display bytes and calls `published` on its own
// thread, and the editor takes the bytes on the GUI thread. A unit that does not answer shows
// no level; nor does one whose link stopped, which also ends the thread (as does destroying the
// poller, which joins it).
class MeterPoller {
public:
    struct Timing {
        uint32_t startMs = 600;
        uint32_t passMs = 8;
        int passes = 5;
        uint32_t idlePollMs = 1000;
    };
    using Display = std::array<uint8_t, MeterHold::kSlots>;

    MeterPoller(Equipment& unit, std::function<void()> published, Timing timing);
    MeterPoller(Equipment& unit, std::function<void()> published)
        : MeterPoller(unit, std::move(published), Timing{}) {}
    ~MeterPoller();
    MeterPoller(const MeterPoller&) = delete;
    MeterPoller& operator=(const MeterPoller&) = delete;

    void start();
    void stop();
    // The editor window is visible and not minimised (set by the GUI thread).
    void setOnScreen(bool shown);
    // A remote client watches the levels: they are asked as often as when on screen.
    void setWatched(bool watched);
    Display display() const;
    uint64_t readingsAsked() const { return asked_.load(std::memory_order_relaxed); }

private:
    void run();
    void ask();
    // Stores the display bytes; tells the GUI thread when they changed.
    void publish(const uint8_t* shown);
    bool metersShown() const;
    // Sleeps up to ms; false once stopping.
    bool rest(uint32_t ms);

    Equipment& unit_;
    std::function<void()> published_;
    Timing timing_;
    uint8_t reply_[MeterHold::kSlots] = {};  // the unit's reply lands here, under the queue's lock
    std::array<std::atomic<uint8_t>, MeterHold::kSlots> display_{};
    std::atomic<bool> onScreen_{false};
    std::atomic<bool> watched_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<uint64_t> asked_{0};
    std::mutex restMutex_;  // guards nothing but the wait on restWake_
    std::condition_variable restWake_;
    std::thread thread_;
};

}  // namespace qel
