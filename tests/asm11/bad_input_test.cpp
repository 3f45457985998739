// Bad sources: each gives its message against its line, and the assembly goes on.

#include <gtest/gtest.h>

#include <string>

#include "asm11/assemble_text.h"

namespace tarnwick::asm11 {
namespace {

struct BadCase {
    const char* source;
    const char* message;  // the whole message line
};

const BadCase kBadCases[] = {
    {" NOP\n LDAX #1", "ERR* t.asm [2] Unknown instruction: LDAX"},
    {"V EQU 1\n#CASEON\n FCB v", "ERR* t.asm [3] Undefined symbol: v"},
    {"#PUSH\n#PULL\n#PULL", "ERR* t.asm [3] #PULL without #PUSH"},
    {"#TABSIZE 0", "ERR* t.asm [1] #TABSIZE must be 1 to 32"},
    {" GETX", "ERR* t.asm [1] Extra mnemonic GETX has no defined expansion"},
    {"#EXTRAOFF\n CLRD", "ERR* t.asm [2] Unknown instruction: CLRD"},
    {" OS 256", "ERR* t.asm [1] 8-bit value out of range: 256"},
    {" JEQ", "ERR* t.asm [1] Missing operand for JEQ"},
    {" LDAA 5,Z", "ERR* t.asm [1] Bad operand: 5,Z"},
    {" LDAA #", "ERR* t.asm [1] Missing operand for LDAA"},
    {" LDAA", "ERR* t.asm [1] Missing operand for LDAA"},
    {" LDAA COUNT", "ERR* t.asm [1] Undefined symbol: COUNT"},
    {"A NOP\nA NOP", "ERR* t.asm [2] Duplicate label: A"},
    {"A EQU 1\nA SET 2", "ERR* t.asm [2] Duplicate label: A"},
    {" ORG 0\n BRA FAR\n BSZ 200\nFAR NOP", "ERR* t.asm [2] Branch out of range by 73 bytes"},
    {" ORG 0\nB NOP\n BSZ 200\n BRA B", "ERR* t.asm [4] Branch out of range by 75 bytes"},
    {" ORG 0\n BRSET 0,X,#1,FAR\n BSZ 200\nFAR NOP",
     "ERR* t.asm [2] Branch out of range by 73 bytes"},
    {" FCC \"abc", "ERR* t.asm [1] Unterminated string"},
    {" FCB '", "ERR* t.asm [1] Unterminated character constant"},
    {" LDAA #\"A", "ERR* t.asm [1] Unterminated string"},
    {"\x01\x02\xff\x00junk", "ERR* t.asm [1] Invalid character $01 in source line"},
    {" NOP\n\x7f", "ERR* t.asm [2] Invalid character $7F in source line"},
    {" LDAA #$100", "ERR* t.asm [1] 8-bit value out of range: 256"},
    {" FCB -129", "ERR* t.asm [1] 8-bit value out of range: -129"},
    {" LDX #$10000", "ERR* t.asm [1] 16-bit value out of range: 65536"},
    {" FCB 1/0", "ERR* t.asm [1] Division by zero"},
    {" FCB 1\\0", "ERR* t.asm [1] Division by zero"},
    {"1BAD NOP", "ERR* t.asm [1] Bad label: 1BAD"},
    {" EQU 5", "ERR* t.asm [1] EQU needs a label"},
    {" ORG FWD\nFWD EQU 1", "ERR* t.asm [1] ORG needs a value defined before this line"},
    {" RMB FWD\nFWD EQU 1", "ERR* t.asm [1] RMB needs a value defined before this line"},
    {" LDAA <$1234", "ERR* t.asm [1] Direct address out of range: $1234"},
    {" JMP <$12", "ERR* t.asm [1] No direct mode for JMP"},
    {" JMP #1", "ERR* t.asm [1] Immediate mode not allowed for JMP"},
    {" STAA #1", "ERR* t.asm [1] Immediate mode not allowed for STAA"},
    {" LDAA 300,X", "ERR* t.asm [1] Index offset out of range: 300"},
    {" BSET $10", "ERR* t.asm [1] BSET needs address,mask or offset,X,mask"},
    {" BRCLR $10,#1", "ERR* t.asm [1] BRCLR needs address,mask,target or offset,X,mask,target"},
    {" BSET $10,X,#1,2", "ERR* t.asm [1] BSET needs address,mask or offset,X,mask"},
    {" BSET $100,#1", "ERR* t.asm [1] Direct address out of range: $0100"},
    {" FDB {1+2", "ERR* t.asm [1] Missing '}' in expression"},
    {" FDB 1+2}", "ERR* t.asm [1] Unbalanced '}' in expression"},
    {" FDB "
     "-~-{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{"
     "{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{1",
     "ERR* t.asm [1] Expression nested too deeply"},
    {" LDAA $", "ERR* t.asm [1] Bad number: $"},
    {" LDAA 12AB", "ERR* t.asm [1] Bad number: 12AB"},
    {" LDAA %102", "ERR* t.asm [1] Bad number: %102"},
    {" FCB 1,,2", "ERR* t.asm [1] Missing value in list"},
    {" FCB 1<>2", "ERR* t.asm [1] Unexpected '>' in expression 1<>2"},
    {" FILL 1", "ERR* t.asm [1] FILL needs value,count"},
    {" ORG $FFFF\n FDB 1", "ERR* t.asm [2] Code runs past $FFFF"},
    {" ORG $FFFF\n RMB 2", "ERR* t.asm [2] Code runs past $FFFF"},
    {" ORG $10000", "ERR* t.asm [1] Address out of range: 65536"},
    {" ORG $100\n NOP\n ORG $100\n NOP", "ERR* t.asm [4] Code overlaps earlier code at $0100"},
    {"#INCLUDE nothere.inc", "ERR* t.asm [1] Cannot find include file: nothere.inc"},
    {"#INCLUDE \"nothere.inc", "ERR* t.asm [1] Unterminated string"},
    {"#INCLUDE", "ERR* t.asm [1] #INCLUDE needs a file name"},
    {"#ERROR Wrong chip", "ERR* t.asm [1] Wrong chip"},
    {" NOP\n#IF 1\n NOP", "ERR* t.asm [2] #IF without #ENDIF"},
    {"#ENDIF", "ERR* t.asm [1] #ENDIF without #IF"},
    {"#ELSE", "ERR* t.asm [1] #ELSE without #IF"},
    {"#IF 1\n#ELSE\n#ELSE\n#ENDIF", "ERR* t.asm [3] Second #ELSE for one #IF"},
    {"#FOO", "ERR* t.asm [1] Unknown directive: #FOO"},
    {" ORG $FE\n FDB 1,2\n#MEMORY 0,$FF",
     "ERR* t.asm [2] Code at $0100 is outside the #MEMORY ranges"},
    {"#MEMORY", "ERR* t.asm [1] #MEMORY needs a start and an end address"},
    {"#MEMORY $F000 $10000", "ERR* t.asm [1] Bad #MEMORY range: $F000 to $0000"},
};

TEST(BadInputTest, EachGivesItsMessageAgainstItsLine) {
    for (const BadCase& c : kBadCases) {
        const AssemblyResult result = assembleText(c.source);
        EXPECT_GT(result.errors, 0) << c.source;
        EXPECT_NE(allMessages(result).find(std::string(c.message) + "\n"), std::string::npos)
            << "expected: " << c.message << "\ngot:\n"
            << allMessages(result);
    }
}

TEST(BadInputTest, JunkAfterANulStillReportsTheLine) {
    const std::string source("\0\0 NOP\n NOP\n LDAX", 17);
    const AssemblyResult result = assembleText(source);
    EXPECT_EQ(allMessages(result),
              "ERR* t.asm [1] Invalid character $00 in source line\n"
              "ERR* t.asm [3] Unknown instruction: LDAX\n");
}

TEST(BadInputTest, EveryErrorIsReportedAndLaterAddressesStayRight) {
    // A line that fails in pass 2 keeps its pass-1 size: LATER keeps its pass-1 address.
    AsmOptions options;
    options.pass1Stop = false;
    const AssemblyResult result =
        assembleText(" ORG $100\n LDAA NOWHERE\n LDAX\n FCB 1,NOTHING\nLATER BRA LATER\n", options);
    EXPECT_EQ(allMessages(result),
              "ERR* t.asm [2] Undefined symbol: NOWHERE\n"
              "ERR* t.asm [3] Unknown instruction: LDAX\n"
              "ERR* t.asm [4] Undefined symbol: NOTHING\n");
    EXPECT_EQ(result.errors, 3);
    EXPECT_EQ(bytesAt(result, 0x105), (std::vector<std::uint8_t>{0x20, 0xFE}));
}

TEST(BadInputTest, PassOneErrorsStopTheAssemblyOnlyWithP) {
    const char* source = " LDAX\n LDAA UNDEFINED\n";
    const AssemblyResult stopped = assembleText(source);
    EXPECT_TRUE(stopped.stoppedAfterPass1);
    EXPECT_EQ(allMessages(stopped), "ERR* t.asm [1] Unknown instruction: LDAX\n");

    AsmOptions options;
    options.pass1Stop = false;
    const AssemblyResult both = assembleText(source, options);
    EXPECT_FALSE(both.stoppedAfterPass1);
    EXPECT_EQ(allMessages(both),
              "ERR* t.asm [1] Unknown instruction: LDAX\n"
              "ERR* t.asm [2] Undefined symbol: UNDEFINED\n");
}

TEST(BadInputTest, OverlapIsNoErrorWithTheCheckOff) {
    AsmOptions options;
    options.overlapCheck = false;
    const AssemblyResult result = assembleText(" ORG 0\n NOP\n ORG 0\n INX", options);
    EXPECT_EQ(result.errors, 0);
    EXPECT_EQ(bytesAt(result, 0), (std::vector<std::uint8_t>{0x08}));
}

// A macro that fails on every turn of a long loop would bring hundreds of thousands of
// messages; the assembly stops at the thousandth.
TEST(BadInputTest, ErrorsStopAtOneThousand) {
    const AssemblyResult result =
        assembleText("Bad macro\n FCB NOWHERE\n MTOP 5000\n endm\n @Bad\n NOP\n");
    EXPECT_EQ(result.errors, 1000);
    ASSERT_FALSE(result.messages.empty());
    EXPECT_NE(result.messages.back().text.find("too many errors, the assembly stops here"),
              std::string::npos)
        << result.messages.back().text;
}

}  // namespace
}  // namespace tarnwick::asm11
