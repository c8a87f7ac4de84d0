#include "editor/PanelEqi.h"

namespace qel {

CPanelEqi::CPanelEqi(ParamEdit& edit, QWidget* parent)
    : EqPage(edit, QStringLiteral("Qel.m_eq_ipanel"), cmd::Side::Input, kResetHz,
             QStringLiteral("+0.0 dB"), parent) {
    loadView();
}

}  // namespace qel
