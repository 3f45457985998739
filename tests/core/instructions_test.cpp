// What the instructions compute, how they set the condition flags, what they cost and what
// they do to the stack, PC and memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/instruction_set.h"
#include "core/interrupts.h"
#include "machine_fixture.h"

namespace tarnwick {
namespace {

constexpr std::uint8_t kC = 0x01;
constexpr std::uint8_t kV = 0x02;
constexpr std::uint8_t kZ = 0x04;
constexpr std::uint8_t kN = 0x08;
constexpr std::uint8_t kI = 0x10;
constexpr std::uint8_t kH = 0x20;
constexpr std::uint8_t kX = 0x40;

constexpr std::uint16_t kCode = 0x2000;

// The programmer's model; ccr is the flags byte S X H I N Z V C.
struct Registers {
    std::uint8_t a = 0;
    std::uint8_t b = 0;
    std::uint16_t ix = 0;
    std::uint16_t iy = 0;
    std::uint16_t sp = 0;
    std::uint8_t ccr = 0;

    bool operator==(const Registers&) const = default;
};

void PrintTo(const Registers& r, std::ostream* os) {
    *os << std::hex << "A=" << int(r.a) << " B=" << int(r.b) << " IX=" << r.ix << " IY=" << r.iy
        << " SP=" << r.sp << " CCR=" << int(r.ccr);
}

struct Byte {
    std::uint16_t address;
    std::uint8_t value;
};

class InstructionsTest : public testing::MachineTest {
  protected:
    void setRegisters(const Registers& r) {
        machine->a = r.a;
        machine->b = r.b;
        machine->ix = r.ix;
        machine->iy = r.iy;
        machine->sp = r.sp;
        machine->flags.x = r.ccr & kX;  // loadByte can clear X but not set it
        machine->flags.loadByte(r.ccr);
    }

    Registers registers() const {
        return {machine->a,  machine->b,  machine->ix,
                machine->iy, machine->sp, machine->flags.byte()};
    }

    void loadBytes(const std::vector<Byte>& bytes) {
        for (const Byte& byte : bytes) machine->poke(byte.address, byte.value);
    }

