#pragma once

#include <cstdint>

#include "base/interrupt_sources.h"
#include "core/machine.h"

namespace tarnwick {

// PC from the reset vector; SP 0; S, X and I set; both execution states cleared; the I/O
// registers reset; the cycle counters cleared. A, B, IX, IY and H N Z V C keep their values.
void machineReset(Machine& machine);

// Where the poll sits in its step: after the step's instruction (trace into, step over and
// step out) or before it, in place of it when it enters an interrupt (the other loops).
enum class PollPlace : std::uint8_t { AfterInstruction, BeforeInstruction };

// Takes at most one interrupt: XIRQ (masked only by X), then the maskable sources that are
// due by their priority (masked by I, and never right after CLI). True when an interrupt
// was entered.
inline bool interruptPoll(Machine& machine, PollPlace place = PollPlace::AfterInstruction);

// Stacks the registers (unless WAI already did) and loads the source's vector. For the WAI
// pre-stacking it only stacks and leaves PC on the WAI opcode.
void interruptEntry(Machine& machine, InterruptSource source);

// Pushes PC, IY, IX, A, B and the flags byte; SP ends 9 lower.
void pushRegisterFrame(Machine& machine, std::uint16_t returnAddress);

// The poll once the peripherals ask for attention, out of line.
bool pollWithAttention(Machine& machine, PollPlace place);

[[gnu::always_inline]] inline bool interruptPoll(Machine& machine, PollPlace place) {
    if (machine.peripherals.interruptAttention() == 0) [[likely]]
        return false;
    return pollWithAttention(machine, place);
}

}  // namespace tarnwick
