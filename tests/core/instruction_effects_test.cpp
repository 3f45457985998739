// One instruction at a time from a known state: what it computes, how it sets the condition
// flags, what it costs and what it does to the stack, PC and memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "instruction_fixture.h"

namespace tarnwick::testing {
namespace {

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

}  // namespace
}  // namespace tarnwick::testing
