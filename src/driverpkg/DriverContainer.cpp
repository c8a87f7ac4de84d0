// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "driverpkg/DriverContainer.h"

#include <algorithm>
#include <cstring>

namespace qel {

namespace {

uint32_t readU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool fail(std::string* error, std::string text) {
    if (error) *error = std::move(text);
    return false;
}

size_t prefixOf(uint32_t folder) {
    return folder == 0 ? DriverContainer::kTopPrefix : DriverContainer::kSubPrefix;
}

}  // namespace

std::string DriverContainer::nameOf(uint32_t folder, const uint8_t* pathField) {
    const auto* end = static_cast<const uint8_t*>(std::memchr(pathField, 0, kPathField));
    if (!end) return {};
    const size_t length = static_cast<size_t>(end - pathField);
    const size_t prefix = prefixOf(folder);
    if (length <= prefix) return {};
    return std::string(reinterpret_cast<const char*>(pathField) + prefix, length - prefix);
}

bool DriverContainer::safeName(const std::string& name) {
    return !name.empty() && name != "." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos && name.find("..") == std::string::npos;
}

std::optional<std::vector<DriverContainer::Record>> DriverContainer::read(const uint8_t* data,
                                                                          size_t size,
                                                                          std::string* error) {
    std::vector<Record> records;
    size_t at = 0;
    while (records.size() < kRecordCount) {
        const std::string number = "record " + std::to_string(records.size() + 1);
        if (size - at < kHeaderSize) {
            fail(error, "only " + std::to_string(records.size()) + " records");
            return std::nullopt;
        }
        Record r;
        r.folder = readU32(data + at);
        r.name = nameOf(r.folder, data + at + 4);
        r.size = readU32(data + at + 4 + kPathField);
        r.offset = at + kHeaderSize;
        if (!safeName(r.name)) {
            fail(error, number + ": unusable file name");
            return std::nullopt;
        }
        if (r.size > size - r.offset) {
            fail(error, number + " (" + r.name + ") runs past the end");
            return std::nullopt;
        }
        at = r.offset + r.size;
        records.push_back(std::move(r));
    }
    return records;
}

std::optional<std::vector<uint8_t>> DriverContainer::build(const std::vector<File>& files,
                                                           std::string* error) {
    std::vector<uint8_t> out;
    for (const File& f : files) {
        const std::string path = (f.folder == 0 ? ".\\FTDI\\" : ".\\FTDI\\i386\\") + f.name;
        if (!safeName(f.name) || path.size() >= kPathField) {
            fail(error, "unusable file name: " + f.name);
            return std::nullopt;
        }
        putU32(out, f.folder);
        uint8_t field[kPathField];
        std::fill(std::begin(field), std::end(field), kFiller);
        std::memcpy(field, path.c_str(), path.size() + 1);
        out.insert(out.end(), std::begin(field), std::end(field));
        putU32(out, static_cast<uint32_t>(f.body.size()));
        out.insert(out.end(), f.body.begin(), f.body.end());
    }
    return out;
}

}  // namespace qel
