// The run loops compile the handlers into their loop, count the peripherals' cycles down to
// the next event and skip the interrupt poll while nothing asks for it. This runs a long
// program that keeps every peripheral busy (RTI and timer-overflow interrupts, the SCI
// transmitting from its interrupt and receiving what the host types, A/D sequences, WAI,
// STOP woken by XIRQ, writes to ROM that warn) through the plain and the checking run loop,
// and beside it through the plainest stepping there is: the poll, one instruction from the
// opcode table and a tick settled at once, step by step. After every batch the two machines
// must agree on everything a program, a window or the user can see.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/instruction_engine.h"
#include "core/interrupts.h"
#include "core/run_loops.h"
#include "support/fake_host.h"

namespace tarnwick::testing {
namespace {

// START  8000 LDS #$01FF / LDX #REGS / CLR BAUD,X / LDAA #$8C / STAA SCCR2,X (TIE TE RE)
//        800C LDAA #$10 / STAA ADCTL,X (MULT) / LDAA #$C0 / STAA TMSK2,X (RTII TOI)
//        8014 LDAA #$01 / STAA PACTL,X / CLRA / TAP (S X I clear)
// MAIN   801A LDY #$0100 / LDAA 0,Y / ADDA #$19 / DAA / STAA 0,Y / LDAB 1,Y / MUL / STD 2,Y
//        802E LDX #7 / IDIV / STX 4,Y / LDD #$1234 / LDX #$5678 / FDIV / XGDX / LSRD / ASLD
//        803F STD 6,Y / BRSET 8,Y,#1,ODD / BSET 8,Y,#1 / BRA EVEN / ODD BCLR 8,Y,#1
// EVEN   8051 LDX #REGS / LDD TCNT,X / STD 10,Y / BRCLR ADCTL,X,#$80,NOAD / LDD ADR1,X
//        805F STD 12,Y / LDAA $42 / ANDA #3 / ORAA #$10 / STAA ADCTL,X (the next sequence)
// NOAD   806A BRCLR SCSR,X,#$20,NORX / LDAA SCDR,X / STAA 14,Y
// NORX   8073 INC $40 / LDAA $40 / ANDA #$1F / BNE NOWAIT / WAI
// NOWAIT 807D LDAA $40 / ANDA #$7F / BNE NOROM / STAA $E000 (ROM: a warning)
// NOROM  8086 LDAA $40 / CMPA #$80 / BNE NOSTOP / STOP
// NOSTOP 808D CMPA #$C0 / BEQ AGAIN / JMP MAIN
// AGAIN  8094 SEI / LDAA #$8C / STAA SCCR2,X / LDAA #$40 / TAP / CLI / CLR $40 / JMP MAIN
// RTIH   80A3 LDX #REGS / LDAA #$40 / STAA TFLG2,X / INC $41 / LDAA $41 / ANDA #3
//        80B1 STAA PACTL,X (another RTI rate) / RTI
// TOFH   80B4 LDAA #$80 / STAA TFLG2 / RTI
// SCIH   80BA LDX #REGS / LDAA SCSR,X / INC $42 / LDAA $42 / STAA SCDR,X / CMPA #$F0
//        80C8 BNE SCIX / LDAA #$0C / STAA SCCR2,X (TIE off until AGAIN) / SCIX RTI
// XIRQH  80CF INC $43 / RTI
const std::uint8_t kProgram[] = {
    0x8E, 0x01, 0xFF, 0xCE, 0x10, 0x00, 0x6F, 0x2B, 0x86, 0x8C, 0xA7, 0x2D, 0x86, 0x10, 0xA7, 0x30,
    0x86, 0xC0, 0xA7, 0x24, 0x86, 0x01, 0xA7, 0x26, 0x4F, 0x06, 0x18, 0xCE, 0x01, 0x00, 0x18, 0xA6,
    0x00, 0x8B, 0x19, 0x19, 0x18, 0xA7, 0x00, 0x18, 0xE6, 0x01, 0x3D, 0x18, 0xED, 0x02, 0xCE, 0x00,
    0x07, 0x02, 0xCD, 0xEF, 0x04, 0xCC, 0x12, 0x34, 0xCE, 0x56, 0x78, 0x03, 0x8F, 0x04, 0x05, 0x18,
    0xED, 0x06, 0x18, 0x1E, 0x08, 0x01, 0x06, 0x18, 0x1C, 0x08, 0x01, 0x20, 0x04, 0x18, 0x1D, 0x08,
    0x01, 0xCE, 0x10, 0x00, 0xEC, 0x0E, 0x18, 0xED, 0x0A, 0x1F, 0x30, 0x80, 0x0D, 0xEC, 0x31, 0x18,
    0xED, 0x0C, 0x96, 0x42, 0x84, 0x03, 0x8A, 0x10, 0xA7, 0x30, 0x1F, 0x2E, 0x20, 0x05, 0xA6, 0x2F,
    0x18, 0xA7, 0x0E, 0x7C, 0x00, 0x40, 0x96, 0x40, 0x84, 0x1F, 0x26, 0x01, 0x3E, 0x96, 0x40, 0x84,
    0x7F, 0x26, 0x03, 0xB7, 0xE0, 0x00, 0x96, 0x40, 0x81, 0x80, 0x26, 0x01, 0xCF, 0x81, 0xC0, 0x27,
    0x03, 0x7E, 0x80, 0x1A, 0x0F, 0x86, 0x8C, 0xA7, 0x2D, 0x86, 0x40, 0x06, 0x0E, 0x7F, 0x00, 0x40,
    0x7E, 0x80, 0x1A, 0xCE, 0x10, 0x00, 0x86, 0x40, 0xA7, 0x25, 0x7C, 0x00, 0x41, 0x96, 0x41, 0x84,
    0x03, 0xA7, 0x26, 0x3B, 0x86, 0x80, 0xB7, 0x10, 0x25, 0x3B, 0xCE, 0x10, 0x00, 0xA6, 0x2E, 0x7C,
    0x00, 0x42, 0x96, 0x42, 0xA7, 0x2F, 0x81, 0xF0, 0x26, 0x04, 0x86, 0x0C, 0xA7, 0x2D, 0x3B, 0x7C,
    0x00, 0x43, 0x3B,
};

constexpr std::uint16_t kNorom = 0x8086;
constexpr std::uint16_t kSciHandler = 0x80BA;
constexpr std::uint16_t kUndefined = 0x3000;  // 3000-3FFF hold nothing

struct Rig {
    FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);

