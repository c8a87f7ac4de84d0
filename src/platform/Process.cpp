// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "platform/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Clock.h"

extern char** environ;

namespace qel {

namespace {

std::string resolve(const std::string& program) {
    return program.find('/') == std::string::npos ? findProgram(program) : program;
}

std::vector<char*> cArgs(const std::vector<std::string>& argv, const std::string& path) {
    std::vector<char*> args;
    args.push_back(const_cast<char*>(path.c_str()));
    for (size_t i = 1; i < argv.size(); ++i) args.push_back(const_cast<char*>(argv[i].c_str()));
    args.push_back(nullptr);
    return args;
}

// Reads what the child writes until it closes its end or the time runs out.
bool collect(int fd, std::string& output, uint32_t start, int timeoutMs) {
    char buf[4096];
    for (;;) {
        const int left = timeoutMs - static_cast<int>(tickMs() - start);
        if (left <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, left);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return true;
        output.append(buf, static_cast<size_t>(n));
    }
}

}  // namespace

std::string findProgram(const std::string& name) {
    for (const char* dir : {"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/"}) {
        const std::string path = dir + name;
        if (::access(path.c_str(), X_OK) == 0) return path;
    }
    return {};
}

ProcessResult runProgram(const std::vector<std::string>& argv, int timeoutMs) {
    ProcessResult result;
    const std::string path = argv.empty() ? std::string() : resolve(argv[0]);
    if (path.empty()) {
        result.error = argv.empty() ? "no program" : argv[0] + ": not found";
        return result;
    }
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        result.error = std::strerror(errno);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, out[1], 2);
    auto args = cArgs(argv, path);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, path.c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) {
        ::close(out[0]);
        result.error = path + ": " + std::strerror(rc);
        return result;
    }
    result.started = true;
    const bool finished = collect(out[0], result.output, tickMs(), timeoutMs);
    ::close(out[0]);
    if (!finished) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (finished && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (!finished) result.error = path + ": timed out";
    return result;
}

bool startDetached(const std::vector<std::string>& argv, std::string* error) {
    const std::string path = argv.empty() ? std::string() : resolve(argv[0]);
    if (path.empty()) {
        if (error) *error = argv.empty() ? "no program" : argv[0] + ": not found";
        return false;
    }
    // The middle child starts the program and ends at once, so the program belongs to init.
    // A failed exec reports its errno through the close-on-exec pipe.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    auto args = cArgs(argv, path);
    const pid_t middle = ::fork();
    if (middle == 0) {
        ::setsid();
        const pid_t program = ::fork();
        if (program == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            for (int fd = 0; fd < 3 && null >= 0; ++fd) ::dup2(null, fd);
            ::execve(path.c_str(), args.data(), environ);
        }
        if (program <= 0) {
            const int e = errno;
            (void)!::write(report[1], &e, sizeof e);
        }
        ::_exit(program < 0 ? 1 : program == 0 ? 127 : 0);
    }
    ::close(report[1]);
    if (middle < 0) {
        ::close(report[0]);
        if (error) *error = std::strerror(errno);
        return false;
    }
    while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    int e = 0;
    const ssize_t n = ::read(report[0], &e, sizeof e);
    ::close(report[0]);
    if (n == static_cast<ssize_t>(sizeof e)) {
        if (error) *error = path + ": " + std::strerror(e);
        return false;
    }
    return true;
}

}  // namespace qel
