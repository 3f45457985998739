#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "asm11/expression.h"
#include "core/instruction_set.h"

namespace tarnwick::asm11 {

using Forms = std::vector<const InstructionForm*>;

// The forms of kInstructionSet with this mnemonic (upper case), or nullptr.
const Forms* instructionForms(std::string_view mnemonic);

struct EncodeRequest {
    const Forms& forms;
    std::string_view rest;             // the line after the mnemonic, comment included
    bool spaces;                       // operands may hold blanks
    const ExpressionContext& context;  // location: the value of *
    // Pass 2 repeats pass 1's choice between direct and extended so that sizes never change.
    std::optional<bool> direct;
    // Where the instruction lies when that is not *: a step of an extra mnemonic, whose
    // operand's * is the address of the line.
    std::optional<std::int32_t> address = {};
};

struct Encoding {
    std::vector<std::uint8_t> bytes;  // unknown values are zeros
    bool direct = false;              // the choice made, for pass 2
};

// Picks the form the operand's syntax asks for and encodes it. Throws AsmError.
Encoding encodeInstruction(const EncodeRequest& request);

}  // namespace tarnwick::asm11