    void loadCode(std::uint16_t address, const std::vector<std::uint8_t>& code) {
        for (const std::uint8_t byte : code) machine->poke(address++, byte);
    }
};

// One instruction from a known state: the registers, flags, PC, cycles and memory after it.
struct Case {
    std::string_view name;
    std::uint16_t at = kCode;
    std::vector<std::uint8_t> code = {};
    Registers before = {};
    std::vector<Byte> memory = {};
    Registers after = {};
    int cycles = 0;
    std::vector<Byte> memoryAfter = {};
    std::optional<std::uint16_t> pc = {};  // when not the address after the instruction
};

// clang-format off
const Case kCases[] = {
    // Addressing
    {.name = "LDAA 0x12,Y reads IY + offset", .code = {0x18, 0xA6, 0x12},
     .before = {.iy = 0x3000, .ccr = kV | kC}, .memory = {{0x3012, 0x80}},
     .after = {.a = 0x80, .iy = 0x3000, .ccr = kN | kC}, .cycles = 5},
    {.name = "IND,X wraps: IX FFF0 + 20 is 0010", .code = {0xA6, 0x20},
     .before = {.ix = 0xFFF0}, .memory = {{0x0010, 0x55}},
     .after = {.a = 0x55, .ix = 0xFFF0}, .cycles = 4},
    {.name = "LDD extended of zero", .code = {0xFC, 0x12, 0x34},
     .before = {.a = 0x11, .b = 0x22, .ccr = kN | kV | kC}, .memory = {{0x1234, 0}, {0x1235, 0}},
     .after = {.ccr = kZ | kC}, .cycles = 5},
    {.name = "LDX 0,Y through page CD", .code = {0xCD, 0xEE, 0x00},
     .before = {.iy = 0x0200}, .memory = {{0x0200, 0x7F}, {0x0201, 0xFF}},
     .after = {.ix = 0x7FFF, .iy = 0x0200}, .cycles = 6},
    {.name = "STD 2,X stores high byte first", .code = {0xED, 0x02},
     .before = {.a = 0x80, .b = 0x01, .ix = 0x0100, .ccr = kV},
     .after = {.a = 0x80, .b = 0x01, .ix = 0x0100, .ccr = kN}, .cycles = 5,
     .memoryAfter = {{0x0102, 0x80}, {0x0103, 0x01}}},
    {.name = "STS direct", .code = {0x9F, 0x40},
     .before = {.sp = 0x1234, .ccr = kV | kZ},
     .after = {.sp = 0x1234}, .cycles = 4, .memoryAfter = {{0x0040, 0x12}, {0x0041, 0x34}}},
    {.name = "STY 5,X through page 1A", .code = {0x1A, 0xEF, 0x05},
     .before = {.ix = 0x0100, .iy = 0xABCD},
     .after = {.ix = 0x0100, .iy = 0xABCD, .ccr = kN}, .cycles = 6,
     .memoryAfter = {{0x0105, 0xAB}, {0x0106, 0xCD}}},
    // 8-bit addition and subtraction
    {.name = "ADDA 3A + 48", .code = {0x9B, 0x40},
     .before = {.a = 0x3A}, .memory = {{0x0040, 0x48}},
     .after = {.a = 0x82, .ccr = kH | kN | kV}, .cycles = 3},
    {.name = "ADCA adds the carry into the half carry", .code = {0x89, 0x0F},
     .before = {.a = 0x01, .ccr = kC}, .after = {.a = 0x11, .ccr = kH}, .cycles = 2},
    {.name = "ADDB carries out of bit 7", .code = {0xCB, 0x01},
     .before = {.b = 0xFF}, .after = {.ccr = kH | kZ | kC}, .cycles = 2},
    {.name = "ABA overflows", .code = {0x1B},
     .before = {.a = 0x40, .b = 0x40}, .after = {.a = 0x80, .b = 0x40, .ccr = kN | kV}, .cycles = 2},
    {.name = "SUBA 10 - 20 leaves H", .code = {0x80, 0x20},
     .before = {.a = 0x10, .ccr = kH}, .after = {.a = 0xF0, .ccr = kH | kN | kC}, .cycles = 2},
    {.name = "SBCA 00 - FF - 1", .code = {0x82, 0xFF},
     .before = {.ccr = kC}, .after = {.ccr = kZ | kC}, .cycles = 2},
    {.name = "CMPA stores nothing", .code = {0x81, 0x80},
     .before = {.a = 0x7F}, .after = {.a = 0x7F, .ccr = kN | kV | kC}, .cycles = 2},
    {.name = "SBA overflows", .code = {0x10},
     .before = {.a = 0x80, .b = 0x01}, .after = {.a = 0x7F, .b = 0x01, .ccr = kV}, .cycles = 2},
    {.name = "CBA of equal accumulators", .code = {0x11},
     .before = {.a = 0x05, .b = 0x05, .ccr = kC}, .after = {.a = 0x05, .b = 0x05, .ccr = kZ},
     .cycles = 2},
    // 16-bit arithmetic
    {.name = "ADDD 8000 + 8000", .code = {0xC3, 0x80, 0x00},
     .before = {.a = 0x80, .ccr = kH}, .after = {.ccr = kH | kZ | kV | kC}, .cycles = 4},
    {.name = "SUBD 0000 - 0001", .code = {0x83, 0x00, 0x01},
     .after = {.a = 0xFF, .b = 0xFF, .ccr = kN | kC}, .cycles = 4},
    {.name = "CPD immediate, equal", .code = {0x1A, 0x83, 0x00, 0x01},
     .before = {.b = 0x01, .ccr = kN | kC}, .after = {.b = 0x01, .ccr = kZ}, .cycles = 5},
    {.name = "CPX 0000 with 0001", .code = {0x8C, 0x00, 0x01},
     .after = {.ccr = kN | kC}, .cycles = 4},
    {.name = "CPY 0,X with 8000", .code = {0x1A, 0xAC, 0x00},
     .before = {.ix = 0x0300, .iy = 0x7FFF}, .memory = {{0x0300, 0x80}, {0x0301, 0x00}},
     .after = {.ix = 0x0300, .iy = 0x7FFF, .ccr = kN | kV | kC}, .cycles = 7},
    // Single-operand arithmetic
    {.name = "NEGA of 80", .code = {0x40},
     .before = {.a = 0x80}, .after = {.a = 0x80, .ccr = kN | kV | kC}, .cycles = 2},
    {.name = "NEGA of 00", .code = {0x40},
     .before = {.ccr = kC}, .after = {.ccr = kZ}, .cycles = 2},
    {.name = "NEG extended", .code = {0x70, 0x01, 0x00},
     .memory = {{0x0100, 0x01}}, .after = {.ccr = kN | kC}, .cycles = 6,
     .memoryAfter = {{0x0100, 0xFF}}},
    {.name = "COMB", .code = {0x53},
     .before = {.b = 0x0F, .ccr = kV}, .after = {.b = 0xF0, .ccr = kN | kC}, .cycles = 2},
    {.name = "DECA to 7F leaves H", .code = {0x4A},
     .before = {.a = 0x80, .ccr = kH}, .after = {.a = 0x7F, .ccr = kH | kV}, .cycles = 2},
    {.name = "DECB to 00 leaves H and C", .code = {0x5A},
     .before = {.b = 0x01, .ccr = kH | kC}, .after = {.ccr = kH | kZ | kC}, .cycles = 2},
    {.name = "INCA to 80 leaves C", .code = {0x4C},
     .before = {.a = 0x7F, .ccr = kC}, .after = {.a = 0x80, .ccr = kN | kV | kC}, .cycles = 2},
    {.name = "INC 1,Y wraps to zero", .code = {0x18, 0x6C, 0x01},
     .before = {.iy = 0x0100}, .memory = {{0x0101, 0xFF}},
     .after = {.iy = 0x0100, .ccr = kZ}, .cycles = 7, .memoryAfter = {{0x0101, 0x00}}},
    {.name = "CLR extended", .code = {0x7F, 0x01, 0x00},
     .before = {.ccr = kN | kV | kC}, .memory = {{0x0100, 0x55}},
     .after = {.ccr = kZ}, .cycles = 6, .memoryAfter = {{0x0100, 0x00}}},
    {.name = "TSTA", .code = {0x4D},
     .before = {.a = 0x80, .ccr = kV | kC}, .after = {.a = 0x80, .ccr = kN}, .cycles = 2},
    {.name = "TST extended", .code = {0x7D, 0x01, 0x00},
     .before = {.ccr = kC}, .after = {.ccr = kZ}, .cycles = 6},
    // Logic
    {.name = "ANDA leaves C", .code = {0x84, 0x0F},
     .before = {.a = 0xF0, .ccr = kV | kC}, .after = {.ccr = kZ | kC}, .cycles = 2},
    {.name = "ORAB", .code = {0xCA, 0x80},
     .before = {.b = 0x01}, .after = {.b = 0x81, .ccr = kN}, .cycles = 2},
    {.name = "EORA", .code = {0x88, 0xFF},
     .before = {.a = 0xFF}, .after = {.ccr = kZ}, .cycles = 2},
    {.name = "BITB stores nothing", .code = {0xC5, 0x80},
     .before = {.b = 0x80, .ccr = kV}, .after = {.b = 0x80, .ccr = kN}, .cycles = 2},
    // Shifts and rotates: V is N XOR C
    {.name = "LSRA of 01", .code = {0x44},
     .before = {.a = 0x01}, .after = {.ccr = kZ | kV | kC}, .cycles = 2},
    {.name = "ASRA of 81", .code = {0x47},
     .before = {.a = 0x81}, .after = {.a = 0xC0, .ccr = kN | kC}, .cycles = 2},
    {.name = "RORA of 02 with carry", .code = {0x46},
     .before = {.a = 0x02, .ccr = kC}, .after = {.a = 0x81, .ccr = kN | kV}, .cycles = 2},
    {.name = "ROLA of 80 without carry", .code = {0x49},
     .before = {.a = 0x80}, .after = {.ccr = kZ | kV | kC}, .cycles = 2},
    {.name = "ASLB of 40", .code = {0x58},
     .before = {.b = 0x40}, .after = {.b = 0x80, .ccr = kN | kV}, .cycles = 2},
    {.name = "LSR 0,X of 80", .code = {0x64, 0x00},
     .before = {.ix = 0x0100, .ccr = kN | kV | kC}, .memory = {{0x0100, 0x80}},
     .after = {.ix = 0x0100}, .cycles = 6, .memoryAfter = {{0x0100, 0x40}}},
    {.name = "LSRD of 8001", .code = {0x04},
     .before = {.a = 0x80, .b = 0x01}, .after = {.a = 0x40, .ccr = kV | kC}, .cycles = 3},
    {.name = "ASLD of 4000", .code = {0x05},
     .before = {.a = 0x40}, .after = {.a = 0x80, .ccr = kN | kV}, .cycles = 3},
    // Multiply, index arithmetic, transfers and exchanges
    {.name = "MUL FF x FF", .code = {0x3D},
     .before = {.a = 0xFF, .b = 0xFF, .ccr = kC | kZ}, .after = {.a = 0xFE, .b = 0x01, .ccr = kZ},
     .cycles = 10},
    {.name = "MUL sets C from bit 7 of B", .code = {0x3D},
     .before = {.a = 0x10, .b = 0x08}, .after = {.b = 0x80, .ccr = kC}, .cycles = 10},
    {.name = "INX from FFFF leaves N and V", .code = {0x08},
     .before = {.ix = 0xFFFF, .ccr = kN | kV}, .after = {.ccr = kN | kV | kZ}, .cycles = 3},
    {.name = "DEY to zero", .code = {0x18, 0x09},
     .before = {.iy = 0x0001}, .after = {.ccr = kZ}, .cycles = 4},
    {.name = "ABX adds B unsigned, no flags", .code = {0x3A},
     .before = {.b = 0xFF, .ix = 0xFF01}, .after = {.b = 0xFF}, .cycles = 3},
    {.name = "ABY", .code = {0x18, 0x3A},
     .before = {.b = 0x80, .iy = 0x1000}, .after = {.b = 0x80, .iy = 0x1080}, .cycles = 4},
    {.name = "TAB", .code = {0x16},
     .before = {.a = 0x80, .ccr = kV}, .after = {.a = 0x80, .b = 0x80, .ccr = kN}, .cycles = 2},
    {.name = "TBA", .code = {0x17},
     .before = {.a = 0x12}, .after = {.ccr = kZ}, .cycles = 2},
    {.name = "XGDX", .code = {0x8F},
     .before = {.a = 0x12, .b = 0x34, .ix = 0xABCD},
     .after = {.a = 0xAB, .b = 0xCD, .ix = 0x1234}, .cycles = 3},
    {.name = "XGDY", .code = {0x18, 0x8F},
     .before = {.a = 0x12, .b = 0x34, .iy = 0xABCD},
     .after = {.a = 0xAB, .b = 0xCD, .iy = 0x1234}, .cycles = 4},
    // Bit set and clear
    {.name = "BSET direct", .code = {0x14, 0x40, 0x80},
     .before = {.ccr = kV | kC}, .memory = {{0x0040, 0x0F}},
     .after = {.ccr = kN | kC}, .cycles = 6, .memoryAfter = {{0x0040, 0x8F}}},
    {.name = "BSET 5,X", .code = {0x1C, 0x05, 0x01},
     .before = {.ix = 0x0100}, .memory = {{0x0105, 0x10}},
     .after = {.ix = 0x0100}, .cycles = 7, .memoryAfter = {{0x0105, 0x11}}},
    {.name = "BCLR 5,Y", .code = {0x18, 0x1D, 0x05, 0x0F},
     .before = {.iy = 0x0100}, .memory = {{0x0105, 0x0F}},
     .after = {.iy = 0x0100, .ccr = kZ}, .cycles = 8, .memoryAfter = {{0x0105, 0x00}}},
    // Flag instructions
    {.name = "SEC", .code = {0x0D}, .after = {.ccr = kC}, .cycles = 2},
    {.name = "CLC", .code = {0x0C}, .before = {.ccr = kN | kC}, .after = {.ccr = kN}, .cycles = 2},
    {.name = "SEV", .code = {0x0B}, .after = {.ccr = kV}, .cycles = 2},
    {.name = "CLV", .code = {0x0A}, .before = {.ccr = kV | kZ}, .after = {.ccr = kZ}, .cycles = 2},
    {.name = "SEI", .code = {0x0F}, .after = {.ccr = kI}, .cycles = 2},
    {.name = "NOP", .code = {0x01}, .before = {.ccr = kZ}, .after = {.ccr = kZ}, .cycles = 2},
    // Branches, jumps and subroutines
    {.name = "BNE to itself", .code = {0x26, 0xFE}, .cycles = 3, .pc = kCode},
    {.name = "BNE not taken", .code = {0x26, 0xFE},
     .before = {.ccr = kZ}, .after = {.ccr = kZ}, .cycles = 3},
    {.name = "BRA wraps below 0000", .at = 0x0010, .code = {0x20, 0x80}, .cycles = 3,
     .pc = 0xFF92},
    {.name = "JMP 10,X", .code = {0x6E, 0x10},
     .before = {.ix = 0x3000}, .after = {.ix = 0x3000}, .cycles = 3, .pc = 0x3010},
    {.name = "JMP extended", .code = {0x7E, 0x30, 0x00}, .cycles = 3, .pc = 0x3000},
    {.name = "JMP 10,Y", .code = {0x18, 0x6E, 0x10},
     .before = {.iy = 0x3000}, .after = {.iy = 0x3000}, .cycles = 4, .pc = 0x3010},
    {.name = "JSR extended", .code = {0xBD, 0x80, 0x00},
     .before = {.sp = 0x00FF}, .after = {.sp = 0x00FD}, .cycles = 6,
     .memoryAfter = {{0x00FE, 0x20}, {0x00FF, 0x03}}, .pc = 0x8000},
    {.name = "JSR direct", .code = {0x9D, 0x50},
     .before = {.sp = 0x00FF}, .after = {.sp = 0x00FD}, .cycles = 5,
     .memoryAfter = {{0x00FE, 0x20}, {0x00FF, 0x02}}, .pc = 0x0050},
    {.name = "JSR 10,Y", .code = {0x18, 0xAD, 0x10},
     .before = {.iy = 0x3000, .sp = 0x00FF}, .after = {.iy = 0x3000, .sp = 0x00FD}, .cycles = 7,
     .memoryAfter = {{0x00FE, 0x20}, {0x00FF, 0x03}}, .pc = 0x3010},
    {.name = "RTS", .at = 0x8000, .code = {0x39},
     .before = {.sp = 0x00FD}, .memory = {{0x00FE, 0x20}, {0x00FF, 0x03}},
     .after = {.sp = 0x00FF}, .cycles = 5, .pc = 0x2003},
    {.name = "BSR backwards", .code = {0x8D, 0xF0},
     .before = {.sp = 0x00FF}, .after = {.sp = 0x00FD}, .cycles = 6,
     .memoryAfter = {{0x00FE, 0x20}, {0x00FF, 0x02}}, .pc = 0x1FF2},
    // Stack
    {.name = "PSHA", .code = {0x36},
     .before = {.a = 0xAA, .sp = 0x00FF}, .after = {.a = 0xAA, .sp = 0x00FE}, .cycles = 3,
     .memoryAfter = {{0x00FF, 0xAA}}},
    {.name = "PULB", .code = {0x33},
     .before = {.sp = 0x00FE}, .memory = {{0x00FF, 0xAA}},
     .after = {.b = 0xAA, .sp = 0x00FF}, .cycles = 4},
    {.name = "PULA at SP FFFF reads 0000", .code = {0x32},
     .before = {.sp = 0xFFFF}, .memory = {{0x0000, 0x5A}},
     .after = {.a = 0x5A, .sp = 0x0000}, .cycles = 4},
    {.name = "PSHX", .code = {0x3C},
     .before = {.ix = 0x1234, .sp = 0x00FF}, .after = {.ix = 0x1234, .sp = 0x00FD}, .cycles = 4,
     .memoryAfter = {{0x00FE, 0x12}, {0x00FF, 0x34}}},
    {.name = "PULY", .code = {0x18, 0x38},
     .before = {.sp = 0x00FD}, .memory = {{0x00FE, 0x12}, {0x00FF, 0x34}},
     .after = {.iy = 0x1234, .sp = 0x00FF}, .cycles = 6},
    {.name = "INS wraps", .code = {0x31}, .before = {.sp = 0xFFFF}, .cycles = 3},
    {.name = "DES wraps", .code = {0x34}, .after = {.sp = 0xFFFF}, .cycles = 3},
    {.name = "TSX", .code = {0x30},
     .before = {.sp = 0x00FF}, .after = {.ix = 0x0100, .sp = 0x00FF}, .cycles = 3},
    {.name = "TXS", .code = {0x35},
     .before = {.ix = 0x0100}, .after = {.ix = 0x0100, .sp = 0x00FF}, .cycles = 3},
    {.name = "TSY", .code = {0x18, 0x30},
     .before = {.sp = 0xFFFF}, .after = {.sp = 0xFFFF}, .cycles = 4},
    {.name = "TYS", .code = {0x18, 0x35}, .after = {.sp = 0xFFFF}, .cycles = 4},
};
// clang-format on

class InstructionCases : public InstructionsTest {};

TEST_F(InstructionCases, ComputeFlagsCyclesAndMemoryAsPublished) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        machine = std::make_unique<Machine>(host);
        host.messages.clear();
        setMemoryKind(machine->memory, 0x0000, 0xFFFF, MemoryKind::Ram);
        setRegisters(c.before);
        loadBytes(c.memory);
        loadCode(c.at, c.code);

