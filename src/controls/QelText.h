// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QLineEdit>
#include <functional>

namespace qel {

// Single-line edit box in the control font. Enter or losing the focus commits: text
// callback (owner, id, text of at most 31 characters), then focus callback (owner, id).
// Gaining the focus -> focus callback. Every typed character stays as typed, so the owner
// reads the whole text and refuses what is no value rather than a box that silently drops
// keys turning "6,5" into "65". A text the program sets shows from its start, also when it is
// wider than the box, and clears a refusal mark or note.
class CQelText : public QLineEdit {
    Q_OBJECT

public:
    using TextCallback = std::function<void(QObject* owner, int id, const QString& text)>;
    using FocusCallback = std::function<void(QObject* owner, int id)>;

    explicit CQelText(QWidget* parent = nullptr);

    void setCallbacks(QObject* owner, int id, TextCallback onText, FocusCallback onFocus);
    // Hides QLineEdit::setText, which leaves the cursor at the end and so scrolls a wide text
    // to its tail.
    void setText(const QString& text);
    // Where the box draws its text: inside the frame and the line edit's own side margins.
    QRect textArea() const;
    QObject* owner() const { return owner_; }
    int id() const { return id_; }

    // Marks the box red with why its text was refused in the tooltip, until the next text.
    void showRefused(const QString& why);
    // A note in the tooltip, until the next text.
    void showNote(const QString& note);
    bool refused() const { return refused_; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void commit();
    void reportFocus();

    QObject* owner_ = nullptr;
    int id_ = 0;
    TextCallback onText_;
    FocusCallback onFocus_;
    bool refused_ = false;
    QPalette normalPalette_;
};

}  // namespace qel
