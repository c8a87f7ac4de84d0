// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/EqSystemDlg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>

#include "controls/ControlStyle.h"
#include "controls/MessageBoxes.h"
#include "device/EventLog.h"
#include "device/ModeFileStore.h"
#include "device/ModeImage.h"
#include "device/ParamEdit.h"
#include "device/UnitText.h"
#include "editor/EditorHost.h"
#include "editor/EditorPage.h"
#include "editor/QelEquipmentDlg.h"
#include "link/Equipment.h"
#include "ui/BusyRun.h"
#include "ui/ModeFileWords.h"
#include "ui/QelConnectDlg.h"

namespace qel {

namespace {

const QColor kBackground(238, 238, 238);
constexpr int kFontLine = 13;  // the template's 8-point dialog font
constexpr int kNumberColumn = 32, kNameColumn = 400, kDateColumn = 100;
// The left column is wider than the template by kWider dialog units, so that the slot list
// shows a 20-character name whole; the PC modes give up that room.
constexpr int kWider = 24;
const QString kQuellmar = QStringLiteral("Quellmar");

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A group box drawn the classic way: an etched frame whose top edge runs through the middle
// of the caption.
class EtchedGroup : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QFontMetrics m(font());
        EditorPage::drawEtchedFrame(p, rect().adjusted(0, m.height() / 2, 0, 0));
        const int left = m.averageCharWidth() + 2;
        const QRect caption(left, 0, m.horizontalAdvance(title()) + 4, m.height());
        p.fillRect(caption, kBackground);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(caption, Qt::AlignCenter, title());
    }
};

}  // namespace

CEqSystemDlg::CEqSystemDlg(CQelEquipmentDlg& editor, ParamEdit& edit, QWidget* parent)
    : QWidget(parent),
      editor_(editor),
      host_(editor.host()),
      edit_(edit),
      unit_(editor.sharedUnit()),
      system_(*unit_) {
    setObjectName(QStringLiteral("Qel.CEqSystemDlg"));
    setFont(controlFont(kFontLine));
    build();
    setModeButtonsEnabled(false);
}

