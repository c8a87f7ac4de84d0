// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/EventLogDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "controls/MessageBoxes.h"
#include "device/EventLog.h"
#include "device/EventLogFiles.h"

namespace qel {

EventLogDlg::EventLogDlg(EventLog& log, QWidget* parent)
    : QDialog(parent),
      log_(log),
      model_(this),
      unit_(new QComboBox(this)),
      kind_(new QComboBox(this)),
      ranged_(new QCheckBox(tr("时间范围"), this)),
      from_(new QDateTimeEdit(this)),
      to_(new QDateTimeEdit(this)),
      table_(new QTableView(this)),
      skipped_(new QLabel(this)) {
    setObjectName(QStringLiteral("Qel.EventLog"));
    setWindowTitle(tr("事件日志"));
    setModal(false);
    unit_->setObjectName(QStringLiteral("Qel.EventUnit"));
    kind_->setObjectName(QStringLiteral("Qel.EventKind"));
    from_->setObjectName(QStringLiteral("Qel.EventFrom"));
    to_->setObjectName(QStringLiteral("Qel.EventTo"));
    table_->setObjectName(QStringLiteral("Qel.EventTable"));
    skipped_->setObjectName(QStringLiteral("Qel.EventSkipped"));
    kind_->addItem(tr("全部事件"), QString());
    for (const char* kind : EventLogModel::kinds())
        kind_->addItem(EventLogModel::kindText(QLatin1String(kind)), QLatin1String(kind));
    for (QDateTimeEdit* edit : {from_, to_}) {
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
        edit->setCalendarPopup(true);
        edit->setEnabled(false);
    }
    from_->setDateTime(QDateTime(QDate::currentDate(), QTime(0, 0)));
    to_->setDateTime(QDateTime(QDate::currentDate(), QTime(23, 59)));
    table_->setModel(&model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    skipped_->hide();

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(tr("设备:"), this));
    filters->addWidget(unit_, 1);
    filters->addWidget(new QLabel(tr("事件:"), this));
    filters->addWidget(kind_);
    filters->addWidget(ranged_);
    filters->addWidget(from_);
    filters->addWidget(new QLabel(QStringLiteral("-"), this));
    filters->addWidget(to_);
    auto* buttons = new QHBoxLayout;
    auto* reloadButton = new QPushButton(tr("刷新"), this);
    auto* exportButton = new QPushButton(tr("导出 CSV..."), this);
    exportButton->setObjectName(QStringLiteral("Qel.EventExport"));
    auto* closeButton = new QPushButton(tr("关闭"), this);
    buttons->addWidget(skipped_, 1);
    buttons->addStretch();
    buttons->addWidget(reloadButton);
    buttons->addWidget(exportButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(980, 560);

    connect(unit_, &QComboBox::currentIndexChanged, this, &EventLogDlg::applyFilter);
    connect(kind_, &QComboBox::currentIndexChanged, this, &EventLogDlg::applyFilter);
    connect(ranged_, &QCheckBox::toggled, this, [this](bool on) {
        from_->setEnabled(on);
        to_->setEnabled(on);
        applyFilter();
    });
    connect(from_, &QDateTimeEdit::dateTimeChanged, this, &EventLogDlg::applyFilter);
    connect(to_, &QDateTimeEdit::dateTimeChanged, this, &EventLogDlg::applyFilter);
    connect(reloadButton, &QPushButton::clicked, this, &EventLogDlg::reload);
    connect(exportButton, &QPushButton::clicked, this, &EventLogDlg::chooseExport);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(&log_, &EventLog::logged, this, [this](const EventRecord& record) {
        const qsizetype units = model_.units().size();
        model_.add(record);
        if (model_.units().size() != units) fillUnits();
    });
    reload();
}

void EventLogDlg::reload() {
    log_.writeQueued();
    eventlog::Reading reading = eventlog::read(log_.folder());
    model_.setRecords(std::move(reading.records));
    fillUnits();
    QStringList notes;
    if (reading.skipped > 0)
        notes << tr("有 %n 行无法读取 (文件被截断或已损坏), 已跳过。", nullptr, reading.skipped);
    if (!reading.error.isEmpty()) notes << tr("无法读取: %1").arg(reading.error);
    skipped_->setText(notes.join(QLatin1Char(' ')));
    skipped_->setVisible(!notes.isEmpty());
    table_->resizeColumnsToContents();
}

void EventLogDlg::fillUnits() {
    const QString chosen = unit_->currentData().toString();
    const QSignalBlocker quiet(unit_);
    unit_->clear();
    unit_->addItem(tr("全部设备"), QString());
    for (const QString& unit : model_.units()) unit_->addItem(unit, unit);
    unit_->setCurrentIndex(std::max(0, unit_->findData(chosen)));
}

void EventLogDlg::applyFilter() {
    EventLogModel::Filter filter;
    filter.unit = unit_->currentData().toString();
    filter.kind = kind_->currentData().toString();
    if (ranged_->isChecked()) {
        filter.from = from_->dateTime();
        filter.to = to_->dateTime().addSecs(59);  // the whole last minute
    }
    model_.setFilter(std::move(filter));
}

void EventLogDlg::chooseExport() {
    const QString path = QFileDialog::getSaveFileName(
        this, tr("导出 CSV"), QDir::home().filePath(QStringLiteral("events.csv")),
        tr("CSV 文件 (*.csv)"));
    if (!path.isEmpty()) exportCsv(path);
}

bool EventLogDlg::exportCsv(const QString& path) {
    QString why;
    if (model_.writeCsv(path, why)) return true;
    showMessage(this, tr("无法写入文件 %1:\n%2").arg(path, why), QStringLiteral("Quellmar"));
    return false;
}

}  // namespace qel
