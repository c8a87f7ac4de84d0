// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "netsetup/dialogs/IpAddressEdit.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

namespace qel {

CIpAddressEdit::CIpAddressEdit(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(0);
    for (size_t i = 0; i < parts_.size(); ++i) {
        if (i) row->addWidget(new QLabel(".", this));
        auto* box = new QLineEdit(this);
        box->setFrame(false);
        box->setAlignment(Qt::AlignCenter);
        box->setMaxLength(3);
        box->setValidator(new QIntValidator(0, 255, box));
        box->setFixedWidth(box->fontMetrics().horizontalAdvance("0000"));
        box->installEventFilter(this);
        const size_t next = i + 1;
        connect(box, &QLineEdit::textEdited, this, [this, box, next](const QString& text) {
            if (text.size() == 3 && next < parts_.size() && box->cursorPosition() == 3) {
                parts_[next]->setFocus();
                parts_[next]->selectAll();
            }
        });
        parts_[i] = box;
        row->addWidget(box);
    }
    setFocusProxy(parts_[0]);
}

bool CIpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->text() == ".") {
        for (size_t i = 0; i + 1 < parts_.size(); ++i) {
            if (watched != parts_[i]) continue;
            if (!parts_[i]->text().isEmpty()) {
                parts_[i + 1]->setFocus();
                parts_[i + 1]->selectAll();
            }
            return true;
        }
        return true;  // a dot in the last box is dropped
    }
    return QFrame::eventFilter(watched, event);
}

void CIpAddressEdit::setText(const QString& dotted) {
    const auto address = parseIpv4(dotted.trimmed().toStdString());
    if (address)
        setAddress(*address);
    else
        clear();
}

void CIpAddressEdit::setAddress(Ipv4 address) {
    for (size_t i = 0; i < parts_.size(); ++i)
        parts_[i]->setText(QString::number(ipv4Octet(address, static_cast<int>(i))));
}

int CIpAddressEdit::octet(int index) const {
    return std::clamp(parts_[static_cast<size_t>(index)]->text().toInt(), 0, 255);
}

QString CIpAddressEdit::text() const {
    return QString("%1.%2.%3.%4").arg(octet(0)).arg(octet(1)).arg(octet(2)).arg(octet(3));
}

Ipv4 CIpAddressEdit::address() const {
    return ipv4FromOctets(static_cast<uint8_t>(octet(0)), static_cast<uint8_t>(octet(1)),
                          static_cast<uint8_t>(octet(2)), static_cast<uint8_t>(octet(3)));
}

void CIpAddressEdit::clear() {
    for (QLineEdit* box : parts_) box->clear();
}

bool CIpAddressEdit::isBlank() const {
    for (QLineEdit* box : parts_)
        if (!box->text().isEmpty()) return false;
    return true;
}

}  // namespace qel
