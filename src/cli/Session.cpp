// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/Session.h"

#include <memory>
#include <ostream>
#include <sstream>

#include "cli/ErrorText.h"
#include "device/DownloadVerify.h"
#include "device/ModeImage.h"

namespace qel::cli {

Session::~Session() {
    UnitTransfer::disconnect(unit_);
}

bool Session::connect(bool readAll, std::ostream& err) {
    UnitTransfer t = transfer();
    t.setProgressPause(0);
    switch (readAll ? t.run(UnitTransfer::Mode::Connect) : t.handshake()) {
        case UnitTransfer::Result::Success:
            return true;
        case UnitTransfer::Result::PortFailed:
            failureCode_ = "port";
            err << "cannot open " << unit_.portName() << ": " << linkErrorText(unit_.lastError())
                << "\n";
            return false;
        case UnitTransfer::Result::HandshakeTimeout:
            failureCode_ = "handshake-timeout";
            err << "connection timed out: the unit did not answer the handshake\n";
            return false;
        default:
            failureCode_ = "read-failed";
            err << "reading the unit's parameters failed\n";
            return false;
    }
}

bool Session::download(const ModeRecord& record, bool verify, std::string& result,
                       const std::atomic<bool>* cancel) {
    auto image =
        unit_.image() ? std::make_shared<ModeImage>(*unit_.image()) : std::make_shared<ModeImage>();
    image->record() = record;
    unit_.setImage(image);
    if (verify) {
        DownloadVerify downloader(unit_, link_);
        downloader.setCancel(cancel);
        const DownloadVerify::Report report = downloader.downloadAndVerify();
        result = report.summary();
        if (!report.ok())
            failureCode_ =
                report.outcome == VerifyOutcome::Cancelled ? "cancelled" : "verify-failed";
        return report.ok();
    }
    UnitTransfer t = transfer();
    t.setProgressPause(0);
    t.setCancel(cancel);
    const int failed = t.fullDownload();
    if (t.cancelled()) {
        failureCode_ = "cancelled";
        result = "cancelled: the unit holds part of the record";
        return false;
    }
    if (failed) failureCode_ = "download-incomplete";
    result = failed
                 ? "download incomplete: " + std::to_string(failed) + " commands were not accepted"
                 : "downloaded, not verified";
    return failed == 0;
}

bool Session::connect(bool readAll, std::string& failureLine) {
    std::ostringstream failure;
    if (connect(readAll, failure)) return true;
    failureLine = failure.str();
    if (!failureLine.empty() && failureLine.back() == '\n') failureLine.pop_back();
    return false;
}

}  // namespace qel::cli
