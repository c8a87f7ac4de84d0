// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/AboutDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "resources/Skins.h"

namespace qel {

namespace {
constexpr int kAppIcon = 128;
constexpr int kTextWidth = 380;
}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("Qel.CAboutDlg");
    setWindowTitle(tr("about Quellmar"));
    lines_ = {QStringLiteral("Quellmar %1").arg(QStringLiteral(QUELLMAR_VERSION)),
              tr("通过以太网 (UDP) 和 USB 串口搜索、连接并控制 QD206、QD406 和 QD408 "
                 "数字音箱处理器。"),
              tr("许可证: GNU 通用公共许可证第 3 版或 (由你选择) 任何更高版本 "
                 "(GPL-3.0-or-later)。本程序不提供任何担保。"),
              tr("使用说明: 程序附带的 README.md 和手册页 quellmar(1) (在终端输入 "
                 "\"man quellmar\")。")};
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(skin::bitmap(kAppIcon));
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    for (const QString& line : lines_) {
        auto* label = new QLabel(line, this);
        label->setWordWrap(true);
        label->setFixedWidth(kTextWidth);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label, 0, Qt::AlignHCenter);
    }
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    const int caption = fontMetrics().horizontalAdvance(windowTitle()) + kCaptionRoom;
    setMinimumWidth(std::max(caption, kTextWidth + 2 * layout->contentsMargins().left()));
}

QStringList CAboutDlg::lines() const {
    return lines_;
}

}  // namespace qel
