// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/UnitSession.h"

#include <algorithm>

#include "device/ModeImage.h"
#include "link/Equipment.h"

namespace qel {

UnitSession::UnitSession(std::shared_ptr<Equipment> unit, MeterPoller::Timing meterTiming)
    : unit_(std::move(unit)),
      image_(unit_->image() ? unit_->image() : std::make_shared<ModeImage>()),
      edit_(*unit_, image_),
      history_(edit_),
      meters_(
          *unit_,
          [this] {
              metersFresh_ = true;
              if (!metersQueued_.exchange(true)) emit metersPublished();
          },
          meterTiming) {
    // A reading within a frame of the last is held back. While readings keep coming the frame
    // timer takes them over and the meter thread posts nothing.
    connect(
        this, &UnitSession::metersPublished, this,
        [this] {
            const qint64 since = meterFrame_.isValid() ? meterFrame_.elapsed() : kMeterFrameMs;
            if (since >= kMeterFrameMs) {
                metersQueued_ = false;
                deliverMeters();
            } else {
                meterDelay_.start(int(kMeterFrameMs - since));
            }
        },
        Qt::QueuedConnection);
    meterDelay_.setSingleShot(true);
    connect(&meterDelay_, &QTimer::timeout, this, [this] {
        if (metersFresh_) {
            meterDelay_.start(kMeterFrameMs);
            return deliverMeters();
        }
        // None came this frame: the next one posts again (or came just now, and is taken).
        metersQueued_ = false;
        if (metersFresh_ && !metersQueued_.exchange(true)) {
            meterDelay_.start(kMeterFrameMs);
            deliverMeters();
        }
    });
    meters_.start();
}

UnitSession::~UnitSession() {
    meters_.stop();
}

void UnitSession::deliverMeters() {
    metersFresh_ = false;
    meterFrame_.start();
    emit metersChanged();
}

UnitSession::MeterWatch& UnitSession::MeterWatch::operator=(MeterWatch&& other) noexcept {
    if (this != &other) {
        reset();
        session_ = std::exchange(other.session_, nullptr);
        id_ = other.id_;
    }
    return *this;
}

void UnitSession::MeterWatch::reset() {
    if (!session_) return;
    session_->watchers_.erase(id_);
    session_->updateMeterRate();
    session_ = nullptr;
}

UnitSession::MeterWatch UnitSession::watchMeters(int readingsPerSecond, MeterUse use) {
    MeterWatch watch;
    watch.session_ = this;
    watch.id_ = nextWatch_++;
    watchers_[watch.id_] = {readingsPerSecond, use};
    updateMeterRate();
    return watch;
}

void UnitSession::updateMeterRate() {
    int rate = 0;
    bool passes = false;
    for (const auto& [id, watcher] : watchers_) {
        rate = std::max(rate, watcher.first);
        passes = passes || watcher.second == MeterUse::DisplayPasses;
    }
    meters_.setDemand(rate, passes);
}

UnitSession::Lease::~Lease() {
    if (!session_) return;
    session_->holder_.clear();
    emit session_->busyChanged(false);
}

std::optional<UnitSession::Lease> UnitSession::lease(const QString& holder) {
    if (busy()) return std::nullopt;
    holder_ = holder.isEmpty() ? QStringLiteral("?") : holder;
    emit busyChanged(true);
    return Lease(this);
}

}  // namespace qel
