#pragma once

#include <array>

#include "core/machine.h"

namespace tarnwick {

using InstructionHandler = void (*)(Machine&);
using OpcodePage = std::array<InstructionHandler, 256>;

// The base page and the pages behind the prefixes 18, 1A and CD, built from the
// instruction-set table. Unassigned entries are the illegal-opcode trap.
extern const std::array<OpcodePage, 4> kOpcodePages;

// Executes one instruction at PC: one indexed call per opcode byte. The opcode fetch (a
// checked read at PC, then PC + 1) is spelled out here because the run loops' speed rests on
// it.
[[gnu::always_inline]] inline void executeInstruction(Machine& machine) {
    const unsigned address = machine.pc;
    AddressRecord& record = machine.memory[address];
    machine.instructionAddress = static_cast<std::uint16_t>(address);
    machine.pc = static_cast<std::uint16_t>(address + 1);
    ++record.executionCount;
    const unsigned opcode = isReadable(record.flags)
                                ? unsigned{record.value}
                                : unsigned{machine.read8(static_cast<std::uint16_t>(address))};
    kOpcodePages[0][opcode](machine);
}

}  // namespace tarnwick
