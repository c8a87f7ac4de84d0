#include "cli/Session.h"

#include <ostream>

namespace qel::cli {

Session::~Session() {
    UnitTransfer::disconnect(unit_);
}

bool Session::connect(bool readAll, std::ostream& err) {
    UnitTransfer t = transfer();
    t.setProgressPause(0);
    switch (readAll ? t.run(UnitTransfer::Mode::Connect) : t.handshake()) {
        case UnitTransfer::Result::Success:
            return true;
        case UnitTransfer::Result::PortFailed:
            err << "cannot open " << unit_.portName() << ": " << unit_.lastError() << "\n";
            return false;
        case UnitTransfer::Result::HandshakeTimeout:
            err << "connection timed out: the unit did not answer the handshake\n";
            return false;
        default:
            err << "reading the unit's parameters failed\n";
            return false;
    }
}

}  // namespace qel::cli
