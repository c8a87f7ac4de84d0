// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// quellmar-unitsim: stands in for units until SIGINT or SIGTERM.
#include <signal.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "UnitSimOptions.h"
#include "UnitSimulator.h"

using qel::sim::UnitSimOptions;
using qel::sim::UnitSimulator;

namespace {

int complain(const std::string& message, int status) {
    std::fprintf(stderr, "quellmar-unitsim: %s\n", message.c_str());
    return status;
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::string modelText(int model) {
    const std::string name = qel::sim::modelName(model);
    return name.empty() ? "model " + std::to_string(model) : name;
}

// Creates every unit; prints nothing until all exist.
bool addUnits(UnitSimulator& sim, const UnitSimOptions& options) {
    for (const auto& u : options.units()) {
        const int unit = u.serial ? sim.addSerialUnit(u.model, u.name, u.faults)
                                  : sim.addNetworkUnit(u.model, u.address, u.name, u.faults);
        if (unit < 0) return false;
    }
    return true;
}

void printUnits(const UnitSimulator& sim, const UnitSimOptions& options) {
    for (int i = 0; i < sim.unitCount(); ++i) {
        const auto& u = options.units()[static_cast<size_t>(i)];
        std::printf("%s\t%s\t%s\n", modelText(u.model).c_str(), sim.address(i).c_str(),
                    u.name.c_str());
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    UnitSimOptions options;
    if (!options.parse(std::vector<std::string>(argv + 1, argv + argc)))
        return complain(options.error(), 2);
    if (options.help()) {
        std::fputs(UnitSimOptions::usage().c_str(), stdout);
        return 0;
    }
    if (options.version()) {
        std::puts("quellmar-unitsim " QUELLMAR_VERSION);
        return 0;
    }

    // The signals are taken by sigwait below; the simulator's thread inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    UnitSimulator sim(options.ports());
    if (!addUnits(sim, options)) return complain(sim.lastError(), 1);
    const std::string& stateFile = options.stateFile();
    if (!stateFile.empty() && fileExists(stateFile) && !sim.loadStates(stateFile))
        return complain(sim.lastError(), 1);
    if (!sim.start()) return complain(sim.lastError(), 1);
    printUnits(sim, options);

    int received = 0;
    sigwait(&signals, &received);
    sim.stop();
    if (!stateFile.empty() && !sim.saveStates(stateFile)) return complain(sim.lastError(), 1);
    return 0;
}
