// Opcodes behind a prefix byte, and the trap taken by an opcode that does not exist.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "instruction_fixture.h"

namespace tarnwick::testing {
namespace {

TEST_F(InstructionsTest, PrefixedInstructionBelongsToItsPrefixByte) {
    load(kCode, {0x18, 0x08});  // INY
    machine->iy = 0x00FF;
    executeAt(kCode);
    EXPECT_EQ(machine->iy, 0x0100);
    EXPECT_EQ(machine->pc, kCode + 2);
    EXPECT_EQ(machine->stepCycles, 4);
    EXPECT_EQ(machine->cycleCounter, 4u);
    EXPECT_EQ(machine->instructionAddress, kCode);
    EXPECT_EQ(machine->memory[kCode].executionCount, 1u);
    EXPECT_EQ(machine->memory[kCode + 1].executionCount, 0u);
}

TEST_F(InstructionsTest, IllegalOpcodeTrapsPastItsBytes) {
    const struct {
        std::vector<std::uint8_t> code;
        std::uint16_t returnAddress;
    } cases[] = {
        {{0x00}, kCode + 1},
        {{0x1A, 0x00}, kCode + 2},
        {{0xCD, 0x01}, kCode + 2},
        {{0x18, 0x00}, kCode + 2},
    };
    load(0xFFF8, {0x50, 0x00});
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "first byte " << std::hex << int(c.code[0]));
        host.messages.clear();
        machine->requests = {};
        machine->cycleCounter = 0;
        machine->memory[kCode].executionCount = 0;
        setRegisters({.sp = 0x00FF, .ccr = kN});
        loadCode(kCode, c.code);
        executeAt(kCode);

        EXPECT_EQ(machine->pc, 0x5000);
        EXPECT_EQ(machine->sp, 0x00F6);
        EXPECT_EQ(machine->peek16(0x00FE), c.returnAddress);
        EXPECT_EQ(machine->peek(0x00F7), kN);
        EXPECT_EQ(machine->flags.byte(), kN);  // the trap leaves I and X alone
        EXPECT_EQ(machine->cycleCounter, 12u);
        EXPECT_EQ(machine->instructionAddress, kCode);
        EXPECT_EQ(machine->memory[kCode].executionCount, 1u);
        EXPECT_TRUE(machine->requests.stop);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].kind, testing::FakeHost::Message::Warning);
        EXPECT_EQ(host.messages[0].text, "WARNING: Entering Illegal Opcode Trap Interrupt");
    }
}

TEST_F(InstructionsTest, IllegalOpcodeWithoutAVectorReportsTheVectorInstead) {
    int programResets = 0;
    machine->programReset = [&programResets] { ++programResets; };
    load(0xFFF8, {0xFF, 0xFF});
    load(kCode, {0x00});
    machine->sp = 0x00FF;
    executeAt(kCode);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, testing::FakeHost::Message::Error);
    EXPECT_EQ(host.messages[0].text,
              "ERROR: Illegal Interrupt vector is not initialized, Debug|Stop");
    EXPECT_EQ(programResets, 1);
    EXPECT_TRUE(machine->requests.stop);
    EXPECT_EQ(machine->sp, 0x00FF);
    EXPECT_EQ(machine->peek16(0x00FE), 0);
    EXPECT_EQ(machine->cycleCounter, 0u);
}

}  // namespace
}  // namespace tarnwick::testing
