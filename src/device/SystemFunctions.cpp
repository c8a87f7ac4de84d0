// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/SystemFunctions.h"

#include <algorithm>

#include "device/ModeImage.h"
#include "device/ModeRecord.h"
#include "device/UnitCommands.h"
#include "device/UnitText.h"
#include "link/Equipment.h"

namespace qel {

namespace {

constexpr size_t kMaxNameChars = 20, kMaxNameBytes = ModeRecord::kMaxNameLength;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

bool SystemFunctions::exchange(const OwnedCommand& spec, uint8_t* reply) {
    const Ticket ticket = unit_.enqueue(spec.toCommand(reply));
    return ticket != 0 && unit_.waitFor(ticket, kWaitMs);
}

void SystemFunctions::post(const OwnedCommand& spec) {
    constexpr size_t kKept = 8;  // a page that never settles keeps only the latest
    if (posted_.size() >= kKept) posted_.erase(posted_.begin());
    if (const Ticket ticket = unit_.enqueue(spec.toCommand()))
        posted_.emplace_back(ticket, UnitTransfer::waitLimitMs(spec));
}

bool SystemFunctions::settle() {
    bool answered = true;
    for (const auto& [ticket, limit] : posted_) answered = unit_.waitFor(ticket, limit) && answered;
    posted_.clear();
    return answered;
}

bool SystemFunctions::passwordMatches(std::string_view entry) {
    if (!isValidPassword(entry)) return false;
    uint8_t digits[kPasswordSize] = {};
    return exchange(cmd::readPassword(), digits) && decodePassword(digits) == entry;
}

bool SystemFunctions::switchMode(bool engineering) {
    if (!exchange(cmd::writeModeState(engineering))) return false;
    post(cmd::stateSettled());
    if (engineering)
        unit_.setFlags(linkflag::kEngineering);
    else
        unit_.clearFlags(linkflag::kEngineering);
    return true;
}

SystemFunctions::PasswordChange SystemFunctions::changePassword(std::string_view oldDigits,
                                                                std::string_view newDigits) {
    if (!isValidPassword(newDigits) || !passwordMatches(oldDigits)) return PasswordChange::WrongOld;
    if (!exchange(cmd::writePassword(newDigits))) return PasswordChange::Failed;
    post(cmd::stateSettled());
    return PasswordChange::Changed;
}

bool SystemFunctions::rename(std::string_view name) {
    return exchange(cmd::writeDeviceName(name));
}

bool SystemFunctions::storingAllowed() {
    uint8_t state[2] = {};
    exchange(cmd::readModeState(), state);
    return state[0] != 0;
}

bool SystemFunctions::store(int slot, std::string_view name) {
    exchange(cmd::writeModeName(name));
    return exchange(cmd::storeMode(slot));
}

bool SystemFunctions::recall(int slot) {
    return exchange(cmd::recallMode(slot)) && exchange(cmd::activateRecalledMode(slot));
}

void SystemFunctions::activateDownloaded() {
    post(cmd::activateDownloadedMode());
}

UnitTransfer::Result SystemFunctions::withMetersPaused(
    const std::function<UnitTransfer::Result()>& transfer) {
    unit_.setFlags(linkflag::kMeterPaused);
    const UnitTransfer::Result result = transfer();
    unit_.clearFlags(linkflag::kMeterPaused);
    return result;
}

std::string SystemFunctions::cutName(std::string_view text) {
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    size_t end = 0;
    for (size_t chars = 0; chars < kMaxNameChars && end < text.size(); ++chars) {
        const size_t n =
            std::min(utf8CharLength(static_cast<unsigned char>(text[end])), text.size() - end);
        if (end + n > kMaxNameBytes) break;
        end += n;
    }
    return std::string(text.substr(0, end));
}

std::string SystemFunctions::slotName(std::string_view text) {
    std::string name = cutName(text);
    const auto first = name.find_first_not_of(" \t\n\r\v\f");
    if (first == std::string::npos) return {};
    size_t last = name.size();
    while (last > first && isSpace(name[last - 1])) --last;
    return name.substr(first, last - first);
}

GbkName SystemFunctions::pcModeName(const ModeFileStore& store, uint32_t model, int row,
                                    std::string_view text) {
    const auto shown = store.record(model, row);
    if (shown && shown->isUsed() && shown->name() == text) return {shown->nameBytes(), false, {}};
    return encodeGbk(text, ModeRecord::kMaxNameLength);
}

ModeFileStatus SystemFunctions::saveToPc(ModeRecord& record, ModeFileStore& store, uint32_t model,
                                         int row, const GbkName& name, int year, int month,
                                         int day) {
    const auto before = store.record(model, row);
    if (!before)
        return {ModeFileStore::fileName(model),
                false,
                ModeFileProblem::NoPcMode,
                {QString::number(row + 1), QString::number(model)}};
    if (!name.ok())
        return {ModeFileStore::fileName(model),
                false,
                ModeFileProblem::NameNotGbk,
                {QString::fromStdString(name.missing)}};
    record.setNameBytes(name.bytes);
    record.setUsed(true);
    record.setDate(year, month, day);
    store.setRecord(model, row, record);
    ModeFileStatus status = store.save(model);
    if (!status.ok) store.setRecord(model, row, *before);
    return status;
}

SystemFunctions::PcMode SystemFunctions::loadPcMode(ModeRecord& record, const ModeFileStore& store,
                                                    uint32_t model, int row) {
    const auto saved = store.record(model, row);
    if (!saved) return PcMode::NoRecord;
    if (!saved->isUsed()) return PcMode::Empty;
    record = *saved;
    return PcMode::Loaded;
}

}  // namespace qel
