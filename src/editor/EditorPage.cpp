// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "editor/EditorPage.h"

#include <QPainter>

#include "controls/QelText.h"
#include "editor/EqSystemDlg.h"
#include "editor/QelEquipmentDlg.h"

namespace qel {

EditorPage::EditorPage(ParamEdit& edit, const QString& objectName, QWidget* parent)
    : QWidget(parent), edit_(edit) {
    setObjectName(objectName);
}

void EditorPage::drawEtchedFrame(QPainter& p, const QRect& r) {
    const QColor shadow(160, 160, 160), light(255, 255, 255);
    p.save();
    p.setPen(shadow);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(light);
    p.drawRect(r.adjusted(1, 1, 0, 0));
    p.restore();
}

std::optional<double> EditorPage::typedValue(CQelText* box, const QString& text, ValueUnit unit,
                                             const std::function<void()>& showUnit) {
    const TypedValue reading = readTypedValue(text, unit);
    if (reading.ok()) return reading.value;
    showUnit();
    const QString why = refusalText(text, reading, unit, box->text());
    box->showRefused(why);
    if (notice_) notice_(why);
    return std::nullopt;
}

void EditorPage::tellLimits(CQelText* box, const QString& text, double typed, double lo,
                            double hi) {
    const QString note = limitText(text, typed, lo, hi, box->text());
    if (note.isEmpty()) return;
    box->showNote(note);
    if (notice_) notice_(note);
}

CPanelSys::CPanelSys(ParamEdit& edit, CQelEquipmentDlg* editor)
    : EditorPage(edit, QStringLiteral("Qel.m_sys_panel"), editor) {
    system_ = new CEqSystemDlg(*editor, edit, this);
    system_->setGeometry(CEqSystemDlg::kX, CEqSystemDlg::kY, CEqSystemDlg::kWidth,
                         CEqSystemDlg::kHeight);
    system_->refresh();
}

void CPanelSys::paintEvent(QPaintEvent*) {
    QPainter p(this);
    drawEtchedFrame(p, rect().adjusted(16, 16, -16, -16));
}

}  // namespace qel
