// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/MyToolBar.h"

#include <QAction>
#include <QToolButton>

#include "resources/Skins.h"

namespace qel {

CMyToolBar::CMyToolBar(const QString& title, QWidget* parent) : QToolBar(title, parent) {
    setIconSize(QSize(kIconSize, kIconSize));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setMovable(false);
}

QAction* CMyToolBar::addCommand(int commandId, int iconId, const QString& prompt) {
    auto* action = new QAction(QIcon(skin::bitmap(iconId)), tipText(prompt), this);
    action->setData(commandId);
    action->setToolTip(tipText(prompt));
    action->setStatusTip(statusText(prompt));
    connect(action, &QAction::triggered, this,
            [this, commandId] { emit commandTriggered(commandId); });
    addAction(action);
    if (QWidget* button = widgetForAction(action)) {
        button->setFixedSize(kButtonWidth, kButtonHeight);
        button->setObjectName(QStringLiteral("Qel.CMyToolBar.%1").arg(commandId));
    }
    actions_.insert(commandId, action);
    prompts_.insert(commandId, prompt);
    return action;
}

QString CMyToolBar::tipText(const QString& prompt) {
    const qsizetype cut = prompt.indexOf(QLatin1Char('\n'));
    return cut < 0 ? prompt : prompt.mid(cut + 1);
}

QString CMyToolBar::statusText(const QString& prompt) {
    return prompt.section(QLatin1Char('\n'), 0, 0);
}

int CMyToolBar::commandAt(QPoint pos) const {
    for (QAction* action : actions()) {
        if (action->isSeparator() || !action->isVisible()) continue;
        const QWidget* button = widgetForAction(action);
        if (button && button->geometry().contains(pos)) return action->data().toInt();
    }
    return 0;
}

QString CMyToolBar::tipAt(QPoint pos) const {
    const int id = commandAt(pos);
    return id ? tipText(prompts_.value(id)) : QString();
}

}  // namespace qel
