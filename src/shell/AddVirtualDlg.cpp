// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/AddVirtualDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "controls/MessageBoxes.h"
#include "device/UnitText.h"
#include "link/Protocol.h"

namespace qel {

AddVirtualDlg::AddVirtualDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("Qel.AddVirtualDlg");
    setWindowTitle(tr("添加虚拟设备"));
    model_ = new QComboBox(this);
    model_->setObjectName("Qel.VirtualModel");
    for (uint32_t code = 2; code <= 4; ++code)
        model_->addItem(QString::fromLatin1(modelName(code).data()), code);
    model_->setCurrentIndex(2);
    name_ = new QLineEdit(QStringLiteral("Virtual"), this);
    name_->setObjectName("Qel.VirtualName");
    name_->setMaxLength(static_cast<int>(kUnitTextSize));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(tr("型号:"), model_);
    form->addRow(tr("名称:"), name_);
    form->addRow(new QLabel(tr("虚拟设备在本机模拟运行, 不连接任何网络。"), this));
    form->addRow(buttons);
}

int AddVirtualDlg::modelCode() const {
    return model_->currentData().toInt();
}

std::string AddVirtualDlg::name() const {
    return name_->text().toStdString();
}

QString AddVirtualDlg::nameProblem(const QString& name) {
    const std::string text = name.toStdString();
    if (name.trimmed().isEmpty()) return tr("请输入设备名称。");
    if (!unitTextRefused(text).empty() || text.size() > kUnitTextSize)
        return tr("设备名称只能包含英文字母、数字和符号, 最多 %1 个字符。").arg(kUnitTextSize);
    return {};
}

void AddVirtualDlg::accept() {
    const QString problem = nameProblem(name_->text());
    if (!problem.isEmpty()) {
        showMessage(this, problem, "Quellmar", MsgIcon::Exclamation);
        return;
    }
    QDialog::accept();
}

}  // namespace qel
