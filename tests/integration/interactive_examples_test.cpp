// The monitor example at a terminal: keys typed one by one, answered as typed.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "integration/tool_run.h"
#include "project/temp_directory.h"
#include "support/terminal_run.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::TempDirectory;
using testing::TerminalRun;

TEST(InteractiveExamplesTest, TheMonitorAnswersKeysTypedAtATerminal) {
    const char* source = std::getenv("TARNWICK_SOURCE_DIR");
    const TempDirectory directory;
    fs::copy(fs::path(source ? source : ".") / "examples/monitor", directory.path());
    ASSERT_EQ(testing::runTool(directory.path(), ASM11_PATH, "monitor.asm").status, 0);
    const std::string project = (directory / "monitor.pro").string();

    // The terminal turns the program's LF into CR LF.
    // Ctrl+] ends the run, or the output awaited with --until-output; the messages start on
    // a line of their own.
    const struct {
        std::string untilOutput;
        std::string end;
    } cases[] = {{"", "TMON> \r\nend-key: PC="}, {"TMON> h", "TMON> h\r\nuntil-output: PC="}};
    for (const auto& c : cases) {
        std::vector<std::string> arguments{project, "--porte", "FE",       "--adc", "1=0x40",
                                           "--adc", "3=255",   "--sci-in", "-"};
        if (!c.untilOutput.empty())
            arguments.insert(arguments.end(), {"--until-output", c.untilOutput});
        TerminalRun session(HC11RUN_PATH, arguments);
        ASSERT_TRUE(session.waitFor("Press Enter to start.\r\r\n")) << session.output();
        const termios raw = session.settings();
        EXPECT_FALSE(raw.c_lflag & (ICANON | ECHO));
        EXPECT_FALSE(raw.c_iflag & ICRNL);

        session.type("\r");  // Enter reaches the program as CR
        ASSERT_TRUE(session.waitFor("TMON> ")) << session.output();
        session.type("e");  // echoed once, by the program
        EXPECT_TRUE(session.waitFor("e\r\r\nPORTE=FE\r\r\nTMON> ")) << session.output();
        session.type("A");
        EXPECT_TRUE(session.waitFor("A\r\r\nAN0-AN3: 00 40 00 FF\r\r\nTMON> ")) << session.output();
        session.type("h");
        if (c.untilOutput.empty()) {
            EXPECT_TRUE(session.waitFor("H  this list\r\r\nTMON> ")) << session.output();
            session.type("\x1d");
        }
        EXPECT_EQ(session.finish(), 0) << session.output();
        EXPECT_NE(session.output().find(c.end), std::string::npos) << session.output();
        const termios after = session.settings();
        EXPECT_EQ(after.c_lflag, session.settingsAtStart().c_lflag);
        EXPECT_EQ(after.c_iflag, session.settingsAtStart().c_iflag);
    }
}

}  // namespace
}  // namespace tarnwick
