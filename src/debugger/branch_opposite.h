#pragma once

#include <cstdint>
#include <optional>

#include "core/machine.h"

namespace tarnwick {

// Where Branch Opposite puts the program counter: the destination of the conditional branch
// at PC when it would not be taken now, the next instruction when it would. None for every
// other instruction (BRA, BRN and BSR included). Operands are read without warnings.
std::optional<std::uint16_t> branchOppositeTarget(const Machine& machine);

}  // namespace tarnwick