QRect CEqSystemDlg::mapDialogRect(const QRect& units) const {
    const QFontMetrics m(font());
    const int cx = (m.horizontalAdvance(
                        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                        26 +
                    1) /
                   2;
    const int cy = m.height();
    auto x = [cx](int v) { return (v * cx + 2) / 4; };
    auto y = [cy](int v) { return (v * cy + 4) / 8; };
    const int left = x(units.x()), top = y(units.y());
    return {left, top, x(units.x() + units.width()) - left, y(units.y() + units.height()) - top};
}

void CEqSystemDlg::build() {
    auto at = [this](QWidget* w, int id, int x, int y, int cw, int ch) {
        if (id) w->setObjectName(QString::number(id));
        w->setGeometry(mapDialogRect({x, y, cw, ch}));
        return w;
    };
    auto group = [&](const QString& text, int x, int y, int cw, int ch) {
        at(new EtchedGroup(text, this), 0, x, y, cw, ch);
    };
    // Labels are as wide as their texts where the template gives less; the box after a
    // label keeps its right edge and starts clear of it.
    auto label = [&](const QString& text, int x, int y, int cw) {
        QWidget* l = at(new QLabel(text, this), 0, x, y, cw, 8);
        l->resize(std::max(l->width(), l->sizeHint().width()), l->height());
        return l;
    };
    auto edit = [&](int id, int x, int y, int cw, bool password, const QWidget* after) {
        auto* e = new QLineEdit(this);
        if (password) {
            e->setEchoMode(QLineEdit::Password);
            e->setValidator(
                new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
        }
        at(e, id, x, y, cw, 12);
        const int left = after->geometry().right() + 1 + mapDialogRect({0, 0, 2, 0}).width();
        if (left > e->x()) e->setGeometry(QRect(QPoint(left, e->y()), e->geometry().bottomRight()));
        return e;
    };
    auto button = [&](const QString& text, int id, int x, int y, int cw,
                      void (CEqSystemDlg::*handler)()) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false);  // the OK key does nothing on this page
        connect(b, &QPushButton::clicked, this, handler);
        at(b, id, x, y, cw, 14);
        return b;
    };

    group(tr("系统控制"), 6, 6, 164 + kWider, 53);
    group(tr("密码修改"), 6, 65, 164 + kWider, 72);
    group(tr("设备名称"), 6, 146, 164 + kWider, 55);
    group(tr("改变设备模式"), 6, 209, 164 + kWider, 67);
    group(tr("电脑模式"), 180 + kWider, 6, 417 - kWider, 270);

    password_ = edit(kPassword, 44, 20, 70 + kWider, true, label(tr("密码:"), 16, 22, 26));
    button(tr("确定"), kCheckPassword, 120 + kWider, 19, 42, &CEqSystemDlg::checkPassword);
    userMode_ = new QRadioButton(tr("用户模式"), this);
    at(userMode_, kUserMode, 44, 40, 52, 10);
    engineeringMode_ = new QRadioButton(tr("工程模式"), this);
    at(engineeringMode_, kEngineeringMode, 104, 40, 52, 10);
    connect(userMode_, &QRadioButton::clicked, this, [this] { switchMode(false); });
    connect(engineeringMode_, &QRadioButton::clicked, this, [this] { switchMode(true); });
    placeModeSwitches();

    oldPassword_ = edit(kOldPassword, 48, 81, 114 + kWider, true, label(tr("旧密码:"), 16, 83, 30));
    newPassword_ =
        edit(kNewPassword, 48, 99, 114 + kWider, true, label(tr("新密码:"), 16, 101, 30));
    button(tr("确定"), kChangePassword, 120 + kWider, 117, 42, &CEqSystemDlg::changePassword);

    deviceName_ = edit(kDeviceName, 48, 164, 114 + kWider, false, label(tr(" 名称:"), 16, 166, 30));
    deviceName_->setReadOnly(true);
    button(tr("确定"), kRename, 120 + kWider, 182, 42, &CEqSystemDlg::rename)->hide();

    label(tr("模式序号:"), 16, 226, 38);
    slotList_ = new QComboBox(this);
    at(slotList_, kSlot, 56, 223, 106 + kWider, 13);
    connect(slotList_, &QComboBox::activated, this, [this](int slot) {
        if (slot >= 0) slotName_->setText(fromUtf8(edit_.image().deviceModeName(slot)));
    });
    slotName_ = edit(kSlotName, 56, 242, 106 + kWider, false, label(tr("名称:"), 16, 244, 38));
    button(tr("保存模式"), kSaveSlot, 56 + kWider, 258, 50, &CEqSystemDlg::saveSlot);
    button(tr("调用模式"), kRecallSlot, 112 + kWider, 258, 50, &CEqSystemDlg::recallSlot);

    label(tr("模式管理:"), 190 + kWider, 20, 60);
    pcModes_ = new QTableWidget(0, 3, this);
    at(pcModes_, kPcModes, 190 + kWider, 32, 397 - kWider, 208);
    pcModes_->setHorizontalHeaderLabels({tr("序号"), tr("模式名称"), tr("日期")});
    pcModes_->verticalHeader()->hide();
    pcModes_->verticalHeader()->setDefaultSectionSize(pcModes_->fontMetrics().height() + 4);
    QHeaderView* header = pcModes_->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    pcModes_->setColumnWidth(0, kNumberColumn);
    pcModes_->setColumnWidth(1, kNameColumn);
    pcModes_->setColumnWidth(2, kDateColumn);
    pcModes_->setShowGrid(true);
    pcModes_->setWordWrap(false);
    pcModes_->setSelectionBehavior(QAbstractItemView::SelectRows);
    pcModes_->setSelectionMode(QAbstractItemView::SingleSelection);
    pcModes_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pcModes_->setTabKeyNavigation(false);
    // The selection shows also while the list has no focus.
    QPalette palette = pcModes_->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    pcModes_->setPalette(palette);
    connect(pcModes_, &QTableWidget::cellClicked, this,
            [this](int row, int) { pcModeClicked(row); });
    connect(pcModes_, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (row >= 0) pcRow_ = row;
    });
    pcModeName_ = edit(kPcModeName, 232 + kWider, 250, 150 - kWider, false,
                       label(tr("模式名称:"), 190 + kWider, 252, 40));
    button(tr("保存当前模式到电脑"), kSaveToPc, 390, 249, 100, &CEqSystemDlg::saveToPc);
    button(tr("应用模式到设备"), kApply, 496, 249, 91, &CEqSystemDlg::applyPcMode);
}

