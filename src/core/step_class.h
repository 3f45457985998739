#pragma once

#include <cstdint>

#include "core/machine.h"

namespace tarnwick::detail {

// What the step-over and step-out state machines need to know about the next instruction.
enum class StepClass : std::uint8_t {
    Other,
    Call,
    Return,
    ReturnFromInterrupt,
    SoftwareInterrupt,
    Wait,
    StackChange
};

// Decided from the opcode bytes at PC before the instruction runs (checked reads; only the
// 18 page holds instructions of interest behind a prefix).
StepClass classifyNext(Machine& m);

}  // namespace tarnwick::detail
