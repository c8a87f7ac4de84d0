// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/UnitSession.h"

#include <QLoggingCategory>
#include <algorithm>

#include "device/DownloadVerify.h"
#include "device/ModeImage.h"
#include "device/UnitText.h"
#include "link/Equipment.h"

namespace qel {

namespace {
Q_LOGGING_CATEGORY(lcSession, "qel.session")

QString nameOf(const Equipment& unit) {
    return QString::fromStdString(unpaddedUnitText(unit.deviceName()) + " (" + unit.modelName() +
                                  ")");
}
}  // namespace

UnitSession::UnitSession(std::shared_ptr<Equipment> unit, Options options)
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
          options.meterTiming),
      options_(std::move(options)) {
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
    // The unit tells of its changes on any thread; the session's signal comes on its own.
    connect(
        this, &UnitSession::unitTold, this,
        [this] {
            unitToldQueued_ = false;
            emit unitChanged();
        },
        Qt::QueuedConnection);
    unit_->setWatcher([this] {
        if (!unitToldQueued_.exchange(true)) emit unitTold();
    });
    meters_.start();
    if (options_.link) {
        connect(&linkTimer_, &QTimer::timeout, this, &UnitSession::lookAtLink);
        linkTimer_.start(kRetryMs);
    }
}

UnitSession::~UnitSession() {
    unit_->setWatcher({});
    linkTimer_.stop();
    job_.reset();
    if (jobLease_) jobLease_->session_ = nullptr;  // no busy signal from a session that goes
    meters_.stop();
}

void UnitSession::lookAtLink() {
    if (job_ || busy() || unit_->state() != Equipment::State::NotConnected) return;
    auto lease = this->lease(tr("重连"));
    if (!lease) return;
    jobLease_.emplace(std::move(*lease));
    meters_.stop();
    const std::shared_ptr<Equipment> unit = unit_;
    job_ = std::make_unique<UnitJob>(
        unit_, *options_.link, this,
        [unit](UnitTransfer& transfer) {
            unit->stopLink();  // the lost link's threads end (a serial port closes) first
            return transfer.run(UnitTransfer::Mode::Connect);
        },
        [this](UnitTransfer::Result result) { reconnected(result); });
}

void UnitSession::reconnected(UnitTransfer::Result result) {
    job_.reset();
    if (result == UnitTransfer::Result::Success) {
        qCInfo(lcSession, "%s answers again", qUtf8Printable(nameOf(*unit_)));
        settleRead();
        meters_.start();
    }
    jobLease_.reset();  // the clients get a fresh snapshot as the unit is free again
    if (result == UnitTransfer::Result::Success) emit linkRestored();
}

void UnitSession::stopReconnecting() {
    if (!job_ || writing_) return;
    job_.reset();
    jobLease_.reset();
}

bool UnitSession::settleRead() {
    auto read = unit_->image();
    unit_->setImage(image_);
    if (!read || read == image_) return true;
    const auto differences =
        DownloadVerify::compare(image_->record(), read->record(), unit_->modelCode());
    // The unit's mode number and names hold whichever settings win.
    ModeImage merged = *read;
    merged.record() = image_->record();
    *image_ = merged;
    if (differences.empty()) {
        cameBack_.reset();
        return true;
    }
    cameBack_ = std::move(read);
    if (options_.onDifference == OnDifference::TakeUnits) {
        qCInfo(lcSession, "%s came back with %d other settings; the unit's are kept",
               qUtf8Printable(nameOf(*unit_)), int(differences.size()));
        takeUnitsSettings();
        return false;
    }
    unit_->setKnownDifferent();
    emit cameBackDifferent();
    return false;
}

void UnitSession::takeUnitsSettings() {
    if (!cameBack_) return;
    image_->record() = cameBack_->record();
    cameBack_.reset();
    unit_->markInSync();
    history_.clear();
    emit settingsReplaced();
}

void UnitSession::keepSessionSettings() {
    cameBack_.reset();
    unit_->setKnownDifferent();
}

bool UnitSession::writeSessionSettings() {
    if (!options_.link || job_) return false;
    auto lease = this->lease(tr("同步"));
    if (!lease) return false;
    keepSessionSettings();
    jobLease_.emplace(std::move(*lease));
    writing_ = true;
    unit_->setImage(image_);  // the download sends the unit's image: this one
    unit_->setFlags(linkflag::kMeterPaused);
    job_ = std::make_unique<UnitJob>(
        unit_, *options_.link, this,
        [](UnitTransfer& transfer) { return transfer.run(UnitTransfer::Mode::Download); },
        [this](UnitTransfer::Result result) {
            job_.reset();
            writing_ = false;
            unit_->clearFlags(linkflag::kMeterPaused);
            jobLease_.reset();
            emit settingsWritten(result == UnitTransfer::Result::Success);
        });
    return true;
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
