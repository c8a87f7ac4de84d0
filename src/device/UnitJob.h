// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "device/UnitTransfer.h"

namespace qel {

// One transfer of a unit on a thread of its own: its progress, status and verify report may be
// read from any thread, and `done` runs on the owner's thread once it has ended (not when the
// job was destroyed first; done may destroy the job). The work gets the transfer with no pause
// after progress reports (it may set one). Destroying the job cancels the transfer and waits
// for its thread; the owner outlives its jobs.
class UnitJob : public QObject {
    Q_OBJECT
public:
    using Work = std::function<UnitTransfer::Result(UnitTransfer&)>;
    using Done = std::function<void(UnitTransfer::Result)>;

    UnitJob(std::shared_ptr<Equipment> unit, const LinkSettings& link, QObject* owner, Work work,
            Done done);
    ~UnitJob() override;

    // 0..100, as the transfer last reported.
    int progress() const { return progress_.load(std::memory_order_relaxed); }
    // The transfer's last status text (a static text marked for translation in the context
    // "qel::UnitTransfer"); null before it gave one.
    const char* status() const { return status_.load(std::memory_order_relaxed); }
    // The verify's account of the work's last download, once the work has ended; none when
    // it verified none.
    std::shared_ptr<const VerifyReport> verifyReport() const;
    // Asks the transfer to stop (UnitTransfer::setCancel); it ends as usual. Any thread.
    void cancel() { cancel_.store(true, std::memory_order_release); }
    const std::shared_ptr<Equipment>& unit() const { return unit_; }

signals:
    // From the worker, queued to the owner.
    void ended(int result);
    // From the worker: progress() or status() moved on.
    void progressed();

private:
    std::shared_ptr<Equipment> unit_;
    std::atomic<bool> cancel_{false};
    std::atomic<int> progress_{0};
    std::atomic<const char*> status_{nullptr};
    mutable std::mutex reportLock_;  // guards report_
    std::shared_ptr<const VerifyReport> report_;
    // Cleared on destruction (owner's thread): an end already queued then does nothing.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::thread thread_;
};

}  // namespace qel
