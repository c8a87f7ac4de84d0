// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QLineEdit>
#include <functional>

namespace qel {

// Single-line edit box in the control font. Enter or losing the focus commits: text
// callback (owner, id, text of at most 31 characters), then focus callback (owner, id).
// Gaining the focus -> focus callback. With digits-only on (the default), typed characters
// other than '+', '-', '.' and 0..9 are discarded, and so is keyboard paste; editing and
// moving keys work as usual. A text the program sets shows from its start, also when it is
// wider than the box.
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

    void setDigitsOnly(bool on) { digitsOnly_ = on; }
    bool digitsOnly() const { return digitsOnly_; }

    // False for a key event the digits-only filter discards.
    static bool passesDigitFilter(const QKeyEvent& event);

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
    bool digitsOnly_ = true;
};

}  // namespace qel
