#include "debugger/branch_opposite.h"

namespace tarnwick {

namespace {

// Whether the conditional branch with this opcode (22-2F) is taken with these flags.
bool conditionHolds(std::uint8_t opcode, const ConditionFlags& f) {
    switch (opcode) {
        case 0x22:
            return !f.c && !f.z;  // BHI
        case 0x23:
            return f.c || f.z;  // BLS
        case 0x24:
            return !f.c;  // BCC
        case 0x25:
            return f.c;  // BCS
        case 0x26:
            return !f.z;  // BNE
        case 0x27:
            return f.z;  // BEQ
        case 0x28:
            return !f.v;  // BVC
        case 0x29:
            return f.v;  // BVS
        case 0x2A:
            return !f.n;  // BPL
        case 0x2B:
            return f.n;  // BMI
        case 0x2C:
            return f.n == f.v;  // BGE
        case 0x2D:
            return f.n != f.v;  // BLT
        case 0x2E:
            return !f.z && f.n == f.v;  // BGT
        default:
            return f.z || f.n != f.v;  // BLE
    }
}

std::uint16_t plus(std::uint16_t address, int offset) {
    return static_cast<std::uint16_t>(address + offset);
}

}  // namespace

std::optional<std::uint16_t> branchOppositeTarget(const Machine& machine) {
    const std::uint16_t pc = machine.pc;
    const std::uint8_t opcode = machine.peek(pc);
    bool taken = false;
    std::uint16_t next = 0;
    std::int8_t offset = 0;
    if (opcode >= 0x22 && opcode <= 0x2F) {
        next = plus(pc, 2);
        offset = static_cast<std::int8_t>(machine.peek(plus(pc, 1)));
        taken = conditionHolds(opcode, machine.flags);
    } else {
        // BRSET/BRCLR: operand address, mask, offset; the Y forms carry the prefix 18.
        std::uint16_t operandAt = plus(pc, 1);
        std::uint8_t form = opcode;
        std::uint16_t base = 0;
        if (opcode == 0x18) {
            form = machine.peek(operandAt);
            operandAt = plus(operandAt, 1);
            if (form != 0x1E && form != 0x1F) return std::nullopt;
            base = machine.iy;
        } else if (opcode == 0x1E || opcode == 0x1F) {
            base = machine.ix;
        } else if (opcode != 0x12 && opcode != 0x13) {
            return std::nullopt;
        }
        const std::uint8_t value = machine.peek(plus(base, machine.peek(operandAt)));
        const std::uint8_t mask = machine.peek(plus(operandAt, 1));
        offset = static_cast<std::int8_t>(machine.peek(plus(operandAt, 2)));
        next = plus(operandAt, 3);
        const bool setForm = form == 0x12 || form == 0x1E;
        taken = setForm ? (value & mask) == mask : (value & mask) == 0;
    }
    return taken ? next : plus(next, offset);
}

}  // namespace tarnwick
