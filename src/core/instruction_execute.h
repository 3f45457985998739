#pragma once

// The handler of every instruction form, generated from the instruction-set table: each is
// one operation applied through one addressing mode to one register. The opcode tables
// point at them; the run loops whose speed matters inline them.
#include <cstddef>

#include "base/instruction_set.h"
#include "core/branch_condition.h"
#include "core/instruction_operations.h"
#include "core/machine.h"

namespace tarnwick::detail {

// The rare or long operations, out of line.
void softwareInterrupt(Machine& m);
void waitForInterrupt(Machine& m);
void stop(Machine& m);
void returnFromInterrupt(Machine& m);
void integerDivide(Machine& m);
void fractionalDivide(Machine& m);
void decimalAdjust(Machine& m);
void illegalOpcode(Machine& m);

// The common handler steps: cycles and the memory-changed flag first, so that an instruction
// whose access is refused still charges them; then operands, result, flags and the write.
// WAI and STOP are the two whose cycles vary.
template <std::size_t formIndex>
[[gnu::always_inline]] inline void execute(Machine& m) {
    constexpr InstructionForm form = kInstructionSet[formIndex];
    constexpr Operation op = form.operation;
    constexpr Mode mode = form.mode;
    constexpr Reg reg = form.reg;

    if constexpr (op != Operation::WaitForInterrupt && op != Operation::Stop) {
        chargeCycles(m, form.cycles);
        if constexpr (writesMemory(form)) m.memoryChanged = true;
    }

    if constexpr (op == Operation::Load) {
        if constexpr (isWide(reg)) {
            const std::uint16_t value = operand16<mode>(m);
            setWordRegister<reg>(m, value);
            setNZ16(m, value);
        } else {
            const std::uint8_t value = operand8<mode>(m);
            byteRegister<reg>(m) = value;
            setNZ8(m, value);
        }
        m.flags.v = false;
    } else if constexpr (op == Operation::Store) {
        const std::uint16_t address = effectiveAddress<mode>(m);
        if constexpr (isWide(reg)) {
            const std::uint16_t value = wordRegister<reg>(m);
            setNZ16(m, value);
            m.flags.v = false;
            m.write16(address, value);
        } else {
            const std::uint8_t value = byteRegister<reg>(m);
            setLogic8(m, value);
            m.write8(address, value);
        }
    } else if constexpr (op == Operation::Add || op == Operation::AddWithCarry) {
        if constexpr (isWide(reg)) {
            setWordRegister<reg>(m, add16(m, wordRegister<reg>(m), operand16<mode>(m)));
        } else {
            const bool carry = op == Operation::AddWithCarry && m.flags.c;
            std::uint8_t& r = byteRegister<reg>(m);
            r = add8(m, r, operand8<mode>(m), carry);
        }
    } else if constexpr (op == Operation::Subtract || op == Operation::SubtractWithCarry ||
                         op == Operation::Compare) {
        if constexpr (isWide(reg)) {
            const std::uint16_t r = subtract16(m, wordRegister<reg>(m), operand16<mode>(m));
            if constexpr (op != Operation::Compare) setWordRegister<reg>(m, r);
        } else {
            const bool borrow = op == Operation::SubtractWithCarry && m.flags.c;
            std::uint8_t& target = byteRegister<reg>(m);
            const std::uint8_t r = subtract8(m, target, operand8<mode>(m), borrow);
            if constexpr (op != Operation::Compare) target = r;
        }
    } else if constexpr (op == Operation::And || op == Operation::BitTest || op == Operation::Or ||
                         op == Operation::ExclusiveOr) {
        std::uint8_t& target = byteRegister<reg>(m);
        const std::uint8_t value = operand8<mode>(m);
        std::uint8_t r;
        if constexpr (op == Operation::Or)
            r = target | value;
        else if constexpr (op == Operation::ExclusiveOr)
            r = target ^ value;
        else
            r = target & value;
        setLogic8(m, r);
        if constexpr (op != Operation::BitTest) target = r;
    } else if constexpr (isUnary(op)) {
        if constexpr (reg != Reg::None) {
            std::uint8_t& target = byteRegister<reg>(m);
            target = unary<op>(m, target);
        } else {
            const std::uint16_t address = effectiveAddress<mode>(m);
            if constexpr (op == Operation::Clear) {
                unary<op>(m, 0);
                m.write8(address, 0);
            } else if constexpr (op == Operation::Test) {
                unary<op>(m, m.read8(address));
            } else {
                const std::uint8_t r = unary<op>(m, m.read8(address));
                m.write8(address, r);
            }
        }
    } else if constexpr (op == Operation::BranchIfBitsSet || op == Operation::BranchIfBitsClear) {
        const std::uint16_t addressAndMask = m.fetch16();
        const auto mask = static_cast<std::uint8_t>(addressAndMask);
        const std::uint8_t value =
            m.read8(bitAddress<mode>(m, static_cast<std::uint8_t>(addressAndMask >> 8)));
        if constexpr (op == Operation::BranchIfBitsSet)
            branchIf(m, (~value & mask) == 0);
        else
            branchIf(m, (value & mask) == 0);
    } else if constexpr (op == Operation::SetBits || op == Operation::ClearBits) {
        const std::uint16_t addressAndMask = m.fetch16();
        const auto mask = static_cast<std::uint8_t>(addressAndMask);
        const std::uint16_t address =
            bitAddress<mode>(m, static_cast<std::uint8_t>(addressAndMask >> 8));
        const std::uint8_t value = m.read8(address);
        const auto r =
            static_cast<std::uint8_t>(op == Operation::SetBits ? value | mask : value & ~mask);
        setLogic8(m, r);
        m.write8(address, r);
    } else if constexpr (op == Operation::Branch) {
        branchIf(m, branchCondition(m.flags, form.opcode));
    } else if constexpr (op == Operation::BranchToSubroutine) {
        const auto offset = static_cast<std::int8_t>(m.fetch8());
        const std::uint16_t returnAddress = m.pc;
        m.pc = static_cast<std::uint16_t>(returnAddress + offset);
        push16(m, returnAddress);
    } else if constexpr (op == Operation::Jump) {
        m.pc = effectiveAddress<mode>(m);
    } else if constexpr (op == Operation::JumpToSubroutine) {
        const std::uint16_t target = effectiveAddress<mode>(m);
        const std::uint16_t returnAddress = m.pc;
        m.pc = target;
        push16(m, returnAddress);
    } else if constexpr (op == Operation::NoOperation) {
    } else if constexpr (op == Operation::IntegerDivide) {
        integerDivide(m);
    } else if constexpr (op == Operation::FractionalDivide) {
        fractionalDivide(m);
    } else if constexpr (op == Operation::ShiftRightDouble) {
        const std::uint16_t value = m.d();
        m.setD(static_cast<std::uint16_t>(value >> 1));
        setShift16(m, m.d(), value & 0x0001);
    } else if constexpr (op == Operation::ShiftLeftDouble) {
        const std::uint16_t value = m.d();
        m.setD(static_cast<std::uint16_t>(value << 1));
        setShift16(m, m.d(), value & 0x8000);
    } else if constexpr (op == Operation::TransferAToFlags) {
        m.flags.loadByte(m.a);
    } else if constexpr (op == Operation::TransferFlagsToA) {
        m.a = m.flags.byte();
    } else if constexpr (op == Operation::IncrementIndex || op == Operation::DecrementIndex) {
        std::uint16_t& index = indexRegister<reg>(m);
        index = static_cast<std::uint16_t>(op == Operation::IncrementIndex ? index + 1 : index - 1);
        m.flags.z = index == 0;
    } else if constexpr (op == Operation::ClearOverflow) {
        m.flags.v = false;
    } else if constexpr (op == Operation::SetOverflow) {
        m.flags.v = true;
    } else if constexpr (op == Operation::ClearCarry) {
        m.flags.c = false;
    } else if constexpr (op == Operation::SetCarry) {
        m.flags.c = true;
    } else if constexpr (op == Operation::ClearInterruptMask) {
        m.flags.i = false;
        m.cliMark = m.cycleCounter;
    } else if constexpr (op == Operation::SetInterruptMask) {
        m.flags.i = true;
    } else if constexpr (op == Operation::SubtractBFromA) {
        m.a = subtract8(m, m.a, m.b, false);
    } else if constexpr (op == Operation::CompareAToB) {
        subtract8(m, m.a, m.b, false);
    } else if constexpr (op == Operation::TransferAToB) {
        m.b = m.a;
        setLogic8(m, m.b);
    } else if constexpr (op == Operation::TransferBToA) {
        m.a = m.b;
        setLogic8(m, m.a);
    } else if constexpr (op == Operation::DecimalAdjust) {
        decimalAdjust(m);
    } else if constexpr (op == Operation::AddBToA) {
        m.a = add8(m, m.a, m.b, false);
    } else if constexpr (op == Operation::TransferStackToIndex) {
        indexRegister<reg>(m) = static_cast<std::uint16_t>(m.sp + 1);
    } else if constexpr (op == Operation::TransferIndexToStack) {
        m.sp = static_cast<std::uint16_t>(indexRegister<reg>(m) - 1);
    } else if constexpr (op == Operation::IncrementStack) {
        m.sp = static_cast<std::uint16_t>(m.sp + 1);
    } else if constexpr (op == Operation::DecrementStack) {
        m.sp = static_cast<std::uint16_t>(m.sp - 1);
    } else if constexpr (op == Operation::Pull) {
        if constexpr (isWide(reg)) {
            indexRegister<reg>(m) = m.read16(static_cast<std::uint16_t>(m.sp + 1));
            m.sp = static_cast<std::uint16_t>(m.sp + 2);
        } else {
            m.sp = static_cast<std::uint16_t>(m.sp + 1);
            byteRegister<reg>(m) = m.read8(m.sp);
        }
    } else if constexpr (op == Operation::Push) {
        if constexpr (isWide(reg)) {
            push16(m, indexRegister<reg>(m));
        } else {
            m.write8(m.sp, byteRegister<reg>(m));
            m.sp = static_cast<std::uint16_t>(m.sp - 1);
        }
    } else if constexpr (op == Operation::ReturnFromSubroutine) {
        m.pc = m.read16(static_cast<std::uint16_t>(m.sp + 1));
        m.sp = static_cast<std::uint16_t>(m.sp + 2);
    } else if constexpr (op == Operation::AddBToIndex) {
        std::uint16_t& index = indexRegister<reg>(m);
        index = static_cast<std::uint16_t>(index + m.b);
    } else if constexpr (op == Operation::ReturnFromInterrupt) {
        returnFromInterrupt(m);
    } else if constexpr (op == Operation::Multiply) {
        m.setD(static_cast<std::uint16_t>(m.a * m.b));
        m.flags.c = m.b & 0x80;
    } else if constexpr (op == Operation::SoftwareInterrupt) {
        softwareInterrupt(m);
    } else if constexpr (op == Operation::ExchangeDWithIndex) {
        std::uint16_t& index = indexRegister<reg>(m);
        const std::uint16_t d = m.d();
        m.setD(index);
        index = d;
    } else if constexpr (op == Operation::WaitForInterrupt) {
        waitForInterrupt(m);
    } else if constexpr (op == Operation::Stop) {
        stop(m);
    } else {
        static_assert(op == Operation::NoOperation, "operation without a handler");
    }
}

}  // namespace tarnwick::detail
