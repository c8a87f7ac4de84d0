// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qel {

// The driver container: a plain run of file records with no header, count or checksum.
// Each record: target folder (u32 LE, 0 = the top folder, else its "i386" subfolder), a
// 32-byte zero-terminated source path, the body size (u32 LE) and the body. The file name is
// the path behind its 7-character (".\FTDI\") or 12-character (".\FTDI\i386\") prefix.
// Plain C++ so that the build-time packer can use it as well.
class DriverContainer {
public:
    static constexpr size_t kRecordCount = 14;
    static constexpr size_t kPathField = 32;
    static constexpr size_t kHeaderSize = 4 + kPathField + 4;
    static constexpr size_t kTopPrefix = 7, kSubPrefix = 12;
    static constexpr uint8_t kFiller = 0xCC;

    struct Record {
        uint32_t folder = 0;
        std::string name;   // the derived file name
        size_t offset = 0;  // of the body in the container
        size_t size = 0;
        bool inSubfolder() const { return folder != 0; }
    };

    struct File {
        uint32_t folder = 0;
        std::string name;
        std::vector<uint8_t> body;
    };

    // Reads the first 14 records. Refuses (nothing, error set) a container with fewer, a
    // record whose size runs past the end, a path without its terminator, and a name that is
    // empty, "." or holds "/", "\" or "..", so that no name can leave its folder.
    static std::optional<std::vector<Record>> read(const uint8_t* data, size_t size,
                                                   std::string* error = nullptr);
    // The name a path field yields, "" when the field holds no terminator or is too short.
    static std::string nameOf(uint32_t folder, const uint8_t* pathField);
    static bool safeName(const std::string& name);

    // Builds a container, the path field's bytes behind the terminator filled with 0xCC.
    // Nothing when a name is unsafe or too long for the field.
    static std::optional<std::vector<uint8_t>> build(const std::vector<File>& files,
                                                     std::string* error = nullptr);
};

}  // namespace qel
