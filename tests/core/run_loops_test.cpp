#include "core/run_loops.h"

#include <gtest/gtest.h>

#include "program_fixture.h"

namespace tarnwick::testing {
namespace {

// main:  8000 LDAA #1 / 8002 JSR $9000 / 8005 INCA / 8006 PSHA / 8007 PULA / 8008 BRA *
// sub:   9000 INCB / 9001 JSR $9100 / 9004 INCB / 9005 RTS
// inner: 9100 INX / 9101 RTS
// loop:  A000 INCB / A001 BRA $A000
class RunLoopsTest : public ProgramFixture {
  protected:
    RunLoopsTest() {
        load(0x8000, {0x86, 0x01, 0xBD, 0x90, 0x00, 0x4C, 0x36, 0x32, 0x20, 0xFE});
        load(0x9000, {0x5C, 0xBD, 0x91, 0x00, 0x5C, 0x39});
        load(0x9100, {0x08, 0x39});
        load(0xA000, {0x5C, 0x20, 0xFD});
        std::uint16_t line = 1;
        for (std::uint16_t a : {0x8000, 0x8002, 0x8005, 0x8006, 0x8007, 0x8008, 0x9000, 0x9001,
                                0x9004, 0x9005, 0x9100, 0x9101})
            markLine(a, line++);
        resetWithStack();
    }

