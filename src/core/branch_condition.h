#pragma once

#include <cstdint>

#include "core/machine.h"

namespace tarnwick {

// Conditions of the relative branches 20-2F, by the opcode's low nibble: 20 BRA always,
// 21 BRN never, 22-2F test the flags.
[[gnu::always_inline]] constexpr bool branchCondition(const ConditionFlags& f,
                                                      std::uint8_t opcode) {
    switch (opcode & 0x0F) {
        case 0x0:
            return true;
        case 0x1:
            return false;
        case 0x2:
            return !f.c && !f.z;
        case 0x3:
            return f.c || f.z;
        case 0x4:
            return !f.c;
        case 0x5:
            return f.c;
        case 0x6:
            return !f.z;
        case 0x7:
            return f.z;
        case 0x8:
            return !f.v;
        case 0x9:
            return f.v;
        case 0xA:
            return !f.n;
        case 0xB:
            return f.n;
        case 0xC:
            return f.n == f.v;
        case 0xD:
            return f.n != f.v;
        case 0xE:
            return !f.z && f.n == f.v;
        default:
            return f.z || f.n != f.v;
    }
}

// BRA and BRN do not depend on the flags; 22-2F do.
constexpr bool isConditionalBranch(std::uint8_t opcode) {
    return opcode >= 0x22 && opcode <= 0x2F;
}

}  // namespace tarnwick
