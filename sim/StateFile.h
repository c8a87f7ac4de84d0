// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <map>
#include <string>

#include "UnitState.h"

namespace qel::sim {

// Unit states kept in a file between runs, each under a key naming its unit. A small
// versioned binary format, written field by field.
class StateFile {
public:
    using States = std::map<std::string, UnitState>;

    static bool save(const std::string& path, const States& states, std::string* error);
    // False when the file is missing, unreadable or not in this format.
    static bool load(const std::string& path, States& states, std::string* error);
};

}  // namespace qel::sim
