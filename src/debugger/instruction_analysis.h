#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/machine.h"

namespace tarnwick {

inline constexpr std::string_view kAnalysisReady = "Ready";
inline constexpr std::string_view kBranchTaken = "Branch or NOT-Jump";
inline constexpr std::string_view kBranchNotTaken = "NOT-Branch or Jump";

// One line for status panel 5 on what the instruction at `address` is about to do: the value
// of the memory operand it will use, whether its branch will be taken, or where its return
// goes; "Ready" for everything else. Memory is read directly, without invalid-access warnings,
// and nothing changes. Bytes of 7F and above stand in the text as they are (Latin-1).
std::string analysisText(const Machine& machine, std::uint16_t address);

// Whether the conditional branch, BRSET or BRCLR at `address` will branch with the present
// flags and memory; nullopt for any other instruction.
std::optional<bool> branchWillBeTaken(const Machine& machine, std::uint16_t address);

}  // namespace tarnwick
