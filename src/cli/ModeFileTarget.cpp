// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "cli/ModeFileTarget.h"

#include "cli/ErrorText.h"
#include "device/ModeFileStore.h"
#include "device/Models.h"

namespace qel::cli {

bool ModeFileTarget::take(const std::string& option, CliOptions& options) {
    if (option == "--mode-file") {
        if (auto v = options.value()) file_ = *v;
    } else if (option == "--record") {
        if (auto n = options.number(ModeFileStore::kRecords - 1)) record_ = static_cast<int>(*n);
    } else if (option == "--model") {
        auto v = options.value();
        if (!v) return true;
        for (uint32_t m : {model::kQD206, model::kQD406, model::kQD408})
            if (*v == modelName(m) || *v == std::string(modelName(m)).substr(2)) model_ = m;
        if (model_ == 0) options.fail("--model: expected QD206, QD406 or QD408, got '" + *v + "'");
    } else {
        return false;
    }
    return true;
}

void ModeFileTarget::check(const std::string& command, CliOptions& options, bool needModel) const {
    if (file_.empty() || record_ < 0)
        return options.fail(command + ": --mode-file FILE and --record N go together");
    if (needModel && model() == 0)
        options.fail(command + ": the name of " + file_ +
                     " does not tell its model; add --model QD206, QD406 or QD408");
}

uint32_t ModeFileTarget::model() const {
    return model_ ? model_ : ModeFileStore::modelOfFile(QString::fromStdString(file_));
}

std::optional<ModeRecord> ModeFileTarget::load(std::string& error) const {
    ModeFileStatus why;
    auto record = ModeFileStore::readRecordOfFile(QString::fromStdString(file_), record_, &why);
    if (!record) error = modeFileText(why);
    return record;
}

bool ModeFileTarget::save(const ModeRecord& record, std::string& error) const {
    const ModeFileStatus status =
        ModeFileStore::saveRecordInFile(QString::fromStdString(file_), record_, record);
    if (!status.ok) error = modeFileText(status);
    return status.ok;
}

}  // namespace qel::cli
