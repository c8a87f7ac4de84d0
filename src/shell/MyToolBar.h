// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QHash>
#include <QPoint>
#include <QString>
#include <QToolBar>

class QAction;

namespace qel {

// The main window's tool bar: 26 x 27 buttons with 26 x 26 icons, one per command id. A
// button's tip is the short part of its command prompt, after the "\n" (the whole prompt
// when it has none); the long part goes to the status bar. GUI thread only.
class CMyToolBar : public QToolBar {
    Q_OBJECT
public:
    static constexpr int kButtonWidth = 26;
    static constexpr int kButtonHeight = 27;
    static constexpr int kIconSize = 26;

    explicit CMyToolBar(const QString& title, QWidget* parent = nullptr);

    // Adds a button for `commandId` with icon resource `iconId` and its prompt
    // "status text\ntip"; the action carries the command id as its data.
    QAction* addCommand(int commandId, int iconId, const QString& prompt);
    QAction* commandAction(int commandId) const { return actions_.value(commandId); }
    QString prompt(int commandId) const { return prompts_.value(commandId); }

    static QString tipText(const QString& prompt);
    static QString statusText(const QString& prompt);

    // The button under `pos` (tool bar coordinates), separators skipped: its command id, or 0.
    int commandAt(QPoint pos) const;
    // The tip shown at `pos`, empty where there is no button.
    QString tipAt(QPoint pos) const;

signals:
    void commandTriggered(int commandId);

private:
    QHash<int, QAction*> actions_;
    QHash<int, QString> prompts_;
};

}  // namespace qel
