#include "debugger/branch_opposite.h"

#include "base/instruction_set.h"
#include "debugger/instruction_analysis.h"

namespace tarnwick {

std::optional<std::uint16_t> branchOppositeTarget(const Machine& machine) {
    const std::optional<bool> taken = branchWillBeTaken(machine, machine.pc);
    if (!taken) return std::nullopt;
    // The branch offset is the instruction's last byte; only BRSET and BRCLR on Y carry the
    // prefix 18.
    const std::uint8_t opcode = machine.peek(machine.pc);
    const bool prefixed = opcode == kPrefix18;
    const InstructionForm* form =
        prefixed ? findInstruction(Page::Prefix18, machine.peek(machine.pc + 1))
                 : findInstruction(Page::Base, opcode);
    const auto next = static_cast<std::uint16_t>(machine.pc + form->length);
    const auto offset = static_cast<std::int8_t>(machine.peek(next - 1));
    return *taken ? next : static_cast<std::uint16_t>(next + offset);
}

}  // namespace tarnwick
