#include "debugger/instruction_analysis.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "support/fake_host.h"

namespace tarnwick {
namespace {

constexpr std::uint16_t kProgram = 0xE000;

struct AnalysisCase {
    const char* what;
    std::initializer_list<std::uint8_t> code;  // at kProgram
    void (*prepare)(Machine&);
    const char* expected;
};

void fill(Machine& m, std::uint16_t address, std::initializer_list<std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) m.poke(address++, byte);
}

// A fresh machine for every case: the program lies in ROM at E000-FFFF (so the immediate
// operands count as ROM), the rest is RAM except for the register block.
class InstructionAnalysisTest : public ::testing::Test {
  protected:
    std::unique_ptr<Machine> freshMachine() {
        auto machine = std::make_unique<Machine>(host);
        setMemoryKind(machine->memory, 0x0000, 0xDFFF, MemoryKind::Ram);
        setMemoryKind(machine->memory, 0x1000, 0x103F, MemoryKind::Io);
        setMemoryKind(machine->memory, 0xE000, 0xFFFF, MemoryKind::Rom);
        return machine;
    }

    std::string analyse(const AnalysisCase& c) {
        const std::unique_ptr<Machine> machine = freshMachine();
        fill(*machine, kProgram, c.code);
        if (c.prepare) c.prepare(*machine);
        return analysisText(*machine, kProgram);
    }

