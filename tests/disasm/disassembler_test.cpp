#include "disasm/disassembler.h"

#include <gtest/gtest.h>

#include "disasm/disasm_fixture.h"

namespace tarnwick {
namespace {

using DisassemblerTest = testing::DisasmTest;

// The instruction columns of a line: mnemonic padded to 10, then the operand.
std::string instruction(const DisassembledLine& line) {
    const std::string columns = line.text.substr(20, 29);
    return columns.substr(0, columns.find_last_not_of(' ') + 1);
}

TEST_F(DisassemblerTest, LineLayout) {
    store(0xE000, {0x86, 0x05});
    const DisassembledLine line = disassembleInstruction(*machine, 0xE000);
    EXPECT_EQ(line.text,
              std::string(20, ' ') + "LDAA      #$05" + std::string(15, ' ') + " ; $E000 86 05 ");
    EXPECT_EQ(line.text.find(';'), 50u);
    EXPECT_EQ(line.length, 2);
    EXPECT_FALSE(line.endsBlock);
}

TEST_F(DisassemblerTest, EdgeCases) {
    struct Case {
        std::uint16_t address;
        std::vector<std::uint8_t> bytes;
        const char* text;
        int length;
    };
    const Case cases[] = {
        {0xE000, {0x00}, "FCB       $00", 1},
        {0xE000, {0x18, 0x86, 0x05}, "FCB       $18", 1},
        {0xE001, {0x86, 0x05}, "LDAA      #$05", 2},
        {0x1000, {0x20, 0xFE}, "BRA       $1000", 2},
        {0x1000, {0x20, 0x80}, "BRA       $0F82", 2},
        {0x0010, {0x20, 0x80}, "BRA       $FF92", 2},
        {0xFFA0, {0x20, 0x7F}, "BRA       $0021", 2},
        {0xE000, {0x13, 0x10, 0x40, 0xFC}, "BRCLR     $10,#$40,$E000", 4},
        {0xE000, {0x12, 0x10, 0x40, 0x02}, "BRSET     $10,#$40,$E006", 4},
        {0xE000, {0x1F, 0x05, 0x01, 0x80}, "BRCLR     $05,X,#$01,$DF84", 4},
        {0xE000, {0x18, 0x1E, 0x05, 0x01, 0x03}, "BRSET     $05,Y,#$01,$E008", 5},
        {0xE000, {0x18, 0x1F, 0xFF, 0x80, 0xFB}, "BRCLR     $FF,Y,#$80,$E000", 5},
        {0xE000, {0x14, 0x10, 0x40}, "BSET      $10,#$40", 3},
        {0xE000, {0x1D, 0x05, 0x01}, "BCLR      $05,X,#$01", 3},
        {0xE000, {0x18, 0x1C, 0x05, 0x01}, "BSET      $05,Y,#$01", 4},
        {0xE000, {0xCE, 0x10, 0x00}, "LDX       #$1000", 3},
        {0xE000, {0xDF, 0x20}, "STX       <$20", 2},
        {0xE000, {0xBD, 0xE1, 0x23}, "JSR       >$E123", 3},
        {0xE000, {0x1A, 0xEE, 0x04}, "LDY       $04,X", 3},
        {0xE000, {0xCD, 0xEE, 0x04}, "LDX       $04,Y", 3},
        {0xE000, {0x18, 0xCE, 0x12, 0x34}, "LDY       #$1234", 4},
        {0xE000, {0x1A, 0x83, 0xAB, 0xCD}, "CPD       #$ABCD", 4},
        {0xE000, {0x24, 0x00}, "BCC       $E002", 2},
        {0xE000, {0x25, 0x00}, "BCS       $E002", 2},
        {0xE000, {0x05}, "ASLD", 1},
        {0xE000, {0x78, 0x12, 0x34}, "ASL       >$1234", 3},
        {0xE000, {0x18, 0x8F}, "XGDY", 2},
        {0xE000, {0x1A, 0x01}, "FCB       $1A", 1},
        {0xFFBB, {0x18, 0x1E, 0x05, 0x01, 0x03}, "BRSET     $05,Y,#$01,$FFC3", 5},
        {0xFFBC, {0x86, 0x05}, "FCB       $86", 1},
        {0xFFBF, {0x01}, "FCB       $01", 1},
        {0xFFFF, {0x01}, "FCB       $01", 1},
    };
    for (const Case& c : cases) {
        store(c.address, c.bytes);
        const DisassembledLine line = disassembleInstruction(*machine, c.address);
        EXPECT_EQ(instruction(line), c.text) << std::hex << c.address;
        EXPECT_EQ(line.length, c.length) << c.text;
    }
}

TEST_F(DisassemblerTest, OnlyUnprefixedRtsAndRtiEndABlock) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        bool endsBlock;
    };
    const Case cases[] = {{{0x39}, true}, {{0x3B}, true}, {{0x18, 0x39}, false}, {{0x3E}, false}};
    for (const Case& c : cases) {
        store(0xE000, c.bytes);
        const DisassembledLine line = disassembleInstruction(*machine, 0xE000);
        EXPECT_EQ(line.endsBlock, c.endsBlock) << int{c.bytes.back()};
        EXPECT_EQ(line.text.ends_with(" \r\n"), c.endsBlock) << int{c.bytes.back()};
    }
    store(0xE000, {0x39});
    EXPECT_EQ(disassembleInstruction(*machine, 0xE000).text,
              std::string(20, ' ') + "RTS" + std::string(26, ' ') + " ; $E000 39  \r\n");
}

TEST_F(DisassemblerTest, VectorLine) {
    store(0xFFFE, {0xE0, 0x12});
    const std::string line = vectorLine(*machine, 0xFFFE);
    EXPECT_EQ(line,
              std::string(20, ' ') + "FDB       $E012" + std::string(15, ' ') + "; $FFFE E012");
    EXPECT_EQ(line.find(';'), 50u);
}

TEST(HeaderLineTest, TwelveHourClock) {
    struct Case {
        int hour;
        int minute;
        const char* time;
    };
    const Case cases[] = {{0, 5, "12:05 AM"},   {1, 0, "1:00 AM"},  {11, 59, "11:59 AM"},
                          {12, 30, "12:30 PM"}, {15, 7, "3:07 PM"}, {23, 9, "11:09 PM"}};
    for (const Case& c : cases)
        EXPECT_EQ(headerLine({2025, 1, 8, 3, c.hour, c.minute}),
                  std::string(";Disassembled by Tarnwick [Wednesday, January 08, 2025 ") + c.time +
                      "]\r\n");
    EXPECT_EQ(headerLine({1999, 12, 31, 0, 9, 0}),
              ";Disassembled by Tarnwick [Sunday, December 31, 1999 9:00 AM]\r\n");
    EXPECT_EQ(headerLine({2026, 9, 5, 6, 9, 0}),
              ";Disassembled by Tarnwick [Saturday, September 05, 2026 9:00 AM]\r\n");
}

}  // namespace
}  // namespace tarnwick
