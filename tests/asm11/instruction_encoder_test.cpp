// Instruction operands beyond the table's forms: bit instructions without an offset, TEST,
// and branch targets at and past the ends of memory.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "asm11/assemble_text.h"

namespace tarnwick::asm11 {
namespace {

const BytesCase kBytesCases[] = {
    {"bit instructions without an offset take offset 0",
     " ORG $100\n BSET ,X,#$80\n BCLR ,Y,#1\n BRSET ,X,#$80,*\n BRCLR ,Y #2 *",
     0x100,
     {0x1C, 0x00, 0x80, 0x18, 0x1D, 0x00, 0x01, 0x1E, 0x00, 0x80, 0xFC, 0x18, 0x1F, 0x00, 0x02,
      0xFB}},
    {"TEST", " ORG $100\n TEST\n test\n NOP", 0x100, {0x00, 0x00, 0x01}},
    {"a branch from the top of memory wraps to the bottom",
     " ORG $FFFC\n BRA 2",
     0xFFFC,
     {0x20, 0x04}},
    {"a branch from the bottom of memory wraps to the top",
     " ORG 0\n BRA $FFF0",
     0x0000,
     {0x20, 0xEE}},
};

TEST(InstructionEncoderTest, SourcesGiveTheirBytes) {
    for (const BytesCase& c : kBytesCases) {
        const AssemblyResult result = assembleText(c.source);
        EXPECT_EQ(result.errors, 0) << c.what << "\n" << allMessages(result);
        EXPECT_EQ(bytesAt(result, c.address), c.bytes) << c.what;
    }
}

TEST(InstructionEncoderTest, BadOperandsSayWhy) {
    const struct {
        const char* source;
        const char* message;
    } cases[] = {
        {" ORG $E000\n BRA $1E002", "ERR* t.asm [2] Branch target out of range: $1E002"},
        {" ORG $FFF0\n BSR $10000", "ERR* t.asm [2] Branch target out of range: $10000"},
        {" ORG 0\n BRA -2", "ERR* t.asm [2] Branch target out of range: -$02"},
        {" BRSET 0,#1,$FFFF+2", "ERR* t.asm [1] Branch target out of range: $10001"},
        {" BSET ,#1", "ERR* t.asm [1] BSET needs address,mask or offset,X,mask"},
        {" BRCLR ,X", "ERR* t.asm [1] BRCLR needs address,mask,target or offset,X,mask,target"},
        {" BSET -1,X,#1", "ERR* t.asm [1] Index offset out of range: -$01"},
    };
    for (const auto& c : cases) {
        const AssemblyResult result = assembleText(c.source);
        EXPECT_NE(allMessages(result).find(std::string(c.message) + "\n"), std::string::npos)
            << "expected: " << c.message << "\ngot:\n"
            << allMessages(result);
    }
}

}  // namespace
}  // namespace tarnwick::asm11