        executeAt(c.at);

        EXPECT_EQ(registers(), c.after);
        EXPECT_EQ(machine->pc, c.pc.value_or(static_cast<std::uint16_t>(c.at + c.code.size())));
        EXPECT_EQ(machine->stepCycles, c.cycles);
        EXPECT_EQ(machine->cycleCounter, std::uint32_t(c.cycles));
        for (const Byte& byte : c.memoryAfter)
            EXPECT_EQ(machine->peek(byte.address), byte.value) << "at " << std::hex << byte.address;
        EXPECT_TRUE(host.messages.empty());
    }
}

// One example per mnemonic, run through every addressing form the mnemonic has: each form must
// reach its operand and work on its own register. The memory operand lies at 0x0040 (direct),
// 0x1234 (extended), IX + 5 and IY + 5; an example that leaves an index register at 0 gets
// 0x0100 in IX and 0x0200 in IY as the base.
struct FamilyCase {
    std::string_view mnemonic;
    Registers before;
    std::vector<std::uint8_t> operand;
    Registers after;
    std::vector<std::uint8_t> memoryAfter = {};
};

// clang-format off
const FamilyCase kFamilyCases[] = {
    {"SUBA", {.a = 0x50}, {0x20}, {.a = 0x30}},
    {"CMPA", {.a = 0x20}, {0x20}, {.a = 0x20, .ccr = kZ}},
    {"SBCA", {.a = 0x50, .ccr = kC}, {0x20}, {.a = 0x2F}},
    {"ANDA", {.a = 0xF3}, {0x3C}, {.a = 0x30}},
    {"BITA", {.a = 0xF3}, {0x81}, {.a = 0xF3, .ccr = kN}},
    {"LDAA", {.a = 0x55, .ccr = kN | kV}, {0x00}, {.ccr = kZ}},
    {"STAA", {.a = 0x7F, .ccr = kZ | kV}, {}, {.a = 0x7F}, {0x7F}},
    {"EORA", {.a = 0xF0}, {0xFF}, {.a = 0x0F}},
    {"ADCA", {.a = 0x0F, .ccr = kC}, {0x70}, {.a = 0x80, .ccr = kH | kN | kV}},
    {"ORAA", {.a = 0x0F}, {0xF0}, {.a = 0xFF, .ccr = kN}},
    {"ADDA", {.a = 0xFF}, {0x01}, {.ccr = kH | kZ | kC}},
    {"SUBB", {.b = 0x50}, {0x20}, {.b = 0x30}},
    {"CMPB", {.b = 0x10}, {0x20}, {.b = 0x10, .ccr = kN | kC}},
    {"SBCB", {.ccr = kC}, {0x00}, {.b = 0xFF, .ccr = kN | kC}},
    {"ANDB", {.b = 0xFF}, {0x80}, {.b = 0x80, .ccr = kN}},
    {"BITB", {.b = 0x0F}, {0xF0}, {.b = 0x0F, .ccr = kZ}},
    {"LDAB", {}, {0x80}, {.b = 0x80, .ccr = kN}},
    {"STAB", {.b = 0x80}, {}, {.b = 0x80, .ccr = kN}, {0x80}},
    {"EORB", {.b = 0x55}, {0xAA}, {.b = 0xFF, .ccr = kN}},
    {"ADCB", {.b = 0x7F, .ccr = kC}, {0x00}, {.b = 0x80, .ccr = kH | kN | kV}},
    {"ORAB", {.ccr = kN}, {0x00}, {.ccr = kZ}},
    {"ADDB", {.b = 0x08}, {0x08}, {.b = 0x10, .ccr = kH}},
    {"SUBD", {.a = 0x10}, {0x00, 0x01}, {.a = 0x0F, .b = 0xFF}},
    {"ADDD", {.a = 0x7F, .b = 0xFF, .ccr = kH}, {0x00, 0x01}, {.a = 0x80, .ccr = kH | kN | kV}},
    {"CPD", {.a = 0x12, .b = 0x34}, {0x12, 0x34}, {.a = 0x12, .b = 0x34, .ccr = kZ}},
    {"CPX", {.ix = 0x0100}, {0x01, 0x01}, {.ix = 0x0100, .ccr = kN | kC}},
    {"CPY", {.iy = 0x0200}, {0x01, 0x00}, {.iy = 0x0200}},
    {"LDD", {}, {0x80, 0x00}, {.a = 0x80, .ccr = kN}},
    {"STD", {.a = 0x12, .b = 0x34}, {}, {.a = 0x12, .b = 0x34}, {0x12, 0x34}},
    {"LDX", {.ix = 0x0100}, {0x00, 0x00}, {.ccr = kZ}},
    {"STX", {.ix = 0x0100}, {}, {.ix = 0x0100}, {0x01, 0x00}},
    {"LDY", {.iy = 0x0200}, {0xFF, 0xFF}, {.iy = 0xFFFF, .ccr = kN}},
    {"STY", {.iy = 0x0200}, {}, {.iy = 0x0200}, {0x02, 0x00}},
    {"LDS", {}, {0x01, 0xFF}, {.sp = 0x01FF}},
    {"STS", {.sp = 0x8001}, {}, {.sp = 0x8001, .ccr = kN}, {0x80, 0x01}},
    {"NEG", {}, {0x01}, {.ccr = kN | kC}, {0xFF}},
    {"COM", {}, {0x00}, {.ccr = kN | kC}, {0xFF}},
    {"LSR", {}, {0x02}, {}, {0x01}},
    {"ROR", {.ccr = kC}, {0x00}, {.ccr = kN | kV}, {0x80}},
    {"ASR", {}, {0x80}, {.ccr = kN | kV}, {0xC0}},
    {"ASL", {}, {0x81}, {.ccr = kV | kC}, {0x02}},
    {"LSL", {}, {0x81}, {.ccr = kV | kC}, {0x02}},
    {"ROL", {.ccr = kC}, {0x00}, {}, {0x01}},
    {"DEC", {}, {0x00}, {.ccr = kN}, {0xFF}},
    {"INC", {}, {0xFF}, {.ccr = kZ}, {0x00}},
    {"TST", {.ccr = kV | kC}, {0x80}, {.ccr = kN}, {0x80}},
    {"CLR", {.ccr = kN}, {0x55}, {.ccr = kZ}, {0x00}},
    {"NEGB", {.b = 0x01}, {}, {.b = 0xFF, .ccr = kN | kC}},
    {"COMA", {}, {}, {.a = 0xFF, .ccr = kN | kC}},
    {"LSRB", {.b = 0x80}, {}, {.b = 0x40}},
    {"RORB", {.b = 0x01, .ccr = kC}, {}, {.b = 0x80, .ccr = kN | kC}},
    {"ASRB", {.b = 0x02}, {}, {.b = 0x01}},
    {"ASLA", {.a = 0x40}, {}, {.a = 0x80, .ccr = kN | kV}},
    {"LSLB", {.b = 0x01}, {}, {.b = 0x02}},
    {"ROLB", {.b = 0x7F, .ccr = kC}, {}, {.b = 0xFF, .ccr = kN | kV}},
    {"INCB", {}, {}, {.b = 0x01}},
    {"TSTB", {.ccr = kC}, {}, {.ccr = kZ}},
    {"CLRA", {.a = 0x55}, {}, {.ccr = kZ}},
    {"CLRB", {.b = 0x55}, {}, {.ccr = kZ}},
};
// clang-format on

