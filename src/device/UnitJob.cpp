// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/UnitJob.h"

namespace qel {

UnitJob::UnitJob(std::shared_ptr<Equipment> unit, const LinkSettings& link, QObject* owner,
                 Work work, Done done)
    : unit_(std::move(unit)) {
    thread_ = std::thread([this, link, owner, work = std::move(work),
                           done = std::move(done), alive = alive_]() mutable {
        UnitTransfer transfer(*unit_, link, [this](int position, const char*) {
            progress_.store(position, std::memory_order_relaxed);
        });
        transfer.setProgressPause(0);
        transfer.setCancel(&cancel_);
        const UnitTransfer::Result result = work(transfer);
        QMetaObject::invokeMethod(
            owner,
            [done = std::move(done), alive, result] {
                if (alive->load(std::memory_order_acquire)) done(result);
            },
            Qt::QueuedConnection);
    });
}

UnitJob::~UnitJob() {
    alive_->store(false, std::memory_order_release);
    cancel_.store(true, std::memory_order_release);
    thread_.join();
}

}  // namespace qel
