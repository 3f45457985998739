#include "debugger/instruction_analysis.h"

#include "base/instruction_set.h"
#include "base/number_text.h"
#include "core/branch_condition.h"

namespace tarnwick {
namespace {

// An instruction form and where its operand bytes start (after the prefix, if any).
struct Decoded {
    const InstructionForm* form = nullptr;
    std::uint16_t operands = 0;
};

Decoded decode(const Machine& machine, std::uint16_t address) {
    const auto next = static_cast<std::uint16_t>(address + 1);
    const std::uint8_t opcode = machine.peek(address);
    Page page = Page::Base;
    switch (opcode) {
        case kPrefix18:
            page = Page::Prefix18;
            break;
        case kPrefix1A:
            page = Page::Prefix1A;
            break;
        case kPrefixCD:
            page = Page::PrefixCD;
            break;
        default:
            return {findInstruction(Page::Base, opcode), next};
    }
    return {findInstruction(page, machine.peek(next)), static_cast<std::uint16_t>(next + 1)};
}

std::uint16_t offsetFrom(std::uint16_t base, std::uint8_t offset) {
    return static_cast<std::uint16_t>(base + offset);
}

// The address a memory operand is read from; immediate operands are the bytes after the
// opcode themselves.
std::uint16_t operandAddress(const Machine& machine, const Decoded& decoded) {
    const std::uint16_t at = decoded.operands;
    switch (decoded.form->mode) {
        case Mode::Direct:
        case Mode::BitTestDirect:
        case Mode::BitSetDirect:
            return machine.peek(at);
        case Mode::IndexedX:
        case Mode::BitTestIndexedX:
        case Mode::BitSetIndexedX:
            return offsetFrom(machine.ix, machine.peek(at));
        case Mode::IndexedY:
        case Mode::BitTestIndexedY:
        case Mode::BitSetIndexedY:
            return offsetFrom(machine.iy, machine.peek(at));
        case Mode::Extended:
            return machine.peek16(at);
        default:
            return at;
    }
}

bool usesMemoryValue(const InstructionForm& form) {
    switch (form.mode) {
        case Mode::Immediate8:
        case Mode::Immediate16:
        case Mode::Direct:
        case Mode::Extended:
        case Mode::IndexedX:
        case Mode::IndexedY:
        case Mode::BitSetDirect:
        case Mode::BitSetIndexedX:
        case Mode::BitSetIndexedY:
            return form.operation != Operation::Jump &&
                   form.operation != Operation::JumpToSubroutine;
        default:
            return false;
    }
}

bool isWide(Reg reg) {
    return reg == Reg::D || reg == Reg::X || reg == Reg::Y || reg == Reg::S;
}

bool isBitBranch(const InstructionForm& form) {
    return form.operation == Operation::BranchIfBitsSet ||
           form.operation == Operation::BranchIfBitsClear;
}

// Bits from the highest down, with a dash between the two bytes or nibbles.
std::string binaryText(std::uint16_t value, int bits) {
    std::string text;
    for (int bit = bits - 1; bit >= 0; --bit) {
        text += (value >> bit & 1) ? '1' : '0';
        if (bit == bits / 2) text += '-';
    }
    return text;
}

std::string byteText(std::uint8_t value) {
    const char shown = value < 0x20 ? '.' : static_cast<char>(value);
    return hexText(value, 2) + "  '" + shown + "'  " + std::to_string(value) + "  " +
           binaryText(value, 8);
}

std::string wordText(std::uint16_t value) {
    return hexText(value, 4) + "  " + std::to_string(value) + "  " + binaryText(value, 16);
}

std::string valueText(const Machine& machine, const Decoded& decoded) {
    const InstructionForm& form = *decoded.form;
    const bool immediate = form.mode == Mode::Immediate8 || form.mode == Mode::Immediate16;
    const std::uint16_t address = operandAddress(machine, decoded);
    // An immediate operand lies in the program, whose kind the reset vector's stands for.
    const MemoryKind kind = machine.memory[immediate ? 0xFFFE : address].kind();
    if (kind != MemoryKind::Rom && kind != MemoryKind::Ram && kind != MemoryKind::Io)
        return std::string(kAnalysisReady);
    if (isWide(form.reg)) return wordText(machine.peek16(address));
    return byteText(machine.peek(address));
}

std::string returnText(const Machine& machine, std::uint16_t stackedPcOffset) {
    const auto stackedPc = static_cast<std::uint16_t>(machine.sp + stackedPcOffset);
    return "Return to PC=" + hexText(machine.peek16(stackedPc), 4);
}

}  // namespace

std::optional<bool> branchWillBeTaken(const Machine& machine, std::uint16_t address) {
    const Decoded decoded = decode(machine, address);
    if (!decoded.form) return std::nullopt;
    const InstructionForm& form = *decoded.form;
    if (form.operation == Operation::Branch && isConditionalBranch(form.opcode))
        return branchCondition(machine.flags, form.opcode);
    if (!isBitBranch(form)) return std::nullopt;
    const std::uint8_t value = machine.peek(operandAddress(machine, decoded));
    const std::uint8_t mask = machine.peek(static_cast<std::uint16_t>(decoded.operands + 1));
    return form.operation == Operation::BranchIfBitsSet ? (value & mask) == mask
                                                        : (value & mask) == 0;
}

std::string analysisText(const Machine& machine, std::uint16_t address) {
    const Decoded decoded = decode(machine, address);
    if (!decoded.form) return std::string(kAnalysisReady);
    if (const std::optional<bool> taken = branchWillBeTaken(machine, address))
        return std::string(*taken ? kBranchTaken : kBranchNotTaken);
    switch (decoded.form->operation) {
        case Operation::ReturnFromSubroutine:
            return returnText(machine, 1);
        case Operation::ReturnFromInterrupt:
            return returnText(machine, 8);
        default:
            break;
    }
    if (usesMemoryValue(*decoded.form)) return valueText(machine, decoded);
    return std::string(kAnalysisReady);
}

}  // namespace tarnwick
