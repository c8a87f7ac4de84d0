// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/UnitSession.h"

#include <QLoggingCategory>
#include <algorithm>

#include "device/DownloadVerify.h"
#include "device/ModeImage.h"
#include "device/SystemFunctions.h"
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
    if (pausedMeters_) unit_->clearFlags(linkflag::kMeterPaused);
    if (jobLease_) jobLease_->session_ = nullptr;  // no busy signal from a session that goes
    meters_.stop();
}

UnitJob* UnitSession::startTransfer(const QString& holder, const LinkSettings& link,
                                    UnitJob::Work work, UnitJob::Done done) {
    if (job_) return nullptr;
    auto lease = this->lease(holder);
    if (!lease) return nullptr;
    jobLease_.emplace(std::move(*lease));
    pausedMeters_ = !unit_->hasFlag(linkflag::kMeterPaused);
    if (pausedMeters_) unit_->setFlags(linkflag::kMeterPaused);
    jobKind_ = JobKind::Other;
    job_ = std::make_unique<UnitJob>(
        unit_, link, this, std::move(work), [this, done = std::move(done)](UnitTransfer::Result r) {
            const auto job = std::move(job_);  // read by done, gone after it
            jobKind_ = JobKind::None;
            if (done) done(r);
            if (!job_) letGoOfUnit();  // unless done started another
        });
    return job_.get();
}

UnitJob* UnitSession::startTransfer(const QString& holder, UnitJob::Work work, UnitJob::Done done) {
    if (!options_.link) return nullptr;
    return startTransfer(holder, *options_.link, std::move(work), std::move(done));
}

void UnitSession::letGoOfUnit() {
    if (std::exchange(pausedMeters_, false)) unit_->clearFlags(linkflag::kMeterPaused);
    jobLease_.reset();
}

void UnitSession::lookAtLink() {
    if (job_ || busy() || unit_->state() != Equipment::State::NotConnected) return;
    meters_.stop();  // before the worker stops the lost link
    const std::shared_ptr<Equipment> unit = unit_;
    if (!startTransfer(
            tr("重连"),
            [unit](UnitTransfer& transfer) {
                unit->stopLink();  // the lost link's threads end (a serial port closes) first
                return transfer.run(UnitTransfer::Mode::Connect);
            },
            [this](UnitTransfer::Result result) { reconnected(result); }))
        return;
    jobKind_ = JobKind::Reconnect;
}

void UnitSession::reconnected(UnitTransfer::Result result) {
    if (result == UnitTransfer::Result::Success) {
        qCInfo(lcSession, "%s answers again", qUtf8Printable(nameOf(*unit_)));
        settleRead();
        meters_.start();
    }
    letGoOfUnit();  // the clients get a fresh snapshot as the unit is free again
    if (result == UnitTransfer::Result::Success) emit linkRestored();
}

void UnitSession::stopReconnecting() {
    if (jobKind_ != JobKind::Reconnect) return;
    job_.reset();
    jobKind_ = JobKind::None;
    letGoOfUnit();
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
    if (!options_.link || job_ || busy()) return false;
    keepSessionSettings();
    unit_->setImage(image_);  // the download sends the unit's image: this one
    if (!startTransfer(
            tr("同步"),
            [](UnitTransfer& transfer) { return transfer.run(UnitTransfer::Mode::Download); },
            [this](UnitTransfer::Result result) {
                letGoOfUnit();
                emit settingsWritten(result == UnitTransfer::Result::Success);
            }))
        return false;
    jobKind_ = JobKind::Write;
    return true;
}

bool UnitSession::recallMode(int slot, std::function<void(RecallEnd)> done) {
    const std::shared_ptr<Equipment> unit = unit_;
    auto recalled = std::make_shared<std::atomic<bool>>(false);
    return startTransfer(
        tr("调用模式"),
        [unit, slot, recalled](UnitTransfer& transfer) {
            // The unit takes up the slot, then it is read again, as the system page does.
            if (!SystemFunctions(*unit).recall(slot)) return UnitTransfer::Result::Cancelled;
            recalled->store(true);
            return transfer.run(UnitTransfer::Mode::ReadOnly);
        },
        [this, slot, recalled, done = std::move(done)](UnitTransfer::Result result) {
            emit modeRecalled(slot, recalled->load());
            RecallEnd end = RecallEnd::Refused;
            if (recalled->load()) {
                end = result == UnitTransfer::Result::Success ? RecallEnd::Recalled
                                                              : RecallEnd::ReadFailed;
                takeRead(end == RecallEnd::Recalled);
            }
            if (done) done(end);
        }) != nullptr;
}

void UnitSession::takeRead(bool read) {
    const auto fresh = unit_->image();
    unit_->setImage(image_);
    // A failed read leaves the unit's image; the unit no longer holds the session's settings.
    if (!read || !fresh || fresh == image_) {
        if (!read) unit_->setKnownDifferent();
        return;
    }
    *image_ = *fresh;  // the unit's mode number and names too
    cameBack_.reset();
    history_.clear();
    emit settingsReplaced();
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
