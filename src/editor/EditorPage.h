// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "device/ModeImage.h"
#include "device/ParamEdit.h"
#include "editor/TypedValue.h"

namespace qel {

class CQelEquipmentDlg;
class CEqSystemDlg;
class CQelText;

// One page of the equipment editor. Pages read the unit's image and make every change
// through the editor's ParamEdit; the editor calls them on the GUI thread.
class EditorPage : public QWidget {
    Q_OBJECT
public:
    EditorPage(ParamEdit& edit, const QString& objectName, QWidget* parent);

    // Loads every control from the image; sends nothing.
    virtual void loadFromImage() {}
    // Someone else changed these parameters (an undo, a remote client...): the controls that
    // show them load them from the image. Sends nothing.
    virtual void showChanged(const std::vector<ParamEdit::Subject>& params) { (void)params; }
    // Shows the meter display bytes (slots 0..3 inputs, 4..11 outputs).
    virtual void showMeters(const ModeImage& image) { (void)image; }
    // EQ pages: the channel chosen on the tab strip (1-based) and its link mask; reload when
    // the page should show it at once.
    virtual void selectChannel(int channel, int linkMask, bool reload) {
        (void)channel, (void)linkMask, (void)reload;
    }

    // Draws an etched frame (sunken outer edge, raised inner edge).
    static void drawEtchedFrame(QPainter& painter, const QRect& rect);

    // Where the page says what became of a typed value: the status bar.
    void setNotice(std::function<void(const QString&)> notice) { notice_ = std::move(notice); }

protected:
    // Reads what was typed into box. A text that is no value in unit is refused: showUnit puts
    // what the unit holds back in the box, the box is marked with why, the notice says it, and
    // the caller gets nothing to send.
    std::optional<double> typedValue(CQelText* box, const QString& text, ValueUnit unit,
                                     const std::function<void()>& showUnit);
    // When typed lay outside lo..hi, says so beside what the box now shows, which was sent.
    void tellLimits(CQelText* box, const QString& text, double typed, double lo, double hi);

    ParamEdit& edit_;

private:
    std::function<void(const QString&)> notice_;
};

// The system page: an etched frame 16 pixels inside its edges around the system functions.
class CPanelSys : public EditorPage {
    Q_OBJECT
public:
    CPanelSys(ParamEdit& edit, CQelEquipmentDlg* editor);
    CEqSystemDlg* systemDlg() const { return system_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CEqSystemDlg* system_ = nullptr;
};

}  // namespace qel
