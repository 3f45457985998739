#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "asm11/expression.h"
#include "base/instruction_set.h"

namespace tarnwick::asm11 {

using Forms = std::vector<const InstructionForm*>;

// The forms of kInstructionSet with this mnemonic (upper case), or nullptr.
const Forms* instructionForms(std::string_view mnemonic);
// Every mnemonic instructionForms knows.
std::vector<std::string_view> instructionMnemonics();

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

// The bytes of one instruction, held in place: every instruction line makes one.
class InstructionBytes {
  public:
    // A prefix, the opcode, two operand bytes and a branch offset (BRSET on Y).
    static constexpr std::size_t kMaxSize = 5;

    void push_back(std::uint8_t byte) { bytes_[size_++] = byte; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::uint8_t operator[](std::size_t i) const { return bytes_[i]; }
    const std::uint8_t* begin() const { return bytes_.data(); }
    const std::uint8_t* end() const { return bytes_.data() + size_; }

  private:
    std::array<std::uint8_t, kMaxSize> bytes_{};
    std::uint8_t size_ = 0;
};

struct Encoding {
    InstructionBytes bytes;  // unknown values are zeros
    bool direct = false;     // the choice made, for pass 2
};

// Picks the form the operand's syntax asks for and encodes it. Throws AsmError.
Encoding encodeInstruction(const EncodeRequest& request);

}  // namespace tarnwick::asm11
