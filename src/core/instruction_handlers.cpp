// The handlers of every instruction form, generated from the instruction-set table: each is
// one operation applied through one addressing mode to one register.
#include <utility>

#include "base/instruction_set.h"
#include "core/branch_condition.h"
#include "core/instruction_engine.h"
#include "core/interrupts.h"

namespace tarnwick {
namespace {

constexpr bool isWide(Reg reg) {
    return reg == Reg::D || reg == Reg::X || reg == Reg::Y || reg == Reg::S;
}

template <Reg reg>
std::uint8_t& byteRegister(Machine& m) {
    if constexpr (reg == Reg::A)
        return m.a;
    else
        return m.b;
}

template <Reg reg>
std::uint16_t wordRegister(const Machine& m) {
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
void setWordRegister(Machine& m, std::uint16_t value) {
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
std::uint16_t& indexRegister(Machine& m) {
    if constexpr (reg == Reg::X)
        return m.ix;
    else
        return m.iy;
}

// Fetches the operand bytes of a memory mode and forms the effective address.
template <Mode mode>
std::uint16_t effectiveAddress(Machine& m) {
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
std::uint8_t operand8(Machine& m) {
    if constexpr (mode == Mode::Immediate8)
        return m.fetch8();
    else
        return m.read8(effectiveAddress<mode>(m));
}

template <Mode mode>
std::uint16_t operand16(Machine& m) {
    if constexpr (mode == Mode::Immediate16)
        return m.fetch16();
    else
        return m.read16(effectiveAddress<mode>(m));
}

void setNZ8(Machine& m, std::uint8_t r) {
    m.flags.n = r & 0x80;
    m.flags.z = r == 0;
}

void setNZ16(Machine& m, std::uint16_t r) {
    m.flags.n = r & 0x8000;
    m.flags.z = r == 0;
}

std::uint8_t add8(Machine& m, std::uint8_t x, std::uint8_t y, bool carry) {
    const unsigned sum = x + y + carry;
    const auto r = static_cast<std::uint8_t>(sum);
    m.flags.h = (x & 0x0F) + (y & 0x0F) + carry > 0x0F;
    setNZ8(m, r);
    m.flags.v = (~(x ^ y) & (x ^ r)) & 0x80;
    m.flags.c = sum > 0xFF;
    return r;
}

std::uint8_t subtract8(Machine& m, std::uint8_t x, std::uint8_t y, bool borrow) {
    const auto r = static_cast<std::uint8_t>(x - y - borrow);
    setNZ8(m, r);
    m.flags.v = ((x ^ y) & (x ^ r)) & 0x80;
    m.flags.c = unsigned{y} + borrow > x;
    return r;
}

std::uint16_t add16(Machine& m, std::uint16_t x, std::uint16_t y) {
    const std::uint32_t sum = std::uint32_t{x} + y;
    const auto r = static_cast<std::uint16_t>(sum);
    setNZ16(m, r);
    m.flags.v = (~(x ^ y) & (x ^ r)) & 0x8000;
    m.flags.c = sum > 0xFFFF;
    return r;
}

std::uint16_t subtract16(Machine& m, std::uint16_t x, std::uint16_t y) {
    const auto r = static_cast<std::uint16_t>(x - y);
    setNZ16(m, r);
    m.flags.v = ((x ^ y) & (x ^ r)) & 0x8000;
    m.flags.c = y > x;
    return r;
}

void setLogic8(Machine& m, std::uint8_t r) {
    setNZ8(m, r);
    m.flags.v = false;
}

// Shifts and rotates: V is N XOR C of the result.
void setShift8(Machine& m, std::uint8_t r, bool carry) {
    setNZ8(m, r);
    m.flags.c = carry;
    m.flags.v = m.flags.n != m.flags.c;
}

void setShift16(Machine& m, std::uint16_t r, bool carry) {
    setNZ16(m, r);
    m.flags.c = carry;
    m.flags.v = m.flags.n != m.flags.c;
}

// The single-operand operations shared by the A, B and memory forms.
template <Operation op>
std::uint8_t unary(Machine& m, std::uint8_t value) {
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

void branchIf(Machine& m, bool taken) {
    if (taken) {
        const auto offset = static_cast<std::int8_t>(m.fetch8());
        m.pc = static_cast<std::uint16_t>(m.pc + offset);
    } else {
        m.pc = static_cast<std::uint16_t>(m.pc + 1);  // the offset byte is not read
    }
}

void push16(Machine& m, std::uint16_t value) {
    m.write16(static_cast<std::uint16_t>(m.sp - 1), value);
    m.sp = static_cast<std::uint16_t>(m.sp - 2);
}

// Address of a bit instruction's operand from its address-or-offset byte.
template <Mode mode>
std::uint16_t bitAddress(const Machine& m, std::uint8_t addressOrOffset) {
    if constexpr (mode == Mode::BitTestDirect || mode == Mode::BitSetDirect)
        return addressOrOffset;
    else if constexpr (mode == Mode::BitTestIndexedX || mode == Mode::BitSetIndexedX)
        return static_cast<std::uint16_t>(m.ix + addressOrOffset);
    else
        return static_cast<std::uint16_t>(m.iy + addressOrOffset);
}

void chargeCycles(Machine& m, std::uint8_t cycles) {
    m.cycleCounter += cycles;
    m.stepCycles = cycles;
}

void softwareInterrupt(Machine& m) {
    const std::uint16_t vector = m.read16(kSwiVector);
    if (vector == 0xFFFF) {
        m.host.showError("FATAL ERROR: SWI Interrupt vector is not initialized, Debug|Stop");
        m.stopAfterError();
        return;
    }
    pushRegisterFrame(m, m.pc);
    m.flags.i = true;
    m.pc = vector;
}

void waitForInterrupt(Machine& m) {
    if (m.waitState) {
        chargeCycles(m, 1);
        m.pc = static_cast<std::uint16_t>(m.pc - 1);
        return;
    }
    chargeCycles(m, 14);
    interruptEntry(m, InterruptSource::WaiStacking);
    m.waitState = true;
}

void stop(Machine& m) {
    if (m.stopState) {
        chargeCycles(m, 0);
    } else {
        chargeCycles(m, 2);
        if (m.flags.s) return;
        m.stopState = true;
    }
    m.pc = static_cast<std::uint16_t>(m.pc - 1);
}

void returnFromInterrupt(Machine& m) {
    m.flags.loadByte(m.read8(static_cast<std::uint16_t>(m.sp + 1)));
    const std::uint16_t ba = m.read16(static_cast<std::uint16_t>(m.sp + 2));
    m.b = static_cast<std::uint8_t>(ba >> 8);
    m.a = static_cast<std::uint8_t>(ba);
    m.ix = m.read16(static_cast<std::uint16_t>(m.sp + 4));
    m.iy = m.read16(static_cast<std::uint16_t>(m.sp + 6));
    m.pc = m.read16(static_cast<std::uint16_t>(m.sp + 8));
    m.sp = static_cast<std::uint16_t>(m.sp + 9);
}

void integerDivide(Machine& m) {
    m.flags.v = false;
    if (m.ix == 0) {
        m.ix = 0xFFFF;
        m.flags.z = false;
        m.flags.c = true;
        return;
    }
    const std::uint16_t quotient = m.d() / m.ix;
    m.setD(m.d() % m.ix);
    m.ix = quotient;
    m.flags.c = false;
    m.flags.z = quotient == 0;
}

void fractionalDivide(Machine& m) {
    if (m.d() >= m.ix) {
        m.flags.c = m.ix == 0;
        m.ix = 0xFFFF;
        m.flags.v = true;
        m.flags.z = false;
        return;
    }
    const std::uint32_t dividend = std::uint32_t{m.d()} << 16;
    const auto quotient = static_cast<std::uint16_t>(dividend / m.ix);
    m.setD(static_cast<std::uint16_t>(dividend % m.ix));
    m.ix = quotient;
    m.flags.v = false;
    m.flags.c = false;
    m.flags.z = quotient == 0;
}

void decimalAdjust(Machine& m) {
    const bool low = (m.a & 0x0F) > 9 || m.flags.h;
    const bool high = m.a > 0x99 || m.flags.c;
    m.a = static_cast<std::uint8_t>(m.a + (low ? 0x06 : 0) + (high ? 0x60 : 0));
    m.flags.c = high;
    setNZ8(m, m.a);
}

// The common handler steps: cycles and the memory-changed flag first, so that an instruction
// whose access is refused still charges them; then operands, result, flags and the write.
// WAI and STOP are the two whose cycles vary.
template <std::size_t formIndex>
void execute(Machine& m) {
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

void illegalOpcode(Machine& m) {
    interruptEntry(m, InterruptSource::IllegalOpcode);
    // With both vector bytes FF the entry has already reported the vector and reset.
    if (m.peek(0xFFF8) != 0xFF || m.peek(0xFFF9) != 0xFF)
        m.host.showWarning("WARNING: Entering Illegal Opcode Trap Interrupt");
    m.requestStop();
}

template <Page page>
void executePrefixed(Machine& m) {
    kOpcodePages[static_cast<std::size_t>(page) - 1][m.fetch8()](m);
}

constexpr std::array<OpcodePage, 4> buildOpcodePages() {
    std::array<OpcodePage, 4> pages{};
    for (OpcodePage& page : pages) page.fill(&illegalOpcode);
    pages[0][kPrefix18] = &executePrefixed<Page::Prefix18>;
    pages[0][kPrefix1A] = &executePrefixed<Page::Prefix1A>;
    pages[0][kPrefixCD] = &executePrefixed<Page::PrefixCD>;
    [&pages]<std::size_t... formIndex>(std::index_sequence<formIndex...>) {
        ((pages[static_cast<std::size_t>(kInstructionSet[formIndex].page) - 1]
               [kInstructionSet[formIndex].opcode] = &execute<formIndex>),
         ...);
    }
    (std::make_index_sequence<kInstructionSet.size()>{});
    return pages;
}

}  // namespace

constinit const std::array<OpcodePage, 4> kOpcodePages = buildOpcodePages();

}  // namespace tarnwick