std::uint8_t prefixOf(Page page) {
    switch (page) {
        case Page::Prefix18:
            return kPrefix18;
        case Page::Prefix1A:
            return kPrefix1A;
        default:
            return kPrefixCD;
    }
}

TEST_F(InstructionCases, EveryFormOfAMnemonicDoesItsOperation) {
    for (const FamilyCase& c : kFamilyCases) {
        int forms = 0;
        for (const InstructionForm& form : kInstructionSet) {
            if (form.mnemonic != c.mnemonic) continue;
            ++forms;
            SCOPED_TRACE(::testing::Message() << c.mnemonic << " mode " << int(form.mode));
            machine = std::make_unique<Machine>(host);
            setMemoryKind(machine->memory, 0x0000, 0xFFFF, MemoryKind::Ram);
            Registers before = c.before;
            Registers after = c.after;
            if (before.ix == 0 && after.ix == 0) before.ix = after.ix = 0x0100;
            if (before.iy == 0 && after.iy == 0) before.iy = after.iy = 0x0200;

            std::vector<std::uint8_t> code;
            if (form.page != Page::Base) code.push_back(prefixOf(form.page));
            code.push_back(form.opcode);
            std::optional<std::uint16_t> address;
            switch (form.mode) {
                case Mode::Immediate8:
                case Mode::Immediate16:
                    code.insert(code.end(), c.operand.begin(), c.operand.end());
                    break;
                case Mode::Direct:
                    code.push_back(0x40);
                    address = 0x0040;
                    break;
                case Mode::Extended:
                    code.insert(code.end(), {0x12, 0x34});
                    address = 0x1234;
                    break;
                case Mode::IndexedX:
                    code.push_back(0x05);
                    address = static_cast<std::uint16_t>(before.ix + 5);
                    break;
                case Mode::IndexedY:
                    code.push_back(0x05);
                    address = static_cast<std::uint16_t>(before.iy + 5);
                    break;
                default:
                    break;
            }
            setRegisters(before);
            loadCode(kCode, code);
            if (address) loadCode(*address, c.operand);

            executeAt(kCode);

            EXPECT_EQ(registers(), after);
            EXPECT_EQ(machine->pc, kCode + code.size());
            if (address) {
                for (std::size_t i = 0; i < c.memoryAfter.size(); ++i)
                    EXPECT_EQ(machine->peek(static_cast<std::uint16_t>(*address + i)),
                              c.memoryAfter[i]);
            }
        }
        EXPECT_GT(forms, 0) << c.mnemonic;
    }
}

