#include "controls/QelLigGain2.h"

#include <QPainter>

namespace qel {

CQelLigGain2::CQelLigGain2(QWidget* parent) : CQelMeter("CQelLigGain2", 146, kMaxLevel, parent) {
    resize(140, 36);
}

void CQelLigGain2::paintMeter(QPainter& p, const QPixmap& skin) const {
    p.drawPixmap(0, 0, skin, 0, 0, 140, 36);
    if (level() > 0) p.drawPixmap(kLeftX, 4, skin, kLeftX, 41, kSegmentWidth * level(), 11);
}

}  // namespace qel
