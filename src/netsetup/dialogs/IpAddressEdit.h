// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QFrame>
#include <QString>
#include <array>

#include "platform/Ipv4.h"

class QLineEdit;

namespace qel {

// An IPv4 address field: four boxes of 0..255 between dots. A blank box reads as 0; typing
// a dot or a third digit moves on to the next box.
class CIpAddressEdit : public QFrame {
    Q_OBJECT
public:
    explicit CIpAddressEdit(QWidget* parent = nullptr);

    // Text that is not an IPv4 address leaves the field blank.
    void setText(const QString& dotted);
    void setAddress(Ipv4 address);
    QString text() const;  // "%d.%d.%d.%d"
    Ipv4 address() const;
    void clear();
    bool isBlank() const;
    QLineEdit* part(int index) const { return parts_[static_cast<size_t>(index)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int octet(int index) const;
    std::array<QLineEdit*, 4> parts_{};
};

}  // namespace qel
