// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "platform/Trace.h"

#include <unistd.h>

#include <cstdarg>
#include <mutex>

namespace qel {

namespace {

constexpr size_t kTraceBuffer = 1028;

std::mutex& traceMutex() {
    static std::mutex m;  // guards the two outputs and the writes to them
    return m;
}
std::FILE* gOutput = stdout;
std::FILE* gStepOutput = nullptr;

void writeLocked(std::FILE* out, TraceAttr attr, const char* text) {
    const bool ansi = ::isatty(::fileno(out)) == 1;
    if (ansi && attr == TraceAttr::Header) std::fputs("\x1b[1;97m", out);
    std::fputs(text, out);
    if (ansi && attr == TraceAttr::Header) std::fputs("\x1b[0m", out);
    std::fflush(out);
}

}  // namespace

void trace(TraceAttr attr, const char* format, ...) {
    char text[kTraceBuffer];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::lock_guard lock(traceMutex());
    if (gOutput) writeLocked(gOutput, attr, text);
}

void traceStep(const char* format, ...) {
    char text[kTraceBuffer];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::lock_guard lock(traceMutex());
    if (gStepOutput) writeLocked(gStepOutput, TraceAttr::Normal, text);
}

void setTraceOutput(std::FILE* out) {
    std::lock_guard lock(traceMutex());
    gOutput = out;
}

void setStepTraceOutput(std::FILE* out) {
    std::lock_guard lock(traceMutex());
    gStepOutput = out;
}

}  // namespace qel
