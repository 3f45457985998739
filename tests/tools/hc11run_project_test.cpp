// hc11run given a project file instead of an S19 file.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <string>

#include "support/program_run.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

using testing::readFile;

class Hc11runProjectTest : public ::testing::Test {
  protected:
    using Result = testing::ProgramRun;

    Hc11runProjectTest() {
        fs::create_directories(directory / "out");
        const char* source = std::getenv("TARNWICK_SOURCE_DIR");
        const fs::path hello = fs::path(source ? source : ".") / "examples/hello/hello.s19";
        fs::copy_file(hello, directory / "hello.s19");
        fs::copy_file(hello, directory / "out" / "app.s19");
    }
    ~Hc11runProjectTest() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    // A project file in the directory; `sections` follow the format line.
    fs::path project(const std::string& format, const std::string& sections) {
        const fs::path path = directory / "demo.pro";
        std::ofstream(path, std::ios::binary) << "[PROJECT]\r\nFormat=" << format << "\r\n"
                                              << sections;
        return path;
    }

    Result run(const std::string& arguments) {
        return testing::runProgram(HC11RUN_PATH, arguments, directory);
    }

    fs::path directory = fs::temp_directory_path() /
                         ("tarnwick_hc11run_pro_" + std::to_string(std::random_device()()));
};

TEST_F(Hc11runProjectTest, EachFormatLoadsTheImageItsDebugStartLoads) {
    const std::string cpu = "[CPU]\r\nRandom Memory=0\r\nRWMem=0000 01FF\r\n";
    const struct {
        std::string format;
        std::string files;
    } cases[] = {
        {"ASM11", "[FILES]\r\nCount=2\r\nFile0=hello.asm\r\nFile1=inc.asm\r\n"},
        {"S19", "[FILES]\r\nCount=1\r\nFile0=" + (directory / "hello.s19").string() + "\r\n"},
        {"ICC11", "[FILES]\r\nCount=1\r\nFile0=" + (directory / "out/app.dbg").string() + "\r\n"},
    };
    for (const auto& c : cases) {
        const Result result =
            run("'" + project(c.format, cpu + c.files).string() + "' --until-pc E023");
        EXPECT_EQ(result.status, 0) << c.format << "\n" << result.err;
        EXPECT_EQ(result.out, "Hello from the simulated 68HC11!\r\n") << c.format;
    }
}

// The tests run in another directory, which must not stand in for the project's.
TEST_F(Hc11runProjectTest, RelativeEntriesAreTakenFromTheProjectDirectory) {
    fs::create_directories(directory / "proj/sub");
    fs::create_directories(directory / "lib");
    for (const char* copy : {"proj/sub/hello.s19", "proj/sub/app.s19", "lib/hello.s19"})
        fs::copy_file(directory / "hello.s19", directory / copy);
    const std::pair<const char*, const char*> cases[] = {
        {"ASM11", "sub/hello.asm"},
        {"ICC11", "sub\\app.dbg"},
        {"S19", "../lib/hello.s19"},
    };
    for (const auto& [format, entry] : cases) {
        std::ofstream(directory / "proj/demo.pro", std::ios::binary)
            << "[PROJECT]\r\nFormat=" << format
            << "\r\n[CPU]\r\nRandom Memory=0\r\nRWMem=0000 01FF\r\n[FILES]\r\nCount=1\r\nFile0="
            << entry << "\r\n";
        const Result result =
            run("'" + (directory / "proj/demo.pro").string() + "' --until-pc E023");
        EXPECT_EQ(result.status, 0) << entry << "\n" << result.err;
        EXPECT_EQ(result.out, "Hello from the simulated 68HC11!\r\n") << entry;
    }
}

TEST_F(Hc11runProjectTest, TheProjectsCpuConfigurationAndCrystalApply) {
    const std::string files = "[FILES]\r\nCount=1\r\nFile0=hello.asm\r\n";
    // At 4 MHz one E cycle takes a microsecond.
    Result result =
        run("'" + project("ASM11", "[CPU]\r\nXTAL=4 MHz\r\nRWMem=0000 01FF\r\n" + files).string() +
            "' --until-pc E023");
    std::smatch match;
    ASSERT_TRUE(
        std::regex_search(result.err, match, std::regex("cycles=([0-9]+) time=([0-9.]+) s")))
        << result.err;
    EXPECT_NEAR(std::stod(match[2]), std::stod(match[1]) * 1e-6, 1e-6);

    // ROM that starts at F000 leaves the program at E000 in undefined memory.
    result = run("'" + project("ASM11", "[CPU]\r\nRMem=F000 FFFF\r\n" + files).string() +
                 "' --until-pc E023");
    EXPECT_EQ(result.status, 3) << result.err;
    EXPECT_EQ(result.err.substr(0, 34), "WARNING: Accessing invalid memory ");
}

TEST_F(Hc11runProjectTest, ProjectsThatCannotRunAreReported) {
    const std::string path = (directory / "demo.pro").string();
    const struct {
        std::string format;
        std::string sections;
        std::string arguments;
        std::string error;
    } cases[] = {
        {"ASM11", "", "", "hc11run: " + path + ": No file loaded to the project"},
        {"ICC11", "[FILES]\r\nCount=1\r\nFile0=MAIN.DBG\r\n", "",
         "hc11run: " + path + ": The project input file MUST be a *.dbg file"},
        {"S19", "[FILES]\r\nCount=1\r\nFile0=gone.s19\r\n", "",
         "hc11run: Cannot open the file " + (directory / "gone.s19").string()},
        {"S19", "[CPU]\r\nXTAL=7 MHz\r\n[FILES]\r\nCount=1\r\nFile0=hello.s19\r\n", "",
         "hc11run: " + path + ": unknown crystal XTAL=7 MHz"},
        {"S19", "", "--xtal '4 MHz'",
         "hc11run: --xtal: not with a project file, whose CPU configuration applies"},
        {"S19", "", "hello.s19", "hc11run: more than one program file: " + path + " and hello.s19"},
    };
    for (const auto& c : cases) {
        const Result result =
            run("'" + project(c.format, c.sections).string() + "' " + c.arguments);
        EXPECT_EQ(result.status, 1) << c.error;
        EXPECT_EQ(result.err.substr(0, c.error.size()), c.error) << result.err;
    }
    EXPECT_EQ(
        run("'" + (directory / "missing.PRO").string() + "'").err,
        "hc11run: cannot find the project file " + (directory / "missing.PRO").string() + "\n");
}

}  // namespace
}  // namespace tarnwick
