// RTI, SWI, WAI and STOP: the stack frame, the vectors and the waiting states.
#include <gtest/gtest.h>

#include <cstdint>

#include "core/interrupts.h"
#include "instruction_fixture.h"

namespace tarnwick::testing {
namespace {

TEST_F(InstructionsTest, RtiRestoresTheFrameButCanOnlyClearX) {
    const struct {
        std::uint8_t stacked;
        bool xBefore;
        std::uint8_t ccr;
    } cases[] = {
        {0xD0, false, 0x90},  // H cleared, I set, X stays clear
        {0xD0, true, 0xD0},
        {0x2F, true, 0x2F},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "stacked " << std::hex << int(c.stacked));
        machine->flags = {.x = c.xBefore, .h = true};
        machine->sp = 0x00F6;
        load(0x00F7, {c.stacked, 0xBB, 0xAA, 0x11, 0x22, 0x33, 0x44, 0x56, 0x78});
        load(kCode, {0x3B});
        executeAt(kCode);
        EXPECT_EQ(machine->flags.byte(), c.ccr);
        EXPECT_EQ(machine->b, 0xBB);
        EXPECT_EQ(machine->a, 0xAA);
        EXPECT_EQ(machine->ix, 0x1122);
        EXPECT_EQ(machine->iy, 0x3344);
        EXPECT_EQ(machine->pc, 0x5678);
        EXPECT_EQ(machine->sp, 0x00FF);
        EXPECT_EQ(machine->stepCycles, 12);
    }
}

TEST_F(InstructionsTest, SwiStacksTheFrameWithTheFlagsBeforeIt) {
    load(0xFFF6, {0x30, 0x00});
    load(kCode, {0x3F});
    setRegisters(
        {.a = 0x11, .b = 0x22, .ix = 0x3344, .iy = 0x5566, .sp = 0x00FF, .ccr = kX | kN | kC});
    executeAt(kCode);

    EXPECT_EQ(machine->pc, 0x3000);
    EXPECT_EQ(machine->sp, 0x00F6);
    EXPECT_EQ(machine->flags.byte(), kX | kI | kN | kC);
    const std::uint8_t frame[] = {kX | kN | kC, 0x22, 0x11, 0x33, 0x44, 0x55, 0x66, 0x20, 0x01};
    for (std::uint16_t i = 0; i < 9; ++i)
        EXPECT_EQ(machine->peek(0x00F7 + i), frame[i]) << "at " << std::hex << 0x00F7 + i;
    EXPECT_EQ(machine->stepCycles, 14);
    EXPECT_TRUE(machine->memoryChanged);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(InstructionsTest, SwiWithoutAVectorResetsAndStopsWithoutStacking) {
    int programResets = 0;
    machine->programReset = [&programResets] { ++programResets; };
    load(0xFFF6, {0xFF, 0xFF});
    load(kCode, {0x3F});
    machine->sp = 0x00FF;
    executeAt(kCode);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, testing::FakeHost::Message::Error);
    EXPECT_EQ(host.messages[0].text,
              "FATAL ERROR: SWI Interrupt vector is not initialized, Debug|Stop");
    EXPECT_EQ(programResets, 1);
    EXPECT_TRUE(machine->requests.stop);
    EXPECT_EQ(machine->sp, 0x00FF);
    for (std::uint16_t address = 0x00F6; address <= 0x00FF; ++address)
        EXPECT_EQ(machine->peek(address), 0) << "at " << std::hex << address;
}

TEST_F(InstructionsTest, WaiStacksOnceThenWaitsOneCyclePerStepUntilAnInterrupt) {
    load(0xFFF0, {0x30, 0x00});  // RTI vector
    load(0x3000, {0x3B});        // the handler: RTI
    load(kCode, {0x3E});
    setRegisters({.a = 0x11, .sp = 0x00FF});

    executeAt(kCode);
    EXPECT_TRUE(machine->waitState);
    EXPECT_EQ(machine->pc, kCode);
    EXPECT_EQ(machine->sp, 0x00F6);
    EXPECT_EQ(machine->peek16(0x00FE), kCode + 1);
    EXPECT_EQ(machine->stepCycles, 14);
    EXPECT_EQ(machine->cycleCounter, 14u);
    EXPECT_FALSE(machine->memoryChanged);

    step(2);
    EXPECT_EQ(machine->pc, kCode);
    EXPECT_EQ(machine->sp, 0x00F6);
    EXPECT_EQ(machine->stepCycles, 1);
    EXPECT_EQ(machine->cycleCounter, 16u);
    EXPECT_EQ(machine->memory[kCode].executionCount, 3u);

    interruptEntry(*machine, InterruptSource::RealTime);
    EXPECT_FALSE(machine->waitState);
    EXPECT_EQ(machine->pc, 0x3000);
    EXPECT_EQ(machine->sp, 0x00F6);
    EXPECT_EQ(machine->cycleCounter, 16u);

    machine->a = 0;
    step();
    EXPECT_EQ(machine->pc, kCode + 1);
    EXPECT_EQ(machine->sp, 0x00FF);
    EXPECT_EQ(machine->a, 0x11);
}

TEST_F(InstructionsTest, StopWithSSetIsANop) {
    machine->flags = {.s = true};
    load(kCode, {0xCF});
    executeAt(kCode);
    EXPECT_EQ(machine->pc, kCode + 1);
    EXPECT_FALSE(machine->stopState);
    EXPECT_EQ(machine->stepCycles, 2);
}

TEST_F(InstructionsTest, StopWithSClearIdlesOnItselfAtNoCost) {
    load(kCode, {0xCF});
    executeAt(kCode);
    EXPECT_TRUE(machine->stopState);
    EXPECT_EQ(machine->pc, kCode);
    EXPECT_EQ(machine->stepCycles, 2);

    step(2);
    EXPECT_TRUE(machine->stopState);
    EXPECT_EQ(machine->pc, kCode);
    EXPECT_EQ(machine->stepCycles, 0);
    EXPECT_EQ(machine->cycleCounter, 2u);
    EXPECT_EQ(machine->memory[kCode].executionCount, 3u);
}

}  // namespace
}  // namespace tarnwick::testing