// The two switches as wide as their texts: at the template's places where they fit inside the
// group, otherwise side by side from the group's left margin.
void CEqSystemDlg::placeModeSwitches() {
    const QRect inside = mapDialogRect({16, 40, 146 + kWider, 10});
    const int gap = mapDialogRect({0, 0, 8, 0}).width();
    const int userWidth = std::max(userMode_->width(), userMode_->sizeHint().width());
    const int engineeringWidth =
        std::max(engineeringMode_->width(), engineeringMode_->sizeHint().width());
    int userX = userMode_->x();
    int engineeringX = std::max(engineeringMode_->x(), userX + userWidth + gap);
    if (engineeringX + engineeringWidth > inside.right() + 1) {
        userX = inside.left();
        engineeringX = userX + userWidth + gap;
    }
    userMode_->setGeometry(userX, userMode_->y(), userWidth, userMode_->height());
    engineeringMode_->setGeometry(engineeringX, engineeringMode_->y(), engineeringWidth,
                                  engineeringMode_->height());
}

void CEqSystemDlg::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), kBackground);
}

void CEqSystemDlg::busy(const std::function<void()>& work) {
    host_.runGuarded([&work] { runBusy(work); });
}

void CEqSystemDlg::setModeButtonsEnabled(bool enabled) {
    userMode_->setEnabled(enabled);
    engineeringMode_->setEnabled(enabled);
}

void CEqSystemDlg::refresh() {
    if (!slotsFilled_) {
        fillSlotList();
        const uint32_t current = edit_.image().currentMode();
        if (current < static_cast<uint32_t>(ModeImage::kDeviceModes)) {
            slotList_->setCurrentIndex(static_cast<int>(current));
            slotName_->setText(fromUtf8(edit_.image().deviceModeName(static_cast<int>(current))));
        }
        deviceName_->setText(QString::fromStdString(unit_->deviceName()));
        slotsFilled_ = true;
    }
    pcModes_->setRowCount(0);
    pcModes_->setRowCount(SystemFunctions::kPcModes);
    for (int row = 0; row < SystemFunctions::kPcModes; ++row) showPcRow(row);
    pcModes_->setCurrentCell(0, 0);
    pcModes_->selectRow(0);
}

void CEqSystemDlg::fillSlotList() {
    slotList_->clear();
    for (int slot = 0; slot < ModeImage::kDeviceModes; ++slot)
        slotList_->addItem(QStringLiteral("%1. %2").arg(slot + 1).arg(
            fromUtf8(edit_.image().deviceModeName(slot))));
}

