// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The driver container reader: whatever the bytes, a container is either refused or read as
// 14 records whose names stay in their folder and whose bodies lie inside the container.
#include <cstdlib>

#include "driverpkg/DriverContainer.h"

using namespace qel;

namespace {
void check(bool condition) {
    if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const auto records = DriverContainer::read(data, size, &error);
    if (!records) {
        check(!error.empty());
        return 0;
    }
    check(records->size() == DriverContainer::kRecordCount);
    size_t end = 0;
    for (const auto& r : *records) {
        check(DriverContainer::safeName(r.name));
        check(r.name.find('/') == std::string::npos && r.name.find("..") == std::string::npos);
        check(r.offset >= end + DriverContainer::kHeaderSize && r.offset + r.size <= size);
        end = r.offset + r.size;
    }
    return 0;
}
