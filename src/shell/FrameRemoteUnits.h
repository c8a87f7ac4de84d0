// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include "remote/SessionUnits.h"

namespace qel {

class CQuellmarApp;

// The window program's units for the remote hub: those of the equipment list, each reached
// through its session (so that its editor shows and can undo a remote edit), open or not.
class FrameRemoteUnits : public SessionUnits {
public:
    explicit FrameRemoteUnits(CQuellmarApp& app);

    std::vector<std::shared_ptr<Equipment>> units() const override;
    GroupControl* groups() override;

private:
    CQuellmarApp& app_;
};

}  // namespace qel
