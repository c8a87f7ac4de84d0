#include "device/InputChannel.h"

namespace qel {

void InputChannel::copyEqFrom(const InputChannel& source) {
    points_ = source.points_;
    eqSwitch_ = source.eqSwitch_;
}

}  // namespace qel
