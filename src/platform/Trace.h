// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QLoggingCategory>
#include <cstdio>

namespace qel {

// The diagnostic trace is Qt logging in the categories below, switched like any other with
// QT_LOGGING_RULES (e.g. "qel.link.debug=false", or "qel.*=false" for all) and by the front
// ends' --trace. A header line (the search's or a transfer's first line) is written with
// qCInfo, every other line with qCDebug; lines carry no newline of their own.
Q_DECLARE_LOGGING_CATEGORY(lcSearch)     // qel.search: the search for units
Q_DECLARE_LOGGING_CATEGORY(lcLink)       // qel.link: unit links and their command queues
Q_DECLARE_LOGGING_CATEGORY(lcTransfer)   // qel.transfer: reads, downloads and their proofs
Q_DECLARE_LOGGING_CATEGORY(lcStep)       // qel.transfer.step: the step labels, off by default
Q_DECLARE_LOGGING_CATEGORY(lcModule)     // qel.module: the units' network modules
Q_DECLARE_LOGGING_CATEGORY(lcAddress)    // qel.address: the PC's address on the adapter
Q_DECLARE_LOGGING_CATEGORY(lcDriver)     // qel.driver: the USB driver installation
Q_DECLARE_LOGGING_CATEGORY(lcModeFiles)  // qel.modefiles: the PC mode files

// Sends the lines of the qel categories to out, each ended by a newline, a header in ANSI
// bold bright white when out is a terminal; other messages go on to the handler that was
// there before. Safe from any thread.
void installTraceHandler(std::FILE* out);

// Turns the qel categories on (the step labels stay off) or off. QT_LOGGING_RULES wins.
void setTraceEnabled(bool on);

}  // namespace qel
