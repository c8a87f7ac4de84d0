#pragma once

#include <iosfwd>

#include "device/UnitTransfer.h"
#include "link/Equipment.h"

namespace qel::cli {

// Connects a unit for one command and lets go of it again (disconnect notice, link stopped).
class Session {
public:
    Session(Equipment& unit, const LinkSettings& link) : unit_(unit), link_(link) {}
    ~Session();
    // Handshake, and the full read when readAll; false with a one-line reason on err.
    bool connect(bool readAll, std::ostream& err);
    UnitTransfer transfer() const { return UnitTransfer(unit_, link_); }

private:
    Equipment& unit_;
    LinkSettings link_;
};

}  // namespace qel::cli
