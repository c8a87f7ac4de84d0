// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "UnitSimulator.h"

#include <chrono>

#include "StateFile.h"

namespace qel::sim {

namespace {
int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

UnitSimulator::UnitSimulator(Ports ports) : host_(ports) {}

UnitSimulator::~UnitSimulator() {
    stop();
}

int UnitSimulator::addNetworkUnit(int model, const std::string& ipv4, const std::string& name,
                                  const Faults& faults) {
    std::lock_guard lock(mutex_);
    const int unit = host_.addNetworkUnit(model, ipv4, name, faults);
    if (unit < 0) lastError_ = host_.lastError();
    waker_.wake();
    return unit;
}

int UnitSimulator::addSerialUnit(int model, const std::string& name, const Faults& faults) {
    std::lock_guard lock(mutex_);
    const int unit = host_.addSerialUnit(model, name, faults);
    if (unit < 0) lastError_ = host_.lastError();
    waker_.wake();
    return unit;
}

int UnitSimulator::unitCount() const {
    std::lock_guard lock(mutex_);
    return host_.unitCount();
}

bool UnitSimulator::isSerial(int unit) const {
    std::lock_guard lock(mutex_);
    return host_.valid(unit) && host_.isSerial(unit);
}

std::string UnitSimulator::address(int unit) const {
    std::lock_guard lock(mutex_);
    return host_.valid(unit) ? host_.address(unit) : std::string();
}

std::string UnitSimulator::slavePath(int unit) const {
    std::lock_guard lock(mutex_);
    return host_.valid(unit) && host_.isSerial(unit) ? host_.address(unit) : std::string();
}

bool UnitSimulator::start() {
    std::lock_guard lifecycle(lifecycleMutex_);
    if (thread_.joinable()) return true;
    if (waker_.fd() < 0) {
        std::lock_guard lock(mutex_);
        lastError_ = "cannot create the wake-up event";
        return false;
    }
    stopping_ = false;
    running_ = true;
    thread_ = std::thread([this] { run(); });
    return true;
}

void UnitSimulator::stop() {
    std::lock_guard lifecycle(lifecycleMutex_);
    if (!thread_.joinable()) return;
    stopping_ = true;
    waker_.wake();
    thread_.join();
    running_ = false;
}

void UnitSimulator::run() {
    std::vector<pollfd> fds;
    std::vector<UnitHost::Source> sources;
    while (!stopping_.load()) {
        int timeoutMs = -1;
        {
            std::lock_guard lock(mutex_);
            host_.pollSet(fds, sources);
            timeoutMs = host_.msUntilNextSend(nowMs());
        }
        fds.push_back(pollfd{waker_.fd(), POLLIN, 0});
        ::poll(fds.data(), fds.size(), timeoutMs);
        if (fds.back().revents & POLLIN) waker_.drain();
        {
            std::lock_guard lock(mutex_);
            for (size_t i = 0; i < sources.size(); ++i)
                if (fds[i].revents != 0) host_.service(sources[i], nowMs());
            host_.sendDue(nowMs());
        }
        requestLogged_.notify_all();
    }
}

void UnitSimulator::setFaults(int unit, const Faults& faults) {
    std::lock_guard lock(mutex_);
    if (host_.valid(unit)) host_.unit(unit).setFaults(faults);
}

Faults UnitSimulator::faults(int unit) const {
    std::lock_guard lock(mutex_);
    return host_.valid(unit) ? host_.unit(unit).faults() : Faults{};
}

UnitState UnitSimulator::state(int unit) const {
    std::lock_guard lock(mutex_);
    return host_.valid(unit) ? host_.unit(unit).state() : UnitState{};
}

void UnitSimulator::setState(int unit, const UnitState& state) {
    std::lock_guard lock(mutex_);
    if (host_.valid(unit)) host_.unit(unit).state() = state;
}

std::vector<RequestRecord> UnitSimulator::requests(int unit) const {
    std::lock_guard lock(mutex_);
    return host_.valid(unit) ? host_.unit(unit).requests() : std::vector<RequestRecord>{};
}

void UnitSimulator::clearRequests(int unit) {
    std::lock_guard lock(mutex_);
    if (host_.valid(unit)) host_.unit(unit).clearRequests();
}

bool UnitSimulator::waitForRequests(int unit, size_t count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    if (!host_.valid(unit)) return false;
    return requestLogged_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                   [&] { return host_.unit(unit).requests().size() >= count; });
}

size_t UnitSimulator::badChecksums(int unit) const {
    std::lock_guard lock(mutex_);
    return host_.valid(unit) ? host_.unit(unit).badChecksums() : 0;
}

void UnitSimulator::closeSerial(int unit) {
    std::lock_guard lock(mutex_);
    if (host_.valid(unit)) host_.closeSerial(unit);
    waker_.wake();
}

bool UnitSimulator::reopenSerial(int unit) {
    std::lock_guard lock(mutex_);
    if (!host_.valid(unit) || !host_.isSerial(unit)) return false;
    const bool ok = host_.reopenSerial(unit);
    if (!ok) lastError_ = host_.lastError();
    waker_.wake();
    return ok;
}

void UnitSimulator::setSilenced(int unit, bool silenced) {
    std::lock_guard lock(mutex_);
    if (host_.valid(unit)) host_.setSilenced(unit, silenced);
}

ModuleConfig UnitSimulator::module(int unit) const {
    std::lock_guard lock(mutex_);
    return host_.valid(unit) ? host_.module(unit) : ModuleConfig(0);
}

bool UnitSimulator::saveStates(const std::string& file) const {
    std::lock_guard lock(mutex_);
    StateFile::States states;
    for (int i = 0; i < host_.unitCount(); ++i) states[host_.stateKey(i)] = host_.unit(i).state();
    return StateFile::save(file, states, &lastError_);
}

bool UnitSimulator::loadStates(const std::string& file) {
    std::lock_guard lock(mutex_);
    StateFile::States states;
    if (!StateFile::load(file, states, &lastError_)) return false;
    for (int i = 0; i < host_.unitCount(); ++i) {
        auto it = states.find(host_.stateKey(i));
        if (it != states.end() && it->second.model == host_.unit(i).state().model)
            host_.unit(i).state() = it->second;
    }
    return true;
}

std::string UnitSimulator::lastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

}  // namespace qel::sim
