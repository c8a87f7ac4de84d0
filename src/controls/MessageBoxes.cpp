// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/MessageBoxes.h"

#include <QMessageBox>

namespace qel {

namespace {
MessageBoxes* gInstalled = nullptr;
}

MsgAnswer QtMessageBoxes::show(QWidget* parent, const MessageRequest& r) {
    QMessageBox box(parent);
    box.setWindowTitle(r.caption);
    box.setText(r.text);
    switch (r.icon) {
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MsgIcon::None: break;
    }
    if (r.buttons == MsgButtons::YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
    } else if (r.buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
        case QMessageBox::Yes: return MsgAnswer::Yes;
        case QMessageBox::No: return MsgAnswer::No;
        case QMessageBox::Cancel: return MsgAnswer::Cancel;
        default: return MsgAnswer::Ok;
    }
}

MsgAnswer ScriptedMessageBoxes::show(QWidget*, const MessageRequest& request) {
    shown_.push_back(request);
    if (!script_.empty()) {
        const MsgAnswer a = script_.front();
        script_.pop_front();
        return a;
    }
    switch (request.buttons) {
        case MsgButtons::YesNoCancel: return MsgAnswer::Cancel;
        case MsgButtons::YesNo: return MsgAnswer::No;
        default: return MsgAnswer::Ok;
    }
}

MessageBoxes& messageBoxes() {
    static QtMessageBoxes qtBoxes;
    return gInstalled ? *gInstalled : qtBoxes;
}

void setMessageBoxes(MessageBoxes* boxes) { gInstalled = boxes; }

MsgAnswer showMessage(QWidget* parent, const QString& text, const QString& caption, MsgIcon icon,
                      MsgButtons buttons) {
    return messageBoxes().show(parent, {text, caption, icon, buttons});
}

}  // namespace qel
