// The assembly language: lines, numbers, expressions, passes, addressing choices and the
// pseudo-operations, each checked by the bytes it produces.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "asm11/assemble_text.h"

namespace tarnwick::asm11 {
namespace {

const BytesCase kBytesCases[] = {
    {"number formats",
     " ORG $100\n FCB $1f,%1010,17,0x2A,'A','b,@17,\"c\"",
     0x100,
     {0x1F, 0x0A, 0x11, 0x2A, 0x41, 0x62, 0x0F, 0x63}},
    {"location counter is the line's address",
     " ORG $100\n FDB *,*+2",
     0x100,
     {0x01, 0x00, 0x01, 0x02}},
    {"strictly left to right",
     " ORG $100\n FCB 2+3*4,10-2-3,100/7\\3,7&3|8,1<<4|1,$F0>>4^3",
     0x100,
     {20, 5, 2, 0x0B, 0x11, 0x0C}},
    {"braces group", " ORG $100\n FCB 2+{3*4},{{1+1}*{2+1}}", 0x100, {14, 6}},
    {"unary minus and byte swap",
     " ORG $100\n FCB -1,-{2+3},--2\n FDB ~$1234,~1&$FF00",
     0x100,
     {0xFF, 0xFB, 0x02, 0x34, 0x12, 0x01, 0x00}},
    {"forward reference", " ORG $100\n LDX #LATER\nLATER NOP", 0x100, {0xCE, 0x01, 0x03, 0x01}},
    {"direct when known in pass 1 and at most $FF, else extended",
     "VAR EQU $40\n ORG $100\n LDAA VAR\n LDAA FWD\n LDAA $100\nFWD EQU $41",
     0x100,
     {0x96, 0x40, 0xB6, 0x00, 0x41, 0xB6, 0x01, 0x00}},
    {"forced modes",
     " ORG $100\n LDAA >$40\n STAA <FWD\nFWD EQU $41",
     0x100,
     {0xB6, 0x00, 0x40, 0x97, 0x41}},
    {"no direct form",
     " ORG $100\n JMP $40\n LSL $40",
     0x100,
     {0x7E, 0x00, 0x40, 0x78, 0x00, 0x40}},
    {"indexed spellings",
     " ORG $100\n LDAA ,X\n LDAA 0,X\n LDAA X\n STAB 5,y",
     0x100,
     {0xA6, 0x00, 0xA6, 0x00, 0xA6, 0x00, 0x18, 0xE7, 0x05}},
    {"prefix pages",
     " ORG $100\n CPX 0,Y\n LDY 1,X\n CPD #2",
     0x100,
     {0xCD, 0xAC, 0x00, 0x1A, 0xEE, 0x01, 0x1A, 0x83, 0x00, 0x02}},
    {"bit set and clear spellings",
     " ORG $100\n BSET $10,X,#$80\n BSET $10,X #$80\n BSET $10 #$80\n BCLR 4,Y,$01",
     0x100,
     {0x1C, 0x10, 0x80, 0x1C, 0x10, 0x80, 0x14, 0x10, 0x80, 0x18, 0x1D, 0x04, 0x01}},
    {"bit branch spellings",
     " ORG $100\n BRSET $10,#$80,*\n BRCLR 2,X #1 *\n BRSET 3,Y,#4,NEXT comment\nNEXT",
     0x100,
     {0x12, 0x10, 0x80, 0xFC, 0x1F, 0x02, 0x01, 0xFC, 0x18, 0x1E, 0x03, 0x04, 0x00}},
    {"aliases",
     " ORG $100\n BHS *+2\n BLO *\n LSLA\n LSLB\n LSLD\n LSL 0,X",
     0x100,
     {0x24, 0x00, 0x25, 0xFE, 0x48, 0x58, 0x05, 0x68, 0x00}},
    {"branch limits", " ORG $100\n BRA *+129\n BRA *-126", 0x100, {0x20, 0x7F, 0x20, 0x80}},
    {"labels with colon, = and comments",
     "* comment\n; comment\nSIX=6\nSEV = 7\nSTART: ORG $100\n LDAA #SIX ; note\n"
     " LDAB #SEV words after the operand\n NOP also a comment\n",
     0x100,
     {0x86, 0x06, 0xC6, 0x07, 0x01}},
    {"byte order mark, form feeds, CR LF and a DOS end mark",
     "\xEF\xBB\xBFSTART\f ORG $100\r\n\f\r\n\tNOP\fcomment\r\n\x1A",
     0x100,
     {0x01}},
    {"character constants may be blanks",
     " ORG $100\n LDAA #' '\n FCB ' ',';'",
     0x100,
     {0x86, 0x20, 0x20, 0x3B}},
    {"labels ignore case by default", " ORG $100\nloop nop\n bra LOOP", 0x100, {0x01, 0x20, 0xFD}},
    {"SET redefines", "V SET 1\n ORG $100\n FCB V\nV SET V+1\n FCB V", 0x100, {1, 2}},
    {"FCC and FCS",
     " ORG $100\n FCC \"ab\"\n FCC /c d/\n FCC 'x',13\n FCS \"ab\"\n FCC 'I''m',\"\"\"\"",
     0x100,
     {'a', 'b', 'c', ' ', 'd', 'x', 13, 'a', 'b', 0, 'I', '\'', 'm', '"'}},
    {"DB and DW", " ORG $100\n DB 1,2\n DW $1234,-1", 0x100, {1, 2, 0x12, 0x34, 0xFF, 0xFF}},
    {"a list longer than a line's usual few items",
     " ORG $100\n FCB 1,2,3,4,5,6,7,8,9,10",
     0x100,
     {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    {"RMB and DS reserve without data", " ORG $10\n RMB 2\n DS 1\n FCB *", 0x13, {0x13}},
    {"BSZ, ZMB and FILL", " ORG $100\n BSZ 2\n ZMB 1\n FILL $AA,2", 0x100, {0, 0, 0, 0xAA, 0xAA}},
    {"OPT and PAGE are accepted", " ORG $100\n OPT l\n PAGE\n NOP", 0x100, {0x01}},
    {"label on ORG takes the new address",
     " ORG $100\nHERE ORG $120\n FDB HERE",
     0x120,
     {0x01, 0x20}},
    {"lines after END are not assembled", " ORG $100\n NOP\n END\n NOP", 0x100, {0x01}},
};

TEST(LanguageTest, SourcesGiveTheirBytes) {
    for (const BytesCase& c : kBytesCases) {
        const AssemblyResult result = assembleText(c.source);
        EXPECT_EQ(result.errors, 0) << c.what << "\n" << allMessages(result);
        EXPECT_EQ(bytesAt(result, c.address), c.bytes) << c.what;
    }
}

TEST(LanguageTest, SpacesOnLetOperandsHoldBlanks) {
    AsmOptions options;
    options.spaces = true;
    const AssemblyResult result =
        assembleText(" ORG $100\n FCB 1 + 2 , 3 ; comment\n BSET $10 , X , #1", options);
    EXPECT_EQ(result.errors, 0) << allMessages(result);
    EXPECT_EQ(bytesAt(result, 0x100), (std::vector<std::uint8_t>{3, 3, 0x1C, 0x10, 0x01}));
}

TEST(LanguageTest, CaseSensitiveLabelsKeepLoopAndLOOPApart) {
    AsmOptions options;
    options.caseSensitive = true;
    const AssemblyResult result = assembleText("loop nop\n bra LOOP", options);
    EXPECT_NE(allMessages(result).find("ERR* t.asm [2] Undefined symbol: LOOP"), std::string::npos)
        << allMessages(result);
}

TEST(LanguageTest, EndGivesTheStartAddressAndSymbolsTheirValues) {
    const AssemblyResult result =
        assembleText("COUNT EQU $40\n ORG $E000\nSTART NOP\nV SET 1\nV SET 2\n END START");
    EXPECT_EQ(result.errors, 0) << allMessages(result);
    EXPECT_EQ(result.startAddress, 0xE000);
    ASSERT_EQ(result.symbols.size(), 3u);
    EXPECT_EQ(result.symbols[0].name, "COUNT");
    EXPECT_EQ(result.symbols[0].value, 0x40);
    EXPECT_EQ(result.symbols[1].name, "START");
    EXPECT_EQ(result.symbols[1].value, 0xE000);
    EXPECT_EQ(result.symbols[2].value, 2);
}

TEST(LanguageTest, ModuleLinesNameEveryLineThatProducedBytes) {
    const AssemblyResult result =
        assembleText(" ORG $E000\nSTART LDAA #1\n\nC EQU $40\n FCB 1\n RMB 2\n NOP");
    ASSERT_EQ(result.modules.size(), 1u);
    EXPECT_EQ(result.modules[0].file, "t.asm");
    const std::vector<std::pair<std::uint16_t, int>> expected{
        {0xE000, 2}, {0xE002, 5}, {0xE005, 7}};
    EXPECT_EQ(result.modules[0].lines, expected);
}

// The symbol table keeps names spelled alike in other cases together, and grows as it fills.
TEST(LanguageTest, CaseSensitiveNamesSpelledAlikeKeepTheirValuesAmongMany) {
    AsmOptions options;
    options.caseSensitive = true;
    std::string source = " ORG $100\nab EQU 1\nAB EQU 2\naB EQU 3\n";
    for (int i = 0; i < 300; ++i) {
        const std::string number = std::to_string(i);
        source.append("N").append(number).append(" EQU ").append(number).append("\n");
    }
    source += " FCB aB,AB,ab,N7,N255\n#CASEOFF\n FCB Ab,n42\n";
    const AssemblyResult result = assembleText(source, options);
    EXPECT_EQ(result.errors, 0) << allMessages(result);
    EXPECT_EQ(bytesAt(result, 0x100), (std::vector<std::uint8_t>{3, 2, 1, 7, 255, 1, 42}));
}

}  // namespace
}  // namespace tarnwick::asm11
