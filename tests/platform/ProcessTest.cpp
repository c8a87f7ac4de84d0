// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/Clock.h"
#include "platform/Process.h"

namespace qel {
namespace {

TEST(ProcessTest, RunCollectsBothStreamsAndTheExitCode) {
    const auto r = runProgram({"sh", "-c", "echo out; echo err >&2; exit 3"});
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.output, "out\nerr\n");
    // Arguments travel as they are: no shell sees them.
    EXPECT_EQ(runProgram({"/bin/echo", "$HOME;", "*"}).output, "$HOME; *\n");
    const auto missing = runProgram({"no-such-program-here"});
    EXPECT_FALSE(missing.started);
    EXPECT_NE(missing.error.find("not found"), std::string::npos);
}

TEST(ProcessTest, RunKillsAProgramThatOutstaysItsTime) {
    const uint32_t start = tickMs();
    const auto r = runProgram({"sleep", "5"}, 200);
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.exitCode, -1);
    EXPECT_LT(tickMs() - start, 2000u);
}

TEST(ProcessTest, DetachedStartReturnsAtOnceAndReportsAFailedStart) {
    QTemporaryDir dir;
    const QString marker = dir.filePath("done");
    const uint32_t start = tickMs();
    ASSERT_TRUE(startDetached({"sh", "-c", "sleep 0.3; touch \"$0\"", marker.toStdString()}));
    EXPECT_LT(tickMs() - start, 250u);
    EXPECT_FALSE(QFile::exists(marker));
    for (int i = 0; i < 300 && !QFile::exists(marker); ++i) sleepMs(10);
    EXPECT_TRUE(QFile::exists(marker));
    std::string error;
    EXPECT_FALSE(startDetached({dir.filePath("absent").toStdString()}, &error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

}  // namespace
}  // namespace qel
