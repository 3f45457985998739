#include <gtest/gtest.h>

#include "base/number_text.h"
#include "core/instruction_engine.h"
#include "core/run_loops.h"
#include "program_fixture.h"

namespace tarnwick::testing {
namespace {

using Message = FakeHost::Message;

class MemoryTest : public ProgramFixture {};

struct AccessCase {
    MemoryKind kind;
    bool write;
    bool wide;
    const char* reason;  // empty when the access is allowed
};

TEST_F(MemoryTest, CheckedAccessFollowsTheMemoryKind) {
    const AccessCase cases[] = {
        {MemoryKind::Undefined, false, false, "\nReading 8-Bit from undef memory"},
        {MemoryKind::Undefined, false, true, "\nReading 16-Bit from undef memory"},
        {MemoryKind::Undefined, true, false, "\nWriting 8-Bit to undef memory"},
        {MemoryKind::Undefined, true, true, "\nWriting 16-Bit to undef memory"},
        {MemoryKind::Rom, false, false, ""},
        {MemoryKind::Rom, false, true, ""},
        {MemoryKind::Rom, true, false, "\nWriting 8-Bit to ROM"},
        {MemoryKind::Rom, true, true, "\nWriting 16-Bit to ROM"},
        {MemoryKind::WriteOnly, false, false, "\nReading 8-Bit from Write Only Memory"},
        {MemoryKind::WriteOnly, false, true, "\nReading 16-Bit from Write Only Memory"},
        {MemoryKind::WriteOnly, true, false, ""},
        {MemoryKind::WriteOnly, true, true, ""},
        {MemoryKind::Ram, false, false, ""},
        {MemoryKind::Ram, true, true, ""},
    };
    for (const AccessCase& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "kind " << int(c.kind) << " write " << c.write << " wide " << c.wide);
        host.messages.clear();
        setMemoryKind(machine->memory, 0x2000, 0x2001, c.kind);
        load(0x2000, {0x12, 0x34});
        const bool refused = *c.reason != '\0';
        if (c.write) {
            if (c.wide)
                machine->write16(0x2000, 0xABCD);
            else
                machine->write8(0x2000, 0xAB);
            EXPECT_EQ(machine->peek(0x2000), refused ? 0x12 : 0xAB);
            if (c.wide) {
                EXPECT_EQ(machine->peek(0x2001), refused ? 0x34 : 0xCD);
            }
        } else {
            const unsigned value = c.wide ? machine->read16(0x2000) : machine->read8(0x2000);
            EXPECT_EQ(value, refused ? 0u : (c.wide ? 0x1234u : 0x12u));
        }
        ASSERT_EQ(host.messages.size(), refused ? 1u : 0u);
        if (refused) {
            EXPECT_NE(host.messages[0].text.find(c.reason), std::string::npos);
        }
    }
}

TEST_F(MemoryTest, WarningNamesTheInstructionAndTheCycle) {
    setMemoryKind(machine->memory, 0x2000, 0x2000, MemoryKind::Undefined);
    load(kStart, {0xB6, 0x20, 0x00});  // LDAA $2000
    machineReset(*machine);
    machine->cycleCounter = 1234567;
    machine->a = 0x55;
    executeInstruction(*machine);  // charges its 4 cycles before it reads
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, Message::YesNoWarning);
    EXPECT_EQ(
        host.messages[0].text,
        "WARNING: Accessing invalid memory at PC=8000\nCycle=1,234,571\nReading 8-Bit from undef "
        "memory\nChoose YES to continue debugging, NO to reset the system");
    // Yes: the instruction goes on with 0.
    EXPECT_EQ(machine->a, 0);
    EXPECT_TRUE(machine->flags.z);
    EXPECT_EQ(machine->pc, kStart + 3);
}

