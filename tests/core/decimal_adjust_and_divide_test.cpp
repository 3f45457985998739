// DAA after a BCD addition, and the integer and fractional divides.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "instruction_fixture.h"

namespace tarnwick::testing {
namespace {

// The sum of two BCD bytes, corrected by DAA.
TEST_F(InstructionsTest, DaaCorrectsABcdSum) {
    const struct {
        std::uint8_t augend, addend, sum;
        bool carry;
    } cases[] = {
        {0x19, 0x28, 0x47, false}, {0x99, 0x01, 0x00, true}, {0x99, 0x99, 0x98, true},
        {0x45, 0x45, 0x90, false}, {0x50, 0x50, 0x00, true}, {0x08, 0x08, 0x16, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << int(c.augend) << " + " << int(c.addend));
        machine->a = c.augend;
        machine->flags = {};
        load(kCode, {0x8B, c.addend, 0x19});  // ADDA #addend; DAA
        executeAt(kCode, 2);
        EXPECT_EQ(machine->a, c.sum);
        EXPECT_EQ(machine->flags.c, c.carry);
        EXPECT_EQ(machine->flags.z, c.sum == 0);
        EXPECT_EQ(machine->flags.n, (c.sum & 0x80) != 0);
        EXPECT_EQ(machine->stepCycles, 2);
    }
}

TEST_F(InstructionsTest, DaaDecidesBothCorrectionsBeforeAdjustingAndLeavesH) {
    machine->a = 0x94;
    machine->flags = {.h = true};
    load(kCode, {0x19});
    executeAt(kCode);
    EXPECT_EQ(machine->a, 0x9A);  // the low correction alone; 9A after it does not add 60
    EXPECT_FALSE(machine->flags.c);
    EXPECT_TRUE(machine->flags.h);
    EXPECT_TRUE(machine->flags.n);
}

TEST_F(InstructionsTest, IdivAndFdivIncludingDivisionByZero) {
    constexpr std::uint8_t kIdiv = 0x02;
    constexpr std::uint8_t kFdiv = 0x03;
    const struct {
        std::string_view name;
        std::uint8_t opcode;
        std::uint16_t d, ix;
        std::uint8_t ccr;
        std::uint16_t remainder, quotient;
        std::uint8_t ccrAfter;
    } cases[] = {
        {"IDIV 7 / 0", kIdiv, 7, 0, kN | kZ | kV, 7, 0xFFFF, kN | kC},
        {"IDIV 100 / 7", kIdiv, 100, 7, kZ | kV | kC, 2, 14, 0},
        {"IDIV 3 / 7", kIdiv, 3, 7, kN, 3, 0, kN | kZ},
        {"IDIV FFFF / 1", kIdiv, 0xFFFF, 1, 0, 0, 0xFFFF, 0},
        {"FDIV 4000 / 8000", kFdiv, 0x4000, 0x8000, kN | kZ | kV | kC, 0, 0x8000, kN},
        {"FDIV 1 / 3", kFdiv, 1, 3, 0, 1, 0x5555, 0},
        {"FDIV 0 / 5", kFdiv, 0, 5, kV, 0, 0, kZ},
        {"FDIV 1234 / 1234", kFdiv, 0x1234, 0x1234, kZ | kC, 0x1234, 0xFFFF, kV},
        {"FDIV 0 / 0", kFdiv, 0, 0, kN | kZ, 0, 0xFFFF, kN | kV | kC},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine->setD(c.d);
        machine->ix = c.ix;
        machine->flags = {};
        machine->flags.loadByte(c.ccr);
        machine->cycleCounter = 0;
        load(kCode, {c.opcode});
        executeAt(kCode);
        EXPECT_EQ(machine->d(), c.remainder);
        EXPECT_EQ(machine->ix, c.quotient);
        EXPECT_EQ(machine->flags.byte(), c.ccrAfter);
        EXPECT_EQ(machine->cycleCounter, 41u);
    }
}

}  // namespace
}  // namespace tarnwick::testing
