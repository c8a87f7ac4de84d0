// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// quellmar-driverpack: builds the driver container at build time.
// usage: quellmar-driverpack OUTPUT FOLDER:NAME=FILE...   (FOLDER 0 = top, 1 = "i386")
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "driverpkg/DriverContainer.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: quellmar-driverpack OUTPUT FOLDER:NAME=FILE...\n";
        return 2;
    }
    std::vector<qel::DriverContainer::File> files;
    for (int i = 2; i < argc; ++i) {
        const std::string spec = argv[i];
        const size_t colon = spec.find(':'), equals = spec.find('=');
        if (colon != 1 || equals == std::string::npos || (spec[0] != '0' && spec[0] != '1')) {
            std::cerr << "bad entry: " << spec << "\n";
            return 2;
        }
        std::ifstream in(spec.substr(equals + 1), std::ios::binary);
        if (!in) {
            std::cerr << "cannot read " << spec.substr(equals + 1) << "\n";
            return 1;
        }
        files.push_back({static_cast<uint32_t>(spec[0] - '0'), spec.substr(2, equals - 2),
                         std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {})});
    }
    if (files.size() != qel::DriverContainer::kRecordCount) {
        std::cerr << "the package needs " << qel::DriverContainer::kRecordCount << " files, got "
                  << files.size() << "\n";
        return 1;
    }
    std::string error;
    const auto container = qel::DriverContainer::build(files, &error);
    if (!container) {
        std::cerr << error << "\n";
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(container->data()),
              static_cast<std::streamsize>(container->size()));
    return out.good() ? 0 : 1;
}