TEST_F(MemoryTest, SixteenBitAccessTakesTheKindOfItsFirstByte) {
    load(0x0FFF, {0xAA});
    EXPECT_EQ(machine->read16(0x0FFF), 0xAA00 | machine->peek(0x1000));
    machine->write16(0x0FFF, 0x1122);
    EXPECT_EQ(machine->peek(0x1000), 0x22);  // PORTA as a plain byte

    setMemoryKind(machine->memory, 0xFFFF, 0xFFFF, MemoryKind::Ram);
    load(0xFFFF, {0x12});
    load(0x0000, {0x34});
    EXPECT_EQ(machine->read16(0xFFFF), 0x1234);  // the second byte wraps to 0000
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(MemoryTest, NoResetsTheProgramAndAbandonsTheInstruction) {
    setMemoryKind(machine->memory, 0x2000, 0x2000, MemoryKind::Rom);
    // LDAA #$77 / STAA $2000 (ROM) / INCA ...
    load(kStart, {0x86, 0x77, 0xB7, 0x20, 0x00, 0x4C, 0x20, 0xFE});
    int programResets = 0;
    machine->programReset = [&] {
        ++programResets;
        machineReset(*machine);
        machine->requests.pause = true;  // Esc, handled while the warning was open
    };
    machineReset(*machine);
    host.yesNoAnswers = {false};
    run(*machine);
    EXPECT_EQ(programResets, 1);
    EXPECT_EQ(machine->pc, kStart);  // where the reset left it: nothing ran afterwards
    EXPECT_EQ(machine->cycleCounter, 0u);
    EXPECT_FALSE(machine->requests.reset);
    EXPECT_FALSE(machine->requests.stop);
    EXPECT_FALSE(machine->requests.pause);
    EXPECT_EQ(machine->a, 0x77);  // kept by the reset, set before the refused store

    // The next run starts normally (and is paused from the event pump).
    host.onProcessEvents = [&] { machine->requests.stop = true; };
    run(*machine);
    EXPECT_GT(machine->cycleCounter, 0u);
}

// A reset vector in undefined memory: the reset a No asks for is the one already reading
// the vector, so it goes on with PC 0000, directly or as the program reset.
TEST_F(MemoryTest, NoAtTheResetVectorLetsTheResetFinish) {
    setMemoryKind(machine->memory, 0xFFFE, 0xFFFF, MemoryKind::Undefined);
    int programResets = 0;
    machine->programReset = [&] {
        ++programResets;
        machineReset(*machine);
    };
    for (bool asProgramReset : {false, true}) {
        SCOPED_TRACE(asProgramReset ? "program reset" : "machine reset");
        host.messages.clear();
        host.yesNoAnswers = {false};
        machine->sp = 0x1234;
        if (asProgramReset)
            machine->performProgramReset();
        else
            machineReset(*machine);
        EXPECT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(machine->pc, 0x0000);
        EXPECT_EQ(machine->sp, 0x0000);
        EXPECT_FALSE(machine->requests.reset);
        EXPECT_FALSE(machine->requests.stop);
    }
    EXPECT_EQ(programResets, 1);
}

// A C project's program reset runs to the first source line after the machine reset; a No
// inside a run resets that way before the run ends.
TEST_F(MemoryTest, NoRunsTheProgramResetToItsFirstLineBeforeTheRunEnds) {
    setMemoryKind(machine->memory, 0x2000, 0x2000, MemoryKind::Rom);
    load(kStart, {0x01, 0x01, 0x01, 0xB7, 0x20, 0x00, 0x20, 0xFE});  // NOP x3, STAA $2000, BRA *
    markLine(kStart + 2, 1);
    markLine(kStart + 3, 2);
    markLine(kStart + 6, 3);
    machine->programReset = [&] {
        machineReset(*machine);
        traceIntoPlain(*machine);
    };
    machine->performProgramReset();
    ASSERT_EQ(machine->pc, kStart + 2);
    traceInto(*machine);
    ASSERT_EQ(machine->pc, kStart + 3);
    host.yesNoAnswers = {false};
    traceInto(*machine);  // the STAA to ROM, answered No
    EXPECT_EQ(machine->pc, kStart + 2);
    EXPECT_FALSE(machine->requests.reset);
    EXPECT_FALSE(machine->requests.stop);
}

TEST_F(MemoryTest, NoDuringTheResetAfterAnErrorEndsTheRunAtOnce) {
    setMemoryKind(machine->memory, 0x2000, 0x2000, MemoryKind::Undefined);
    setWord(0xFFF6, 0xFFFF);
    load(kStart, {0x01, 0x3F});  // NOP, SWI with an uninitialised vector
    // A program reset that touches undefined memory, answered No.
    machine->programReset = [&] {
        machineReset(*machine);
        machine->read8(0x2000);
    };
    machineReset(*machine);
    host.yesNoAnswers = {false};
    run(*machine);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].text,
              "FATAL ERROR: SWI Interrupt vector is not initialized, Debug|Stop");
    EXPECT_EQ(host.messages[1].kind, Message::YesNoWarning);
    EXPECT_EQ(machine->pc, kStart);
    EXPECT_EQ(machine->cycleCounter, 0u);  // nothing ran after the reset
    EXPECT_FALSE(machine->requests.reset);
    EXPECT_FALSE(machine->requests.stop);
}

