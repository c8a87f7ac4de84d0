// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "platform/Trace.h"

#include <unistd.h>

#include <cstring>
#include <mutex>

namespace qel {

Q_LOGGING_CATEGORY(lcSearch, "qel.search")
Q_LOGGING_CATEGORY(lcLink, "qel.link")
Q_LOGGING_CATEGORY(lcTransfer, "qel.transfer")
Q_LOGGING_CATEGORY(lcStep, "qel.transfer.step", QtInfoMsg)
Q_LOGGING_CATEGORY(lcModule, "qel.module")
Q_LOGGING_CATEGORY(lcAddress, "qel.address")
Q_LOGGING_CATEGORY(lcDriver, "qel.driver")
Q_LOGGING_CATEGORY(lcModeFiles, "qel.modefiles")

namespace {

std::mutex gMutex;  // guards the three below and the writes to gOutput
std::FILE* gOutput = nullptr;
bool gAnsi = false;
QtMessageHandler gPrevious = nullptr;

bool isTrace(const QMessageLogContext& context) {
    return context.category && std::strncmp(context.category, "qel.", 4) == 0;
}

void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    std::unique_lock lock(gMutex);
    if (!isTrace(context) || !gOutput) {
        const QtMessageHandler previous = gPrevious;
        lock.unlock();
        if (previous) previous(type, context, message);
        return;
    }
    const bool header = gAnsi && type == QtInfoMsg;
    if (header) std::fputs("\x1b[1;97m", gOutput);
    std::fputs(message.toUtf8().constData(), gOutput);
    if (header) std::fputs("\x1b[0m", gOutput);
    std::fputc('\n', gOutput);
    std::fflush(gOutput);
}

}  // namespace

void installTraceHandler(std::FILE* out) {
    std::lock_guard lock(gMutex);
    gOutput = out;
    gAnsi = out && ::isatty(::fileno(out)) == 1;
    const QtMessageHandler previous = qInstallMessageHandler(handle);
    if (previous != handle) gPrevious = previous;
}

void setTraceEnabled(bool on) {
    QLoggingCategory::setFilterRules(on ? "qel.*.debug=true\nqel.*.info=true\n"
                                          "qel.transfer.step.debug=false"
                                        : "qel.*.debug=false\nqel.*.info=false");
}

}  // namespace qel
