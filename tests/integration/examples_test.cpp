// Every example builds with asm11 and runs under hc11run with its expected SCI output.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "integration/tool_run.h"
#include "project/temp_directory.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::TempDirectory;

struct ExampleRun {
    std::string folder;
    std::string program;    // the source's name without ".asm"
    std::string arguments;  // hc11run's options: how the run ends, the inputs
    std::string input;      // the bytes the SCI receives; none when empty
    std::string output;
};

const ExampleRun kRuns[] = {
    {"hello", "hello", "--until-pc E023", "", "Hello from the simulated 68HC11!\r\n"},
    {"counter", "counter", "--until-pc E03C", "", "1\r\n2\r\n3\r\n4\r\n5\r\n"},
    {"sum", "sum", "--until-pc E027", "", "00E4\r\n"},
    {"echo", "echo_poll", R"(--until-output '\r\n> ')", "hello, World 1\r",
     "> hello, World 1\r\nHELLO, WORLD 1\r\n> "},
    // The receive interrupt's ring holds the second line while the first one is answered.
    {"echo", "echo_irq", R"(--until-output 'X Y\r\n> ')", "hello, World 1\rab\x7f\x08x y\r",
     "> hello, World 1\r\nHELLO, WORLD 1\r\n> ab\b \b\b \bx y\r\nX Y\r\n> "},
    // PE0 high: the application in EEPROM; low: the monitor, which waits for Enter.
    {"monitor", "monitor", R"(--until-output 'running.\r\n')", "",
     "Application in EEPROM running.\r\n"},
    {"monitor", "monitor", "--porte FE --until-output 'TMON> '", "\r",
     "\r\nTMON 1.0 - a 68HC11 monitor\r\nPress Enter to start.\r\nTMON> "},
};

fs::path examplesDirectory() {
    const char* source = std::getenv("TARNWICK_SOURCE_DIR");
    return fs::absolute(fs::path(source ? source : ".") / "examples");
}

// The memory a reset leaves with the image loaded.
std::string loadedMemory(const fs::path& directory, const fs::path& image) {
    const testing::ToolRun run = testing::runTool(
        directory, HC11RUN_PATH, "'" + image.string() + "' --steps 0 --dump memory.bin");
    EXPECT_EQ(run.status, 4) << image << "\n" << run.errors;
    return testing::readText(directory / "memory.bin");
}

TEST(ExamplesTest, EachBuildsWithAsm11AndPrintsItsOutput) {
    std::set<std::string> folders;
    for (const fs::directory_entry& example : fs::directory_iterator(examplesDirectory()))
        folders.insert(example.path().filename().string());
    for (const ExampleRun& run : kRuns) {
        const std::string& name = run.program;
        ASSERT_TRUE(folders.contains(run.folder)) << run.folder;
        const TempDirectory directory;
        fs::copy(examplesDirectory() / run.folder, directory.path());
        fs::remove(directory / (name + ".s19"));
        const testing::ToolRun build =
            testing::runTool(directory.path(), ASM11_PATH, name + ".asm");
        EXPECT_EQ(build.status, 0) << name << "\n" << build.output << build.errors;

        std::string arguments = " " + run.arguments;
        if (!run.input.empty()) {
            testing::writeText(directory / "input.bin", run.input);
            arguments += " --sci-in input.bin";
        }
        for (const std::string& file : {name + ".s19", name + ".pro"}) {
            if (!fs::exists(directory / file)) continue;
            const testing::ToolRun result =
                testing::runTool(directory.path(), HC11RUN_PATH, file + arguments);
            EXPECT_EQ(result.status, 0) << file << arguments << "\n" << result.errors;
            EXPECT_EQ(result.output, run.output) << file << arguments;
        }

        // An image kept beside the source for running without a build is the source's.
        const fs::path kept = examplesDirectory() / run.folder / (name + ".s19");
        if (fs::exists(kept)) {
            EXPECT_EQ(loadedMemory(directory.path(), kept),
                      loadedMemory(directory.path(), directory / (name + ".s19")))
                << kept;
        }
    }
    for (const std::string& folder : folders)
        EXPECT_TRUE(
            std::ranges::any_of(kRuns, [&](const ExampleRun& run) { return run.folder == folder; }))
            << "no run of the example " << folder;
}

}  // namespace
}  // namespace tarnwick
