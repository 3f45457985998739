// hc11run in an interactive session: paced by the wall clock, ended by the user.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/terminal_run.h"
#include "tools/hc11run_fixture.h"

namespace tarnwick {
namespace {

using testing::readFile;
using testing::TerminalRun;

double childCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

TEST_F(Hc11runTest, RealtimeRunsNoFasterThanTheWallClockAndSleepsMeanwhile) {
    // 300,000 E cycles at 1 MHz (a 4 MHz crystal) are 0.3 s.
    const std::string loop = image("loop", {{0xE000, {0x20, 0xFE}}});  // BRA E000
    const double cpuBefore = childCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const Result result = run(loop + " --pc E000 --xtal '4 MHz' --cycles 300000 --realtime");
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(result.status, 4) << result.err;
    EXPECT_NE(result.err.find("cycles=300000 time=0.300000 s"), std::string::npos) << result.err;
    EXPECT_GE(wall.count(), 0.3);
    EXPECT_LT(childCpuSeconds() - cpuBefore, wall.count() / 2);
}

// With --sci-in - the terminal passes keys as typed for the run; a signal sets it back.
TEST_F(Hc11runTest, CtrlCAndSigtermEndTheRunWithItsSummaryAndDump) {
    const struct {
        bool keys;  // --sci-in -
        int signal;
        int status;
        std::string message;
    } cases[] = {
        {false, SIGINT, 130, "signal SIGINT"},
        {true, SIGINT, 130, "signal SIGINT"},
        {false, SIGTERM, 143, "signal SIGTERM"},
        {true, SIGTERM, 143, "signal SIGTERM"},
    };
    for (const auto& c : cases) {
        const std::string dump = (directory / "memory.bin").string();
        std::filesystem::remove(dump);
        std::vector<std::string> arguments{hello().string(), "--dump", dump};
        if (c.keys) arguments.insert(arguments.end(), {"--sci-in", "-"});
        // Without an end option hello spins at its last instruction for good.
        TerminalRun session(HC11RUN_PATH, arguments);
        ASSERT_TRUE(session.waitFor("68HC11!")) << session.output();
        EXPECT_EQ((session.settings().c_lflag & ICANON) == 0, c.keys);
        if (c.signal == SIGINT)
            session.type("\x03");  // Ctrl+C
        else
            kill(session.pid(), c.signal);
        EXPECT_EQ(session.finish(), c.status) << session.output();
        EXPECT_NE(session.output().find(c.message + ": PC=E023 "), std::string::npos)
            << session.output();
        EXPECT_EQ(readFile(dump).size(), 0x10000u);
        const termios now = session.settings();
        EXPECT_EQ(now.c_lflag, session.settingsAtStart().c_lflag);
        EXPECT_EQ(now.c_iflag, session.settingsAtStart().c_iflag);
    }
}

}  // namespace
}  // namespace tarnwick
