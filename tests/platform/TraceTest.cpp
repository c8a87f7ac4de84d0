// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QStringList>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "platform/Trace.h"

namespace qel {
namespace {

Q_LOGGING_CATEGORY(lcOther, "other.area")

QStringList gForwarded;  // what reached the handler installed before the trace's

void record(QtMsgType, const QMessageLogContext& context, const QString& message) {
    gForwarded << QString("%1: %2").arg(context.category, message);
}

void traceSample() {
    qCInfo(lcTransfer, "Download data from Equipment: %s", "Main");
    qCDebug(lcStep, "Open %s...", "COM3");
    qCDebug(lcLink, "Lost %s: %s", "COM3", "read failed");
    qCDebug(lcOther, "not the trace's");
}

// What the file holds from its start.
std::string contents(std::FILE* file) {
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    std::rewind(file);
    return text;
}

// Up to size bytes from the terminal's master side, waiting at most 2 s for each part.
std::string readTerminal(int master, size_t size) {
    std::string text;
    char buf[256];
    pollfd p{master, POLLIN, 0};
    while (text.size() < size && ::poll(&p, 1, 2000) == 1) {
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n <= 0) break;
        text.append(buf, static_cast<size_t>(n));
    }
    return text;
}

class TraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        qInstallMessageHandler(record);
        gForwarded.clear();
    }
    void TearDown() override {
        qInstallMessageHandler(nullptr);
        QLoggingCategory::setFilterRules({});
    }
};

TEST_F(TraceTest, LinesGoOutAsWrittenWithHeadersBoldOnATerminalOnly) {
    setTraceEnabled(true);
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);  // no newline translation
    ::tcsetattr(slave, TCSANOW, &raw);
    std::FILE* terminal = ::fdopen(slave, "w");
    installTraceHandler(terminal);
    traceSample();
    const std::string bold =
        "\x1b[1;97mDownload data from Equipment: Main\x1b[0m\n"
        "Lost COM3: read failed\n";
    EXPECT_EQ(readTerminal(master, bold.size()), bold);

    std::FILE* file = std::tmpfile();
    installTraceHandler(file);
    traceSample();
    EXPECT_EQ(contents(file), "Download data from Equipment: Main\nLost COM3: read failed\n");
    EXPECT_EQ(gForwarded.join('|').toStdString(),
              "other.area: not the trace's|other.area: not the trace's");
    installTraceHandler(nullptr);
    std::fclose(file);
    std::fclose(terminal);
    ::close(master);
}

TEST_F(TraceTest, SwitchedOffAndOnWithTheStepLabelsApart) {
    std::FILE* file = std::tmpfile();
    installTraceHandler(file);
    setTraceEnabled(false);
    traceSample();
    EXPECT_EQ(contents(file), "");
    setTraceEnabled(true);
    traceSample();
    EXPECT_EQ(contents(file), "Download data from Equipment: Main\nLost COM3: read failed\n");
    QLoggingCategory::setFilterRules("qel.transfer.step.debug=true");
    traceSample();
    EXPECT_NE(contents(file).find("\nOpen COM3...\n"), std::string::npos);
    installTraceHandler(nullptr);
    std::fclose(file);
}

}  // namespace
}  // namespace qel