// The sum of two BCD bytes, corrected by DAA.
TEST_F(InstructionsTest, DaaCorrectsABcdSum) {
    const struct {
        std::uint8_t augend, addend, sum;
        bool carry;
    } cases[] = {
        {0x19, 0x28, 0x47, false}, {0x99, 0x01, 0x00, true}, {0x99, 0x99, 0x98, true},
        {0x45, 0x45, 0x90, false}, {0x50, 0x50, 0x00, true}, {0x08, 0x08, 0x16, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << int(c.augend) << " + " << int(c.addend));
        machine->a = c.augend;
        machine->flags = {};
        load(kCode, {0x8B, c.addend, 0x19});  // ADDA #addend; DAA
        executeAt(kCode, 2);
        EXPECT_EQ(machine->a, c.sum);
        EXPECT_EQ(machine->flags.c, c.carry);
        EXPECT_EQ(machine->flags.z, c.sum == 0);
        EXPECT_EQ(machine->flags.n, (c.sum & 0x80) != 0);
        EXPECT_EQ(machine->stepCycles, 2);
    }
}

TEST_F(InstructionsTest, DaaDecidesBothCorrectionsBeforeAdjustingAndLeavesH) {
    machine->a = 0x94;
    machine->flags = {.h = true};
    load(kCode, {0x19});
    executeAt(kCode);
    EXPECT_EQ(machine->a, 0x9A);  // the low correction alone; 9A after it does not add 60
    EXPECT_FALSE(machine->flags.c);
    EXPECT_TRUE(machine->flags.h);
    EXPECT_TRUE(machine->flags.n);
}

