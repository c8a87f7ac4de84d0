#include "controls/QelMeter.h"

#include <QPainter>
#include <algorithm>

#include "resources/Skins.h"

namespace qel {

CQelMeter::CQelMeter(const char* className, int bitmapId, int maxLevel, QWidget* parent)
    : QWidget(parent), bitmapId_(bitmapId), maxLevel_(maxLevel) {
    setObjectName(QStringLiteral("Qel.") + QLatin1String(className));
    setFocusPolicy(Qt::NoFocus);
}

void CQelMeter::setLevel(int segments) {
    const int level = std::clamp(segments, 0, maxLevel_);
    if (level == level_) return;
    level_ = level;
    update();
}

void CQelMeter::paintEvent(QPaintEvent*) {
    if (skin_.isNull()) skin_ = skin::bitmap(bitmapId_);
    if (buffer_.size() != size()) buffer_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    buffer_.fill(palette().window().color());
    QPainter memory(&buffer_);
    paintMeter(memory, skin_);
    memory.end();
    QPainter(this).drawImage(0, 0, buffer_);
}

}  // namespace qel
