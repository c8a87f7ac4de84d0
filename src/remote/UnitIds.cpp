// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/UnitIds.h"

#include <algorithm>

#include "device/UnitText.h"
#include "link/Equipment.h"

namespace qel {

namespace {

// Letters, digits and '.' stay; every run of anything else becomes one '-'.
QString slug(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c.isLetterOrNumber() || c == u'.')
            out += c;
        else if (!out.endsWith(u'-'))
            out += u'-';
    }
    while (out.startsWith(u'-')) out.remove(0, 1);
    while (out.endsWith(u'-')) out.chop(1);
    return out;
}

// Model and name: what the unit is called.
QString named(const Equipment& unit) {
    QString id = slug(QString::fromStdString(unit.modelName()));
    if (id.isEmpty()) id = QStringLiteral("unit");
    const QString name = slug(QString::fromStdString(unpaddedUnitText(unit.deviceName())));
    return name.isEmpty() ? id : id + u'-' + name;
}

// Where the unit is: its serial port or its IP address.
QString placed(const Equipment& unit) {
    const bool serial = unit.hasFlag(linkflag::kSerial);
    return slug(QString::fromStdString(serial ? unit.portName() : unit.addressText()));
}

}  // namespace

QString UnitIds::idOf(const Equipment& unit, const List& list) {
    if (const auto it = given_.find(&unit); it != given_.end()) {
        if (!it->second.unit.expired()) return it->second.id;
        given_.erase(it);
    }
    const QString id = derive(unit, list);
    const auto listed =
        std::find_if(list.begin(), list.end(), [&](const auto& u) { return u.get() == &unit; });
    if (listed != list.end()) given_[&unit] = {*listed, id};
    return id;
}

QString UnitIds::derive(const Equipment& unit, const List& list) const {
    const QString name = named(unit);
    const bool shared = std::any_of(list.begin(), list.end(), [&](const auto& u) {
        return u.get() != &unit && named(*u) == name;
    });
    QString id = name;
    // A unit that kept its id through a rename may hold this one: the address tells them apart.
    if (shared || taken(id, unit)) id = name + u'_' + placed(unit);
    const QString placedId = id;
    for (int n = 2; taken(id, unit); ++n) id = placedId + u'~' + QString::number(n);
    return id;
}

bool UnitIds::taken(const QString& id, const Equipment& by) const {
    return std::any_of(given_.begin(), given_.end(), [&](const auto& g) {
        return g.first != &by && !g.second.unit.expired() && g.second.id == id;
    });
}

std::shared_ptr<Equipment> UnitIds::unitOf(const QString& id, const List& list) {
    // Before any client saw the list (the API asked first) the ids are given here.
    for (const auto& unit : list)
        if (idOf(*unit, list) == id) return unit;
    return nullptr;
}

QStringList UnitIds::keepOnly(const List& list) {
    QStringList gone;
    for (auto it = given_.begin(); it != given_.end();) {
        const bool listed = std::any_of(list.begin(), list.end(),
                                        [&](const auto& u) { return u.get() == it->first; });
        if (listed && !it->second.unit.expired()) {
            ++it;
            continue;
        }
        gone.append(it->second.id);
        it = given_.erase(it);
    }
    return gone;
}

}  // namespace qel
