// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <string>
#include <vector>

namespace qel {

// Programs started with an argument vector, never through a shell. argv[0] is an absolute
// path or a bare name looked up in the system folders (see findProgram). Safe from any
// thread; standard input is /dev/null and no terminal is attached.
struct ProcessResult {
    bool started = false;
    int exitCode = -1;   // -1 when killed, timed out or not started
    std::string output;  // standard output and standard error together
    std::string error;   // why it could not be started
};

// Runs the program and waits at most timeoutMs for it (then kills it).
ProcessResult runProgram(const std::vector<std::string>& argv, int timeoutMs = 10000);

// Starts the program in a session of its own without waiting for it; it is not a child
// that needs reaping. False with error set when it could not be started.
bool startDetached(const std::vector<std::string>& argv, std::string* error = nullptr);

// The absolute path of a system program ("ip", "nmcli", "pkexec") in /usr/sbin, /usr/bin,
// /sbin or /bin, or "" when there is none.
std::string findProgram(const std::string& name);

}  // namespace qel
