// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/AlarmsDlg.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "device/Alarms.h"

namespace qel {

namespace {

QDoubleSpinBox* spinBox(QWidget* parent, AlarmSettings::Range range, double step,
                        const QString& suffix, int decimals) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(range.min, range.max);
    box->setSingleStep(step);
    box->setDecimals(decimals);
    box->setSuffix(suffix);
    return box;
}

}  // namespace

AlarmsDlg::AlarmsDlg(Alarms& alarms, QString configPath, QWidget* parent)
    : QDialog(parent),
      alarms_(alarms),
      configPath_(std::move(configPath)),
      list_(new QTreeWidget(this)),
      linkOn_(new QCheckBox(tr("设备无响应或断开"), this)),
      linkSeconds_(spinBox(this, AlarmSettings::kLinkSeconds, 1, tr(" 秒"), 1)),
      clipOn_(new QCheckBox(tr("削波"), this)),
      clipDb_(spinBox(this, AlarmSettings::kClipDb, AlarmSettings::kSegmentDb, " dB", 1)),
      clipSeconds_(spinBox(this, AlarmSettings::kClipSeconds, 0.5, tr(" 秒"), 1)),
      silenceOn_(new QCheckBox(tr("无信号 (输入)"), this)),
      silenceDb_(spinBox(this, AlarmSettings::kSilenceDb, AlarmSettings::kSegmentDb, " dB", 1)),
      silenceSeconds_(spinBox(this, AlarmSettings::kSilenceSeconds, 10, tr(" 秒"), 0)),
      silenceFrom_(new QTimeEdit(this)),
      silenceTo_(new QTimeEdit(this)),
      problem_(new QLabel(this)) {
    setObjectName(QStringLiteral("Qel.Alarms"));
    setWindowTitle(tr("报警设置"));
    setModal(false);
    list_->setObjectName(QStringLiteral("Qel.AlarmList"));
    list_->setHeaderLabels({tr("时间"), tr("设备"), tr("报警"), tr("通道"), tr("状态")});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->header()->setStretchLastSection(true);
    problem_->setObjectName(QStringLiteral("Qel.AlarmProblem"));
    problem_->setStyleSheet(QStringLiteral("color: #cc0000"));
    problem_->setWordWrap(true);
    for (QTimeEdit* t : {silenceFrom_, silenceTo_}) t->setDisplayFormat(QStringLiteral("HH:mm"));

    auto* acknowledge = new QPushButton(tr("确认"), this);
    acknowledge->setObjectName(QStringLiteral("Qel.AlarmAck"));
    auto* acknowledgeAll = new QPushButton(tr("全部确认"), this);
    acknowledgeAll->setObjectName(QStringLiteral("Qel.AlarmAckAll"));
    auto* listButtons = new QHBoxLayout;
    listButtons->addStretch();
    listButtons->addWidget(acknowledge);
    listButtons->addWidget(acknowledgeAll);
    auto* listBox = new QGroupBox(tr("当前报警"), this);
    auto* listLayout = new QVBoxLayout(listBox);
    listLayout->addWidget(list_);
    listLayout->addLayout(listButtons);

    auto* grid = new QGridLayout;
    grid->addWidget(linkOn_, 0, 0);
    grid->addWidget(new QLabel(tr("持续"), this), 0, 3);
    grid->addWidget(linkSeconds_, 0, 4);
    grid->addWidget(clipOn_, 1, 0);
    grid->addWidget(new QLabel(tr("电平 ≥"), this), 1, 1);
    grid->addWidget(clipDb_, 1, 2);
    grid->addWidget(new QLabel(tr("持续"), this), 1, 3);
    grid->addWidget(clipSeconds_, 1, 4);
    grid->addWidget(silenceOn_, 2, 0);
    grid->addWidget(new QLabel(tr("电平 ≤"), this), 2, 1);
    grid->addWidget(silenceDb_, 2, 2);
    grid->addWidget(new QLabel(tr("持续"), this), 2, 3);
    grid->addWidget(silenceSeconds_, 2, 4);
    auto* hours = new QHBoxLayout;
    hours->addWidget(new QLabel(tr("时段 (起止相同: 全天)"), this));
    hours->addWidget(silenceFrom_);
    hours->addWidget(new QLabel(QStringLiteral("-"), this));
    hours->addWidget(silenceTo_);
    hours->addStretch();
    grid->addLayout(hours, 3, 0, 1, 5);
    auto* apply = new QPushButton(tr("应用"), this);
    apply->setObjectName(QStringLiteral("Qel.AlarmApply"));
    auto* settingsBox = new QGroupBox(tr("设置"), this);
    auto* settingsLayout = new QVBoxLayout(settingsBox);
    settingsLayout->addLayout(grid);
    settingsLayout->addWidget(problem_);
    auto* applyRow = new QHBoxLayout;
    applyRow->addStretch();
    applyRow->addWidget(apply);
    settingsLayout->addLayout(applyRow);

    auto* close = new QPushButton(tr("关闭"), this);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listBox, 1);
    layout->addWidget(settingsBox);
    layout->addLayout(bottom);

    connect(acknowledge, &QPushButton::clicked, this, &AlarmsDlg::acknowledgeSelected);
    connect(acknowledgeAll, &QPushButton::clicked, this, [this] { alarms_.acknowledgeAll(); });
    connect(apply, &QPushButton::clicked, this, &AlarmsDlg::apply);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(&alarms_, &Alarms::changed, this, &AlarmsDlg::fillList);
    showSettings(alarms_.settings());
    fillList();
    resize(640, 480);
}

