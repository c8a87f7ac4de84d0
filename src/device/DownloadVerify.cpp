#include "device/DownloadVerify.h"

#include "device/ModeImage.h"
#include "platform/Clock.h"
#include "platform/Trace.h"

namespace qel {

namespace {
// Each read and each command sent again may be queued this often; the pause outlasts the
// lag of a duplicated reply, so strays land while nothing waits.
constexpr int kAttempts = 4;
constexpr uint32_t kRetryPauseMs = 60;
// Before a read-back the unit must have sent nothing for kQuietMs: replies to the download
// that are still coming would end the reads. kQuietLimitMs bounds the wait.
constexpr uint32_t kQuietMs = 100, kQuietLimitMs = 15000;
}  // namespace

namespace {
std::string count(size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}
}  // namespace

std::string DownloadVerify::Difference::text() const {
    return param.name() + ": unit has " + unitValue + ", record has " + recordValue;
}

std::string DownloadVerify::Report::summary() const {
    switch (outcome) {
        case Outcome::Equal:
            if (resent == 0) return "verified: the unit equals the record";
            return "verified: the unit now equals the record (" +
                   count(static_cast<size_t>(resent), "parameter") + " sent again)";
        case Outcome::ReadFailed:
            return "not verified: the unit could not be read back";
        case Outcome::Differs:
            break;
    }
    std::string text = count(differences.size(), "parameter") +
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
    t.setAttempts(kAttempts, kRetryPauseMs);
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

void DownloadVerify::waitForQuiet() const {
    const uint32_t start = tickMs();
    while (unit_.linkRunning() && tickMs() - start < kQuietLimitMs) {
        const uint32_t heard = unit_.lastHeardMs();  // first, so that it is not after now
        if (tickMs() - heard >= kQuietMs) return;
        sleepMs(5);
    }
}

DownloadVerify::Report DownloadVerify::downloadAndVerify(const UnitTransfer::Progress& progress) {
    const auto image = unit_.image();
    if (!image) return {};
    const ModeRecord wanted = image->record();
    UnitTransfer download(unit_, link_, progress);
    download.setProgressPause(0);
    const int notConfirmed = download.fullDownload();
    Report report = verify(wanted);
    report.notConfirmed = notConfirmed;
    return report;
}

DownloadVerify::Report DownloadVerify::verify(const ModeRecord& wanted) {
    const uint32_t model = unit_.modelCode();
    UnitTransfer transfer = quietTransfer();
    trace(TraceAttr::Header, "Verify download: %s\n", unit_.deviceName().c_str());
    Report report;
    for (;;) {
        waitForQuiet();
        ModeRecord readBack;  // scratch: the unit's image stays what the editor shows
        if (!transfer.readRecord(readBack)) {
            report.outcome = Outcome::ReadFailed;
            return report;
        }
        report.differences = compare(wanted, readBack, model);
        if (report.differences.empty() || report.rounds == kMaxRounds) break;
        ++report.rounds;
        for (const Difference& d : report.differences) {
            traceStep("Send again: %s\n", d.text().c_str());
            transfer.send(d.param.command(wanted, model));
            ++report.resent;
        }
    }
    report.outcome = report.differences.empty() ? Outcome::Equal : Outcome::Differs;
    return report;
}

}  // namespace qel
