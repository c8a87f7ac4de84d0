#include "editor/EditorPage.h"

#include <QPainter>

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

CPanelSys::CPanelSys(ParamEdit& edit, QWidget* parent)
    : EditorPage(edit, QStringLiteral("Qel.m_sys_panel"), parent) {}

void CPanelSys::paintEvent(QPaintEvent*) {
    QPainter p(this);
    drawEtchedFrame(p, rect().adjusted(16, 16, -16, -16));
}

}  // namespace qel
