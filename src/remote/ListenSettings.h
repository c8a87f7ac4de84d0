// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QSettings>
#include <QString>

namespace qel {

// Where a server of the remote listens and whether it takes edits, as kept in a section of
// QelConfig.ini (Enabled, Address, Port, ReadOnly).
struct ListenSettings {
    bool enabled = false;
    QString address = QStringLiteral("127.0.0.1");
    quint16 port = 0;
    bool readOnly = false;

    void load(const QSettings& s, const QString& section) {
        enabled = s.value(section + "/Enabled", false).toBool();
        address = s.value(section + "/Address", address).toString();
        const uint p = s.value(section + "/Port", port).toUInt();
        if (p > 0 && p < 65536) port = quint16(p);
        readOnly = s.value(section + "/ReadOnly", false).toBool();
    }
    void save(QSettings& s, const QString& section) const {
        s.setValue(section + "/Enabled", enabled);
        s.setValue(section + "/Address", address);
        s.setValue(section + "/Port", port);
        s.setValue(section + "/ReadOnly", readOnly);
    }
};

}  // namespace qel
