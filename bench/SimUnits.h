// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/UnitTransfer.h"
#include "link/Equipment.h"

namespace qel::bench {

// N simulated QD408s served by quellmar-unitsim in a child process (its CPU is not counted), on
// 127.<net>.x.y, connected as the program connects them (handshake and full read).
class SimUnits {
public:
    SimUnits(int units, int net) : units_(units), net_(net) {}
    ~SimUnits() {
        for (const auto& unit : connected_)
            if (unit) unit->stopLink();
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

    // Starts the simulator, ready once it printed a line for each unit.
    bool start() {
        int out[2];
        if (pipe(out) != 0) return false;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            std::vector<std::string> args{QUELLMAR_UNITSIM};
            for (int i = 0; i < units_; ++i) {
                args.push_back("--unit");
                args.push_back("QD408@" + address(i) + ":U" + std::to_string(i));
            }
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        FILE* lines = fdopen(out[0], "r");
        char line[256];
        for (int i = 0; i < units_ && std::fgets(line, sizeof line, lines);)
            i += std::strchr(line, '\n') != nullptr;
        return pid_ > 0;
    }

    // Connects every unit, all at once; those that failed are left out.
    std::vector<std::shared_ptr<Equipment>> connect(const LinkSettings& link) {
        connected_.assign(static_cast<size_t>(units_), nullptr);
        std::vector<std::thread> connecting;
        for (int i = 0; i < units_; ++i)
            connecting.emplace_back([&, i] {
                auto unit = std::make_shared<Equipment>();
                unit->setAddress(*parseIpv4(address(i)));
                unit->setFlags(linkflag::kUdp);
                UnitTransfer transfer(*unit, link);
                transfer.setProgressPause(0);
                if (transfer.run(UnitTransfer::Mode::Connect) == UnitTransfer::Result::Success)
                    connected_[static_cast<size_t>(i)] = unit;
            });
        for (auto& t : connecting) t.join();
        std::vector<std::shared_ptr<Equipment>> out;
        for (const auto& unit : connected_)
            if (unit) out.push_back(unit);
        return out;
    }

private:
    std::string address(int i) const {
        return "127." + std::to_string(net_) + "." + std::to_string(i / 200) + "." +
               std::to_string(2 + i % 200);
    }

    int units_, net_;
    pid_t pid_ = -1;
    std::vector<std::shared_ptr<Equipment>> connected_;
};

}  // namespace qel::bench
