// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/VirtualUnits.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdio>

#include "StateFile.h"
#include "UnitSimulator.h"
#include "link/EquipmentSearch.h"
#include "link/Protocol.h"
#include "platform/Ipv4.h"

namespace qel {

namespace {
// Hosts 2..254 of 127.255.c.0/24, c counting up.
std::string hostAddress(uint32_t offset) {
    const Ipv4 first = *parseIpv4(VirtualUnits::kFirstAddress);
    const uint32_t subnet = ipv4Octet(first, 2) + offset / 253;
    const uint32_t host = ipv4Octet(first, 3) + offset % 253;
    return formatIpv4(
        ipv4FromOctets(127, 255, static_cast<uint8_t>(subnet % 255), static_cast<uint8_t>(host)));
}

std::string stateKey(size_t index) {
    char key[32];
    std::snprintf(key, sizeof key, "unit%04zu", index);
    return key;
}
}  // namespace

VirtualUnits::VirtualUnits(QString folder, uint16_t unitPort)
    : folder_(std::move(folder)),
      // Module port 0: each network module gets a port of its own, which no search reaches.
      sim_(std::make_unique<sim::UnitSimulator>(sim::UnitSimulator::Ports{unitPort, 0})) {
    autosave_.setInterval(kSaveEveryMs);
    QObject::connect(&autosave_, &QTimer::timeout, [this] { save(); });
}

VirtualUnits::~VirtualUnits() {
    save();
    sim_->stop();
}

QString VirtualUnits::filePath() const {
    return QDir(folder_).filePath(kFileName);
}

int VirtualUnits::place(int model, const std::string& name) {
    if (!isKnownModel(static_cast<uint32_t>(model))) {
        error_ = QStringLiteral("model code %1").arg(model);
        return -1;
    }
    // A bind fails on an address:port that another program (or simulator) holds already.
    for (int tries = 0; tries < kMaxTries; ++tries) {
        const int unit = sim_->addNetworkUnit(model, hostAddress(nextHost_++), name);
        if (unit >= 0) {
            if (!sim_->running() && !sim_->start()) break;
            autosave_.start();
            return unit;
        }
        error_ = QString::fromStdString(sim_->lastError());
    }
    if (!sim_->running()) error_ = QString::fromStdString(sim_->lastError());
    return -1;
}

EquipmentList::Entry VirtualUnits::listed(int simUnit, EquipmentList& list) {
    const sim::UnitState state = sim_->state(simUnit);
    auto entry = std::make_shared<Equipment>();
    entry->setFlags(linkflag::kAvailable | linkflag::kUdp);
    entry->setModelCode(static_cast<uint32_t>(state.model));
    entry->setModelName(std::string(modelName(static_cast<uint32_t>(state.model))));
    entry->setDeviceName(EquipmentSearch::decodeProbeName(state.nameWire));
    entry->setAddress(*parseIpv4(sim_->address(simUnit)));
    entry->setVirtual(true);
    units_.push_back({entry, simUnit});
    list.append(entry);
    return entry;
}

EquipmentList::Entry VirtualUnits::add(int model, const std::string& name, EquipmentList& list) {
    const int unit = place(model, name);
    if (unit < 0) return nullptr;
    auto entry = listed(unit, list);
    save();
    return entry;
}

bool VirtualUnits::restore(EquipmentList& list) {
    if (!QFile::exists(filePath())) return true;
    sim::StateFile::States states;
    std::string why;
    if (!sim::StateFile::load(filePath().toStdString(), states, &why)) {
        // Kept aside, so that the next save does not write over what may still be rescued.
        const QString aside = filePath() + ".unreadable";
        QFile::remove(aside);
        QFile::rename(filePath(), aside);
        error_ = QString::fromStdString(why) + " (" + aside + ")";
        return false;
    }
    for (const auto& [key, state] : states) {  // keys keep the list's order
        const int unit = place(state.model, "");
        if (unit < 0) return false;
        sim_->setState(unit, state);
        listed(unit, list);
        saved_[key] = state;
    }
    return true;
}

void VirtualUnits::remove(const Equipment& unit, EquipmentList& list) {
    const auto it = std::find_if(units_.begin(), units_.end(),
                                 [&unit](const Unit& u) { return u.entry.get() == &unit; });
    if (it == units_.end()) return;
    sim_->setSilenced(it->simUnit, true);
    units_.erase(it);
    list.prune([&unit](const Equipment& e) { return &e != &unit; });
    save();
}

bool VirtualUnits::save() {
    sim::StateFile::States states;
    for (size_t i = 0; i < units_.size(); ++i) {
        states[stateKey(i)] = sim_->state(units_[i].simUnit);
        sim_->clearRequests(units_[i].simUnit);  // the log would grow for as long as we run
    }
    if (states == saved_) return true;
    std::string why;
    QDir().mkpath(folder_);
    if (!sim::StateFile::save(filePath().toStdString(), states, &why)) {
        error_ = QString::fromStdString(why);
        return false;
    }
    saved_ = std::move(states);
    return true;
}

}  // namespace qel