void CEqSystemDlg::showPcRow(int row) {
    const auto record = host_.modeFiles().record(unit_->modelCode(), row);
    const bool used = record && record->isUsed();
    const QString texts[] = {QString::number(row + 1),
                             used ? fromUtf8(record->name()) : QStringLiteral("-"),
                             used ? fromUtf8(record->date()) : QStringLiteral("-")};
    for (int column = 0; column < 3; ++column) {
        if (QTableWidgetItem* item = pcModes_->item(row, column))
            item->setText(texts[column]);
        else
            pcModes_->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
}

void CEqSystemDlg::pcModeClicked(int row) {
    if (row < 0) return;
    pcModes_->clearSelection();
    pcModes_->setCurrentCell(row, 0);
    pcModes_->selectRow(row);
    pcRow_ = row;
    // An empty row's "-" is no name.
    const auto record = host_.modeFiles().record(unit_->modelCode(), row);
    pcModeName_->setText(record && record->isUsed() ? pcModes_->item(row, 1)->text() : QString());
}

bool CEqSystemDlg::unitKeepsName(QLineEdit* box, std::string (*shape)(std::string_view)) {
    const std::string text = box->text().toStdString();
    const std::string refused = unitTextRefused(text);
    if (refused.empty()) return true;
    const QString keeps =
        tr("设备只能保存英文字母、数字、空格和半角符号 (ASCII 32-127), 不能保存: %1")
            .arg(fromUtf8(refused));
    const std::string offer = shape(unitTextKept(text));
    if (offer.empty()) {
        showMessage(this, keeps, tr("错误"));
        return false;
    }
    if (showMessage(this, keeps + QLatin1Char('\n') + tr("是否改用 \"%1\" ?").arg(fromUtf8(offer)),
                    kQuellmar, MsgIcon::Question, MsgButtons::YesNoCancel) != MsgAnswer::Yes)
        return false;
    box->setText(fromUtf8(offer));
    return true;
}

void CEqSystemDlg::checkPassword() {
    const std::string entry = password_->text().toStdString();
    if (entry.size() != kPasswordSize) {
        showMessage(this, tr("请输入系统密码!"), tr("错误"));
        return;
    }
    bool matches = false;
    busy([&] { matches = system_.passwordMatches(entry); });
    if (matches)
        setModeButtonsEnabled(true);
    else
        showMessage(this, tr("错误的系统密码!"), tr("错误"));
}

void CEqSystemDlg::switchMode(bool engineering) {
    bool switched = false;
    busy([&] { switched = system_.switchMode(engineering); });
    if (switched) {
        showMessage(this, engineering ? tr("成功转换到工程模式!") : tr("成功转换到用户模式!"),
                    kQuellmar);
        editor_.setWindowTitle(CQelEquipmentDlg::titleFor(*unit_));
    }
    // A new switch needs the password again.
    setModeButtonsEnabled(false);
    password_->clear();
}

void CEqSystemDlg::changePassword() {
    const std::string oldDigits = oldPassword_->text().toStdString();
    const std::string newDigits = newPassword_->text().toStdString();
    if (oldDigits.empty() || newDigits.empty()) {
        showMessage(this, tr("请输出系统密码!"), tr("Error"));
    } else if (oldDigits.size() != kPasswordSize || newDigits.size() != kPasswordSize) {
        showMessage(this, tr("错误: 密码必须 6 位数字!"), tr("Error"));
    } else {
        auto result = SystemFunctions::PasswordChange::Failed;
        busy([&] { result = system_.changePassword(oldDigits, newDigits); });
        switch (result) {
            case SystemFunctions::PasswordChange::WrongOld:
                showMessage(this, tr("错误的系统密码 !"), tr("Error"));
                break;
            case SystemFunctions::PasswordChange::Changed:
                showMessage(this, tr("成功修改系统密码 !"), kQuellmar);
                break;
            case SystemFunctions::PasswordChange::Failed:
                showMessage(this, tr("修改系统密码失败, 超时!"), kQuellmar);
                break;
        }
    }
    oldPassword_->clear();
    newPassword_->clear();
}

void CEqSystemDlg::rename() {
    if (deviceName_->text().isEmpty()) {
        showMessage(this, tr("请输入设备名称!"), tr("错误"));
        return;
    }
    if (!unitKeepsName(deviceName_, &SystemFunctions::cutName)) return;
    const std::string text = SystemFunctions::cutName(deviceName_->text().toStdString());
    bool renamed = false;
    busy([&] { renamed = system_.rename(text); });
    showMessage(this, renamed ? tr("成功修改设备名称!") : tr("修改设备名称错误! 超时!"), kQuellmar);
}

void CEqSystemDlg::saveSlot() {
    if (!unitKeepsName(slotName_, &SystemFunctions::slotName)) return;
    bool allowed = false;
    busy([&] { allowed = system_.storingAllowed(); });
    if (!allowed) {
        showMessage(this, tr("用户模式不可以保存数据 !"), kQuellmar);
        return;
    }
    if (showMessage(this, tr("您确定要保存当前模式吗 ?"), kQuellmar, MsgIcon::Question,
                    MsgButtons::YesNoCancel) != MsgAnswer::Yes)
        return;
    const int slot = slotList_->currentIndex();
    const std::string name = SystemFunctions::slotName(slotName_->text().toStdString());
    // Refused before the name goes into the image, so the list never shows an empty slot
    // name that the unit does not have.
    if (name.empty() || slot < 0) {
        showMessage(this, tr("请输入模式名称!"), tr("错误"));
        return;
    }
    // Kept even when the unit does not confirm the store.
    edit_.image().setDeviceModeName(slot, name);
    bool stored = false;
    busy([&] { stored = system_.store(slot, name); });
    if (!stored) {
        showMessage(this, tr("保存错误模式, 超时!"), kQuellmar);
        return;
    }
    fillSlotList();
    slotList_->setCurrentIndex(slot);
    host_.showPaneText(4, tr("模式名称: %1").arg(fromUtf8(name)));
    showMessage(this, tr("成功保存模式!"), kQuellmar);
}

void CEqSystemDlg::recallSlot() {
    if (showMessage(this, tr("您确定要调用选择的模式吗 ?"), kQuellmar, MsgIcon::Question,
                    MsgButtons::YesNoCancel) != MsgAnswer::Yes)
        return;
    const int slot = slotList_->currentIndex();
    if (slot >= 0) host_.runGuarded([this, slot] { recallAndRead(slot); });
}

// The unit takes up the slot, then the editor reads the unit again.
void CEqSystemDlg::recallAndRead(int slot) {
    bool recalled = false;
    busy([&] { recalled = system_.recall(slot); });
    EventLog* log = host_.events();
    if (log) log->recall(*unit_, slot, recalled);
    if (!recalled) {
        showMessage(this, tr("错误: 超时!"), kQuellmar);
        return;
    }
    system_.withMetersPaused([&] {
        const auto before = unit_->image();
        const auto result = editor_.runTransfer(CQelConnectDlg::Mode::ReadOnly, &editor_);
        if (log) log->transfer(*unit_, EventRecord::kRead, result);
        if (result == UnitTransfer::Result::Success) adoptReadImage(before);
        editor_.fullTransferDone();
        return result;
    });
    host_.showPaneText(3, tr("模式序号: %1").arg(slot + 1));
    host_.showPaneText(4, tr("模式名称: %1").arg(fromUtf8(edit_.image().deviceModeName(slot))));
}

void CEqSystemDlg::adoptReadImage(const std::shared_ptr<ModeImage>& before) {
    const auto fresh = unit_->image();
    if (!fresh || fresh.get() == &edit_.image()) return;
    edit_.image() = *fresh;
    // The unit keeps sharing the editor's image, which the pages edit and a download sends.
    if (before.get() == &edit_.image()) unit_->setImage(before);
}

void CEqSystemDlg::saveToPc() {
    // Taken before the question: the list is rebuilt when the editor is activated again.
    const int row = pcRow_;
    const GbkName name = SystemFunctions::pcModeName(host_.modeFiles(), unit_->modelCode(), row,
                                                     pcModeName_->text().toStdString());
    if (!name.ok()) {
        showMessage(
            this,
            tr("模式文件用 GBK 编码保存名称, 不能保存这些字符: %1").arg(fromUtf8(name.missing)),
            tr("错误"));
        return;
    }
    if (showMessage(this, tr("您确定要保存当前模式到电脑吗 ?"), kQuellmar, MsgIcon::Question,
                    MsgButtons::YesNoCancel) != MsgAnswer::Yes)
        return;
    const QDate today = today_();
    const ModeFileStatus status =
        SystemFunctions::saveToPc(edit_.image().record(), host_.modeFiles(), unit_->modelCode(),
                                  row, name, today.year(), today.month(), today.day());
    // The row shows what the file holds, the new mode or, after a failed save, the old one.
    showPcRow(row);
    if (!status.ok)
        showMessage(this, tr("保存模式文件失败: %1").arg(ModeFileWords::text(status)), kQuellmar);
    else if (name.shortened)
        showMessage(
            this,
            tr("模式名称超过 20 个字节, 已缩短为 \"%1\"。").arg(pcModes_->item(row, 1)->text()),
            kQuellmar);
}

void CEqSystemDlg::applyPcMode() {
    const int row = pcRow_;
    if (showMessage(this, tr("您确定要应用模式到设备吗 ?"), kQuellmar, MsgIcon::Question,
                    MsgButtons::YesNoCancel) != MsgAnswer::Yes)
        return;
    if (SystemFunctions::loadPcMode(edit_.image().record(), host_.modeFiles(), unit_->modelCode(),
                                    row) != SystemFunctions::PcMode::Loaded) {
        showMessage(this, tr("该电脑模式是空的, 不能应用到设备!"), kQuellmar);
        return;
    }
    const auto result = system_.withMetersPaused([&] {
        const auto r = editor_.runTransfer(CQelConnectDlg::Mode::Download, &editor_);
        const QTableWidgetItem* name = pcModes_->item(row, 1);
        if (EventLog* log = host_.events())
            log->transfer(*unit_, EventRecord::kPcMode, r, name ? name->text() : QString());
        editor_.fullTransferDone();
        return r;
    });
    // A cancel sends nothing more: the editor's 同步 finishes the download.
    if (result == UnitTransfer::Result::Cancelled) return;
    system_.activateDownloaded();
    if (result != UnitTransfer::Result::Success) showMessage(this, tr("错误: 超时!"), kQuellmar);
}

}  // namespace qel
