// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/UnitJob.h"

namespace qel {

UnitJob::UnitJob(std::shared_ptr<Equipment> unit, const LinkSettings& link, QObject* owner,
                 Work work, Done done)
    : unit_(std::move(unit)) {
    // Made here, on the owner's thread: the worker only emits.
    connect(
        this, &UnitJob::ended, owner,
        [done = std::move(done), alive = alive_](int result) {
            if (*alive) done(UnitTransfer::Result(result));
        },
        Qt::QueuedConnection);
    thread_ = std::thread([this, link, work = std::move(work)] {
        UnitTransfer transfer(*unit_, link, [this](int position, const char* status) {
            const bool moved = progress_.exchange(position, std::memory_order_relaxed) != position;
            const bool told =
                status && status_.exchange(status, std::memory_order_relaxed) != status;
            if (moved || told) emit progressed();
        });
        transfer.setProgressPause(0);
        transfer.setCancel(&cancel_);
        const auto result = work(transfer);
        {
            std::lock_guard lock(reportLock_);
            report_ = transfer.verifyReport();
        }
        emit ended(int(result));
    });
}

std::shared_ptr<const VerifyReport> UnitJob::verifyReport() const {
    std::lock_guard lock(reportLock_);
    return report_;
}

UnitJob::~UnitJob() {
    *alive_ = false;
    cancel_.store(true, std::memory_order_release);
    thread_.join();
}

}  // namespace qel