    void startAt(std::uint16_t pc) { machine->pc = pc; }
    void pauseAtFirstPump() {
        host.onProcessEvents = [this] {
            machine->requests.stop = true;
            machine->requests.pause = true;
        };
    }
};

TEST_F(RunLoopsTest, TraceIntoRunsOneInstructionWhereEveryInstructionHasALine) {
    traceInto(*machine);
    EXPECT_EQ(machine->pc, 0x8002);
    traceInto(*machine);
    EXPECT_EQ(machine->pc, 0x9000);
    EXPECT_EQ(host.refreshTimerChanges, (std::vector<bool>{true, false, true, false}));
}

TEST_F(RunLoopsTest, TraceIntoRunsToTheNextLine) {
    markLine(0x8002, 0);
    markLine(0x9000, 0);
    traceInto(*machine);
    EXPECT_EQ(machine->pc, 0x9001);
}

TEST_F(RunLoopsTest, StepOverRunsTheWholeSubroutine) {
    startAt(0x8002);
    stepOver(*machine);
    EXPECT_EQ(machine->pc, 0x8005);
    EXPECT_EQ(machine->b, 2);
    EXPECT_EQ(machine->ix, 1);
    EXPECT_EQ(machine->sp, 0x00FF);
}

TEST_F(RunLoopsTest, StepOverAStackChangeTakesTheNewStackLevel) {
    startAt(0x8006);
    stepOver(*machine);  // PSHA
    EXPECT_EQ(machine->pc, 0x8007);
    EXPECT_EQ(machine->sp, 0x00FE);
    stepOver(*machine);  // PULA
    EXPECT_EQ(machine->pc, 0x8008);
}

TEST_F(RunLoopsTest, StepOutRunsNestedCallsAndStopsAfterTheReturn) {
    startAt(0x8002);
    traceInto(*machine);
    ASSERT_EQ(machine->pc, 0x9000);
    stepOut(*machine);
    EXPECT_EQ(machine->pc, 0x8005);
    EXPECT_EQ(machine->b, 2);
    EXPECT_EQ(machine->ix, 1);
}

TEST_F(RunLoopsTest, StepOutLooksForALineAfterTheReturn) {
    markLine(0x8005, 0);
    markLine(0x8006, 0);
    startAt(0x9000);
    machine->sp = 0x00FD;
    setWord(0x00FE, 0x8005);
    stepOut(*machine);
    EXPECT_EQ(machine->pc, 0x8007);
}

TEST_F(RunLoopsTest, BreakpointStopsRunOnItsPassCount) {
    startAt(0xA000);
    setBreakpoint(0xA000, 3);
    run(*machine);
    EXPECT_EQ(machine->pc, 0xA000);
    EXPECT_EQ(machine->memory[0xA000].hit, 3);
    EXPECT_EQ(machine->b, 3);
    EXPECT_FALSE(machine->requests.stop);
}

TEST_F(RunLoopsTest, PauseEndsRunAndTheFinishLineRunReachesALine) {
    startAt(0xA000);
    markLine(0xA001, 7);
    pauseAtFirstPump();
    run(*machine);
    EXPECT_EQ(machine->pc, 0xA001);
    EXPECT_EQ(host.eventPumps, 1);  // the finish-line run does not pump
    EXPECT_FALSE(machine->requests.pause);
    EXPECT_FALSE(machine->requests.stop);
}

TEST_F(RunLoopsTest, FinishLineRunGivesUpAfterAThousandSteps) {
    startAt(0xA000);
    pauseAtFirstPump();
    run(*machine);
    // 100 steps in the batch, 1000 more in the finish-line run: 550 loop passes of INCB and BRA.
    EXPECT_EQ(machine->b, static_cast<std::uint8_t>(550));
}

TEST_F(RunLoopsTest, RunToAddressStopsAtABreakpointOnTheWay) {
    startAt(0x8000);
    setBreakpoint(0x9004, 1);
    const std::uint8_t flagsBefore = machine->memory[0x8008].flags;
    runToAddress(*machine, 0x8008);
    EXPECT_EQ(machine->pc, 0x9004);
    EXPECT_EQ(machine->activeStopCount, 1);
    EXPECT_EQ(machine->memory[0x8008].flags, flagsBefore);

    runToAddress(*machine, 0x8008);
    EXPECT_EQ(machine->pc, 0x8008);
}

TEST_F(RunLoopsTest, RunFreelyPassesBreakpointsAndWrapsTheirHits) {
    startAt(0xA000);
    setBreakpoint(0xA001, 2);
    load(0xA001, {0xC1, 0x05, 0x26, 0xFB, 0x01});  // CMPB #5 / BNE $A000 / NOP
    runFreelyToAddress(*machine, 0xA005);
    EXPECT_EQ(machine->pc, 0xA005);
    EXPECT_EQ(machine->b, 5);
    EXPECT_EQ(machine->memory[0xA001].hit, 1);  // five passes, wrapping at 2
    EXPECT_EQ(machine->activeStopCount, 1);
}

TEST_F(RunLoopsTest, RunFreelyWithoutAStopRunsNothing) {
    runFreely(*machine);
    EXPECT_EQ(machine->pc, 0x8000);
}

TEST_F(RunLoopsTest, RunToCycleStopsAtTheFirstLineAtOrPastTheTarget) {
    startAt(0xA000);
    markLine(0xA000, 1);
    runToCycle(*machine, 100);
    EXPECT_GE(machine->cycleCounter, 100u);
    EXPECT_LT(machine->cycleCounter, 100u + 5u);
    EXPECT_EQ(machine->pc, 0xA000);

    const std::uint32_t before = machine->cycleCounter;
    runToCycle(*machine, 10);  // below the counter: the next line
    EXPECT_EQ(machine->cycleCounter, before + 5u);

    // A target just below the counter's wrap is reached when a step wraps past it.
    machine->cycleCounter = 0xFFFFFFF1u;  // passes of 5 cycles step from FFFFFFFB to 0
    runToCycle(*machine, 0xFFFFFFFEu);
    EXPECT_LT(machine->cycleCounter, 0xFFFFFFF0u);
    EXPECT_EQ(machine->pc, 0xA000);
}

TEST_F(RunLoopsTest, IllegalOpcodeEndsTheRun) {
    setWord(0xFFF8, 0xB000);
    load(0xB000, {0x20, 0xFE});
    load(0xA000, {0x00});
    startAt(0xA000);
    run(*machine);
    EXPECT_EQ(machine->pc, 0xB000);
    EXPECT_EQ(machine->peek16(static_cast<std::uint16_t>(machine->sp + 8)), 0xA001);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "WARNING: Entering Illegal Opcode Trap Interrupt");
}

// With a breakpoint set every loop takes its checking variant; each treats a breakpoint that
// lies on its way in its own manner.
TEST_F(RunLoopsTest, CheckingVariantsCountOrStopAtBreakpointsOnTheirWay) {
    struct Case {
        const char* loop;
        void (*command)(Machine&);
        std::uint16_t start;
        std::uint16_t breakpoint;
        std::uint16_t hitCount;
        std::uint16_t expectedPc;
        std::uint16_t expectedHit;
    };
    const Case cases[] = {
        // Trace into counts the pass but stops only at the next line.
        {"trace into", traceInto, 0x8000, 0x8002, 5, 0x8002, 1},
        // Step over and step out stop at a breakpoint inside the code they run through.
        {"step over", stepOver, 0x8002, 0x9004, 1, 0x9004, 1},
        {"step out", stepOut, 0x9000, 0x9100, 1, 0x9100, 1},
        // Step over a JSR whose breakpoint has not reached its pass count yet.
        {"step over, pass 1 of 2", stepOver, 0x8002, 0x9004, 2, 0x8005, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.loop);
        resetWithStack();
        for (std::uint16_t a : {0x8002, 0x9004, 0x9100})
            machine->memory[a].hit = machine->memory[a].hitCount = 0;
        machine->activeStopCount = 0;
        setBreakpoint(c.breakpoint, c.hitCount);
        if (c.start == 0x9000) {
            machine->sp = 0x00FD;
            setWord(0x00FE, 0x8005);
        }
        startAt(c.start);
        c.command(*machine);
        EXPECT_EQ(machine->pc, c.expectedPc);
        EXPECT_EQ(machine->memory[c.breakpoint].hit, c.expectedHit);
    }
}

TEST_F(RunLoopsTest, RunToCycleWithABreakpointPassesItAndWrapsItsHits) {
    startAt(0xA000);
    markLine(0xA000, 1);
    setBreakpoint(0xA000, 4);
    runToCycle(*machine, 50);  // ten passes of INCB (2) and BRA (3)
    EXPECT_EQ(machine->cycleCounter, 50u);
    EXPECT_EQ(machine->memory[0xA000].hit, 2);  // 10 passes, wrapping at 4
}

class RunLoopsInterruptTest : public RunLoopsTest {
  protected:
    // RTI handler at C000: LDAA #$40 / STAA TFLG2 / RTI, with a line only at its second
    // instruction.
    RunLoopsInterruptTest() {
        setWord(0xFFF0, 0xC000);
        load(0xC000, {0x86, 0x40, 0xB7, 0x10, 0x25, 0x3B});
        markLine(0xC002, 30);
        machine->poke(0x1024, 0x40);  // RTII
        machine->flags.i = false;
        machine->cliMark = 0xFFFFFFFF;
    }
};

TEST_F(RunLoopsInterruptTest, TraceIntoEntersAPendingInterruptAndStopsAtTheHandlersLine) {
    machine->peripherals.rti.request = true;
    traceInto(*machine);
    EXPECT_EQ(machine->pc, 0xC002);
    EXPECT_EQ(machine->a, 0x40);
    EXPECT_EQ(machine->peek16(0x00FE), 0x8002);  // LDAA #1 ran, then the interrupt
}

TEST_F(RunLoopsInterruptTest, StepOverRunsAnInterruptTakenOnTheWay) {
    machine->peripherals.rti.request = true;
    stepOver(*machine);  // LDAA #1, then the interrupt and its whole handler
    EXPECT_EQ(machine->pc, 0x8002);
    EXPECT_EQ(machine->a, 0x01);  // restored by RTI
    EXPECT_EQ(machine->peripherals.rti.timeoutCount(), 1u);
    EXPECT_EQ(machine->sp, 0x00FF);
}

TEST_F(RunLoopsInterruptTest, StepOverWaiStopsAfterTheHandlerReturns) {
    load(0x8000, {0x3E, 0x01});  // WAI, NOP (no line at the NOP)
    markLine(0x8001, 0);
    markLine(0x8002, 0);
    stepOver(*machine);
    EXPECT_EQ(machine->pc, 0x8001);
    EXPECT_EQ(machine->peripherals.rti.timeoutCount(), 1u);
    EXPECT_GE(machine->cycleCounter, 8192u);
}

// Every wake-up of WAI / BRA back to it is an interrupt taken out of WAI, which costs no
// cycles: the timer and the steps' cycles, as hc11run totals them, keep to the cycle counter.
TEST_F(RunLoopsInterruptTest, WakingFromWaiAdvancesNothing) {
    load(0x8000, {0x3E, 0x20, 0xFD});
    std::uint64_t stepped = 0;
    runUntil(*machine, [this, &stepped] {
        stepped += machine->stepCycles;
        return machine->peripherals.rti.timeoutCount() == 3;
    });
    machine->peripherals.settle();
    EXPECT_EQ(stepped, machine->cycleCounter);
    EXPECT_EQ(machine->peripherals.timer.tcnt(), machine->cycleCounter & 0xFFFF);

    // Stepped over, the poll follows the instruction: the idle WAI's cycle is the step's.
    resetWithStack();
    machine->flags.i = false;
    machine->poke(0x1024, 0x40);
    for (int wakeUps = 0; wakeUps < 3; ++wakeUps) {
        stepOver(*machine);  // WAI, the handler
        ASSERT_EQ(machine->pc, 0x8001);
        stepOver(*machine);  // BRA
    }
    machine->peripherals.settle();
    EXPECT_EQ(machine->peripherals.rti.timeoutCount(), 3u);
    EXPECT_EQ(machine->peripherals.timer.tcnt(), machine->cycleCounter & 0xFFFF);
}

TEST_F(RunLoopsInterruptTest, StepOutOfAnInterruptHandler) {
    markLine(0xC000, 29);
    machine->peripherals.rti.request = true;
    traceInto(*machine);
    ASSERT_EQ(machine->pc, 0xC000);
    stepOut(*machine);
    EXPECT_EQ(machine->pc, 0x8002);
    EXPECT_EQ(machine->sp, 0x00FF);
}

}  // namespace
}  // namespace tarnwick::testing
