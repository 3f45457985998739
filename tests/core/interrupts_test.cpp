#include <gtest/gtest.h>

#include "core/instruction_engine.h"
#include "program_fixture.h"

namespace tarnwick::testing {
namespace {

using Message = FakeHost::Message;

class InterruptsTest : public ProgramFixture {
  protected:
    static constexpr std::uint16_t kRtiHandler = 0x9000;
    static constexpr std::uint16_t kOverflowHandler = 0x9100;
    static constexpr std::uint16_t kXirqHandler = 0x9200;

    InterruptsTest() {
        setWord(0xFFF0, kRtiHandler);
        setWord(0xFFDE, kOverflowHandler);
        setWord(0xFFF4, kXirqHandler);
    }

    std::uint16_t stackedReturnAddress() const {
        return machine->peek16(static_cast<std::uint16_t>(machine->sp + 8));
    }

    // RTII and TOI set; the requests themselves are raised by the test.
    void enableTimerInterrupts() { machine->poke(0x1024, 0xC0); }
};

TEST_F(InterruptsTest, ResetLoadsTheVectorAndKeepsTheDataRegisters) {
    machine->a = 0x11;
    machine->b = 0x22;
    machine->ix = 0x3333;
    machine->iy = 0x4444;
    machine->sp = 0x1234;
    machine->flags.c = machine->flags.v = true;
    machine->cycleCounter = 999;
    machine->stopState = machine->waitState = true;
    machineReset(*machine);
    EXPECT_EQ(machine->pc, kStart);
    EXPECT_EQ(machine->sp, 0);
    EXPECT_TRUE(machine->flags.s && machine->flags.x && machine->flags.i);
    EXPECT_TRUE(machine->flags.c && machine->flags.v);
    EXPECT_FALSE(machine->stopState || machine->waitState);
    EXPECT_EQ(machine->cycleCounter, 0u);
    EXPECT_EQ(machine->d(), 0x1122);
    EXPECT_EQ(machine->ix, 0x3333);
    EXPECT_EQ(machine->iy, 0x4444);
    EXPECT_EQ(machine->peek(0x1030), 0xBF);  // the register block was reset too
}

TEST_F(InterruptsTest, InstructionAfterCliRunsBeforeAPendingInterrupt) {
    load(kStart, {0x0E, 0x01, 0x01});  // CLI, NOP, NOP
    resetWithStack();
    enableTimerInterrupts();
    machine->peripherals.rti.request = true;
    executeInstruction(*machine);
    EXPECT_FALSE(interruptPoll(*machine));
    executeInstruction(*machine);
    EXPECT_EQ(machine->pc, kStart + 2);
    ASSERT_TRUE(interruptPoll(*machine));
    EXPECT_EQ(machine->pc, kRtiHandler);
    EXPECT_EQ(stackedReturnAddress(), kStart + 2);
    EXPECT_TRUE(machine->flags.i);
    EXPECT_EQ(machine->stepCycles, 12);
    EXPECT_EQ(machine->cycleCounter, 2u + 2u + 12u);
    EXPECT_EQ(machine->peripherals.rti.timeoutCount(), 1u);
}

TEST_F(InterruptsTest, RtiComesBeforeOverflowWhichFollowsOnceRtiIsCleared) {
    // RTI handler: LDAA #$40 / STAA TFLG2 / RTI; overflow handler: RTI.
    load(kRtiHandler, {0x86, 0x40, 0xB7, 0x10, 0x25, 0x3B});
    load(kOverflowHandler, {0x3B});
    load(kStart, {0x01});
    resetWithStack();
    enableTimerInterrupts();
    machine->flags.i = false;
    machine->cliMark = 0xFFFFFFFF;
    machine->peripherals.rti.request = true;
    machine->peripherals.timer.request = true;
    ASSERT_TRUE(interruptPoll(*machine));
    EXPECT_EQ(machine->pc, kRtiHandler);
    for (int i = 0; i < 3; ++i) executeInstruction(*machine);
    EXPECT_FALSE(machine->peripherals.rti.request);
    EXPECT_EQ(machine->pc, kStart);
    ASSERT_TRUE(interruptPoll(*machine));
    EXPECT_EQ(machine->pc, kOverflowHandler);
}

TEST_F(InterruptsTest, PendingRequestWithItsEnableClearIsNeverTaken) {
    load(kStart, {0x01});
    resetWithStack();
    machine->flags.i = false;
    machine->cliMark = 0xFFFFFFFF;
    machine->peripherals.rti.request = true;
    EXPECT_FALSE(interruptPoll(*machine));
    EXPECT_TRUE(machine->peripherals.rti.request);
    EXPECT_EQ(machine->pc, kStart);
}

TEST_F(InterruptsTest, XirqIsMaskedOnlyByX) {
    load(kStart, {0x01, 0x01});
    resetWithStack();
    machine->flags.i = true;
    machine->peripherals.xirq.bxirqLevelClick();
    EXPECT_FALSE(interruptPoll(*machine));  // X set: nothing happens
    EXPECT_TRUE(machine->peripherals.xirqPending());
    machine->flags.x = false;
    ASSERT_TRUE(interruptPoll(*machine));
    EXPECT_EQ(machine->pc, kXirqHandler);
    EXPECT_TRUE(machine->flags.i && machine->flags.x);
    EXPECT_EQ(machine->peripherals.xirq.handlerCount(), 1u);
}

TEST_F(InterruptsTest, XirqEndsStop) {
    load(kStart, {0xCF, 0x01});  // STOP, NOP
    for (bool xMasked : {true, false}) {
        SCOPED_TRACE(xMasked ? "X set: wake-up" : "X clear: interrupt");
        resetWithStack();
        machine->flags.s = false;
        machine->flags.x = xMasked;
        executeInstruction(*machine);
        executeInstruction(*machine);
        EXPECT_TRUE(machine->stopState);
        EXPECT_EQ(machine->pc, kStart);
        EXPECT_EQ(machine->stepCycles, 0);
        EXPECT_EQ(machine->cycleCounter, 2u);

        machine->peripherals.xirq.bxirqPulseClick();
        const bool entered = interruptPoll(*machine);
        EXPECT_FALSE(machine->stopState);
        EXPECT_FALSE(machine->peripherals.xirqPending());
        if (xMasked) {
            EXPECT_FALSE(entered);
            EXPECT_EQ(machine->pc, kStart + 1);
            EXPECT_FALSE(machine->peripherals.xirq.pulseButton().pendingCaption);
        } else {
            EXPECT_TRUE(entered);
            EXPECT_EQ(machine->pc, kXirqHandler);
            EXPECT_EQ(stackedReturnAddress(), kStart + 1);
            EXPECT_TRUE(machine->flags.i && machine->flags.x);
        }
    }
}

TEST_F(InterruptsTest, WakeUpFromStopRunsTheNextInstructionBeforeAnyInterrupt) {
    load(kStart, {0xCF, 0x01});  // STOP, NOP
    resetWithStack();
    enableTimerInterrupts();
    machine->flags.s = false;
    machine->flags.i = false;
    machine->cliMark = 0xFFFFFFFF;
    executeInstruction(*machine);
    machine->peripherals.rti.request = true;
    machine->peripherals.xirq.bxirqLevelClick();
    EXPECT_FALSE(interruptPoll(*machine));
    EXPECT_EQ(machine->pc, kStart + 1);
    EXPECT_EQ(machine->sp, 0x00FF);
    executeInstruction(*machine);
    ASSERT_TRUE(interruptPoll(*machine));
    EXPECT_EQ(machine->pc, kRtiHandler);
    EXPECT_EQ(stackedReturnAddress(), kStart + 2);
}

TEST_F(InterruptsTest, InterruptInTheWaitStateStacksNothingMore) {
    load(kStart, {0x3E, 0x01});  // WAI, NOP
    load(kRtiHandler, {0x3B});
    resetWithStack();
    enableTimerInterrupts();
    machine->flags.i = false;
    machine->a = 0x5A;
    executeInstruction(*machine);
    EXPECT_EQ(machine->stepCycles, 14);
    EXPECT_EQ(machine->sp, 0x00FF - 9);
    EXPECT_EQ(stackedReturnAddress(), kStart + 1);
    EXPECT_FALSE(interruptPoll(*machine));  // nothing pending yet
    executeInstruction(*machine);
    EXPECT_EQ(machine->stepCycles, 1);
    EXPECT_EQ(machine->pc, kStart);

    machine->peripherals.rti.request = true;
    const std::uint32_t cycles = machine->cycleCounter;
    ASSERT_TRUE(interruptPoll(*machine));
    EXPECT_EQ(machine->cycleCounter, cycles);
    EXPECT_FALSE(machine->waitState);
    EXPECT_EQ(machine->sp, 0x00FF - 9);
    executeInstruction(*machine);  // RTI
    EXPECT_EQ(machine->pc, kStart + 1);
    EXPECT_EQ(machine->a, 0x5A);
    EXPECT_EQ(machine->sp, 0x00FF);
}

TEST_F(InterruptsTest, UninitialisedVectorReportsAndResets) {
    load(kStart, {0x01});
    setWord(0xFFF0, 0xFFFF);
    resetWithStack();
    enableTimerInterrupts();
    machine->flags.i = false;
    machine->cliMark = 0xFFFFFFFF;
    machine->peripherals.rti.request = true;
    machine->pc = 0x8123;
    interruptPoll(*machine);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, Message::Error);
    EXPECT_EQ(host.messages[0].text, "ERROR: RTI Interrupt vector is not initialized, Debug|Stop");
    EXPECT_EQ(machine->pc, kStart);  // reset
    EXPECT_EQ(machine->sp, 0);       // reset, and nothing stacked
    EXPECT_TRUE(machine->requests.stop);
}

}  // namespace
}  // namespace tarnwick::testing
