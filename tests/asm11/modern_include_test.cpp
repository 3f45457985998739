// #USES, #INCLUDE, #EXIT and ?locals across files, and includes that never end.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "asm11/assemble_text.h"

namespace tarnwick::asm11 {
namespace {

namespace fs = std::filesystem;

class ModernIncludeTest : public ::testing::Test {
  protected:
    ModernIncludeTest() {
        directory = fs::temp_directory_path() /
                    ("tarnwick_asm11_uses_" + std::to_string(std::random_device()()));
        fs::create_directories(directory);
    }
    ~ModernIncludeTest() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    void write(const std::string& name, const std::string& text) {
        std::ofstream(directory / name, std::ios::binary) << text;
    }

    AssemblyResult assembleMain(const std::string& text) {
        write("main.asm", text);
        AsmOptions options;
        options.pass1Stop = false;
        return assemble((directory / "main.asm").string(), text, options);
    }

    fs::path directory;
};

TEST_F(ModernIncludeTest, UsesOnceIncludeEveryTimeAndEachFileHasItsOwnLocals) {
    write("lib.inc", "?x EQU $11\n FCB ?x\n #USES twice.inc\n");
    write("once.inc", "?x EQU $22\n FCB ?x\n#EXIT\n FCB $EE\n");
    write("twice.inc", " FCB $44\n");
    const AssemblyResult result = assembleMain(
        "? EQU 7\n?x EQU $33\n ORG $100\n #USES lib.inc\n#USING once.inc\n #USES once.inc\n"
        " #INCLUDE twice.inc\n FCB ?x,?\n");
    EXPECT_EQ(allMessages(result), "");
    // lib.inc, then the twice.inc it asks for, once.inc, twice.inc again and the main file.
    EXPECT_EQ(bytesAt(result, 0x100), (std::vector<std::uint8_t>{0x11, 0x44, 0x22, 0x44, 0x33, 7}));
}

TEST_F(ModernIncludeTest, LocalsOfAnotherFileAreNotSeen) {
    write("lib.inc", "?hidden EQU 1\n");
    const AssemblyResult result = assembleMain("#INCLUDE lib.inc\n FCB ?hidden\n");
    EXPECT_EQ(allMessages(result),
              "ERR* " + (directory / "main.asm").string() + " [2] Undefined symbol: ?hidden\n");
}

TEST_F(ModernIncludeTest, FilesThatIncludeThemselvesEndQuickly) {
    write("self.inc", " NOP\n#INCLUDE self.inc\n");
    write("fork.inc", " NOP\n#INCLUDE fork.inc\n#INCLUDE fork.inc\n");
    for (const char* name : {"self.inc", "fork.inc"}) {
        const auto start = std::chrono::steady_clock::now();
        const AssemblyResult result = assembleMain(std::string("#INCLUDE ") + name + "\n");
        // A bound that tells an end from minutes of growth, whatever the machine's load.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
        const std::string messages = allMessages(result);
        EXPECT_NE(messages.find("Includes nested deeper than 16 levels"), std::string::npos)
            << messages.substr(0, 500);
    }
    const std::string forked = allMessages(assembleMain("#INCLUDE fork.inc\n"));
    EXPECT_NE(forked.find("Too many include files: at most 1000"), std::string::npos);
}

}  // namespace
}  // namespace tarnwick::asm11
