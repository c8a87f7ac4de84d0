// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/Models.h"

namespace qel {

int inputCount(uint32_t modelCode) {
    switch (modelCode) {
        case model::kQD206:
            return 2;
        case model::kQD406:
        case model::kQD408:
            return 4;
        default:
            return 0;
    }
}

int outputCount(uint32_t modelCode) {
    switch (modelCode) {
        case model::kQD206:
        case model::kQD406:
            return 6;
        case model::kQD408:
            return 8;
        default:
            return 0;
    }
}

uint32_t modelCodeOf(std::string_view name) {
    for (uint32_t m : {model::kQD206, model::kQD406, model::kQD408})
        if (name == modelName(m)) return m;
    return 0;
}

}  // namespace qel
