// The branch conditions, BRSET and BRCLR, and a subroutine call and return.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "instruction_fixture.h"

namespace tarnwick::testing {
namespace {

TEST_F(InstructionsTest, BranchConditions) {
    const struct {
        std::uint8_t opcode;
        std::uint8_t ccr;
        bool taken;
    } cases[] = {
        {0x20, 0, true},
        {0x21, kN | kZ | kV | kC, false},
        {0x21, 0, false},
        {0x22, 0, true},
        {0x22, kC, false},
        {0x22, kZ, false},
        {0x23, 0, false},
        {0x23, kC, true},
        {0x23, kZ, true},
        {0x24, 0, true},
        {0x24, kC, false},
        {0x25, kC, true},
        {0x25, kZ, false},
        {0x26, 0, true},
        {0x26, kZ, false},
        {0x27, kZ, true},
        {0x27, kN, false},
        {0x28, 0, true},
        {0x28, kV, false},
        {0x29, kV, true},
        {0x29, kC, false},
        {0x2A, 0, true},
        {0x2A, kN, false},
        {0x2B, kN, true},
        {0x2B, kZ, false},
        {0x2C, kN | kV, true},
        {0x2C, kN, false},
        {0x2C, kV, false},
        {0x2D, kN, true},
        {0x2D, kV, true},
        {0x2D, kN | kV, false},
        {0x2E, kN | kV, true},
        {0x2E, kZ, false},
        {0x2E, kN, false},
        {0x2F, kZ | kN | kV, true},
        {0x2F, kV, true},
        {0x2F, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << std::hex << "opcode " << int(c.opcode) << " flags " << int(c.ccr));
        machine->flags = {};
        machine->flags.loadByte(c.ccr);
        machine->cycleCounter = 0;
        load(kCode, {c.opcode, 0x10});
        executeAt(kCode);
        EXPECT_EQ(machine->pc, c.taken ? kCode + 0x12 : kCode + 2);
        EXPECT_EQ(machine->stepCycles, 3);
        EXPECT_EQ(machine->flags.byte(), c.ccr);
    }
}

// The offset byte lies in undefined memory: reading it would warn.
TEST_F(InstructionsTest, BranchReadsItsOffsetOnlyWhenTaken) {
    setMemoryKind(machine->memory, 0x2FFF, 0x2FFF, MemoryKind::Undefined);
    load(0x2FFE, {0x21});  // BRN
    executeAt(0x2FFE);
    EXPECT_EQ(machine->pc, 0x3000);

    load(0x2FFE, {0x27});  // BEQ
    machine->flags.z = false;
    executeAt(0x2FFE);
    EXPECT_EQ(machine->pc, 0x3000);
    EXPECT_TRUE(host.messages.empty());

    machine->flags.z = true;
    executeAt(0x2FFE);
    EXPECT_EQ(machine->pc, 0x3000);  // the refused read gives offset 0
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].text.find("Reading 8-Bit from undef memory"), std::string::npos);
}

TEST_F(InstructionsTest, BrsetAndBrclrTestTheMaskAndLeaveTheFlags) {
    const struct {
        std::string_view name;
        std::vector<std::uint8_t> code;
        std::uint8_t value;
        bool taken;
        int cycles;
    } cases[] = {
        {"BRSET all mask bits set", {0x12, 0x40, 0x81, 0x10}, 0x81, true, 6},
        {"BRSET one mask bit clear", {0x12, 0x40, 0x81, 0x10}, 0x80, false, 6},
        {"BRCLR all mask bits clear", {0x13, 0x40, 0x81, 0x10}, 0x7E, true, 6},
        {"BRCLR one mask bit set", {0x13, 0x40, 0x81, 0x10}, 0x01, false, 6},
        {"BRSET mask 0", {0x12, 0x40, 0x00, 0x10}, 0x00, true, 6},
        {"BRCLR mask 0", {0x13, 0x40, 0x00, 0x10}, 0xFF, true, 6},
        {"BRSET 40,X", {0x1E, 0x40, 0x01, 0x10}, 0x01, true, 7},
        {"BRCLR 40,Y", {0x18, 0x1F, 0x40, 0x01, 0x10}, 0x00, true, 8},
        {"BRCLR 40,Y not taken", {0x18, 0x1F, 0x40, 0x01, 0x10}, 0x01, false, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setRegisters({.ccr = kN | kZ | kV | kC});
        machine->poke(0x0040, c.value);
        loadCode(kCode, c.code);
        executeAt(kCode);
        const auto next = static_cast<std::uint16_t>(kCode + c.code.size());
        EXPECT_EQ(machine->pc, c.taken ? next + 0x10 : next);
        EXPECT_EQ(machine->stepCycles, c.cycles);
        EXPECT_EQ(machine->flags.byte(), kN | kZ | kV | kC);
    }
}

TEST_F(InstructionsTest, JsrThenRtsReturnsAfterTheCall) {
    load(kCode, {0xBD, 0x80, 0x00});
    load(0x8000, {0x39});
    machine->sp = 0x00FF;
    executeAt(kCode, 2);
    EXPECT_EQ(machine->pc, kCode + 3);
    EXPECT_EQ(machine->sp, 0x00FF);
}

}  // namespace
}  // namespace tarnwick::testing
