// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <vector>

namespace qel {

class Equipment;

// The ids by which remote clients name units. An id is made of what identifies the unit, not
// of its place in the list, so that a tablet left open on a unit names the same unit after the
// program (or serve) starts again: "QD408-Main-Stage", or "QD408-Main-Stage_192.168.6.12" (its
// IP address or serial port) while another listed unit has the same model and name. Letters
// and digits of any script and '.' are kept, any run of anything else becomes one '-': an id
// needs no escaping in JSON and comes back unchanged from encodeURIComponent in a URL fragment.
// Once given, an id stays with its unit while the program runs, even when the unit is renamed
// from the desk, so that a page open on it keeps working; the next start derives it from the
// new name. GUI thread only.
class UnitIds {
public:
    using List = std::vector<std::shared_ptr<Equipment>>;

    // The unit's id; list holds the units listed now.
    QString idOf(const Equipment& unit, const List& list);
    // The listed unit with that id; null when none has it (it left the list, or never was).
    std::shared_ptr<Equipment> unitOf(const QString& id, const List& list);
    // Forgets the units that are no longer listed, so that their ids are free again, and
    // returns those ids.
    QStringList keepOnly(const List& list);
    size_t size() const { return given_.size(); }

private:
    struct Given {
        std::weak_ptr<Equipment> unit;  // expired: the address is another unit's now
        QString id;
    };
    QString derive(const Equipment& unit, const List& list) const;
    bool taken(const QString& id, const Equipment& by) const;

    std::map<const Equipment*, Given> given_;
};

}  // namespace qel
