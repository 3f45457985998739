// Each mnemonic in every addressing form it has.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "base/instruction_set.h"
#include "instruction_fixture.h"

namespace tarnwick::testing {
namespace {

// One example per mnemonic, run through every addressing form the mnemonic has: each form must
// reach its operand and work on its own register. The memory operand lies at 0x0040 (direct),
// 0x1234 (extended), IX + 5 and IY + 5; an example that leaves an index register at 0 gets
// 0x0100 in IX and 0x0200 in IY as the base.
struct FamilyCase {
    std::string_view mnemonic;
    Registers before;
    std::vector<std::uint8_t> operand;
    Registers after;
    std::vector<std::uint8_t> memoryAfter = {};
};

// clang-format off
const FamilyCase kFamilyCases[] = {
    {"SUBA", {.a = 0x50}, {0x20}, {.a = 0x30}},
    {"CMPA", {.a = 0x20}, {0x20}, {.a = 0x20, .ccr = kZ}},
    {"SBCA", {.a = 0x50, .ccr = kC}, {0x20}, {.a = 0x2F}},
    {"ANDA", {.a = 0xF3}, {0x3C}, {.a = 0x30}},
    {"BITA", {.a = 0xF3}, {0x81}, {.a = 0xF3, .ccr = kN}},
    {"LDAA", {.a = 0x55, .ccr = kN | kV}, {0x00}, {.ccr = kZ}},
    {"STAA", {.a = 0x7F, .ccr = kZ | kV}, {}, {.a = 0x7F}, {0x7F}},
    {"EORA", {.a = 0xF0}, {0xFF}, {.a = 0x0F}},
    {"ADCA", {.a = 0x0F, .ccr = kC}, {0x70}, {.a = 0x80, .ccr = kH | kN | kV}},
    {"ORAA", {.a = 0x0F}, {0xF0}, {.a = 0xFF, .ccr = kN}},
    {"ADDA", {.a = 0xFF}, {0x01}, {.ccr = kH | kZ | kC}},
    {"SUBB", {.b = 0x50}, {0x20}, {.b = 0x30}},
    {"CMPB", {.b = 0x10}, {0x20}, {.b = 0x10, .ccr = kN | kC}},
    {"SBCB", {.ccr = kC}, {0x00}, {.b = 0xFF, .ccr = kN | kC}},
    {"ANDB", {.b = 0xFF}, {0x80}, {.b = 0x80, .ccr = kN}},
    {"BITB", {.b = 0x0F}, {0xF0}, {.b = 0x0F, .ccr = kZ}},
    {"LDAB", {}, {0x80}, {.b = 0x80, .ccr = kN}},
    {"STAB", {.b = 0x80}, {}, {.b = 0x80, .ccr = kN}, {0x80}},
    {"EORB", {.b = 0x55}, {0xAA}, {.b = 0xFF, .ccr = kN}},
    {"ADCB", {.b = 0x7F, .ccr = kC}, {0x00}, {.b = 0x80, .ccr = kH | kN | kV}},
    {"ORAB", {.ccr = kN}, {0x00}, {.ccr = kZ}},
    {"ADDB", {.b = 0x08}, {0x08}, {.b = 0x10, .ccr = kH}},
    {"SUBD", {.a = 0x10}, {0x00, 0x01}, {.a = 0x0F, .b = 0xFF}},
    {"ADDD", {.a = 0x7F, .b = 0xFF, .ccr = kH}, {0x00, 0x01}, {.a = 0x80, .ccr = kH | kN | kV}},
    {"CPD", {.a = 0x12, .b = 0x34}, {0x12, 0x34}, {.a = 0x12, .b = 0x34, .ccr = kZ}},
    {"CPX", {.ix = 0x0100}, {0x01, 0x01}, {.ix = 0x0100, .ccr = kN | kC}},
    {"CPY", {.iy = 0x0200}, {0x01, 0x00}, {.iy = 0x0200}},
    {"LDD", {}, {0x80, 0x00}, {.a = 0x80, .ccr = kN}},
    {"STD", {.a = 0x12, .b = 0x34}, {}, {.a = 0x12, .b = 0x34}, {0x12, 0x34}},
    {"LDX", {.ix = 0x0100}, {0x00, 0x00}, {.ccr = kZ}},
    {"STX", {.ix = 0x0100}, {}, {.ix = 0x0100}, {0x01, 0x00}},
    {"LDY", {.iy = 0x0200}, {0xFF, 0xFF}, {.iy = 0xFFFF, .ccr = kN}},
    {"STY", {.iy = 0x0200}, {}, {.iy = 0x0200}, {0x02, 0x00}},
    {"LDS", {}, {0x01, 0xFF}, {.sp = 0x01FF}},
    {"STS", {.sp = 0x8001}, {}, {.sp = 0x8001, .ccr = kN}, {0x80, 0x01}},
    {"NEG", {}, {0x01}, {.ccr = kN | kC}, {0xFF}},
    {"COM", {}, {0x00}, {.ccr = kN | kC}, {0xFF}},
    {"LSR", {}, {0x02}, {}, {0x01}},
    {"ROR", {.ccr = kC}, {0x00}, {.ccr = kN | kV}, {0x80}},
    {"ASR", {}, {0x80}, {.ccr = kN | kV}, {0xC0}},
    {"ASL", {}, {0x81}, {.ccr = kV | kC}, {0x02}},
    {"LSL", {}, {0x81}, {.ccr = kV | kC}, {0x02}},
    {"ROL", {.ccr = kC}, {0x00}, {}, {0x01}},
    {"DEC", {}, {0x00}, {.ccr = kN}, {0xFF}},
    {"INC", {}, {0xFF}, {.ccr = kZ}, {0x00}},
    {"TST", {.ccr = kV | kC}, {0x80}, {.ccr = kN}, {0x80}},
    {"CLR", {.ccr = kN}, {0x55}, {.ccr = kZ}, {0x00}},
    {"NEGB", {.b = 0x01}, {}, {.b = 0xFF, .ccr = kN | kC}},
    {"COMA", {}, {}, {.a = 0xFF, .ccr = kN | kC}},
    {"LSRB", {.b = 0x80}, {}, {.b = 0x40}},
    {"RORB", {.b = 0x01, .ccr = kC}, {}, {.b = 0x80, .ccr = kN | kC}},
    {"ASRB", {.b = 0x02}, {}, {.b = 0x01}},
    {"ASLA", {.a = 0x40}, {}, {.a = 0x80, .ccr = kN | kV}},
    {"LSLB", {.b = 0x01}, {}, {.b = 0x02}},
    {"ROLB", {.b = 0x7F, .ccr = kC}, {}, {.b = 0xFF, .ccr = kN | kV}},
    {"INCB", {}, {}, {.b = 0x01}},
    {"TSTB", {.ccr = kC}, {}, {.ccr = kZ}},
    {"CLRA", {.a = 0x55}, {}, {.ccr = kZ}},
    {"CLRB", {.b = 0x55}, {}, {.ccr = kZ}},
};
// clang-format on

std::uint8_t prefixOf(Page page) {
    switch (page) {
        case Page::Prefix18:
            return kPrefix18;
        case Page::Prefix1A:
            return kPrefix1A;
        default:
            return kPrefixCD;
    }
}

TEST_F(InstructionCases, EveryFormOfAMnemonicDoesItsOperation) {
    for (const FamilyCase& c : kFamilyCases) {
        int forms = 0;
        for (const InstructionForm& form : kInstructionSet) {
            if (form.mnemonic != c.mnemonic) continue;
            ++forms;
            SCOPED_TRACE(::testing::Message() << c.mnemonic << " mode " << int(form.mode));
            machine = std::make_unique<Machine>(host);
            setMemoryKind(machine->memory, 0x0000, 0xFFFF, MemoryKind::Ram);
            Registers before = c.before;
            Registers after = c.after;
            if (before.ix == 0 && after.ix == 0) before.ix = after.ix = 0x0100;
            if (before.iy == 0 && after.iy == 0) before.iy = after.iy = 0x0200;

            std::vector<std::uint8_t> code;
            if (form.page != Page::Base) code.push_back(prefixOf(form.page));
            code.push_back(form.opcode);
            std::optional<std::uint16_t> address;
            switch (form.mode) {
                case Mode::Immediate8:
                case Mode::Immediate16:
                    code.insert(code.end(), c.operand.begin(), c.operand.end());
                    break;
                case Mode::Direct:
                    code.push_back(0x40);
                    address = 0x0040;
                    break;
                case Mode::Extended:
                    code.insert(code.end(), {0x12, 0x34});
                    address = 0x1234;
                    break;
                case Mode::IndexedX:
                    code.push_back(0x05);
                    address = static_cast<std::uint16_t>(before.ix + 5);
                    break;
                case Mode::IndexedY:
                    code.push_back(0x05);
                    address = static_cast<std::uint16_t>(before.iy + 5);
                    break;
                default:
                    break;
            }
            setRegisters(before);
            loadCode(kCode, code);
            if (address) loadCode(*address, c.operand);

            executeAt(kCode);

            EXPECT_EQ(registers(), after);
            EXPECT_EQ(machine->pc, kCode + code.size());
            if (address) {
                for (std::size_t i = 0; i < c.memoryAfter.size(); ++i)
                    EXPECT_EQ(machine->peek(static_cast<std::uint16_t>(*address + i)),
                              c.memoryAfter[i]);
            }
        }
        EXPECT_GT(forms, 0) << c.mnemonic;
    }
}

}  // namespace
}  // namespace tarnwick::testing
