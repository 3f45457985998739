#include "asm11/output_files.h"

#include <gtest/gtest.h>

#include <string>

#include "asm11/assemble_text.h"

namespace tarnwick::asm11 {
namespace {

TEST(OutputFilesTest, S19RecordsHoldAtMost32BytesInAddressOrder) {
    const AssemblyResult result =
        assembleText(" ORG $2000\n BSZ 40\n ORG $1000\n FCB 1\n END $1000");
    ASSERT_EQ(result.errors, 0) << allMessages(result);
    EXPECT_EQ(s19Text(result, ""),
              "S104100001EA\n"
              "S1232000" +
                  std::string(64, '0') +
                  "BC\n"
                  "S10B2020" +
                  std::string(16, '0') +
                  "B4\n"
                  "S9031000EC\n");
}

TEST(OutputFilesTest, S19FlushStartsTheNextRecord) {
    const AssemblyResult result = assembleText(" ORG $1000\n FCB 1,2\n#S19FLUSH\n FCB 3");
    ASSERT_EQ(result.errors, 0) << allMessages(result);
    EXPECT_EQ(s19Text(result, ""), "S10510000102E7\nS104100203E6\nS9030000FC\n");
}

TEST(OutputFilesTest, ListingAndMapFollowTheirSwitches) {
    AsmOptions options;
    options.listing = true;
    options.map = true;
    const AssemblyResult result = assembleText(
        " ORG $100\nGO\tLDAA #1\n FCC \"hello\"\n#LISTOFF\n NOP\n#LISTON\n#MAPOFF\n NOP\n"
        "#MAPON\n#TABSIZE 4\n\tJMP GO",
        options);
    ASSERT_EQ(result.errors, 0) << allMessages(result);
    EXPECT_EQ(listingText(result),
              "File t.asm\n"
              "    1                      ORG $100\n"
              "    2  0100  86 01        GO      LDAA #1\n"
              "    3  0102  68 65 6C 6C   FCC \"hello\"\n"
              "       0106  6F\n"
              "    4                     #LISTOFF\n"
              "    6                     #LISTON\n"
              "    7                     #MAPOFF\n"
              "    8  0108  01            NOP\n"
              "    9                     #MAPON\n"
              "   10                     #TABSIZE 4\n"
              "   11  0109  7E 01 00         JMP GO\n"
              "\n"
              "Symbols\n"
              "0100  GO\n");
    EXPECT_EQ(mapText(result),
              "Address Line File\n"
              "0100    2    t.asm\n"
              "0102    3    t.asm\n"
              "0107    5    t.asm\n"
              "0109    11   t.asm\n");
}

TEST(OutputFilesTest, ListingShowsEachMessageUnderItsLineAndPagesAtPage) {
    AsmOptions options;
    options.listing = true;
    options.pass1Stop = false;
    const AssemblyResult result = assembleText(
        " ORG $100\n LDAA NOWHERE\n#LISTOFF\n NOP\n LDAB #300\n NOP\n#LISTON\n"
        "#WARNING careful\n#PAGE\n NOP\n#IF 1\n#LISTOFF\n#IF 0",
        options);
    EXPECT_EQ(listingText(result),
              "File t.asm\n"
              "    1                      ORG $100\n"
              "    2                      LDAA NOWHERE\n"
              "ERR* t.asm [2] Undefined symbol: NOWHERE\n"
              "    3                     #LISTOFF\n"
              "    5                      LDAB #300\n"
              "ERR* t.asm [5] 8-bit value out of range: 300\n"
              "    7                     #LISTON\n"
              "    8                     #WARNING careful\n"
              "WRN t.asm [8] careful\n"
              "    9                     #PAGE\n"
              "\f"
              "   10  0105  01            NOP\n"
              "   11                     #IF 1\n"
              "ERR* t.asm [11] #IF without #ENDIF\n"
              "   12                     #LISTOFF\n"
              "   13                     #IF 0\n"
              "ERR* t.asm [13] #IF without #ENDIF\n"
              "\n"
              "Symbols\n");
}

// Lines without bytes show in the address column what they give: an EQU's or SET's value
// (known by then or later), the address RMB and DS reserve from.
TEST(OutputFilesTest, ListingShowsValuesAndReservedAddresses) {
    AsmOptions options;
    options.listing = true;
    const AssemblyResult result = assembleText(
        " ORG $E000\nCount EQU 3\nBig = $12345\nNeg SET -2\nBuf RMB Count\n DS 2\n"
        " LDX #Later\nLater EQU Buf+1\n",
        options);
    ASSERT_EQ(result.errors, 0) << allMessages(result);
    const std::string listing = listingText(result);
    EXPECT_EQ(listing.substr(0, listing.find("\nSymbols")),
              "File t.asm\n"
              "    1                      ORG $E000\n"
              "    2  0003               Count EQU 3\n"
              "    3  00012345           Big = $12345\n"
              "    4  FFFE               Neg SET -2\n"
              "    5  E000               Buf RMB Count\n"
              "    6  E003                DS 2\n"
              "    7  E005  CE E0 01      LDX #Later\n"
              "    8  E001               Later EQU Buf+1\n");
}

TEST(OutputFilesTest, S0HeaderOnlyWhenAskedAndS9ZeroWithoutEnd) {
    const AssemblyResult result = assembleText(" ORG $E000\n NOP");
    EXPECT_EQ(s19Text(result, "hello"),
              "S008000068656C6C6FE3\n"
              "S104E000011A\n"
              "S9030000FC\n");
}

TEST(OutputFilesTest, SymbolFileListsCodeLinesThenEverySymbol) {
    const AssemblyResult result =
        assembleText(" ORG $E000\nSTART LDAA #1\n\nCOUNT EQU $40\n FCB 1\n RMB 2\n");
    EXPECT_EQ(symbolFileText(result),
              "#MODULE T t.asm\n"
              "E000 2\n"
              "E002 5\n"
              "#END\n"
              "#SYMBOL\n"
              "E000 START\n"
              "0040 COUNT\n"
              "#END\n");
}

}  // namespace
}  // namespace tarnwick::asm11
