// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace qel::test {

// A program left running, its standard output on a pipe; stopped when destroyed.
class Child {
public:
    explicit Child(const std::vector<std::string>& argv) {
        int out[2];
        if (::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            std::vector<char*> args;
            for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        ::close(out[1]);
        out_ = out[0];
    }
    ~Child() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            for (int i = 0; i < 200 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) ::usleep(10000);
            if (::waitpid(pid_, &status, WNOHANG) == 0) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
            }
        }
        if (out_ >= 0) ::close(out_);
    }

    // The first line of output, or "" when none comes within the time-out.
    std::string firstLine(int timeoutMs) {
        std::string text;
        char c = 0;
        pollfd p{out_, POLLIN, 0};
        while (::poll(&p, 1, timeoutMs) > 0 && ::read(out_, &c, 1) == 1 && c != '\n') text += c;
        return c == '\n' ? text : std::string();
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
};

}  // namespace qel::test
