// TAP, TPA and CLI: the instructions that move or change the condition code register.
#include <gtest/gtest.h>

#include <cstdint>

#include "core/interrupts.h"
#include "instruction_fixture.h"

namespace tarnwick::testing {
namespace {

TEST_F(InstructionsTest, TapLoadsEveryFlagButCanOnlyClearX) {
    const struct {
        std::uint8_t a;
        bool x;
        std::uint8_t ccr;
    } cases[] = {
        {0xFF, false, 0xBF},
        {0x00, true, 0x00},
        {0x40, true, 0x40},
        {0xD0, true, 0xD0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "A = " << std::hex << int(c.a) << ", X = " << c.x);
        machine->a = c.a;
        machine->flags = {.x = c.x};
        load(kCode, {0x06});
        executeAt(kCode);
        EXPECT_EQ(machine->flags.byte(), c.ccr);
        EXPECT_EQ(machine->stepCycles, 2);
    }
}

TEST_F(InstructionsTest, TpaAfterResetGivesSXAndI) {
    load(0xFFFE, {0x20, 0x00});
    load(kCode, {0x07});
    machineReset(*machine);
    step();
    EXPECT_EQ(machine->a, 0xD0);
    EXPECT_EQ(machine->stepCycles, 2);
}

TEST_F(InstructionsTest, CliClearsIAndMarksTheCycleCounterAfterItself) {
    machine->flags = {.i = true};
    machine->cycleCounter = 100;
    load(kCode, {0x0E});
    executeAt(kCode);
    EXPECT_FALSE(machine->flags.i);
    EXPECT_EQ(machine->cliMark, 102u);
}

}  // namespace
}  // namespace tarnwick::testing