    testing::FakeHost host;
};

TEST_F(InstructionAnalysisTest, ShowsTheOperandValueWhereItsMemoryIsReadable) {
    const AnalysisCase cases[] = {
        {"LDAA #$41", {0x86, 0x41}, nullptr, "41  'A'  65  0100-0001"},
        {"LDAA #$41, FFFE undefined",
         {0x86, 0x41},
         [](Machine& m) { setMemoryKind(m.memory, 0xFFFE, 0xFFFE, MemoryKind::Undefined); },
         "Ready"},
        {"LDAA $20 holding 00", {0x96, 0x20}, nullptr, "00  '.'  0  0000-0000"},
        {"LDAA $20, undefined",
         {0x96, 0x20},
         [](Machine& m) { setMemoryKind(m.memory, 0x20, 0x20, MemoryKind::Undefined); },
         "Ready"},
        {"LDAA $20, write-only",
         {0x96, 0x20},
         [](Machine& m) { setMemoryKind(m.memory, 0x20, 0x20, MemoryKind::WriteOnly); },
         "Ready"},
        {"LDAB $E100 holding FF, shown as the byte itself",
         {0xF6, 0xE1, 0x00},
         [](Machine& m) { m.poke(0xE100, 0xFF); },
         "FF  '\xFF'  255  1111-1111"},
        {"STAA ext shows the byte before the store",
         {0xB7, 0x01, 0x80},
         [](Machine& m) {
             m.a = 0x99;
             m.poke(0x0180, 0x1F);
         },
         "1F  '.'  31  0001-1111"},
        {"CLR 0,X with IX+offset wrapping past FFFF",
         {0x6F, 0x03},
         [](Machine& m) {
             m.ix = 0xFFFE;
             m.poke(0x0001, 0x20);
         },
         "20  ' '  32  0010-0000"},
        {"LDAA 2,Y behind prefix 18",
         {0x18, 0xA6, 0x02},
         [](Machine& m) {
             m.iy = 0x0100;
             m.poke(0x0102, 0x7E);
         },
         "7E  '~'  126  0111-1110"},
        {"BSET $10,#$01 shows the byte it changes",
         {0x14, 0x10, 0x01},
         [](Machine& m) { m.poke(0x10, 0x41); },
         "41  'A'  65  0100-0001"},
        {"LDD $1000: PORTA and the register after it",
         {0xFC, 0x10, 0x00},
         [](Machine& m) {
             fill(m, 0x1000, {0x12, 0x34});
         },
         "1234  4660  00010010-00110100"},
        {"CPD #$8001 behind prefix 1A",
         {0x1A, 0x83, 0x80, 0x01},
         nullptr,
         "8001  32769  10000000-00000001"},
        {"LDY 4,X behind prefix 1A",
         {0x1A, 0xEE, 0x04},
         [](Machine& m) {
             m.ix = 0x0200;
             fill(m, 0x0204, {0xAB, 0xCD});
         },
         "ABCD  43981  10101011-11001101"},
        {"STS $FFFF takes its second byte from 0000",
         {0xBF, 0xFF, 0xFF},
         [](Machine& m) {
             m.poke(0xFFFF, 0xFF);
             m.poke(0x0000, 0x02);
         },
         "FF02  65282  11111111-00000010"},
    };
    for (const AnalysisCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(analyse(c), c.expected);
    }
}

TEST_F(InstructionAnalysisTest, TellsWhetherTheBranchWillBeTaken) {
    const AnalysisCase cases[] = {
        {"BNE, Z=1", {0x26, 0x10}, [](Machine& m) { m.flags.z = true; }, "NOT-Branch or Jump"},
        {"BNE, Z=0", {0x26, 0x10}, nullptr, "Branch or NOT-Jump"},
        {"BCS, C=1", {0x25, 0x10}, [](Machine& m) { m.flags.c = true; }, "Branch or NOT-Jump"},
        {"BGE, N=1 V=1",
         {0x2C, 0x10},
         [](Machine& m) { m.flags.n = m.flags.v = true; },
         "Branch or NOT-Jump"},
        {"BLT, N=1 V=1",
         {0x2D, 0x10},
         [](Machine& m) { m.flags.n = m.flags.v = true; },
         "NOT-Branch or Jump"},
        {"BGT, Z=1", {0x2E, 0x10}, [](Machine& m) { m.flags.z = true; }, "NOT-Branch or Jump"},
        {"BLE, N=1", {0x2F, 0x10}, [](Machine& m) { m.flags.n = true; }, "Branch or NOT-Jump"},
        {"BHI, C=0 Z=0", {0x22, 0x10}, nullptr, "Branch or NOT-Jump"},
        {"BLS, Z=1", {0x23, 0x10}, [](Machine& m) { m.flags.z = true; }, "Branch or NOT-Jump"},
        {"BMI, N=0", {0x2B, 0x10}, nullptr, "NOT-Branch or Jump"},
        {"BVS, V=1", {0x29, 0x10}, [](Machine& m) { m.flags.v = true; }, "Branch or NOT-Jump"},
        {"BRSET $10,#$81 with 81",
         {0x12, 0x10, 0x81, 0x10},
         [](Machine& m) { m.poke(0x10, 0x81); },
         "Branch or NOT-Jump"},
        {"BRSET $10,#$81 with 80",
         {0x12, 0x10, 0x81, 0x10},
         [](Machine& m) { m.poke(0x10, 0x80); },
         "NOT-Branch or Jump"},
        {"BRCLR 1,X,#$0F with F0",
         {0x1F, 0x01, 0x0F, 0x10},
         [](Machine& m) {
             m.ix = 0x0040;
             m.poke(0x41, 0xF0);
         },
         "Branch or NOT-Jump"},
        {"BRCLR 0,Y,#$0F with 01 behind prefix 18",
         {0x18, 0x1F, 0x00, 0x0F, 0x10},
         [](Machine& m) {
             m.iy = 0x0050;
             m.poke(0x50, 0x01);
         },
         "NOT-Branch or Jump"},
        {"BRSET on an undefined address still reads the byte",
         {0x12, 0x10, 0x01, 0x10},
         [](Machine& m) {
             setMemoryKind(m.memory, 0x10, 0x10, MemoryKind::Undefined);
             m.poke(0x10, 0x01);
         },
         "Branch or NOT-Jump"},
    };
    for (const AnalysisCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(analyse(c), c.expected);
    }
}

TEST_F(InstructionAnalysisTest, NamesTheReturnAddressOrSaysReady) {
    const AnalysisCase cases[] = {
        {"RTS, SP=00F0",
         {0x39},
         [](Machine& m) {
             m.sp = 0x00F0;
             fill(m, 0x00F1, {0x12, 0x34});
         },
         "Return to PC=1234"},
        {"RTI takes the PC of the nine-byte frame",
         {0x3B},
         [](Machine& m) {
             m.sp = 0x00F0;
             fill(m, 0x00F1, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xE1, 0x23});
         },
         "Return to PC=E123"},
        {"RTS, SP=FFFE reads FFFF and 0000",
         {0x39},
         [](Machine& m) {
             m.sp = 0xFFFE;
             m.poke(0x0000, 0x56);
         },
         "Return to PC=0056"},
        {"NOP", {0x01}, nullptr, "Ready"},
        {"BRA", {0x20, 0x10}, nullptr, "Ready"},
        {"BRN", {0x21, 0x10}, nullptr, "Ready"},
        {"BSR", {0x8D, 0x10}, nullptr, "Ready"},
        {"JSR ext", {0xBD, 0x01, 0x00}, nullptr, "Ready"},
        {"JMP 0,Y", {0x18, 0x6E, 0x00}, nullptr, "Ready"},
        {"unassigned 41", {0x41}, nullptr, "Ready"},
        {"unassigned behind prefix 1A", {0x1A, 0x86}, nullptr, "Ready"},
    };
    for (const AnalysisCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(analyse(c), c.expected);
    }
}

TEST_F(InstructionAnalysisTest, AnInstructionAtFFFFTakesItsOperandFrom0000) {
    const std::unique_ptr<Machine> machine = freshMachine();
    setMemoryKind(machine->memory, 0xFFFF, 0xFFFF, MemoryKind::Ram);
    machine->poke(0xFFFF, 0x96);  // LDAA direct, its address byte at 0000
    machine->poke(0x0000, 0x30);
    machine->poke(0x0030, 0x41);
    EXPECT_EQ(analysisText(*machine, 0xFFFF), "41  'A'  65  0100-0001");
}

}  // namespace
}  // namespace tarnwick
