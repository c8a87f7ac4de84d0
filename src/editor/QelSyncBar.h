// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>

namespace qel {

class CQelBtn;
class CQelEquipmentDlg;
class CQelTitle;
class ModeImage;
struct VerifyReport;

// The editor's account of whether the unit still holds what the screen shows, in the title
// strip: the writes that got no accepted reply, a unit known to differ, a unit that does not
// answer (edits made meanwhile count as unconfirmed), or a lost link. It offers "同步" (write
// the editor's settings into the unit, proven by reading them back) or, for a lost or silent
// link, "重连" (connect again, read the unit into a scratch image, show where it differs and
// let the user choose which side wins). Hidden while there is nothing to say.
// It keeps clear of the strip's channel buttons: where they reach into its room (the outputs
// of a QD408) only the button shows, with the count in its text.
class CQelSyncBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kX = 560, kRight = 806;  // its room in the title strip, up to A/B
    enum class State { Quiet, Unconfirmed, Differs, NotAnswering, Lost };

    CQelSyncBar(CQelEquipmentDlg& editor, CQelTitle* strip);

    // Looks at the unit again (the editor's timer calls it).
    void refresh();
    // Takes the room the strip's channel buttons leave (after a change of tab).
    void place();
    // The text beside the button is left out: there is no room for it.
    bool narrow() const;
    State state() const { return state_; }
    QString text() const { return text_; }
    CQelBtn* button() const { return button_; }

    // The button's actions.
    void resync();
    void reconnect();
    // The unit came back with other settings than the editor's: which side wins.
    void askAboutDifferences();
    bool acting() const { return acting_; }

    // Why a verified write failed, for a person: no report means the unit did not answer.
    static QString failureText(const VerifyReport* report, uint32_t modelCode);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int buttonWidth() const;
    int buttonRoom() const;  // the button and the gap before it
    void present(State state, const QString& text, const QString& tip);
    void labelButton();
    // The reconnect itself: the old link ended, the unit read again and the differences settled.
    void takeUpLink();

    CQelEquipmentDlg& editor_;
    CQelTitle* strip_;
    CQelBtn* button_ = nullptr;
    uint32_t count_ = 0;  // unconfirmed writes shown
    State state_ = State::Quiet;
    QString text_;
    bool acting_ = false;  // a resync or reconnect runs; refresh leaves the bar alone
    bool asking_ = false;  // the question of askAboutDifferences() is open
};

}  // namespace qel
