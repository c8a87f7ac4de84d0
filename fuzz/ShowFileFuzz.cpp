// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// A show file as the program opens it: read, and when it reads clean, written again and read
// back to the same units, which then each find themselves among their own candidates.
//
// Input: the file's content.
#include <cstdlib>

#include "device/ShowFile.h"

using namespace qel;

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

bool sameUnits(const std::vector<ShowUnit>& a, const std::vector<ShowUnit>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].modelCode != b[i].modelCode || a[i].name != b[i].name ||
            a[i].transport != b[i].transport || a[i].address != b[i].address ||
            !(a[i].record == b[i].record))
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const ShowRead read = readShowJson(bytes);
    for (const auto* list : {&read.errors, &read.moved})
        for (const ShowIssue& issue : *list) check(issue.unit >= -1 && !issue.issue.path.empty());
    if (!read.ok()) {
        check(read.units.empty());
        return 0;
    }
    const ShowRead again = readShowJson(showJson(read.units));
    check(again.ok() && again.moved.empty() && sameUnits(again.units, read.units));
    std::vector<ShowCandidate> present;
    for (const ShowUnit& u : read.units) present.push_back({u.modelCode, u.name, u.address});
    const std::vector<int> match = matchShowUnits(read.units, present);
    for (size_t i = 0; i < match.size(); ++i) check(match[i] == static_cast<int>(i));
    return 0;
}
