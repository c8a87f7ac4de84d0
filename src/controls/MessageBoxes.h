// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>
#include <deque>
#include <vector>

class QWidget;

namespace qel {

enum class MsgIcon { None, Information, Exclamation, Question };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

struct MessageRequest {
    QString text;
    QString caption;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
};

// Every message box of the program goes through this interface, so that tests can answer
// them. GUI thread only.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MsgAnswer show(QWidget* parent, const MessageRequest& request) = 0;
};

// Modal QMessageBox windows.
class QtMessageBoxes : public MessageBoxes {
public:
    MsgAnswer show(QWidget* parent, const MessageRequest& request) override;
};

// Answers from a script, in order, and keeps every request it was shown. With the script
// used up, questions get Cancel (No when there is no Cancel) and other boxes Ok.
class ScriptedMessageBoxes : public MessageBoxes {
public:
    void answer(MsgAnswer a) { script_.push_back(a); }
    MsgAnswer show(QWidget* parent, const MessageRequest& request) override;
    const std::vector<MessageRequest>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

private:
    std::deque<MsgAnswer> script_;
    std::vector<MessageRequest> shown_;
};

// The implementation in use; the Qt one unless a test installs another (nullptr restores it).
MessageBoxes& messageBoxes();
void setMessageBoxes(MessageBoxes* boxes);

MsgAnswer showMessage(QWidget* parent, const QString& text, const QString& caption,
                      MsgIcon icon = MsgIcon::Exclamation, MsgButtons buttons = MsgButtons::Ok);

}  // namespace qel
