#pragma once

// The pieces the instruction handlers are made of: register selection, addressing modes,
// the flag rules of the arithmetic, the single-operand operations, branches and the cycle
// charge. Inline, so that a handler compiles to the few host instructions its form needs.
#include <cstdint>

#include "base/instruction_set.h"
#include "core/machine.h"

namespace tarnwick::detail {

constexpr bool isWide(Reg reg) {
    return reg == Reg::D || reg == Reg::X || reg == Reg::Y || reg == Reg::S;
}

template <Reg reg>
[[gnu::always_inline]] inline std::uint8_t& byteRegister(Machine& m) {
    if constexpr (reg == Reg::A)
        return m.a;
    else
        return m.b;
}

template <Reg reg>
[[gnu::always_inline]] inline std::uint16_t wordRegister(const Machine& m) {
    if constexpr (reg == Reg::D)
        return m.d();
    else if constexpr (reg == Reg::X)
        return m.ix;
    else if constexpr (reg == Reg::Y)
        return m.iy;
    else
        return m.sp;
}

template <Reg reg>
[[gnu::always_inline]] inline void setWordRegister(Machine& m, std::uint16_t value) {
    if constexpr (reg == Reg::D)
        m.setD(value);
    else if constexpr (reg == Reg::X)
        m.ix = value;
    else if constexpr (reg == Reg::Y)
        m.iy = value;
    else
        m.sp = value;
}

template <Reg reg>
[[gnu::always_inline]] inline std::uint16_t& indexRegister(Machine& m) {
    if constexpr (reg == Reg::X)
        return m.ix;
    else
        return m.iy;
}

// Fetches the operand bytes of a memory mode and forms the effective address.
template <Mode mode>
[[gnu::always_inline]] inline std::uint16_t effectiveAddress(Machine& m) {
    if constexpr (mode == Mode::Direct)
        return m.fetch8();
    else if constexpr (mode == Mode::Extended)
        return m.fetch16();
    else if constexpr (mode == Mode::IndexedX)
        return static_cast<std::uint16_t>(m.ix + m.fetch8());
    else
        return static_cast<std::uint16_t>(m.iy + m.fetch8());
}

template <Mode mode>
[[gnu::always_inline]] inline std::uint8_t operand8(Machine& m) {
    if constexpr (mode == Mode::Immediate8)
        return m.fetch8();
    else
        return m.read8(effectiveAddress<mode>(m));
}

template <Mode mode>
[[gnu::always_inline]] inline std::uint16_t operand16(Machine& m) {
    if constexpr (mode == Mode::Immediate16)
        return m.fetch16();
    else
        return m.read16(effectiveAddress<mode>(m));
}

[[gnu::always_inline]] inline void setNZ8(Machine& m, std::uint8_t r) {
    m.flags.n = r & 0x80;
    m.flags.z = r == 0;
}

[[gnu::always_inline]] inline void setNZ16(Machine& m, std::uint16_t r) {
    m.flags.n = r & 0x8000;
    m.flags.z = r == 0;
}

[[gnu::always_inline]] inline std::uint8_t add8(Machine& m, std::uint8_t x, std::uint8_t y,
                                                bool carry) {
    const unsigned sum = x + y + carry;
    const auto r = static_cast<std::uint8_t>(sum);
    m.flags.h = (x & 0x0F) + (y & 0x0F) + carry > 0x0F;
    setNZ8(m, r);
    m.flags.v = (~(x ^ y) & (x ^ r)) & 0x80;
    m.flags.c = sum > 0xFF;
    return r;
}

[[gnu::always_inline]] inline std::uint8_t subtract8(Machine& m, std::uint8_t x, std::uint8_t y,
                                                     bool borrow) {
    const auto r = static_cast<std::uint8_t>(x - y - borrow);
    setNZ8(m, r);
    m.flags.v = ((x ^ y) & (x ^ r)) & 0x80;
    m.flags.c = unsigned{y} + borrow > x;
    return r;
}

[[gnu::always_inline]] inline std::uint16_t add16(Machine& m, std::uint16_t x, std::uint16_t y) {
    const std::uint32_t sum = std::uint32_t{x} + y;
    const auto r = static_cast<std::uint16_t>(sum);
    setNZ16(m, r);
    m.flags.v = (~(x ^ y) & (x ^ r)) & 0x8000;
    m.flags.c = sum > 0xFFFF;
    return r;
}

[[gnu::always_inline]] inline std::uint16_t subtract16(Machine& m, std::uint16_t x,
                                                       std::uint16_t y) {
    const auto r = static_cast<std::uint16_t>(x - y);
    setNZ16(m, r);
    m.flags.v = ((x ^ y) & (x ^ r)) & 0x8000;
    m.flags.c = y > x;
    return r;
}

[[gnu::always_inline]] inline void setLogic8(Machine& m, std::uint8_t r) {
    setNZ8(m, r);
    m.flags.v = false;
}

// Shifts and rotates: V is N XOR C of the result.
[[gnu::always_inline]] inline void setShift8(Machine& m, std::uint8_t r, bool carry) {
    setNZ8(m, r);
    m.flags.c = carry;
    m.flags.v = m.flags.n != m.flags.c;
}

[[gnu::always_inline]] inline void setShift16(Machine& m, std::uint16_t r, bool carry) {
    setNZ16(m, r);
    m.flags.c = carry;
    m.flags.v = m.flags.n != m.flags.c;
}

// The single-operand operations shared by the A, B and memory forms.
template <Operation op>
[[gnu::always_inline]] inline std::uint8_t unary(Machine& m, std::uint8_t value) {
    std::uint8_t r = 0;
    if constexpr (op == Operation::Negate) {
        r = static_cast<std::uint8_t>(0 - value);
        setNZ8(m, r);
        m.flags.v = r == 0x80;
        m.flags.c = r != 0;
    } else if constexpr (op == Operation::Complement) {
        r = static_cast<std::uint8_t>(~value);
        setLogic8(m, r);
        m.flags.c = true;
    } else if constexpr (op == Operation::ShiftRightLogical) {
        r = static_cast<std::uint8_t>(value >> 1);
        setShift8(m, r, value & 0x01);
    } else if constexpr (op == Operation::RotateRight) {
        r = static_cast<std::uint8_t>(value >> 1 | m.flags.c << 7);
        setShift8(m, r, value & 0x01);
    } else if constexpr (op == Operation::ShiftRightArithmetic) {
        r = static_cast<std::uint8_t>(value >> 1 | (value & 0x80));
        setShift8(m, r, value & 0x01);
    } else if constexpr (op == Operation::ShiftLeft) {
        r = static_cast<std::uint8_t>(value << 1);
        setShift8(m, r, value & 0x80);
    } else if constexpr (op == Operation::RotateLeft) {
        r = static_cast<std::uint8_t>(value << 1 | m.flags.c);
        setShift8(m, r, value & 0x80);
    } else if constexpr (op == Operation::Decrement) {
        r = static_cast<std::uint8_t>(value - 1);
        setNZ8(m, r);
        m.flags.v = r == 0x7F;
    } else if constexpr (op == Operation::Increment) {
        r = static_cast<std::uint8_t>(value + 1);
        setNZ8(m, r);
        m.flags.v = r == 0x80;
    } else if constexpr (op == Operation::Test) {
        r = value;
        setLogic8(m, r);
        m.flags.c = false;
    } else if constexpr (op == Operation::Clear) {
        setLogic8(m, 0);
        m.flags.c = false;
    }
    return r;
}

constexpr bool isUnary(Operation op) {
    return op >= Operation::Negate && op <= Operation::Clear;
}

// The instructions that raise the memory-changed flag.
constexpr bool writesMemory(const InstructionForm& form) {
    switch (form.operation) {
        case Operation::Store:
        case Operation::SetBits:
        case Operation::ClearBits:
        case Operation::Push:
        case Operation::JumpToSubroutine:
        case Operation::BranchToSubroutine:
        case Operation::SoftwareInterrupt:
            return true;
        case Operation::Test:
            return false;
        default:
            return isUnary(form.operation) && form.reg == Reg::None;
    }
}

[[gnu::always_inline]] inline void branchIf(Machine& m, bool taken) {
    if (taken) {
        const auto offset = static_cast<std::int8_t>(m.fetch8());
        m.pc = static_cast<std::uint16_t>(m.pc + offset);
    } else {
        m.pc = static_cast<std::uint16_t>(m.pc + 1);  // the offset byte is not read
    }
}

[[gnu::always_inline]] inline void push16(Machine& m, std::uint16_t value) {
    m.write16(static_cast<std::uint16_t>(m.sp - 1), value);
    m.sp = static_cast<std::uint16_t>(m.sp - 2);
}

// Address of a bit instruction's operand from its address-or-offset byte.
template <Mode mode>
[[gnu::always_inline]] inline std::uint16_t bitAddress(const Machine& m,
                                                       std::uint8_t addressOrOffset) {
    if constexpr (mode == Mode::BitTestDirect || mode == Mode::BitSetDirect)
        return addressOrOffset;
    else if constexpr (mode == Mode::BitTestIndexedX || mode == Mode::BitSetIndexedX)
        return static_cast<std::uint16_t>(m.ix + addressOrOffset);
    else
        return static_cast<std::uint16_t>(m.iy + addressOrOffset);
}

[[gnu::always_inline]] inline void chargeCycles(Machine& m, std::uint8_t cycles) {
    m.cycleCounter += cycles;
    m.stepCycles = cycles;
}

}  // namespace tarnwick::detail
