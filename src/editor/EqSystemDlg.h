// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDate>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "device/SystemFunctions.h"
#include "link/Equipment.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace qel {

class CQelEquipmentDlg;
class EditorHost;
class ModeImage;
class ParamEdit;

// The system page inside the editor's last tab: user or engineering mode after the unit's
// password, the password change, the unit's name, storing and recalling the unit's 20 modes,
// and the 32 modes kept on the PC for the unit's model. The waited command sequences run on a
// worker (SystemFunctions) while the window keeps painting; message boxes follow on the GUI
// thread.
class CEqSystemDlg : public QWidget {
    Q_OBJECT
public:
    // Control ids, also the controls' object names.
    enum Id {
        kUserMode = 1001,
        kEngineeringMode = 1002,
        kChangePassword = 1003,
        kPassword = 1004,
        kCheckPassword = 1005,
        kOldPassword = 1006,
        kNewPassword = 1007,
        kDeviceName = 1008,
        kRename = 1009,
        kSaveSlot = 1010,
        kSlot = 1011,
        kPcModes = 1012,
        kPcModeName = 1013,
        kSaveToPc = 1015,
        kApply = 1016,
        kSlotName = 1017,
        kRecallSlot = 1018,
    };
    static constexpr int kX = 22, kY = 22, kWidth = 910, kHeight = 460;

    CEqSystemDlg(CQelEquipmentDlg& editor, ParamEdit& edit, QWidget* parent);

    // Today's date for modes saved to the PC.
    void setToday(std::function<QDate()> today) { today_ = std::move(today); }

    // Fills the slot list the first time, rebuilds the PC-mode list and highlights its row 0.
    void refresh();
    // The PC-mode row that save and apply act on: the highlighted one.
    int pcModeRow() const { return pcRow_; }

    // A rectangle of the page's dialog template, in dialog units, as pixels for the font in
    // use (x in quarters of the average character width, y in eighths of the line height).
    QRect mapDialogRect(const QRect& units) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void build();
    void placeModeSwitches();
    void checkPassword();
    void switchMode(bool engineering);
    void changePassword();
    void rename();
    void saveSlot();
    void recallSlot();
    void recallAndRead(int slot);
    void saveToPc();
    void applyPcMode();
    void pcModeClicked(int row);
    // True when the box holds a name the unit keeps whole, or the user took the offer of the
    // name shaped without the characters the unit drops (the box then shows it).
    bool unitKeepsName(QLineEdit* box, std::string (*shape)(std::string_view));
    void fillSlotList();
    void showPcRow(int row);
    void setModeButtonsEnabled(bool enabled);
    // A re-read published a new image: the editor's image takes over its contents.
    void adoptReadImage(const std::shared_ptr<ModeImage>& before);
    // Runs a waited sequence on a worker; the window paints and takes no input meanwhile.
    void busy(const std::function<void()>& work);

    CQelEquipmentDlg& editor_;
    EditorHost& host_;
    ParamEdit& edit_;
    std::shared_ptr<Equipment> unit_;
    SystemFunctions system_;
    std::function<QDate()> today_ = [] { return QDate::currentDate(); };
    bool slotsFilled_ = false;
    int pcRow_ = 0;

    QLineEdit* password_ = nullptr;
    QRadioButton* userMode_ = nullptr;
    QRadioButton* engineeringMode_ = nullptr;
    QLineEdit* oldPassword_ = nullptr;
    QLineEdit* newPassword_ = nullptr;
    QLineEdit* deviceName_ = nullptr;
    QComboBox* slotList_ = nullptr;
    QLineEdit* slotName_ = nullptr;
    QTableWidget* pcModes_ = nullptr;
    QLineEdit* pcModeName_ = nullptr;
};

}  // namespace qel
