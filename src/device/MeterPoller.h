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
// otherwise the held level shows (rounded) and falls, by 0.3 per display pass, not below 0.
class MeterHold {
public:
    static constexpr int kSlots = ModeImage::kMeters;
    static constexpr double kFall = 0.3;
    void pass(const uint8_t* reply, uint8_t* display, double fall = kFall);
    void reset() { held_.fill(0.0); }

private:
    std::array<double, kSlots> held_{};
};

// A unit's meter thread: one reading per period, however many watch. While someone shows the
// meters (the editor) the display takes five passes 8 ms apart per reading: the thread wakes
// once a reading, and the passes due are run when the display is asked for, so they cost no
// wake-ups of their own. While others only watch them it reads at the fastest rate asked and
// holds each reading once, falling as much as the passes would have meanwhile; while nobody
// watches it asks once a second. It touches no widget: it calls `published` on its own thread
// when there is something new to show. A unit that does not answer shows no level; nor does
// one whose link stopped, which also ends the thread (as does destroying the poller, which
// joins it).
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
    // What the watchers want: readings a second (0: nobody watches) and whether the display
    // passes run (someone shows the meters). Any thread.
    void setDemand(int readingsPerSecond, bool displayPasses);
    Display display() const;
    uint64_t readingsAsked() const { return asked_.load(std::memory_order_relaxed); }

private:
    struct Demand {
        int rate = 0;
        bool passes = false;
        uint64_t generation = 0;  // counts the changes
    };
    void run();
    void ask();
    // One reading for the display passes; one held reading; the once-a-second ask.
    bool displayReading();
    bool plainReading(MeterHold& hold, const Demand& demand);
    bool idleReading(MeterHold& hold, const Demand& demand);
    // The unit's last reading, none when it stopped answering (then the held levels go too).
    void takeReply(MeterHold& hold, uint8_t* reply);
    // Stores the display bytes; tells the GUI thread when they changed.
    void publish(const uint8_t* shown);
    // The display passes due by now, under passMutex_.
    void catchUpPasses() const;
    // Display passes on or off; off shows the stored bytes again.
    void setPassesRunning(bool running);
    Demand demand() const;
    // Sleeps up to ms, less when a change of demand since `generation` is given; false once
    // stopping.
    bool rest(uint32_t ms);
    bool restUnlessChanged(uint32_t ms, uint64_t generation);

    Equipment& unit_;
    std::function<void()> published_;
    Timing timing_;
    uint8_t reply_[MeterHold::kSlots] = {};  // the unit's reply lands here, under the queue's lock
    std::array<std::atomic<uint8_t>, MeterHold::kSlots> display_{};
    // The display passes, run by whoever asks for the display.
    mutable std::mutex passMutex_;
    mutable MeterHold passHold_;
    mutable Display passShown_{};
    bool passesRunning_ = false;
    uint32_t passesFromMs_ = 0;
    mutable uint64_t passesDone_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<uint64_t> asked_{0};
    mutable std::mutex restMutex_;  // guards demand_ and the wait on restWake_
    Demand demand_;
    std::condition_variable restWake_;
    std::thread thread_;
};

}  // namespace qel
