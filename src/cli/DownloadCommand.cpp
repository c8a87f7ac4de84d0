#include "cli/DownloadCommand.h"

#include <QFile>
#include <ostream>

#include "cli/Session.h"
#include "device/ModeFileStore.h"
#include "device/ModeImage.h"

namespace qel::cli {

const char* DownloadCommand::usage() {
    return "  download (--ip A.B.C.D | --serial COMn) --mode-file FILE --record N\n"
           "      Connects and sends record N (0..31) of a mode file to the unit.\n";
}

bool DownloadCommand::parse(CliOptions& options) {
    std::string option;
    while (options.next(option)) {
        if (target_.take(option, options)) continue;
        if (option == "--mode-file") {
            if (auto v = options.value()) modeFile_ = *v;
        } else if (option == "--record") {
            if (auto n = options.number(ModeFileStore::kRecords - 1)) record_ = static_cast<int>(*n);
        } else {
            options.fail("download: unknown option " + option);
        }
    }
    if (options.error().empty()) target_.check("download", options);
    if (options.error().empty() && (modeFile_.empty() || record_ < 0))
        options.fail("download: --mode-file FILE and --record N are required");
    error_ = options.error();
    return error_.empty();
}

int DownloadCommand::run(const GlobalOptions& globals, std::ostream& out, std::ostream& err) {
    // Mode files have no header: record i sits at 776 x i; a short file reads as zeros.
    QFile file(QString::fromStdString(modeFile_));
    if (!file.open(QIODevice::ReadOnly)) {
        err << "cannot read " << modeFile_ << ": " << file.errorString().toStdString() << "\n";
        return 1;
    }
    uint8_t bytes[ModeRecord::kSize] = {};
    if (file.seek(static_cast<qint64>(ModeRecord::kSize) * record_))
        file.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    Equipment unit;
    LinkSettings link;
    if (!target_.prepare(globals, unit, link, err)) return 1;
    Session session(unit, link);
    if (!session.connect(false, err)) return 1;
    auto image = std::make_shared<ModeImage>(*unit.image());
    image->record() = ModeRecord::fromBytes(bytes);
    unit.setImage(image);
    UnitTransfer transfer = session.transfer();
    transfer.setProgressPause(0);
    const int failed = transfer.fullDownload();
    if (failed) {
        err << "download incomplete: " << failed << " commands were not accepted\n";
        return 1;
    }
    out << "downloaded record " << record_ << " (" << image->record().name() << ") to "
        << unit.modelName() << " " << target_.describe() << "\n";
    return 0;
}

}  // namespace qel::cli
