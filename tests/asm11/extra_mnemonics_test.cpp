// The extra mnemonics: the bytes of each expansion, read back by an independent disassembler,
// and #EXTRAON/#EXTRAOFF against -X.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "asm11/assemble_text.h"
#include "asm11/objdump_s19.h"
#include "asm11/output_files.h"

namespace tarnwick::asm11 {
namespace {

struct ExtraCase {
    const char* line;  // assembled at $0100
    std::vector<std::uint8_t> bytes;
};

const ExtraCase kExtraCases[] = {
    {" LDA #1", {0x86, 0x01}},
    {" LDA $10", {0x96, 0x10}},
    {" LDB $1234", {0xF6, 0x12, 0x34}},
    {" STA 0,X", {0xA7, 0x00}},
    {" STB 0,Y", {0x18, 0xE7, 0x00}},
    {" ORA #$0F", {0x8A, 0x0F}},
    {" ORB $10", {0xDA, 0x10}},
    {" CMPD #$1234", {0x1A, 0x83, 0x12, 0x34}},
    {" CMPX $10", {0x9C, 0x10}},
    {" CMPY 0,X", {0x1A, 0xAC, 0x00}},
    {" WAIT", {0x3E}},
    {" CLRD", {0x4F, 0x5F}},
    {" CLRX", {0xCE, 0x00, 0x00}},
    {" CLX", {0xCE, 0x00, 0x00}},
    {" CLRY", {0x18, 0xCE, 0x00, 0x00}},
    {" INCD", {0xC3, 0x00, 0x01}},
    {" DECD", {0x83, 0x00, 0x01}},
    {" COMD", {0x43, 0x53}},
    {" NEGD", {0x40, 0x50, 0x82, 0x00}},
    {" ROLD", {0x59, 0x49}},
    {" RORD", {0x46, 0x56}},
    {" PSHD", {0x37, 0x36}},
    {" PULD", {0x32, 0x33}},
    {" XGAB", {0x36, 0x17, 0x33}},
    {" XGXY", {0x8F, 0x18, 0x8F, 0x8F}},
    {" LBRA $1234", {0x7E, 0x12, 0x34}},
    {" LBSR $1234", {0xBD, 0x12, 0x34}},
    {" LBSR $10", {0x9D, 0x10}},
    {" JCC $1234", {0x25, 0x03, 0x7E, 0x12, 0x34}},
    {" JCS $1234", {0x24, 0x03, 0x7E, 0x12, 0x34}},
    {" JEQ $1234", {0x26, 0x03, 0x7E, 0x12, 0x34}},
    {" JNE $1234", {0x27, 0x03, 0x7E, 0x12, 0x34}},
    {" JGE $1234", {0x2D, 0x03, 0x7E, 0x12, 0x34}},
    {" JLT $1234", {0x2C, 0x03, 0x7E, 0x12, 0x34}},
    {" JGT $1234", {0x2F, 0x03, 0x7E, 0x12, 0x34}},
    {" JLE $1234", {0x2E, 0x03, 0x7E, 0x12, 0x34}},
    {" JHI $1234", {0x23, 0x03, 0x7E, 0x12, 0x34}},
    {" JLS $1234", {0x22, 0x03, 0x7E, 0x12, 0x34}},
    {" JHS $1234", {0x25, 0x03, 0x7E, 0x12, 0x34}},
    {" JLO $1234", {0x24, 0x03, 0x7E, 0x12, 0x34}},
    {" JMI $1234", {0x2A, 0x03, 0x7E, 0x12, 0x34}},
    {" JPL $1234", {0x2B, 0x03, 0x7E, 0x12, 0x34}},
    {" JVC $1234", {0x29, 0x03, 0x7E, 0x12, 0x34}},
    {" JVS $1234", {0x28, 0x03, 0x7E, 0x12, 0x34}},
    {" jeq 0,x", {0x26, 0x02, 0x6E, 0x00}},
    {" JEQ *", {0x26, 0x03, 0x7E, 0x01, 0x00}},
    {" JCS DONE\nDONE NOP", {0x24, 0x03, 0x7E, 0x01, 0x05, 0x01}},
    {" OS 5", {0x3F, 0x05}},
    {" OSW $1234", {0x3F, 0x12, 0x34}},
    {" PUSH", {0x36, 0x37, 0x3C, 0x18, 0x3C}},
    {" PULL", {0x18, 0x38, 0x38, 0x33, 0x32}},
    {" TXY", {0x3C, 0x18, 0x38}},
    {" TYX", {0x18, 0x3C, 0x38}},
    // The branch counts from the address after the compare: CMPA #5 takes 2 bytes.
    {" CBEQA #5,*", {0x81, 0x05, 0x27, 0xFC}},
    {" CBEQB 2,X,$0110", {0xE1, 0x02, 0x27, 0x0C}},
    {" DBNZA *", {0x4A, 0x26, 0xFD}},
    {" DBNZB $0100", {0x5A, 0x26, 0xFD}},
    {" DBNZX $0100", {0x09, 0x26, 0xFD}},
    {" DBNZY $0100", {0x18, 0x09, 0x26, 0xFC}},
    // The steps without an operand of their own are encoded once and reused.
    {" CLRD\n NEGD\n CLRD", {0x4F, 0x5F, 0x40, 0x50, 0x82, 0x00, 0x4F, 0x5F}},
};

TEST(ExtraMnemonics, EachExpandsToItsBytes) {
    for (const ExtraCase& c : kExtraCases) {
        const AssemblyResult result = assembleText(std::string(" ORG $100\n") + c.line);
        EXPECT_EQ(result.errors, 0) << c.line << "\n" << allMessages(result);
        EXPECT_EQ(bytesAt(result, 0x100), c.bytes) << c.line;
    }
}

struct DisassembledCase {
    const char* line;
    // The instructions as objdump prints them, "; " between; ".+N" is N bytes on from the
    // line's own address.
    const char* instructions;
};

const DisassembledCase kDisassembledCases[] = {
    {" LDA #$12", "ldaa #0x12"},
    {" LDB $1234", "ldab 0x1234"},
    {" STA $10", "staa *0x10"},
    {" STB 5,Y", "stab 0x5,y"},
    {" ORA #$0F", "oraa #0xf"},
    {" ORB 0,X", "orab 0x0,x"},
    {" CMPD #$1234", "cpd #0x1234"},
    {" CMPX $10", "cpx *0x10"},
    {" CMPY 3,X", "cpy 0x3,x"},
    {" WAIT", "wai"},
    {" CLRD", "clra; clrb"},
    {" CLRX", "ldx #0x0"},
    {" CLX", "ldx #0x0"},
    {" CLRY", "ldy #0x0"},
    {" INCD", "addd #0x1"},
    {" DECD", "subd #0x1"},
    {" COMD", "coma; comb"},
    {" NEGD", "nega; negb; sbca #0x0"},
    {" ROLD", "rolb; rola"},
    {" RORD", "rora; rorb"},
    {" PSHD", "pshb; psha"},
    {" PULD", "pula; pulb"},
    {" XGAB", "psha; tba; pulb"},
    {" XGXY", "xgdx; xgdy; xgdx"},
    {" LBRA $1234", "jmp 0x1234"},
    {" LBSR $1234", "jsr 0x1234"},
    // binutils calls BHS bcc and BLO bcs.
    {" JCC $1234", "bcs .+5; jmp 0x1234"},
    {" JCS $1234", "bcc .+5; jmp 0x1234"},
    {" JEQ $1234", "bne .+5; jmp 0x1234"},
    {" JNE $1234", "beq .+5; jmp 0x1234"},
    {" JGE $1234", "blt .+5; jmp 0x1234"},
    {" JLT $1234", "bge .+5; jmp 0x1234"},
    {" JGT $1234", "ble .+5; jmp 0x1234"},
    {" JLE $1234", "bgt .+5; jmp 0x1234"},
    {" JHI $1234", "bls .+5; jmp 0x1234"},
    {" JLS $1234", "bhi .+5; jmp 0x1234"},
    {" JHS $1234", "bcs .+5; jmp 0x1234"},
    {" JLO $1234", "bcc .+5; jmp 0x1234"},
    {" JMI $1234", "bpl .+5; jmp 0x1234"},
    {" JPL $1234", "bmi .+5; jmp 0x1234"},
    {" JVC $1234", "bvs .+5; jmp 0x1234"},
    {" JVS $1234", "bvc .+5; jmp 0x1234"},
    {" JEQ 0,X", "bne .+4; jmp 0x0,x"},
    // The operands chosen so that the bytes after SWI read back as instructions.
    {" OS $01", "swi; nop"},
    {" OSW $4F5F", "swi; clra; clrb"},
};

TEST(ExtraMnemonics, ObjdumpReadsBackTheExpansions) {
    ASSERT_TRUE(objdumpInstalled()) << "m68hc11-objdump is missing: install binutils-m68hc1x";
    // Each case at an address of its own, so that objdump starts afresh on each.
    const auto origin = [](std::size_t index) { return 0x1000 + 0x20 * index; };
    std::string source;
    for (std::size_t i = 0; i < std::size(kDisassembledCases); ++i)
        source += " ORG " + std::to_string(origin(i)) + "\n" + kDisassembledCases[i].line + "\n";
    const AssemblyResult result = assembleText(source);
    ASSERT_EQ(result.errors, 0) << allMessages(result);
    const std::map<std::uint32_t, ObjdumpInstruction> decoded = objdumpS19(s19Text(result, ""));

    for (std::size_t i = 0; i < std::size(kDisassembledCases); ++i) {
        std::string actual;
        for (auto it = decoded.lower_bound(origin(i));
             it != decoded.end() && it->first < origin(i + 1); ++it) {
            if (!actual.empty()) actual += "; ";
            actual += it->second.mnemonic;
            if (!it->second.operands.empty()) actual += " " + it->second.operands;
        }
        std::string expected = kDisassembledCases[i].instructions;
        std::smatch offset;
        while (std::regex_search(expected, offset, std::regex(R"(\.\+(\d+))"))) {
            char target[16];
            std::snprintf(target, sizeof target, "0x%zx", origin(i) + std::stoul(offset[1].str()));
            expected.replace(static_cast<std::size_t>(offset.position()),
                             static_cast<std::size_t>(offset.length()), target);
        }
        EXPECT_EQ(actual, expected) << kDisassembledCases[i].line;
    }
}

TEST(ExtraMnemonics, DirectivesSwitchThemOverTheOption) {
    AsmOptions off;
    off.extraMnemonics = false;
    const AssemblyResult refused = assembleText(" ORG $100\n CLRD", off);
    EXPECT_EQ(allMessages(refused).find("[2] Unknown instruction: CLRD") != std::string::npos, true)
        << allMessages(refused);
    const AssemblyResult on = assembleText(" ORG $100\n#EXTRAON\n CLRD\n#EXTRAOFF\n CLRA", off);
    EXPECT_EQ(on.errors, 0) << allMessages(on);
    EXPECT_EQ(bytesAt(on, 0x100), (std::vector<std::uint8_t>{0x4F, 0x5F, 0x4F}));
}

}  // namespace
}  // namespace tarnwick::asm11
