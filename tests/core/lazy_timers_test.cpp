// The run loops let the RTI and the timer count down to their next timeout and settle them
// only then, at register accesses and between batches. This compares a run against the same
// program stepped one step at a time with the peripherals settled after every tick.
#include <gtest/gtest.h>

#include "core/instruction_engine.h"
#include "core/run_loops.h"
#include "program_fixture.h"

namespace tarnwick::testing {
namespace {

// Reads TCNT, changes the RTI rate every pass, sends bytes through the SCI at the fastest
// rate, and takes RTI and timer-overflow interrupts whose handlers clear their flags.
void loadBusyProgram(Machine& m) {
    const std::uint8_t main[] = {
        0x8E, 0x01, 0xFF,        // LDS #$01FF
        0xCE, 0x10, 0x00,        // LDX #$1000
        0x86, 0xC0,              // LDAA #$C0
        0xA7, 0x24,              // STAA TMSK2,X: RTII and TOI
        0x6F, 0x2B,              // CLR BAUD,X
        0x86, 0x08,              // LDAA #$08
        0xA7, 0x2D,              // STAA SCCR2,X: TE
        0x0E,                    // CLI
        0xEC, 0x0E,              // LOOP LDD TCNT,X
        0xDD, 0x40,              // STD $40
        0x96, 0x42,              // LDAA $42
        0x4C,                    // INCA
        0x97, 0x42,              // STAA $42
        0x84, 0x03,              // ANDA #3
        0xA7, 0x26,              // STAA PACTL,X: another RTI rate
        0x1F, 0x2E, 0x80, 0x02,  // BRCLR SCSR,X,#$80,SKIP
        0xA7, 0x2F,              // STAA SCDR,X
        0x20, 0xEB,              // SKIP BRA LOOP
    };
    for (std::size_t i = 0; i < sizeof main; ++i)
        m.poke(static_cast<std::uint16_t>(0x8000 + i), main[i]);
    const std::uint8_t rtiHandler[] = {0x86, 0x40, 0xA7, 0x25, 0x3B};       // clear RTIF, RTI
    const std::uint8_t overflowHandler[] = {0x86, 0x80, 0xA7, 0x25, 0x3B};  // clear TOF, RTI
    for (std::size_t i = 0; i < sizeof rtiHandler; ++i) {
        m.poke(static_cast<std::uint16_t>(0x9000 + i), rtiHandler[i]);
        m.poke(static_cast<std::uint16_t>(0x9100 + i), overflowHandler[i]);
    }
    m.poke(0xFFF0, 0x90);
    m.poke(0xFFF1, 0x00);
    m.poke(0xFFDE, 0x91);
    m.poke(0xFFDF, 0x00);
    m.poke(0xFFFE, 0x80);
    m.poke(0xFFFF, 0x00);
}

class LazyTimersTest : public ProgramFixture {
  protected:
    FakeHost referenceHost;
    std::unique_ptr<Machine> reference = std::make_unique<Machine>(referenceHost);

    LazyTimersTest() {
        for (Machine* m : {machine.get(), reference.get()}) {
            setMemoryKind(m->memory, 0x0000, 0xFFFF, MemoryKind::Ram);
            setMemoryKind(m->memory, 0x1000, 0x103F, MemoryKind::Io);
            loadBusyProgram(*m);
            machineReset(*m);
        }
    }

    // Poll first (run) or execute first (trace into), with the tick taking the step cycle
    // count as the later of the two left it.
    void stepReference(int steps, bool executeFirst) {
        for (int i = 0; i < steps; ++i) {
            if (executeFirst) {
                executeInstruction(*reference);
                interruptPoll(*reference);
            } else if (!interruptPoll(*reference)) {
                executeInstruction(*reference);
            }
            reference->peripherals.tick(reference->stepCycles);
            reference->peripherals.settle();
        }
    }
};

// Trace into never stops here (no address has a source line), so both loops run whole
// batches of 100 steps until the event pump stops them.
TEST_F(LazyTimersTest, RunsMatchSteppingWithTimersSettledEveryStep) {
    int batchesLeft = 0;
    host.onProcessEvents = [&] {
        if (--batchesLeft == 0) machine->requests.stop = true;
    };
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        const bool executeFirst = round % 2 == 1;
        batchesLeft = 50;
        executeFirst ? traceInto(*machine) : run(*machine);
        stepReference(50 * 100, executeFirst);
        ASSERT_EQ(machine->cycleCounter, reference->cycleCounter);
        ASSERT_EQ(machine->pc, reference->pc);
        ASSERT_EQ(machine->d(), reference->d());
        ASSERT_EQ(machine->flags.byte(), reference->flags.byte());
        for (std::uint32_t a = 0; a < kAddressSpaceSize; ++a)
            ASSERT_EQ(machine->memory[a].value, reference->memory[a].value) << std::hex << a;
        ASSERT_EQ(machine->peripherals.rti.remainingCycles(),
                  reference->peripherals.rti.remainingCycles());
        ASSERT_EQ(machine->peripherals.rti.timeoutCount(),
                  reference->peripherals.rti.timeoutCount());
        ASSERT_EQ(machine->peripherals.timer.overflowCount(),
                  reference->peripherals.timer.overflowCount());
        ASSERT_EQ(machine->peripherals.sci.interruptCount(),
                  reference->peripherals.sci.interruptCount());
    }
    EXPECT_GT(machine->peripherals.rti.timeoutCount(), 10u);
    EXPECT_GT(machine->peripherals.timer.overflowCount(), 2u);
}

}  // namespace
}  // namespace tarnwick::testing
