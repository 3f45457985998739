#pragma once

#include <array>

#include "core/machine.h"

namespace tarnwick {

using InstructionHandler = void (*)(Machine&);
using OpcodePage = std::array<InstructionHandler, 256>;

// The base page and the pages behind the prefixes 18, 1A and CD, built from the
// instruction-set table. Unassigned entries are the illegal-opcode trap.
extern const std::array<OpcodePage, 4> kOpcodePages;

// The start of every instruction: the address at PC kept as the instruction's and the
// execution counted. Returns the opcode's record; moving PC past the opcode is left to the
// caller. Spelled out here because the run loops' speed rests on it.
[[gnu::always_inline]] inline AddressRecord& beginInstruction(Machine& machine) {
    const std::uint16_t address = machine.pc;
    AddressRecord& record = machine.memory[address];
    machine.instructionAddress = address;
    ++record.executionCount;
    return record;
}

// The opcode fetch: PC moves past the opcode, which is read at the instruction's address
// with a checked read.
[[gnu::always_inline]] inline unsigned fetchOpcode(Machine& machine) {
    const AddressRecord& record = beginInstruction(machine);
    machine.pc = static_cast<std::uint16_t>(machine.instructionAddress + 1);
    return isReadable(record.flags) ? unsigned{record.value}
                                    : unsigned{machine.read8(machine.instructionAddress)};
}

// Ends an instruction begun at an address that cannot be read: the checked read of the
// opcode (which warns) and its handler from the table.
void executeUnreadableOpcode(Machine& machine);

// Executes one instruction at PC: one indexed call per opcode byte.
[[gnu::always_inline]] inline void executeInstruction(Machine& machine) {
    kOpcodePages[0][fetchOpcode(machine)](machine);
}

}  // namespace tarnwick
