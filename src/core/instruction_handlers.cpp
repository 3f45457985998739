// The rare instruction handlers and the opcode tables built from the instruction-set table.
#include <utility>

#include "core/instruction_engine.h"
#include "core/instruction_execute.h"
#include "core/interrupts.h"

namespace tarnwick {
namespace detail {

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

// A run with end rules of its own looks at the CPU after the step that begins the wait and
// after every STOP step (those take no cycles, so nothing else changes between them).
void waitForInterrupt(Machine& m) {
    if (m.waitState) {
        chargeCycles(m, 1);
        m.pc = static_cast<std::uint16_t>(m.pc - 1);
        return;
    }
    chargeCycles(m, 14);
    interruptEntry(m, InterruptSource::WaiStacking);
    m.waitState = true;
    m.peripherals.cycleAlarm.ringAfterThisStep();
}

void stop(Machine& m) {
    m.peripherals.cycleAlarm.ringAfterThisStep();
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

}  // namespace detail

constinit const std::array<OpcodePage, 4> kOpcodePages = detail::buildOpcodePages();

void executeUnreadableOpcode(Machine& machine) {
    kOpcodePages[0][machine.read8(machine.instructionAddress)](machine);
}

}  // namespace tarnwick