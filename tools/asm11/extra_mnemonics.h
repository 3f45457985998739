#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::asm11 {

// One instruction of an extra mnemonic's expansion. The operand "@" stands for the source
// line's operand, "@<" for its part before the last comma and "@>" for the part after it.
struct ExtraStep {
    std::string_view mnemonic;
    std::string_view operand;
};

enum class ExtraKind {
    Steps,      // the steps below
    OverJump,   // the single step's branch skips a JMP to the operand
    SwiByte,    // SWI then the operand as a byte
    SwiWord,    // SWI then the operand as a word
    Undefined,  // a name ASM11 reserves whose effect is not defined well enough to encode
};

struct ExtraMnemonic {
    ExtraKind kind;
    std::vector<ExtraStep> steps;
};

// The expansion of an extra mnemonic (upper case), or nullptr for other names.
const ExtraMnemonic* extraMnemonic(std::string_view name);

// One line per extra mnemonic with its expansion, for --help.
std::string extraMnemonicsHelp();

}  // namespace tarnwick::asm11