    Rig() {
        Machine& m = *machine;
        setMemoryKind(m.memory, 0x0000, 0xFFFF, MemoryKind::Ram);
        setMemoryKind(m.memory, 0x1000, 0x103F, MemoryKind::Io);
        setMemoryKind(m.memory, 0xE000, 0xEFFF, MemoryKind::Rom);
        setMemoryKind(m.memory, kUndefined, 0x3FFF, MemoryKind::Undefined);
        for (std::size_t i = 0; i < sizeof kProgram; ++i)
            m.poke(static_cast<std::uint16_t>(0x8000 + i), kProgram[i]);
        const std::pair<std::uint16_t, std::uint16_t> vectors[] = {
            {0xFFD6, 0x80BA}, {0xFFDE, 0x80B4},     {0xFFF0, 0x80A3},
            {0xFFF4, 0x80CF}, {0xFFF8, kUndefined}, {0xFFFE, 0x8000}};
        for (const auto& [address, target] : vectors) {
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
    EXPECT_GT(fast.machine->memory[0x807C].executionCount, 1000u);  // WAI
    EXPECT_GT(fast.machine->memory[0x808C].executionCount, 1000u);  // STOP
    EXPECT_GT(fast.host.messages.size(), 10u);                      // writes to ROM

    // Breakpoints that count but never stop take the checking loop.
    for (Rig* rig : {&fast, &plain}) {
        rig->setBreakpoint(kNorom, 60000);
        rig->setBreakpoint(kSciHandler, 60000);
    }
    SCOPED_TRACE("checking run loop");
    ASSERT_NO_FATAL_FAILURE(runSideBySide(300, true));
    EXPECT_GT(fast.machine->memory[kNorom].hit, 100);

    // An opcode that cannot be read: a warning, then the illegal-opcode trap ends the run
    // through its vector, which points into the same undefined memory.
    SCOPED_TRACE("opcode at an undefined address");
    for (Rig* rig : {&fast, &plain}) rig->machine->pc = kUndefined;
    ASSERT_NO_FATAL_FAILURE(runSideBySide(5, true));
    EXPECT_EQ(fast.machine->pc, kUndefined);
}

}  // namespace
}  // namespace tarnwick::testing
