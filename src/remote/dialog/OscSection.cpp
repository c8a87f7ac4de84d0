// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/dialog/OscSection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "remote/OscServer.h"
#include "remote/dialog/RemoteDlg.h"

namespace qel {

namespace {

constexpr int kRefreshMs = 250;

}  // namespace

OscSection::OscSection(OscServer& osc, QString configPath, QWidget* parent)
    : QGroupBox(tr("OSC (调音台, 按钮面板, 演出控制)"), parent),
      osc_(osc),
      configPath_(std::move(configPath)) {
    setObjectName(QStringLiteral("Qel.OscSection"));
    const OscServer::Settings settings = OscServer::Settings::load(configPath_);
    auto* layout = new QVBoxLayout(this);
    enabled_ = new QCheckBox(tr("启用 OSC"), this);
    enabled_->setChecked(osc_.running());
    layout->addWidget(enabled_);
    auto* form = new QFormLayout;
    address_ = new QComboBox(this);
    RemoteDlg::fillAddresses(address_, settings.address);
    form->addRow(tr("监听地址:"), address_);
    port_ = new QSpinBox(this);
    port_->setRange(1, 65535);
    port_->setValue(settings.port);
    form->addRow(tr("UDP 端口:"), port_);
    allow_ = new QLineEdit(settings.allow.join(QStringLiteral(", ")), this);
    allow_->setPlaceholderText(tr("空: 仅本机"));
    allow_->setToolTip(tr("允许发送的网络, 用逗号分隔, 例如 192.168.6.0/24, 10.0.0.0/8"));
    form->addRow(tr("允许的网络:"), allow_);
    readOnly_ = new QCheckBox(tr("只读"), this);
    readOnly_->setToolTip(tr("只回答查询和订阅, 拒绝修改"));
    readOnly_->setChecked(settings.readOnly);
    form->addRow(QString(), readOnly_);
    layout->addLayout(form);
    state_ = new QLabel(this);
    state_->setWordWrap(true);
    layout->addWidget(state_);
    layout->addWidget(new QLabel(tr("最近的发送方:"), this));
    senders_ = new QTreeWidget(this);
    senders_->setRootIsDecorated(false);
    senders_->setHeaderLabels({tr("地址"), tr("最后收到"), tr("接收"), tr("丢弃"), tr("拒绝")});
    senders_->setMinimumHeight(110);
    layout->addWidget(senders_);

    refresh_.setSingleShot(true);
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &OscSection::showSenders);
    connect(&osc_, &OscServer::sendersChanged, this, [this] {
        if (!refresh_.isActive()) refresh_.start();
    });
    connect(enabled_, &QCheckBox::toggled, this, &OscSection::apply);
    connect(address_, &QComboBox::activated, this, &OscSection::apply);
    connect(port_, &QSpinBox::editingFinished, this, [this] {
        if (osc_.running() && port_->value() != osc_.port()) apply();
    });
    connect(allow_, &QLineEdit::editingFinished, this, [this] {
        if (allow_->isModified()) apply();
        allow_->setModified(false);
    });
    connect(readOnly_, &QCheckBox::toggled, this, &OscSection::apply);
    showState();
    showSenders();
}

void OscSection::apply() {
    OscServer::Settings s;
    s.enabled = enabled_->isChecked();
    s.address = address_->currentData().toString();
    s.port = quint16(port_->value());
    for (const QString& network : allow_->text().split(',', Qt::SkipEmptyParts))
        if (!network.trimmed().isEmpty()) s.allow.append(network.trimmed());
    s.readOnly = readOnly_->isChecked();
    if (!s.enabled) {
        osc_.stop();
    } else if (!osc_.start(s)) {
        const QSignalBlocker block(enabled_);
        enabled_->setChecked(false);
        s.enabled = false;
    }
    s.save(configPath_);
    showState();
}

void OscSection::showState() {
    if (osc_.running()) {
        state_->setText(tr("在 UDP %1:%2 上接收 OSC。")
                            .arg(address_->currentData().toString())
                            .arg(osc_.port()));
        return;
    }
    const QString error = osc_.errorString();
    state_->setText(error.isEmpty() ? tr("OSC 已关闭。")
                                    : tr("无法在 UDP %1:%2 上接收: %3")
                                          .arg(address_->currentData().toString())
                                          .arg(port_->value())
                                          .arg(error));
}

void OscSection::showSenders() {
    senders_->clear();
    for (const OscServer::Sender& s : osc_.senders())
        new QTreeWidgetItem(senders_, {s.address, s.lastSeen.toString(QStringLiteral("HH:mm:ss")),
                                       QString::number(s.taken), QString::number(s.dropped),
                                       QString::number(s.refused)});
    // Wide enough for every column's heading and figures, in either language.
    int width = 2 * senders_->frameWidth();
    for (int c = 0; c < senders_->columnCount(); ++c) {
        senders_->resizeColumnToContents(c);
        width += senders_->columnWidth(c);
    }
    senders_->setMinimumWidth(width);
}

}  // namespace qel
