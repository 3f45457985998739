#pragma once

#include <array>

#include "core/machine.h"

namespace tarnwick {

using InstructionHandler = void (*)(Machine&);
using OpcodePage = std::array<InstructionHandler, 256>;

// The base page and the pages behind the prefixes 18, 1A and CD, built from the
// instruction-set table. Unassigned entries are the illegal-opcode trap.
extern const std::array<OpcodePage, 4> kOpcodePages;

// Executes one instruction at PC: one indexed call per opcode byte.
[[gnu::always_inline]] inline void executeInstruction(Machine& machine) {
    machine.instructionAddress = machine.pc;
    ++machine.memory[machine.pc].executionCount;
    kOpcodePages[0][machine.fetch8()](machine);
}

}  // namespace tarnwick
