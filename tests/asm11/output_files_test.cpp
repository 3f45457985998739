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
