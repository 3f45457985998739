// Every example builds with asm11 and runs under hc11run with its expected SCI output.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "integration/tool_run.h"
#include "project/temp_directory.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::TempDirectory;

struct Expected {
    std::string haltAddress;  // where the program stops once it has printed
    std::string output;
};

const std::map<std::string, Expected> kExamples = {
    {"hello", {"E023", "Hello from the simulated 68HC11!\r\n"}},
    {"counter", {"E03C", "1\r\n2\r\n3\r\n4\r\n5\r\n"}},
    {"sum", {"E027", "00E4\r\n"}},
};

fs::path examplesDirectory() {
    const char* source = std::getenv("TARNWICK_SOURCE_DIR");
    return fs::path(source ? source : ".") / "examples";
}

TEST(ExamplesTest, EachBuildsWithAsm11AndPrintsItsOutput) {
    int examples = 0;
    for (const fs::directory_entry& example : fs::directory_iterator(examplesDirectory())) {
        const std::string name = example.path().filename().string();
        const auto expected = kExamples.find(name);
        ASSERT_NE(expected, kExamples.end()) << "no expected output for example " << name;
        ++examples;

        const TempDirectory directory;
        fs::copy(example.path(), directory.path());
        fs::remove(directory / (name + ".s19"));
        const testing::ToolRun build =
            testing::runTool(directory.path(), ASM11_PATH, name + ".asm");
        EXPECT_EQ(build.status, 0) << name << "\n" << build.output << build.errors;

        const std::string until = " --until-pc " + expected->second.haltAddress;
        const testing::ToolRun run =
            testing::runTool(directory.path(), HC11RUN_PATH, name + ".s19" + until);
        EXPECT_EQ(run.status, 0) << name << "\n" << run.errors;
        EXPECT_EQ(run.output, expected->second.output) << name;

        if (fs::exists(directory / (name + ".pro"))) {
            const testing::ToolRun project =
                testing::runTool(directory.path(), HC11RUN_PATH, name + ".pro" + until);
            EXPECT_EQ(project.status, 0) << name << "\n" << project.errors;
            EXPECT_EQ(project.output, expected->second.output) << name;
        }
    }
    EXPECT_EQ(examples, static_cast<int>(kExamples.size()));
}

}  // namespace
}  // namespace tarnwick
