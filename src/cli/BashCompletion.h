// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <iosfwd>

namespace qel::cli {

// Writes the bash completion script of quellmar-cli, made from the command table and the
// global options, so that it offers what --help names.
void printBashCompletion(std::ostream& out);

}  // namespace qel::cli
