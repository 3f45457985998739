// The run loops compile the handlers into their loop, count the peripherals' cycles down to
// the next event and skip the interrupt poll while nothing asks for it. This runs a long
// program that keeps every peripheral busy (support/busy_program.h) through the plain and the
// checking run loop, and beside it through the plainest stepping there is: the poll, one
// instruction from the opcode table and a tick settled at once, step by step. After every
// batch the two machines must agree on everything a program, a window or the user can see.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/instruction_engine.h"
#include "core/interrupts.h"
#include "core/run_loops.h"
#include "support/busy_program.h"
#include "support/fake_host.h"

namespace tarnwick::testing {
namespace {

constexpr std::uint16_t kUndefined = 0x3000;  // 3000-3FFF hold nothing, the trap's vector too

struct Rig {
    FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);

    Rig() {
        Machine& m = *machine;
        setMemoryKind(m.memory, 0x0000, 0xFFFF, MemoryKind::Ram);
        setMemoryKind(m.memory, 0x1000, 0x103F, MemoryKind::Io);
        setMemoryKind(m.memory, 0xE000, 0xEFFF, MemoryKind::Rom);
        setMemoryKind(m.memory, kUndefined, 0x3FFF, MemoryKind::Undefined);
        for (std::size_t i = 0; i < sizeof kBusyProgram; ++i)
            m.poke(static_cast<std::uint16_t>(kBusyStart + i), kBusyProgram[i]);
        for (const auto& [address, target] : kBusyVectors) {
            m.poke(address, static_cast<std::uint8_t>(target >> 8));
            m.poke(static_cast<std::uint16_t>(address + 1), static_cast<std::uint8_t>(target));
        }
        for (std::uint8_t channel = 0; channel < 8; ++channel)
            m.peripherals.adc.channelInputs[channel] = static_cast<std::uint8_t>(channel * 37 + 5);
        m.peripherals.sciReceiver.attachInput();
        machineReset(m);
    }

    // The reference step: the poll as the run loops make it before the instruction, without
    // the attention word; the instruction through the opcode table; the tick settled at once;
    // for the checking loop the tests at the new PC.
    void stepPlainly(bool checking) {
        Machine& m = *machine;
        try {
            if (!pollWithAttention(m, PollPlace::BeforeInstruction)) executeInstruction(m);
            m.peripherals.tick(m.stepCycles);
            m.peripherals.settle();
            AddressRecord& r = m.memory[m.pc];
            if (checking) {
                if (r.flags & kTemporaryStopFlag) m.requestStop();
                if (r.hitCount != 0 && ++r.hit == r.hitCount) m.requestStop();
            }
        } catch (const InstructionAbandoned&) {
            m.requestStop();
        }
    }

    // Up to `steps` steps, fewer when a stop request ends them.
    void stepPlainly(int steps, bool checking) {
        for (int n = 0; n < steps && !machine->requests.stop; ++n) stepPlainly(checking);
    }

    void setBreakpoint(std::uint16_t address, std::uint16_t hitCount) {
        machine->memory[address].flags |= kBreakpointFlag;
        machine->memory[address].hitCount = hitCount;
        ++machine->activeStopCount;
    }

