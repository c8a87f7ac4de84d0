// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/GroupsDlg.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "device/Models.h"
#include "editor/TypedValue.h"
#include "link/Equipment.h"
#include "remote/RemoteWords.h"
#include "ui/EditWords.h"

namespace qel {

namespace {

constexpr int kFaderLow = -100, kFaderHigh = 24;  // half dB: the range a channel's fader has
constexpr int kMemberRole = Qt::UserRole;

QString delayText(double ms) {
    return QStringLiteral("%1 ms").arg(ms, 0, 'f', 3);
}

GroupMember memberOf(const QTreeWidgetItem* item) {
    const QStringList parts = item->data(0, kMemberRole).toStringList();
    GroupMember m;
    m.unit = parts.value(0).toStdString();
    m.modelCode = parts.value(1).toUInt();
    m.channel.side = parts.value(2) == "in" ? cmd::Side::Input : cmd::Side::Output;
    m.channel.number = parts.value(3).toInt();
    return m;
}

QStringList keyOf(const GroupMember& m) {
    return {QString::fromStdString(m.unit), QString::number(m.modelCode),
            m.channel.side == cmd::Side::Input ? "in" : "out", QString::number(m.channel.number)};
}

}  // namespace

GroupStrip::GroupStrip(std::string name, QWidget* parent)
    : QWidget(parent), name_(std::move(name)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    nameButton_ = new QPushButton(QString::fromStdString(name_), this);
    nameButton_->setCheckable(true);
    fader_ = new QSlider(Qt::Vertical, this);
    fader_->setRange(kFaderLow, kFaderHigh);
    fader_->setPageStep(6);
    fader_->setMinimumHeight(160);
    gainBox_ = new QLineEdit(this);
    mute_ = new QPushButton(tr("静音"), this);
    mute_->setCheckable(true);
    polarity_ = new QPushButton(tr("反相"), this);
    polarity_->setCheckable(true);
    // On as the editor's buttons show it: a muted channel red, an inverted one amber.
    mute_->setStyleSheet(QStringLiteral("QPushButton:checked { background: #f08080; }"));
    polarity_->setStyleSheet(QStringLiteral("QPushButton:checked { background: #f4c860; }"));
    delayBox_ = new QLineEdit(this);
    count_ = new QLabel(this);
    count_->setAlignment(Qt::AlignCenter);
    column->addWidget(nameButton_);
    column->addWidget(fader_, 1, Qt::AlignHCenter);
    column->addWidget(gainBox_);
    column->addWidget(mute_);
    column->addWidget(polarity_);
    column->addWidget(new QLabel(tr("延时偏移"), this), 0, Qt::AlignHCenter);
    column->addWidget(delayBox_);
    column->addWidget(count_);
    setFixedWidth(116);
}

void GroupStrip::showGroup(const Group& group, const std::vector<GroupControl::MemberView>& members,
                           bool chosen) {
    const QSignalBlocker a(fader_), b(mute_), c(polarity_), d(nameButton_);
    nameButton_->setText(QString::fromStdString(group.name));
    nameButton_->setChecked(chosen);
    if (!fader_->isSliderDown())
        fader_->setValue(std::clamp(group.gainSteps, kFaderLow, kFaderHigh));
    gainBox_->setText(signedDbText(groupGainDb(group.gainSteps)));
    gainBox_->setStyleSheet({});
    mute_->setChecked(group.mute);
    polarity_->setChecked(group.inverted);
    delayBox_->setText(delayText(groupDelayMs(group.delaySamples)));
    delayBox_->setStyleSheet({});
    const auto count = [&members](GroupControl::MemberState s) {
        return std::count_if(members.begin(), members.end(),
                             [s](const auto& m) { return m.state == s; });
    };
    QString text = tr("%n 个成员", nullptr, int(members.size()));
    if (const auto n = count(GroupControl::MemberState::Pending))
        text += '\n' + tr("%n 个等待设备", nullptr, int(n));
    if (const auto n = count(GroupControl::MemberState::Missing))
        text += '\n' + tr("%n 个缺失", nullptr, int(n));
    count_->setText(text);
}

GroupsDlg::GroupsDlg(GroupControl& groups, Units units, QWidget* parent)
    : QDialog(parent), groups_(groups), units_(std::move(units)) {
    setWindowTitle(tr("编组"));
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton(tr("新建..."), this);
    rename_ = new QPushButton(tr("重命名..."), this);
    delete_ = new QPushButton(tr("删除"), this);
    for (QPushButton* b : {add, rename_, delete_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(add, &QPushButton::clicked, this, &GroupsDlg::newGroup);
    connect(rename_, &QPushButton::clicked, this, &GroupsDlg::renameGroup);
    connect(delete_, &QPushButton::clicked, this, &GroupsDlg::deleteGroup);

    auto* split = new QSplitter(this);
    auto* scroll = new QScrollArea(split);
    auto* row = new QWidget(scroll);
    stripRow_ = new QHBoxLayout(row);
    stripRow_->addStretch();
    scroll->setWidget(row);
    scroll->setWidgetResizable(true);
    tree_ = new QTreeWidget(split);
    tree_->setHeaderLabels({tr("成员")});
    tree_->header()->setStretchLastSection(true);
    split->addWidget(scroll);
    split->addWidget(tree_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({480, 280});  // room for four strips beside the tree
    scroll->setMinimumWidth(130);
    layout->addWidget(split, 1);
    message_ = new QLabel(this);
    message_->setWordWrap(true);
    layout->addWidget(message_);
    connect(tree_, &QTreeWidget::itemChanged, this, &GroupsDlg::memberTicked);

    auto* undo = new QAction(this);
    undo->setShortcut(EditWords::undoKey());
    connect(undo, &QAction::triggered, this, &GroupsDlg::undo);
    auto* redo = new QAction(this);
    redo->setShortcuts(EditWords::redoKeys());
    connect(redo, &QAction::triggered, this, &GroupsDlg::redo);
    addActions({undo, redo});

    connect(&groups_, &GroupControl::changed, this, &GroupsDlg::showGroups);
    connect(&groups_, &GroupControl::saveFailed, this,
            [this](const QString& why) { say(tr("编组文件无法保存: %1").arg(why), true); });
    const auto names = groups_.groupNames();
    if (!names.empty()) chosen_ = names.front();
    rebuild();
    resize(760, 460);
}

GroupsDlg::~GroupsDlg() {
    disconnectBoxes();
}

// A box that loses its focus as its strip or the window goes must not reach either.
void GroupsDlg::disconnectBoxes() {
    for (GroupStrip* s : strips_) {
        disconnect(s->gainBox(), nullptr, this, nullptr);
        disconnect(s->delayBox(), nullptr, this, nullptr);
    }
}

GroupStrip* GroupsDlg::strip(const std::string& name) const {
    for (GroupStrip* s : strips_)
        if (s->name() == name) return s;
    return nullptr;
}

void GroupsDlg::choose(const std::string& name) {
    chosen_ = name;
    showGroups();
    fillTree();
}

void GroupsDlg::rebuild() {
    disconnectBoxes();
    for (GroupStrip* s : strips_) delete s;
    strips_.clear();
    for (const std::string& name : groups_.groupNames()) {
        auto* s = new GroupStrip(name, stripRow_->parentWidget());
        stripRow_->insertWidget(stripRow_->count() - 1, s);
        strips_.push_back(s);
        connectStrip(s);
    }
    showGroups();
    fillTree();
}

void GroupsDlg::showGroups() {
    const auto names = groups_.groupNames();
    const bool same =
        names.size() == strips_.size() &&
        std::equal(names.begin(), names.end(), strips_.begin(),
                   [](const std::string& n, GroupStrip* s) { return s->name() == n; });
    if (!same) return rebuild();
    if (!groups_.group(chosen_)) chosen_ = names.empty() ? std::string() : names.front();
    for (GroupStrip* s : strips_)
        if (const Group* g = groups_.group(s->name()))
            s->showGroup(*g, groups_.members(s->name()), s->name() == chosen_);
    rename_->setEnabled(!chosen_.empty());
    delete_->setEnabled(!chosen_.empty());
}

void GroupsDlg::connectStrip(GroupStrip* s) {
    const std::string name = s->name();
    connect(s->nameButton(), &QPushButton::clicked, this, [this, name] { choose(name); });
    connect(s->fader(), &QSlider::sliderPressed, this, [this, name] { groups_.beginDrag(name); });
    connect(s->fader(), &QSlider::valueChanged, this, [this, name, s](int steps) {
        const auto out = groups_.setGainDb(name, groupGainDb(steps));
        if (!s->fader()->isSliderDown()) return took(out);
        if (out.limitedBy)
            say(tr("编组 %1 停在 %2: %3 已到极限")
                    .arg(QString::fromStdString(name), signedDbText(out.applied),
                         memberText(*out.limitedBy)),
                true);
    });
    connect(s->fader(), &QSlider::sliderReleased, this, [this] {
        GroupControl::Outcome whole;
        whole.ok = true;
        whole.move = groups_.endDrag();
        whole.applied = whole.move.after;
        took(whole);
        showGroups();  // the fader shows where the group stopped
    });
    connect(s->gainBox(), &QLineEdit::editingFinished, this, [this, s, name] {
        if (const Group* g = groups_.group(name))
            typed(s->gainBox(), ValueUnit::Decibel, signedDbText(groupGainDb(g->gainSteps)),
                  [this, &name](double db) { return groups_.setGainDb(name, db); });
    });
    connect(s->delayBox(), &QLineEdit::editingFinished, this, [this, s, name] {
        if (const Group* g = groups_.group(name))
            typed(s->delayBox(), ValueUnit::Millisecond, delayText(groupDelayMs(g->delaySamples)),
                  [this, &name](double ms) { return groups_.setDelayMs(name, ms); });
    });
    connect(s->muteButton(), &QPushButton::clicked, this,
            [this, name](bool on) { took(groups_.setMute(name, on)); });
    connect(s->polarityButton(), &QPushButton::clicked, this,
            [this, name](bool on) { took(groups_.setPolarity(name, on)); });
}

void GroupsDlg::typed(QLineEdit* box, ValueUnit unit, const QString& shown,
                      const std::function<GroupControl::Outcome(double)>& set) {
    const QString text = box->text();
    if (text == shown) return;
    const TypedValue v = readTypedValue(text, unit);
    if (!v.ok()) {
        box->setStyleSheet(QStringLiteral("background: #f4c0c0"));
        return say(refusalText(text, v, unit, shown), true);
    }
    took(set(v.value));
}

void GroupsDlg::took(const GroupControl::Outcome& out) {
    if (out.refused != GroupControl::Refusal::None) return;
    if (out.move.before != out.move.after) {
        undo_.push_back(out.move);
        redo_.clear();
    }
    const QString group = QString::fromStdString(out.move.group);
    if (out.limitedBy) {
        const QString value = out.move.field == GroupControl::Field::Delay
                                  ? delayText(out.applied)
                                  : signedDbText(out.applied);
        say(tr("编组 %1 停在 %2: %3 已到极限").arg(group, value, memberText(*out.limitedBy)), true);
    } else if (!out.pending.empty()) {
        say(tr("编组 %1: %n 个成员的设备不在, 回来后发送", nullptr, int(out.pending.size()))
                .arg(group),
            false);
    } else {
        say({}, false);
    }
    showGroups();
}

bool GroupsDlg::undo() {
    if (undo_.empty()) return false;
    GroupControl::Move move = undo_.back();
    undo_.pop_back();
    const auto out = groups_.undo(move);
    redo_.push_back(move);
    took({.ok = out.ok, .limitedBy = out.limitedBy, .applied = out.applied});
    return true;
}

bool GroupsDlg::redo() {
    if (redo_.empty()) return false;
    GroupControl::Move move = redo_.back();
    redo_.pop_back();
    GroupControl::Move back = move;
    std::swap(back.before, back.after);
    const auto out = groups_.undo(back);  // back to where the step went
    undo_.push_back(move);
    took({.ok = out.ok, .limitedBy = out.limitedBy, .applied = out.applied});
    return true;
}

void GroupsDlg::fillTree() {
    filling_ = true;
    tree_->clear();
    const Group* g = groups_.group(chosen_);
    tree_->setEnabled(g != nullptr);
    std::vector<GroupMember> left = g ? g->members : std::vector<GroupMember>();
    const auto addChannel = [&](QTreeWidgetItem* parent, const GroupMember& m,
                                const QString& text) {
        auto* item = new QTreeWidgetItem(parent, {text});
        item->setData(0, kMemberRole, keyOf(m));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const auto it = std::find(left.begin(), left.end(), m);
        item->setCheckState(0, it != left.end() ? Qt::Checked : Qt::Unchecked);
        if (it != left.end()) left.erase(it);
    };
    for (const auto& unit : units_()) {
        const uint32_t model = unit->modelCode();
        const std::string name = GroupControl::unitName(*unit);
        auto* top = new QTreeWidgetItem(
            tree_, {QStringLiteral("%1: %2").arg(QString::fromStdString(unit->modelName()),
                                                 QString::fromStdString(name))});
        for (int i = 1; i <= inputCount(model); ++i)
            addChannel(top, {name, model, cmd::inputChannel(i)},
                       tr("输入 %1").arg(QChar('A' + i - 1)));
        for (int o = 1; o <= outputCount(model); ++o)
            addChannel(top, {name, model, cmd::outputChannel(o)}, tr("输出 %1").arg(o));
        top->setExpanded(true);
    }
    // Members whose unit the list does not have stay in the group: shown, to be unticked.
    if (!left.empty()) {
        auto* missing = new QTreeWidgetItem(tree_, {tr("缺失的设备")});
        for (const GroupMember& m : std::vector<GroupMember>(left))
            addChannel(missing, m, memberText(m));
        missing->setExpanded(true);
    }
    filling_ = false;
}

void GroupsDlg::memberTicked(QTreeWidgetItem* item) {
    if (filling_ || item->data(0, kMemberRole).isNull()) return;
    const GroupMember m = memberOf(item);
    const bool ok = item->checkState(0) == Qt::Checked ? groups_.addMember(chosen_, m)
                                                       : groups_.removeMember(chosen_, m);
    if (ok) return;
    say(groups_.lastRefusal() == GroupControl::Refusal::NoSuchChannel ? tr("这个型号没有这个通道")
                                                                      : tr("成员未能改变"),
        true);
    QTimer::singleShot(0, this, &GroupsDlg::fillTree);  // the tick goes back, after this signal
}

void GroupsDlg::newGroup() {
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, tr("新建编组"), tr("名称:"), QLineEdit::Normal, {}, &ok)
            .trimmed();
    if (!ok) return;
    if (!groups_.addGroup(name.toStdString()))
        return say(groups_.lastRefusal() == GroupControl::Refusal::NameTaken
                       ? tr("已有编组叫 %1").arg(name)
                       : tr("编组需要名称"),
                   true);
    choose(name.toStdString());
}

void GroupsDlg::renameGroup() {
    bool ok = false;
    const QString now = QString::fromStdString(chosen_);
    const QString name =
        QInputDialog::getText(this, tr("重命名编组"), tr("名称:"), QLineEdit::Normal, now, &ok)
            .trimmed();
    if (!ok || name == now) return;
    if (!groups_.renameGroup(chosen_, name.toStdString()))
        return say(groups_.lastRefusal() == GroupControl::Refusal::NameTaken
                       ? tr("已有编组叫 %1").arg(name)
                       : tr("编组需要名称"),
                   true);
    for (auto& m : undo_)
        if (m.group == chosen_) m.group = name.toStdString();
    for (auto& m : redo_)
        if (m.group == chosen_) m.group = name.toStdString();
    choose(name.toStdString());
}

void GroupsDlg::deleteGroup() {
    const QString name = QString::fromStdString(chosen_);
    if (QMessageBox::question(this, tr("删除编组"),
                              tr("删除编组 %1? 它的成员回到各自的值。").arg(name)) !=
        QMessageBox::Yes)
        return;
    const std::string gone = chosen_;
    groups_.removeGroup(gone);
    std::erase_if(undo_, [&gone](const auto& m) { return m.group == gone; });
    std::erase_if(redo_, [&gone](const auto& m) { return m.group == gone; });
    chosen_.clear();
    rebuild();
}

void GroupsDlg::say(const QString& text, bool problem) {
    message_->setText(text);
    message_->setStyleSheet(problem ? QStringLiteral("color: #b00000") : QString());
}

QString GroupsDlg::memberText(const GroupMember& m) const {
    return RemoteWords::member(QString::fromStdString(m.unit), m.channel);
}

}  // namespace qel