TEST_F(InstructionsTest, IdivAndFdivIncludingDivisionByZero) {
    constexpr std::uint8_t kIdiv = 0x02;
    constexpr std::uint8_t kFdiv = 0x03;
    const struct {
        std::string_view name;
        std::uint8_t opcode;
        std::uint16_t d, ix;
        std::uint8_t ccr;
        std::uint16_t remainder, quotient;
        std::uint8_t ccrAfter;
    } cases[] = {
        {"IDIV 7 / 0", kIdiv, 7, 0, kN | kZ | kV, 7, 0xFFFF, kN | kC},
        {"IDIV 100 / 7", kIdiv, 100, 7, kZ | kV | kC, 2, 14, 0},
        {"IDIV 3 / 7", kIdiv, 3, 7, kN, 3, 0, kN | kZ},
        {"IDIV FFFF / 1", kIdiv, 0xFFFF, 1, 0, 0, 0xFFFF, 0},
        {"FDIV 4000 / 8000", kFdiv, 0x4000, 0x8000, kN | kZ | kV | kC, 0, 0x8000, kN},
        {"FDIV 1 / 3", kFdiv, 1, 3, 0, 1, 0x5555, 0},
        {"FDIV 0 / 5", kFdiv, 0, 5, kV, 0, 0, kZ},
        {"FDIV 1234 / 1234", kFdiv, 0x1234, 0x1234, kZ | kC, 0x1234, 0xFFFF, kV},
        {"FDIV 0 / 0", kFdiv, 0, 0, kN | kZ, 0, 0xFFFF, kN | kV | kC},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine->setD(c.d);
        machine->ix = c.ix;
        machine->flags = {};
        machine->flags.loadByte(c.ccr);
        machine->cycleCounter = 0;
        load(kCode, {c.opcode});
        executeAt(kCode);
        EXPECT_EQ(machine->d(), c.remainder);
        EXPECT_EQ(machine->ix, c.quotient);
        EXPECT_EQ(machine->flags.byte(), c.ccrAfter);
        EXPECT_EQ(machine->cycleCounter, 41u);
    }
}

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