    // What the host does between batches: types a byte, or pulses XIRQ (which wakes STOP).
    void pump(int batch) {
        if (batch % 3 == 0)
            machine->peripherals.sciReceiver.queueInput(static_cast<std::uint8_t>(batch));
        if (batch % 8 == 0) machine->peripherals.xirq.bxirqPulseClick();
    }
};

void expectSameState(Rig& fastRig, Rig& plainRig, bool wholeMemory) {
    Machine& fast = *fastRig.machine;
    Machine& plain = *plainRig.machine;
    fast.peripherals.settle();
    ASSERT_EQ(fast.pc, plain.pc);
    ASSERT_EQ(fast.instructionAddress, plain.instructionAddress);
    ASSERT_EQ(fast.a, plain.a);
    ASSERT_EQ(fast.b, plain.b);
    ASSERT_EQ(fast.ix, plain.ix);
    ASSERT_EQ(fast.iy, plain.iy);
    ASSERT_EQ(fast.sp, plain.sp);
    ASSERT_EQ(fast.flags.byte(), plain.flags.byte());
    ASSERT_EQ(fast.cycleCounter, plain.cycleCounter);
    ASSERT_EQ(fast.stepCycles, plain.stepCycles);
    ASSERT_EQ(fast.cliMark, plain.cliMark);
    ASSERT_EQ(fast.waitState, plain.waitState);
    ASSERT_EQ(fast.stopState, plain.stopState);
    ASSERT_EQ(fast.memoryChanged, plain.memoryChanged);
    ASSERT_EQ(fast.requests.stop, plain.requests.stop);

    const Peripherals& p = fast.peripherals;
    const Peripherals& q = plain.peripherals;
    ASSERT_EQ(p.rti.remainingCycles(), q.rti.remainingCycles());
    ASSERT_EQ(p.rti.timeoutCount(), q.rti.timeoutCount());
    ASSERT_EQ(p.timer.tcnt(), q.timer.tcnt());
    ASSERT_EQ(p.timer.overflowCount(), q.timer.overflowCount());
    ASSERT_EQ(p.sci.interruptCount(), q.sci.interruptCount());
    ASSERT_EQ(p.sci.bitClock, q.sci.bitClock);
    ASSERT_EQ(p.sci.transmitting, q.sci.transmitting);
    for (std::uint8_t slot = 0; slot < SciTransmitter::kHistorySize; ++slot)
        ASSERT_EQ(p.sci.historyInWindowOrder(slot), q.sci.historyInWindowOrder(slot));
    ASSERT_EQ(p.sciReceiver.queuedInputCount(), q.sciReceiver.queuedInputCount());
    ASSERT_EQ(p.adc.conversionCycles, q.adc.conversionCycles);
    ASSERT_EQ(p.adc.sequenceIndex, q.adc.sequenceIndex);
    ASSERT_EQ(p.xirqPending(), q.xirqPending());
    ASSERT_EQ(p.xirq.handlerCount(), q.xirq.handlerCount());
    ASSERT_EQ(p.dueMaskableInterrupt(), q.dueMaskableInterrupt());

    ASSERT_EQ(fastRig.host.messages.size(), plainRig.host.messages.size());
    for (std::size_t i = 0; i < fastRig.host.messages.size(); ++i)
        ASSERT_EQ(fastRig.host.messages[i].text, plainRig.host.messages[i].text);

    const std::uint32_t end = wholeMemory ? kAddressSpaceSize : 0x1040;
    for (std::uint32_t a = 0; a < end; ++a) {
        const AddressRecord& x = fast.memory[a];
        const AddressRecord& y = plain.memory[a];
        ASSERT_EQ(x.value, y.value) << std::hex << a;
        ASSERT_EQ(x.executionCount, y.executionCount) << std::hex << a;
        ASSERT_EQ(x.hit, y.hit) << std::hex << a;
    }
}

class FastRunDifferentialTest : public ::testing::Test {
  protected:
    Rig fast;
    Rig plain;

    // Runs the fast rig's run loop for `batches` batches (fewer if the program stops it),
    // stepping the plain rig alongside and comparing the two after every batch.
    void runSideBySide(int batches, bool checking) {
        int batch = 0;
        const int batchSize = checking ? 1000 : 100;
        fast.host.onProcessEvents = [&] {
            ++batch;
            plain.stepPlainly(batchSize, checking);
            expectSameState(fast, plain, batch % 10 == 0);
            if (HasFatalFailure()) fast.machine->requests.stop = true;
            if (fast.machine->requests.stop) return;
            fast.pump(pumps_);
            plain.pump(pumps_);
            ++pumps_;
            if (batch == batches) fast.machine->requests.stop = true;
        };
        run(*fast.machine);
        plain.machine->requests.stop = false;
        ASSERT_NO_FATAL_FAILURE(expectSameState(fast, plain, true));
    }

    int pumps_ = 1;
};

TEST_F(FastRunDifferentialTest, RunLoopsMatchPlainStepping) {
    SCOPED_TRACE("plain run loop");
    ASSERT_NO_FATAL_FAILURE(runSideBySide(3000, false));
    const Peripherals& p = fast.machine->peripherals;
    EXPECT_GT(p.rti.timeoutCount(), 20u);
    EXPECT_GT(p.timer.overflowCount(), 10u);
    EXPECT_GT(p.sci.interruptCount(), 2000u);
    EXPECT_GT(p.xirq.handlerCount(), 100u);
    EXPECT_GT(fast.machine->memory[kBusyWai].executionCount, 1000u);   // WAI
    EXPECT_GT(fast.machine->memory[kBusyStop].executionCount, 1000u);  // STOP
    EXPECT_GT(fast.host.messages.size(), 10u);                         // writes to ROM

    // Breakpoints that count but never stop take the checking loop.
    for (Rig* rig : {&fast, &plain}) {
        rig->setBreakpoint(kBusyNorom, 60000);
        rig->setBreakpoint(kBusySciHandler, 60000);
    }
    SCOPED_TRACE("checking run loop");
    ASSERT_NO_FATAL_FAILURE(runSideBySide(300, true));
    EXPECT_GT(fast.machine->memory[kBusyNorom].hit, 100);

    // An opcode that cannot be read: a warning, then the illegal-opcode trap ends the run
    // through its vector, which points into the same undefined memory.
    SCOPED_TRACE("opcode at an undefined address");
    for (Rig* rig : {&fast, &plain}) rig->machine->pc = kUndefined;
    ASSERT_NO_FATAL_FAILURE(runSideBySide(5, true));
    EXPECT_EQ(fast.machine->pc, kUndefined);
}

}  // namespace
}  // namespace tarnwick::testing
