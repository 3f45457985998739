#include "project/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

TEST(FileNamesTest, AbsoluteNamesStartWithASeparatorOrADrive) {
    const struct {
        const char* name;
        bool absolute;
    } cases[] = {
        {"/src/prog.asm", true}, {"\\src\\prog.asm", true}, {"C:\\src\\prog.asm", true},
        {"c:prog.asm", true},    {"prog.asm", false},       {"src\\prog.asm", false},
        {"1:prog.asm", false},   {":prog.asm", false},      {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(isAbsoluteName(c.name), c.absolute) << c.name;
}

TEST(FileNamesTest, RelativeNamesJoinTheProjectDirectory) {
    const struct {
        const char* name;
        const char* resolved;
    } cases[] = {
        {"PROG.ASM", "/proj/PROG.ASM"},         {"sub\\lib.asm", "/proj/sub/lib.asm"},
        {"sub/lib.asm", "/proj/sub/lib.asm"},   {"C:\\src\\prog.asm", "C:/src/prog.asm"},
        {"/other/prog.asm", "/other/prog.asm"}, {"\\other\\prog.asm", "/other/prog.asm"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(resolveName("/proj", c.name).generic_string(), c.resolved) << c.name;
}

class FindIgnoringCaseTest : public ::testing::Test {
  protected:
    FindIgnoringCaseTest() {
        directory = fs::temp_directory_path() /
                    ("tarnwick_names_" + std::to_string(std::random_device()()));
        fs::create_directories(directory / "Sub");
        for (const char* name : {"Prog.Asm", "twin.txt", "TWIN.txt", "Sub/Lib.asm"})
            std::ofstream(directory / name) << "x";
        fs::create_directories(directory / "Folder");
    }
    ~FindIgnoringCaseTest() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    fs::path directory;
};

TEST_F(FindIgnoringCaseTest, FallsBackToTheOneNameThatMatchesWithoutCase) {
    // "Twin.txt" has two candidates, so none; a directory is no candidate; directories in the
    // name must match as written.
    const struct {
        const char* asked;
        const char* found;  // relative to the directory
    } cases[] = {
        {"Prog.Asm", "Prog.Asm"}, {"PROG.ASM", "Prog.Asm"},       {"prog.asm", "Prog.Asm"},
        {"twin.txt", "twin.txt"}, {"Twin.txt", "Twin.txt"},       {"missing.asm", "missing.asm"},
        {"FOLDER", "FOLDER"},     {"Sub/LIB.ASM", "Sub/Lib.asm"}, {"SUB/Lib.asm", "SUB/Lib.asm"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findIgnoringCase(directory / c.asked), directory / c.found) << c.asked;
}

TEST_F(FindIgnoringCaseTest, BareNamesSearchTheCurrentDirectory) {
    const fs::path previous = fs::current_path();
    fs::current_path(directory);
    const fs::path found = findIgnoringCase("PROG.asm");
    fs::current_path(previous);
    EXPECT_EQ(found, fs::path("Prog.Asm"));
}

}  // namespace
}  // namespace tarnwick