TEST_F(InstructionsTest, CliClearsIAndMarksTheCycleCounterAfterItself) {
    machine->flags = {.i = true};
    machine->cycleCounter = 100;
    load(kCode, {0x0E});
    executeAt(kCode);
    EXPECT_FALSE(machine->flags.i);
    EXPECT_EQ(machine->cliMark, 102u);
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

TEST_F(InstructionsTest, BranchConditions) {
    const struct {
        std::uint8_t opcode;
        std::uint8_t ccr;
        bool taken;
    } cases[] = {
        {0x20, 0, true},
        {0x21, kN | kZ | kV | kC, false},
        {0x21, 0, false},
        {0x22, 0, true},
        {0x22, kC, false},
        {0x22, kZ, false},
        {0x23, 0, false},
        {0x23, kC, true},
        {0x23, kZ, true},
        {0x24, 0, true},
        {0x24, kC, false},
        {0x25, kC, true},
        {0x25, kZ, false},
        {0x26, 0, true},
        {0x26, kZ, false},
        {0x27, kZ, true},
        {0x27, kN, false},
        {0x28, 0, true},
        {0x28, kV, false},
        {0x29, kV, true},
        {0x29, kC, false},
        {0x2A, 0, true},
        {0x2A, kN, false},
        {0x2B, kN, true},
        {0x2B, kZ, false},
        {0x2C, kN | kV, true},
        {0x2C, kN, false},
        {0x2C, kV, false},
        {0x2D, kN, true},
        {0x2D, kV, true},
        {0x2D, kN | kV, false},
        {0x2E, kN | kV, true},
        {0x2E, kZ, false},
        {0x2E, kN, false},
        {0x2F, kZ | kN | kV, true},
        {0x2F, kV, true},
        {0x2F, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << std::hex << "opcode " << int(c.opcode) << " flags " << int(c.ccr));
        machine->flags = {};
        machine->flags.loadByte(c.ccr);
        machine->cycleCounter = 0;
        load(kCode, {c.opcode, 0x10});
        executeAt(kCode);
        EXPECT_EQ(machine->pc, c.taken ? kCode + 0x12 : kCode + 2);
        EXPECT_EQ(machine->stepCycles, 3);
        EXPECT_EQ(machine->flags.byte(), c.ccr);
    }
}

// The offset byte lies in undefined memory: reading it would warn.
TEST_F(InstructionsTest, BranchReadsItsOffsetOnlyWhenTaken) {
    setMemoryKind(machine->memory, 0x2FFF, 0x2FFF, MemoryKind::Undefined);
    load(0x2FFE, {0x21});  // BRN
    executeAt(0x2FFE);
    EXPECT_EQ(machine->pc, 0x3000);

    load(0x2FFE, {0x27});  // BEQ
    machine->flags.z = false;
    executeAt(0x2FFE);
    EXPECT_EQ(machine->pc, 0x3000);
    EXPECT_TRUE(host.messages.empty());

    machine->flags.z = true;
    executeAt(0x2FFE);
    EXPECT_EQ(machine->pc, 0x3000);  // the refused read gives offset 0
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].text.find("Reading 8-Bit from undef memory"), std::string::npos);
}

