// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "controls/QelText.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>

#include "controls/ControlStyle.h"

namespace qel {

CQelText::CQelText(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("Qel.CQelText"));
    setFont(controlFont(13));
    setMaxLength(kMaxControlText);  // typing stops where the text would be cut
    connect(this, &QLineEdit::textEdited, this, [this] { showNote({}); });
}

void CQelText::setCallbacks(QObject* owner, int id, TextCallback onText, FocusCallback onFocus) {
    owner_ = owner;
    id_ = id;
    onText_ = std::move(onText);
    onFocus_ = std::move(onFocus);
}

void CQelText::setText(const QString& text) {
    QLineEdit::setText(text);
    setCursorPosition(0);
    showNote({});
}

void CQelText::showRefused(const QString& why) {
    if (!refused_) normalPalette_ = palette();
    refused_ = true;
    QPalette red = normalPalette_;
    red.setColor(QPalette::Base, QColor(255, 214, 214));
    red.setColor(QPalette::Text, QColor(160, 0, 0));
    setPalette(red);
    setToolTip(why);
}

void CQelText::showNote(const QString& note) {
    if (refused_) setPalette(normalPalette_);
    refused_ = false;
    setToolTip(note);
}

QRect CQelText::textArea() const {
    constexpr int kSideMargin = 2;  // QLineEdit keeps this much clear left and right
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    return contents.marginsRemoved(textMargins()).adjusted(kSideMargin, 0, -kSideMargin, 0);
}

void CQelText::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        commit();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// Undo and redo belong to the box only while it holds typing not yet committed; otherwise
// they go to the window's shortcuts.
bool CQelText::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && !isModified()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)) {
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CQelText::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (event->reason() != Qt::PopupFocusReason) reportFocus();
}

// A context menu borrows the focus without the box losing it.
void CQelText::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) commit();
}

void CQelText::commit() {
    setModified(false);
    if (onText_) onText_(owner_, id_, clippedText(text()));
    reportFocus();
}

void CQelText::reportFocus() {
    if (onFocus_) onFocus_(owner_, id_);
}

}  // namespace qel
