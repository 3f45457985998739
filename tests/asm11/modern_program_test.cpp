// fixtures/modern.asm uses the modern language all at once, with the macros of the
// modern_lib.inc it asks for; its image is checked byte for byte against bytes worked out
// from the instruction set, and its symbol file against the lines that made the code.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "asm11/assemble_text.h"
#include "asm11/output_files.h"

namespace tarnwick::asm11 {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(__FILE__).parent_path() / "fixtures";

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The 1-based number of the line holding `text`.
int lineOf(const std::string& source, const std::string& text) {
    const std::size_t at = source.find(text);
    return at == std::string::npos
               ? 0
               : 1 + static_cast<int>(std::count(source.begin(), source.begin() + at, '\n'));
}

class ModernProgramTest : public ::testing::Test {
  protected:
    ModernProgramTest() {
        options.defines = {{"Speed", "3"}};
        result = assemble(path.string(), source, options);
    }

    const fs::path path = kFixtures / "modern.asm";
    const std::string source = readText(path);
    AsmOptions options;
    AssemblyResult result;
};

TEST_F(ModernProgramTest, ImageIsTheHandWorkedBytes) {
    ASSERT_FALSE(source.empty()) << path;
    EXPECT_EQ(allMessages(result), "WRN " + path.string() + " [" +
                                       std::to_string(lineOf(source, "end       of")) +
                                       "] END's operand taken as a comment: of\n");
    const std::vector<std::uint8_t> code = {
        0x8E, 0x00, 0xFF,  // LDS #$00FF
        0xCE, 0x00, 0x05,  // LDX #?scale: the main file's 5, not the library's 2
        // Outer: Loop@@ DEX at $E006, BNE back 3.
        0x09, 0x26, 0xFD,
        // Inner: LSRA:2 at $E009, BRN to its own Loop@@ back 4.
        0x44, 0x44, 0x21, 0xFC, 0x20, 0xF7,  // after ENDP, BRA to Outer's Loop@@: $E006 - $E00F
        0xC3, 0x12, 0x34,                    // @Add16: ADDD #$1234 (4 cycles)
        0xDD, 0x40,                          // STD $40, direct (4)
        0x96, 0x40,              // @Load Vars: the dangling comma dropped, LDAA direct (3)
        0xA6, 0x02,              // @Load 2,X: LDAA indexed (4)
        0x09, 0x26, 0xFD,        // @Delay: its own Loop$$$ (3 + 3)
        0x09, 0x26, 0xFD,        // @Delay again, a new Loop$$$ (3 + 3)
        0x04, 0x04, 0x04,        // @Shift 3: LSRD, MTOP until :LOOP is 3 (3 x 3)
        0x86, 0x07,              // @Pair: @@Load #7 returns (2)
        0x01,                    // FCB :LOOP
        0xAB, 0xAB,              // @Fill chained: MDO/MLOOP 2; Pair's last line never runs
        0x26, 0x00, 0x02,        // :CYCLES = 4+4+3+4+6+6+9+2 = 38, :PROC 0, :MAXPROC 2
        0x09, 0x26, 0xFD,        // Delay called in #MACRO mode, without @
        0x03, 0x02, 0x04,        // Speed from -D; ::Vars from EQU $40,2; ::Buffer from RMB 4
        0x10, 0x05,              // LibValue = the library's ?scale*8; ?scale here
        0x10, 0x10, 0x10,        // FCB:3 Flag: Flag NEXT Count took $10
        0x11, 0x13, 0x42,        // Level ($11, Count then $13), Result (EXP $13), 'A'+1
        0x48, 0x69, 0x00,        // "Hi",0
        0xE0, 0x00,              // FDB #Start
        0x00, 0x84,              // :RAM after RMB 4 at $80
        0xDE, 0xAD, 0xBE, 0xEF,  // LONG
    };
    EXPECT_EQ(bytesAt(result, 0xE000), code);
    // ALIGN 4 skips $E042-$E043; #IF of the later Later is false, so $CC; RTS; :ANRTS, :PC.
    EXPECT_EQ(bytesAt(result, 0xE044),
              (std::vector<std::uint8_t>{0xCC, 0x39, 0xE0, 0x45, 0xE0, 0x46}));
    // ORG $F000,$B600: JMP assembled for $B600, stored at $F000; ORG , goes back to $B603.
    EXPECT_EQ(bytesAt(result, 0xF000), (std::vector<std::uint8_t>{0x7E, 0xB6, 0x00}));
    EXPECT_EQ(bytesAt(result, 0xB603), std::vector<std::uint8_t>{0x01});
    EXPECT_EQ(result.byteCount, code.size() + 6 + 3 + 1);
    ASSERT_EQ(result.exports.size(), 1u);
    EXPECT_EQ(result.exports[0].name, "Result");
    EXPECT_EQ(result.exports[0].value, 0x13);
}

TEST_F(ModernProgramTest, SymbolFileMapsMacroCodeToTheCallingLines) {
    ASSERT_FALSE(source.empty()) << path;
    const std::string sym = symbolFileText(result);
    const auto mapped = [&](const std::string& addresses, const std::string& call) {
        const std::string line = " " + std::to_string(lineOf(source, call)) + "\n";
        std::string block;
        std::istringstream in(addresses);
        for (std::string address; in >> address;) block += address + line;
        return block;
    };
    // Every instruction of an expansion, nested and chained ones included, is on the call's line.
    EXPECT_NE(sym.find(mapped("E00F E012", "@Add16")), std::string::npos) << sym;
    EXPECT_NE(sym.find(mapped("E01E E01F E020", "@Shift")), std::string::npos) << sym;
    EXPECT_NE(sym.find(mapped("E021 E023 E024 E025", "@Pair")), std::string::npos) << sym;
    EXPECT_NE(sym.find("#SYMBOL\n0003 SPEED\n0005 ?scale\n0002 ?scale:f1\n"), std::string::npos)
        << sym;
    EXPECT_NE(sym.find("E006 Outer\nE006 Loop@@:1\nE009 Inner\nE009 Loop@@:2\n"), std::string::npos)
        << sym;
    // The library was read once and made no code of its own.
    EXPECT_EQ(result.readFiles.size(), 2u);
    ASSERT_EQ(result.modules.size(), 1u);
}

}  // namespace
}  // namespace tarnwick::asm11
