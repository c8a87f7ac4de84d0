// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

class QWidget;

namespace qel::test {

// Finds the texts a window shows cut: for every visible label, button, radio and check box,
// line edit, combo box, group box title, header section, table cell in view, and the
// program's own skinned controls,
// status bar panes, tab strip and equipment list rows, where the text lands (the widget's
// font metrics and the room its style or paint code gives it) is compared with the part of
// that room the widget and its parents really show.
class TextFit {
public:
    // Looks at every visible widget of the window; remembers each cut text once.
    void check(QWidget* window);
    const QStringList& cuts() const { return cuts_; }

private:
    void look(QWidget* w);
    void lookAtButton(QWidget* w);
    void lookAtPainted(QWidget* w);
    void lookAtLists(QWidget* w);
    void lookAtCells(QWidget* w);
    void lookAtCombo(QWidget* w);
    // The text drawn with flags in room (widget coordinates) must stay inside what shows;
    // elided: the paint code ends a text too wide for room in "…".
    void fits(QWidget* w, const QString& text, const QFont& font, QRect room, int flags,
              const QString& part = {}, bool elided = false);
    QRect shown(QWidget* w, QRect room) const;
    const QWidget* coveredBy(QWidget* w, QRect area) const;

    QWidget* window_ = nullptr;
    QStringList cuts_;
};

}  // namespace qel::test