TEST_F(InstructionsTest, BrsetAndBrclrTestTheMaskAndLeaveTheFlags) {
    const struct {
        std::string_view name;
        std::vector<std::uint8_t> code;
        std::uint8_t value;
        bool taken;
        int cycles;
    } cases[] = {
        {"BRSET all mask bits set", {0x12, 0x40, 0x81, 0x10}, 0x81, true, 6},
        {"BRSET one mask bit clear", {0x12, 0x40, 0x81, 0x10}, 0x80, false, 6},
        {"BRCLR all mask bits clear", {0x13, 0x40, 0x81, 0x10}, 0x7E, true, 6},
        {"BRCLR one mask bit set", {0x13, 0x40, 0x81, 0x10}, 0x01, false, 6},
        {"BRSET mask 0", {0x12, 0x40, 0x00, 0x10}, 0x00, true, 6},
        {"BRCLR mask 0", {0x13, 0x40, 0x00, 0x10}, 0xFF, true, 6},
        {"BRSET 40,X", {0x1E, 0x40, 0x01, 0x10}, 0x01, true, 7},
        {"BRCLR 40,Y", {0x18, 0x1F, 0x40, 0x01, 0x10}, 0x00, true, 8},
        {"BRCLR 40,Y not taken", {0x18, 0x1F, 0x40, 0x01, 0x10}, 0x01, false, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setRegisters({.ccr = kN | kZ | kV | kC});
        machine->poke(0x0040, c.value);
        loadCode(kCode, c.code);
        executeAt(kCode);
        const auto next = static_cast<std::uint16_t>(kCode + c.code.size());
        EXPECT_EQ(machine->pc, c.taken ? next + 0x10 : next);
        EXPECT_EQ(machine->stepCycles, c.cycles);
        EXPECT_EQ(machine->flags.byte(), kN | kZ | kV | kC);
    }
}

TEST_F(InstructionsTest, JsrThenRtsReturnsAfterTheCall) {
    load(kCode, {0xBD, 0x80, 0x00});
    load(0x8000, {0x39});
    machine->sp = 0x00FF;
    executeAt(kCode, 2);
    EXPECT_EQ(machine->pc, kCode + 3);
    EXPECT_EQ(machine->sp, 0x00FF);
}

TEST_F(InstructionsTest, MemoryChangedFlagRaisedOnlyByInstructionsThatWrite) {
    const struct {
        std::string_view name;
        std::vector<std::uint8_t> code;
        bool changes;
    } cases[] = {
        {"STAA direct", {0x97, 0x40}, true},
        {"STAB 0,Y", {0x18, 0xE7, 0x00}, true},
        {"STD extended", {0xFD, 0x01, 0x00}, true},
        {"STS direct", {0x9F, 0x40}, true},
        {"STX 0,Y", {0xCD, 0xEF, 0x00}, true},
        {"STY 0,X", {0x1A, 0xEF, 0x00}, true},
        {"NEG extended", {0x70, 0x01, 0x00}, true},
        {"COM 0,X", {0x63, 0x00}, true},
        {"LSR 0,Y", {0x18, 0x64, 0x00}, true},
        {"ROR extended", {0x76, 0x01, 0x00}, true},
        {"ASR 0,X", {0x67, 0x00}, true},
        {"ASL extended", {0x78, 0x01, 0x00}, true},
        {"ROL 0,X", {0x69, 0x00}, true},
        {"DEC extended", {0x7A, 0x01, 0x00}, true},
        {"INC 0,Y", {0x18, 0x6C, 0x00}, true},
        {"CLR 0,X", {0x6F, 0x00}, true},
        {"BSET direct", {0x14, 0x40, 0x01}, true},
        {"BCLR 0,Y", {0x18, 0x1D, 0x00, 0x01}, true},
        {"PSHA", {0x36}, true},
        {"PSHB", {0x37}, true},
        {"PSHX", {0x3C}, true},
        {"PSHY", {0x18, 0x3C}, true},
        {"JSR direct", {0x9D, 0x40}, true},
        {"JSR 0,X", {0xAD, 0x00}, true},
        {"BSR", {0x8D, 0x00}, true},
        {"SWI", {0x3F}, true},
        {"TST extended", {0x7D, 0x01, 0x00}, false},
        {"TST 0,X", {0x6D, 0x00}, false},
        {"WAI", {0x3E}, false},
        {"NEGA", {0x40}, false},
        {"CLRB", {0x5F}, false},
        {"LDAA direct", {0x96, 0x40}, false},
        {"BRSET direct", {0x12, 0x40, 0x00, 0x00}, false},
        {"PULA", {0x32}, false},
        {"RTS", {0x39}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setRegisters({.ix = 0x0100, .iy = 0x0100, .sp = 0x01FF});
        machine->memoryChanged = false;
        machine->waitState = false;
        loadCode(kCode, c.code);
        executeAt(kCode);
        EXPECT_EQ(machine->memoryChanged, c.changes);
    }
}

// CLR writes without reading, TST reads without writing, the others read and then write.
TEST_F(InstructionsTest, MemoryOperandsAreAccessedOnlyAsTheInstructionNeeds) {
    const struct {
        std::string_view name;
        std::uint8_t opcode;
        MemoryKind kind;
        std::string_view warning;
    } cases[] = {
        {"CLR on write-only memory", 0x7F, MemoryKind::WriteOnly, ""},
        {"STAA on write-only memory", 0xB7, MemoryKind::WriteOnly, ""},
        {"NEG on write-only memory", 0x70, MemoryKind::WriteOnly,
         "Reading 8-Bit from Write Only Memory"},
        {"TST on ROM", 0x7D, MemoryKind::Rom, ""},
        {"INC on ROM", 0x7C, MemoryKind::Rom, "Writing 8-Bit to ROM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setMemoryKind(machine->memory, 0x8000, 0x8000, c.kind);
        host.messages.clear();
        load(kCode, {c.opcode, 0x80, 0x00});
        executeAt(kCode);
        if (c.warning.empty()) {
            EXPECT_TRUE(host.messages.empty());
        } else {
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_NE(host.messages[0].text.find(c.warning), std::string::npos);
        }
    }
}

TEST_F(InstructionsTest, StoreToRomAnsweredYesChargesSetsFlagsAndKeepsTheByte) {
    const struct {
        std::string_view name;
        std::vector<std::uint8_t> code;
        std::uint16_t address;
        int cycles;
    } cases[] = {
        {"direct", {0x97, 0x40}, 0x0040, 3},
        {"extended", {0xB7, 0x80, 0x00}, 0x8000, 4},
        {"indexed X", {0xA7, 0x10}, 0x8010, 4},
        {"indexed Y", {0x18, 0xA7, 0x20}, 0x8020, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setMemoryKind(machine->memory, c.address, c.address, MemoryKind::Rom);
        machine->poke(c.address, 0xFF);
        setRegisters({.a = 0x80, .ix = 0x8000, .iy = 0x8000, .ccr = kZ | kV | kC});
        machine->memoryChanged = false;
        machine->cycleCounter = 0;
        host.messages.clear();
        host.yesNoAnswers = {true};
        loadCode(kCode, c.code);
        executeAt(kCode);

        EXPECT_EQ(machine->peek(c.address), 0xFF);
        EXPECT_EQ(machine->flags.byte(), kN | kC);
        EXPECT_EQ(machine->cycleCounter, std::uint32_t(c.cycles));
        EXPECT_EQ(machine->pc, kCode + c.code.size());
        EXPECT_TRUE(machine->memoryChanged);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].kind, testing::FakeHost::Message::YesNoWarning);
        EXPECT_NE(host.messages[0].text.find("Writing 8-Bit to ROM"), std::string::npos);
    }
}

}  // namespace
}  // namespace tarnwick
