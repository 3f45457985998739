#include <gtest/gtest.h>

#include <string>

#include "integration/tool_run.h"
#include "project/temp_directory.h"

namespace tarnwick {
namespace {

// The IDE started from a terminal without any display: what it prints and how it ends.
testing::ToolRun runWithoutDisplay(const std::string& arguments) {
    const testing::TempDirectory directory;
    return testing::runTool(directory.path(), "env",
                            "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                std::string(TARNWICK_PATH) + "' " + arguments);
}

TEST(CommandLineTest, HelpAndVersionNeedNoDisplay) {
    const testing::ToolRun version = runWithoutDisplay("--version");
    EXPECT_EQ(version.status, 0) << version.errors;
    EXPECT_EQ(version.output, "Tarnwick 1.00\n");

    const testing::ToolRun help = runWithoutDisplay("--help");
    EXPECT_EQ(help.status, 0) << help.errors;
    EXPECT_NE(help.output.find("--example"), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("[project.pro]"), std::string::npos) << help.output;

    const testing::ToolRun wrong = runWithoutDisplay("--no-such-option");
    EXPECT_NE(wrong.status, 0);
    EXPECT_NE(wrong.errors.find("no-such-option"), std::string::npos) << wrong.errors;
}

}  // namespace
}  // namespace tarnwick
