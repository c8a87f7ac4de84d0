// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/ShowTableDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

#include "controls/MessageBoxes.h"
#include "device/DownloadVerify.h"
#include "link/Protocol.h"
#include "shell/AddVirtualDlg.h"
#include "ui/EditWords.h"

namespace qel {

namespace {
constexpr int kShownDifferences = 20;

QString modelText(uint32_t code) {
    const std::string_view name = modelName(code);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}
}  // namespace

ShowTableDlg::ShowTableDlg(std::vector<ShowUnit> file, std::vector<Present> present,
                           const std::vector<int>& matches, QWidget* parent)
    : QDialog(parent), file_(std::move(file)), present_(std::move(present)) {
    setObjectName("Qel.ShowTableDlg");
    setWindowTitle(tr("打开演出文件"));
    auto* intro = new QLabel(tr("确定后, 勾选的设备收到文件中的设置, 并读回验证。") +
                                 QLatin1Char('\n') + tr("鼠标停在不同设置的数目上, 可看到它们。"),
                             this);
    notes_ = new QLabel(this);
    notes_->hide();
    table_ = new QTableWidget(rowCount(), 4, this);
    table_->setObjectName("Qel.ShowTable");
    table_->setHorizontalHeaderLabels(
        {tr("文件中的设备"), tr("列表中的设备"), tr("不同的设置"), tr("发送")});
    table_->verticalHeader()->hide();
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setFocusPolicy(Qt::NoFocus);  // nothing in it to edit: no focus frame on a cell
    for (int row = 0; row < rowCount(); ++row)
        addRow(row,
               row < static_cast<int>(matches.size()) ? matches[static_cast<size_t>(row)] : -1);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(notes_);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    fitToTable();
}

void ShowTableDlg::addRow(int row, int match) {
    const ShowUnit& unit = file_[static_cast<size_t>(row)];
    table_->setItem(row, kFileColumn,
                    new QTableWidgetItem(QStringLiteral("%1 (%2)").arg(
                        QString::fromStdString(unit.name), modelText(unit.modelCode))));
    auto* box = new QComboBox(table_);
    box->setObjectName(QStringLiteral("Qel.ShowUnit%1").arg(row + 1));
    if (match >= 0) box->addItem(present_[static_cast<size_t>(match)].label, match);
    for (size_t i = 0; i < present_.size(); ++i)
        if (static_cast<int>(i) != match && present_[i].modelCode == unit.modelCode)
            box->addItem(present_[i].label, static_cast<int>(i));
    box->addItem(tr("无"), kNone);
    box->addItem(tr("新建虚拟设备"), kNewVirtual);
    box->setCurrentIndex(match >= 0 ? 0 : box->findData(kNone));
    table_->setCellWidget(row, kUnitColumn, box);
    auto* count = new QTableWidgetItem;
    count->setTextAlignment(Qt::AlignCenter);
    table_->setItem(row, kDiffColumn, count);
    // The check box in the middle of its cell.
    auto* cell = new QWidget(table_);
    auto* send = new QCheckBox(cell);
    send->setObjectName(QStringLiteral("Qel.ShowSend%1").arg(row + 1));
    auto* centre = new QHBoxLayout(cell);
    centre->setContentsMargins(0, 0, 0, 0);
    centre->addWidget(send, 0, Qt::AlignCenter);
    table_->setCellWidget(row, kSendColumn, cell);
    connect(box, &QComboBox::currentIndexChanged, this, [this, row] { showChoice(row); });
    showChoice(row);
}

QComboBox* ShowTableDlg::unitBox(int row) const {
    return static_cast<QComboBox*>(table_->cellWidget(row, kUnitColumn));
}

QCheckBox* ShowTableDlg::sendBox(int row) const {
    return table_->cellWidget(row, kSendColumn)->findChild<QCheckBox*>();
}

int ShowTableDlg::choice(int row) const {
    return unitBox(row)->currentData().toInt();
}

void ShowTableDlg::choose(int row, int choice) {
    unitBox(row)->setCurrentIndex(unitBox(row)->findData(choice));
}

bool ShowTableDlg::sent(int row) const {
    return choice(row) != kNone && sendBox(row)->isChecked();
}

int ShowTableDlg::differences(int row) const {
    const int c = choice(row);
    if (c < 0 || !present_[static_cast<size_t>(c)].record) return -1;
    const ShowUnit& unit = file_[static_cast<size_t>(row)];
    return static_cast<int>(DownloadVerify::compare(unit.record,
                                                    *present_[static_cast<size_t>(c)].record,
                                                    unit.modelCode)
                                .size());
}

// The count and its list for the row's choice; a row is sent by default when the choice
// would change something, or when that is not known.
void ShowTableDlg::showChoice(int row) {
    const int c = choice(row);
    if (c >= 0 && reader_ && !present_[static_cast<size_t>(c)].record)
        present_[static_cast<size_t>(c)].record = reader_(c);
    const int count = differences(row);
    QTableWidgetItem* item = table_->item(row, kDiffColumn);
    QString text = QString::number(count), tip;
    if (c == kNone)
        text = QStringLiteral("-");
    else if (c == kNewVirtual)
        text = tr("新设备");
    else if (count < 0)
        text = tr("未读取");
    else if (count > 0)
        tip = differenceTip(row, *present_[static_cast<size_t>(c)].record);
    item->setText(text);
    item->setToolTip(tip);
    QCheckBox* send = sendBox(row);
    send->setEnabled(c != kNone);
    send->setChecked(c != kNone && count != 0);
}

// "设备: 输出 1 增益 -6.0 dB / 文件: 输出 1 增益 +0.0 dB", cut after the first few.
QString ShowTableDlg::differenceTip(int row, const ModeRecord& unit) const {
    const ShowUnit& file = file_[static_cast<size_t>(row)];
    const auto list = DownloadVerify::compare(file.record, unit, file.modelCode);
    QStringList lines;
    for (size_t i = 0; i < list.size() && i < size_t{kShownDifferences}; ++i) {
        const DownloadParam& p = list[i].param;
        const ParamEdit::Subject subject{p.code, {p.side, p.channel + 1}, p.point};
        lines << tr("设备: %1\n  文件: %2")
                     .arg(EditWords::label(subject, unit, file.modelCode),
                          EditWords::label(subject, file.record, file.modelCode));
    }
    if (list.size() > size_t{kShownDifferences})
        lines << tr("... 另有 %1 处").arg(list.size() - kShownDifferences);
    return lines.join(QLatin1Char('\n'));
}

QString ShowTableDlg::problem() const {
    for (int row = 0; row < rowCount(); ++row) {
        if (!sent(row)) continue;
        const QString name = QString::fromStdString(file_[static_cast<size_t>(row)].name);
        if (choice(row) == kNewVirtual) {
            const QString why = AddVirtualDlg::nameProblem(name);
            if (!why.isEmpty()) return tr("不能新建虚拟设备 \"%1\": %2").arg(name, why);
            continue;
        }
        for (int other = 0; other < row; ++other)
            if (sent(other) && choice(other) == choice(row))
                return tr("%1 选给了两台文件中的设备。")
                    .arg(present_[static_cast<size_t>(choice(row))].label);
    }
    return {};
}

void ShowTableDlg::setNotes(const QString& notes) {
    notes_->setText(notes);
    notes_->setVisible(!notes.isEmpty());
    fitToTable();
}

void ShowTableDlg::accept() {
    const QString why = problem();
    if (!why.isEmpty()) {
        showMessage(this, why, QStringLiteral("Quellmar"), MsgIcon::Exclamation);
        return;
    }
    QDialog::accept();
}

// The table shows every column and, up to most of the screen, every row.
void ShowTableDlg::fitToTable() {
    table_->resizeColumnsToContents();
    table_->resizeRowsToContents();
    QHeaderView* header = table_->horizontalHeader();
    const int frame = 2 * table_->frameWidth();
    int width = frame, height = frame + header->sizeHint().height();
    for (int c = 0; c < table_->columnCount(); ++c) width += table_->columnWidth(c);
    for (int r = 0; r < table_->rowCount(); ++r) height += table_->rowHeight(r);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() * 3 / 4 : QSize(1024, 600);
    table_->setMinimumWidth(std::min(width, room.width()));
    table_->setFixedHeight(std::min(height, room.height()));
    header->setStretchLastSection(true);
    adjustSize();
}

}  // namespace qel
