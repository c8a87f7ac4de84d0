// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/DownloadVerify.h"

#include "device/ModeImage.h"
#include "platform/Trace.h"

namespace qel {

namespace {
// Each read and each command sent again may be queued this often when a stray reply (a late
// copy, or a reply to the download still on its way) ended its wait. Before a new attempt
// the unit must have been silent for longer than such a copy lags, so strays land while
// nothing waits.
constexpr int kAttempts = 4;
constexpr uint32_t kQuietMs = 60;
}  // namespace

namespace {
std::string count(size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}
}  // namespace

std::string VerifyDifference::text() const {
    return param.name() + ": unit has " + unitValue + ", record has " + recordValue;
}

std::string VerifyReport::summary() const {
    switch (outcome) {
        case VerifyOutcome::Equal:
            if (resent == 0) return "verified: the unit equals the record";
            return "verified: the unit now equals the record (" +
                   count(static_cast<size_t>(resent), "parameter") + " sent again)";
        case VerifyOutcome::ReadFailed:
            return "not verified: the unit could not be read back";
        case VerifyOutcome::Cancelled:
            return "cancelled: the unit holds part of the record";
        case VerifyOutcome::Differs:
            break;
    }
    std::string text =
        count(differences.size(), "parameter") +
        (differences.size() == 1 ? " still differs after " : " still differ after ") +
        count(static_cast<size_t>(rounds), "round") + " of sending them again";
    for (const auto& d : differences) text += "\n  " + d.text();
    return text;
}

DownloadVerify::DownloadVerify(Equipment& unit, const LinkSettings& link)
    : unit_(unit), link_(link) {}

UnitTransfer DownloadVerify::quietTransfer() const {
    UnitTransfer t(unit_, link_);
    t.setProgressPause(0);
    t.setAttempts(kAttempts, kQuietMs);
    t.setCancel(cancel_);
    return t;
}

std::vector<DownloadVerify::Difference> DownloadVerify::compare(const ModeRecord& wanted,
                                                                const ModeRecord& unit,
                                                                uint32_t model) {
    std::vector<Difference> list;
    for (const DownloadParam& p : downloadParams(model))
        if (p.value(unit, model) != p.value(wanted, model))
            list.push_back({p, p.describe(unit, model), p.describe(wanted, model)});
    return list;
}

DownloadVerify::Report DownloadVerify::downloadAndVerify(const UnitTransfer::Progress& progress) {
    const auto image = unit_.image();
    if (!image) return {};
    const ModeRecord wanted = image->record();
    UnitTransfer download(unit_, link_, progress);
    download.setProgressPause(0);
    download.setCancel(cancel_);
    const int notConfirmed = download.fullDownload();
    Report report = download.cancelled() ? cancelledReport(wanted) : verify(wanted);
    report.notConfirmed = notConfirmed;
    return report;
}

DownloadVerify::Report DownloadVerify::cancelledReport(const ModeRecord& wanted) {
    unit_.setKnownDifferent();
    Report report;
    report.outcome = Outcome::Cancelled;
    report.wanted = wanted;
    return report;
}

DownloadVerify::Report DownloadVerify::verify(const ModeRecord& wanted) {
    const uint32_t model = unit_.modelCode();
    UnitTransfer transfer = quietTransfer();
    qCInfo(lcTransfer, "Verify download: %s", unit_.deviceName().c_str());
    Report report;
    report.wanted = wanted;
    for (;;) {
        // A scratch record: the unit's image stays what the editor shows.
        if (!transfer.readRecord(report.unit)) {
            report.outcome = transfer.cancelled() ? Outcome::Cancelled : Outcome::ReadFailed;
            unit_.setKnownDifferent();
            return report;
        }
        report.differences = compare(wanted, report.unit, model);
        if (report.differences.empty() || report.rounds == kMaxRounds) break;
        ++report.rounds;
        for (const Difference& d : report.differences) {
            if (transfer.cancelled()) return cancelledReport(wanted);
            qCDebug(lcStep, "Send again: %s", d.text().c_str());
            transfer.send(d.param.command(wanted, model));
            ++report.resent;
        }
    }
    report.outcome = report.differences.empty() ? Outcome::Equal : Outcome::Differs;
    if (report.ok())
        unit_.markInSync();
    else
        unit_.setKnownDifferent();
    return report;
}

}  // namespace qel
