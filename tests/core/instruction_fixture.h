#pragma once

// The fixture of the instruction tests: the programmer's model set and compared as one value,
// and code and data placed in memory.

#include <cstdint>
#include <ostream>
#include <vector>

#include "machine_fixture.h"

namespace tarnwick::testing {

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

inline void PrintTo(const Registers& r, std::ostream* os) {
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

class InstructionCases : public InstructionsTest {};

}  // namespace tarnwick::testing