// The reset after an error inside a step starts the timer over: the abandoned step's cycles
// are not ticked after it.
TEST_F(MemoryTest, TheResetAfterAnErrorLeavesTheTimerAtZero) {
    setWord(0xFFF6, 0xFFFF);
    load(kStart, {0x01, 0x3F});  // NOP, SWI with an uninitialised vector
    machineReset(*machine);
    run(*machine);
    machine->peripherals.settle();
    EXPECT_EQ(machine->cycleCounter, 0u);
    EXPECT_EQ(machine->peripherals.timer.tcnt(), 0u);
}

TEST_F(MemoryTest, FillGivesRomFFAndTheRestZeroOrRandom) {
    setMemoryKind(machine->memory, 0xE000, 0xFFFF, MemoryKind::Rom);
    machine->fillMemory(false);
    EXPECT_EQ(machine->peek(0x0000), 0x00);
    EXPECT_EQ(machine->peek(0x1030), 0x00);
    EXPECT_EQ(machine->peek(0xE000), 0xFF);

    machine->fillMemory(true);
    int nonZero = 0;
    for (std::uint32_t a = 0; a < 0xE000; ++a)
        nonZero += machine->peek(static_cast<std::uint16_t>(a)) != 0;
    EXPECT_GT(nonZero, 0xD000);
    for (std::uint32_t a = 0xE000; a <= 0xFFFF; ++a)
        ASSERT_EQ(machine->peek(static_cast<std::uint16_t>(a)), 0xFF);
}

TEST_F(MemoryTest, SetMemoryKindClearsBreakpointFlagsButNotTheirCounts) {
    setBreakpoint(0x3000, 3);
    machine->memory[0x3000].hit = 2;
    setMemoryKind(machine->memory, 0x3000, 0x3000, MemoryKind::Rom);
    EXPECT_EQ(machine->memory[0x3000].flags, static_cast<std::uint8_t>(MemoryKind::Rom));
    EXPECT_EQ(machine->memory[0x3000].hit, 2);
    EXPECT_EQ(machine->memory[0x3000].hitCount, 3);
}

TEST(NumberText, GroupsThousandsAndFormatsHex) {
    EXPECT_EQ(groupThousands(0, ","), "0");
    EXPECT_EQ(groupThousands(999, ","), "999");
    EXPECT_EQ(groupThousands(1000, "."), "1.000");
    EXPECT_EQ(groupThousands(4123123123u, ","), "4,123,123,123");
    EXPECT_EQ(hexText(0xAB, 2), "AB");
    EXPECT_EQ(hexText(0x1F, 4), "001F");
}

}  // namespace
}  // namespace tarnwick::testing
