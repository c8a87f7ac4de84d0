#pragma once

#include <QByteArray>

#include "link/Equipment.h"

namespace qel {
class ModeImage;
}

namespace qel::cli {

// Every parameter of an image with its meaning and unit, as indented JSON.
QByteArray imageJson(const Equipment& unit, const ModeImage& image);

}  // namespace qel::cli
