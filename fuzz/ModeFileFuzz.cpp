// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// A mode file as the program loads it from disk, every record then decoded into the values
// the pages show.
//
// Input: one byte choosing the model, then the file's content.
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <QString>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "device/ModeFileStore.h"
#include "device/Models.h"
#include "device/RecordValues.h"

using namespace qel;

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

std::string gFolder;

void removeFolder() {
    if (gFolder.empty()) return;
    for (const char* name : {"mode206.dat", "mode406.dat", "mode408.dat"})
        ::unlink((gFolder + "/" + name).c_str());
    ::rmdir(gFolder.c_str());
}

// One folder for the whole run, in memory when /dev/shm is there; removed at exit.
const std::string& folder() {
    if (gFolder.empty()) {
        char name[] = "/dev/shm/quellmar-fuzz-XXXXXX";
        char fallback[] = "/tmp/quellmar-fuzz-XXXXXX";
        const char* made = ::mkdtemp(name);
        if (!made) made = ::mkdtemp(fallback);
        check(made != nullptr);
        gFolder = made;
        std::atexit(removeFolder);
    }
    return gFolder;
}

double decode(const ModeRecord& record, uint32_t model) {
    const RecordValues v = recordValues(record, model);
    // Any bytes read as a name: at most one character per byte.
    check(QString::fromStdString(v.name).size() <=
          static_cast<qsizetype>(ModeRecord::kMaxNameLength));
    double sum = 0;
    for (const auto& in : v.inputs)
        for (const auto& p : in.points) sum += p.freqHz + p.gainDb + p.q + in.gainDb;
    for (const auto& out : v.outputs) {
        sum += out.delayMs + out.limiterDb + out.highPassHz + out.lowPassHz +
               out.attackMs.value_or(0) + out.releaseMs.value_or(0) + out.highPassName.size();
        for (const auto& p : out.points) sum += p.freqHz + p.gainDb + p.q;
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint32_t model = model::kQD206 + data[0] % 3;
    const uint8_t* content = data + 1;
    const size_t length = size - 1;
    // One store for the run: a load replaces its model's whole buffer.
    static ModeFileStore store(QString::fromStdString(folder()));
    const std::string path = store.filePath(model).toStdString();
    ::unlink(path.c_str());
    FILE* file = std::fopen(path.c_str(), "wb");
    check(file != nullptr);
    check(length == 0 || std::fwrite(content, 1, length, file) == length);
    std::fclose(file);

    check(store.load(model).ok);
    const auto loaded = store.contents(model);
    check(loaded.size() == ModeFileStore::kFileSize);
    const size_t kept = std::min(length, ModeFileStore::kFileSize);
    static const std::vector<uint8_t> zeros(ModeFileStore::kFileSize, 0);
    check(std::memcmp(loaded.data(), content, kept) == 0);
    check(std::memcmp(loaded.data() + kept, zeros.data(), loaded.size() - kept) == 0);

    // Records behind the file's end are all zero and alike: the last one stands for them.
    const int stored = static_cast<int>((kept + ModeRecord::kSize - 1) / ModeRecord::kSize);
    double sum = 0;
    for (int r = 0; r < ModeFileStore::kRecords; ++r) {
        if (r >= stored && r != ModeFileStore::kRecords - 1) continue;
        const auto record = store.record(model, r);
        check(record.has_value());
        sum += decode(*record, model);
    }
    check(std::isfinite(sum));
    return 0;
}
