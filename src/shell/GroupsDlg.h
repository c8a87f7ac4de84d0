// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "device/GroupControl.h"
#include "editor/TypedValue.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTreeWidget;
class QTreeWidgetItem;

namespace qel {

class Equipment;

// One group's strip: its name, gain offset fader and box, mute, polarity, delay offset box,
// and how many members it has (and how many wait for their unit or are missing).
class GroupStrip : public QWidget {
    Q_OBJECT
public:
    GroupStrip(std::string name, QWidget* parent);
    const std::string& name() const { return name_; }
    void showGroup(const Group& group, const std::vector<GroupControl::MemberView>& members,
                   bool chosen);

    QPushButton* nameButton() const { return nameButton_; }
    QSlider* fader() const { return fader_; }
    QLineEdit* gainBox() const { return gainBox_; }
    QPushButton* muteButton() const { return mute_; }
    QPushButton* polarityButton() const { return polarity_; }
    QLineEdit* delayBox() const { return delayBox_; }
    QLabel* countLabel() const { return count_; }

private:
    std::string name_;
    QPushButton* nameButton_;
    QSlider* fader_;
    QLineEdit* gainBox_;
    QPushButton* mute_;
    QPushButton* polarity_;
    QLineEdit* delayBox_;
    QLabel* count_;
};

// "编组": the program's groups of channels across units, one strip each, new/rename/delete,
// and the chosen group's members ticked in a tree of the listed units and their channels.
// Every move of a group is one step of the window's own undo (Ctrl+Z, Ctrl+Y) that sends
// every member back.
class GroupsDlg : public QDialog {
    Q_OBJECT
public:
    using Units = std::function<std::vector<std::shared_ptr<Equipment>>()>;
    GroupsDlg(GroupControl& groups, Units units, QWidget* parent = nullptr);
    ~GroupsDlg() override;

    GroupStrip* strip(const std::string& name) const;
    QTreeWidget* memberTree() const { return tree_; }
    QLabel* messageLabel() const { return message_; }
    void choose(const std::string& name);
    bool undo();
    bool redo();
    // A line under the strips (red for a problem).
    void tell(const QString& text, bool problem) { say(text, problem); }

private:
    void rebuild();
    void disconnectBoxes();
    void showGroups();
    void fillTree();
    void memberTicked(QTreeWidgetItem* item);
    void connectStrip(GroupStrip* strip);
    // A typed offset: its number is set, any other text refused in red with the reason.
    void typed(QLineEdit* box, ValueUnit unit, const QString& shown,
               const std::function<GroupControl::Outcome(double)>& set);
    // Shows what a move did and keeps it as an undo step.
    void took(const GroupControl::Outcome& outcome);
    void newGroup();
    void renameGroup();
    void deleteGroup();
    void say(const QString& text, bool problem);
    QString memberText(const GroupMember& member) const;

    GroupControl& groups_;
    Units units_;
    std::string chosen_;
    std::vector<GroupStrip*> strips_;
    QHBoxLayout* stripRow_;
    QTreeWidget* tree_;
    QLabel* message_;
    QPushButton* rename_;
    QPushButton* delete_;
    std::vector<GroupControl::Move> undo_, redo_;
    bool filling_ = false;
};

}  // namespace qel