AlarmSettings AlarmsDlg::shown() const {
    AlarmSettings s = alarms_.settings();
    s.link = {linkOn_->isChecked(), linkSeconds_->value()};
    s.clip = {clipOn_->isChecked(), clipDb_->value(), clipSeconds_->value()};
    s.silence = {silenceOn_->isChecked(), silenceDb_->value(), silenceSeconds_->value(),
                 silenceFrom_->time(), silenceTo_->time()};
    return s;
}

void AlarmsDlg::showSettings(const AlarmSettings& s) {
    linkOn_->setChecked(s.link.on);
    linkSeconds_->setValue(s.link.seconds);
    clipOn_->setChecked(s.clip.on);
    clipDb_->setValue(s.clip.levelDb);
    clipSeconds_->setValue(s.clip.seconds);
    silenceOn_->setChecked(s.silence.on);
    silenceDb_->setValue(s.silence.levelDb);
    silenceSeconds_->setValue(s.silence.seconds);
    silenceFrom_->setTime(s.silence.from);
    silenceTo_->setTime(s.silence.to);
}

bool AlarmsDlg::apply() {
    const AlarmSettings s = shown();
    if (const auto problem = s.check()) {
        problem_->setText(problemText(*problem));
        return false;
    }
    problem_->clear();
    alarms_.setSettings(s);
    s.save(configPath_);
    return true;
}

QString AlarmsDlg::kindText(const Alarm& alarm) {
    switch (alarm.kind) {
        case Alarm::Kind::Link:
            return alarm.detail == QLatin1String("lost") ? tr("设备断开") : tr("设备无响应");
        case Alarm::Kind::Clip:
            return tr("削波");
        case Alarm::Kind::Silence:
            return tr("无信号");
    }
    return {};
}

QString AlarmsDlg::problemText(const AlarmSettings::Problem& problem) {
    using Code = AlarmSettings::Problem::Code;
    if (problem.code == Code::OutOfRange)
        return tr("%1 是 %2, 须在 %3 到 %4 之间")
            .arg(problem.field)
            .arg(problem.value)
            .arg(problem.range.min)
            .arg(problem.range.max);
    if (problem.code == Code::NotATime) return tr("%1 不是有效的时间").arg(problem.field);
    return tr("%1 不是有效的数值").arg(problem.field);
}

void AlarmsDlg::fillList() {
    list_->clear();
    for (const Alarm& a : alarms_.active()) {
        auto* item = new QTreeWidgetItem(
            list_, {a.since.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), a.unitText,
                    kindText(a), a.channel, a.acknowledged ? tr("已确认") : tr("新")});
        item->setData(0, Qt::UserRole, double(a.number));
        if (!a.acknowledged)
            for (int c = 0; c < item->columnCount(); ++c) item->setForeground(c, QColor(204, 0, 0));
    }
}

void AlarmsDlg::acknowledgeSelected() {
    std::vector<quint64> numbers;
    for (const QTreeWidgetItem* item : list_->selectedItems())
        numbers.push_back(quint64(item->data(0, Qt::UserRole).toDouble()));
    for (const quint64 n : numbers) alarms_.acknowledge(n);
}

}  // namespace qel
