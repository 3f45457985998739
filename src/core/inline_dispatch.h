#pragma once

// The base page with every handler compiled into the loop that runs it, which holds the
// machine's address at hand. Only the run loops whose speed matters use it; the prefixed
// pages go through their tables.
#include <array>

#include "base/instruction_set.h"
#include "core/instruction_engine.h"
#include "core/instruction_execute.h"
#include "core/interrupts.h"

namespace tarnwick::detail {

// The instruction-set entry of each base-page opcode, or -1 for a prefix or an illegal opcode.
inline constexpr std::array<int, 256> kBaseFormIndexes = [] {
    std::array<int, 256> indexes{};
    indexes.fill(-1);
    for (std::size_t index = 0; index < kInstructionSet.size(); ++index)
        if (kInstructionSet[index].page == Page::Base && indexes[kInstructionSet[index].opcode] < 0)
            indexes[kInstructionSet[index].opcode] = static_cast<int>(index);
    return indexes;
}();

template <unsigned opcode>
[[gnu::always_inline]] inline void executeBaseOpcode(Machine& m) {
    constexpr int form = kBaseFormIndexes[opcode];
    if constexpr (opcode == kPrefix18 || opcode == kPrefix1A || opcode == kPrefixCD)
        kOpcodePages[0][opcode](m);
    else if constexpr (form >= 0)
        execute<static_cast<std::size_t>(form)>(m);
    else
        illegalOpcode(m);
}

// Every opcode byte, 00 to FF, as a hex literal: X(0x00) X(0x01) ... X(0xFF).
// clang-format off
#define TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, h)                                         \
    X(0x##h##0) X(0x##h##1) X(0x##h##2) X(0x##h##3) X(0x##h##4) X(0x##h##5) X(0x##h##6) \
    X(0x##h##7) X(0x##h##8) X(0x##h##9) X(0x##h##A) X(0x##h##B) X(0x##h##C) X(0x##h##D) \
    X(0x##h##E) X(0x##h##F)
#define TARNWICK_EACH_OPCODE(X)                                                          \
    TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, 0) TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, 1)       \
    TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, 2) TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, 3)       \
    TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, 4) TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, 5)       \
    TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, 6) TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, 7)       \
    TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, 8) TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, 9)       \
    TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, A) TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, B)       \
    TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, C) TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, D)       \
    TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, E) TARNWICK_OPCODES_WITH_HIGH_DIGIT(X, F)
// clang-format on

// Runs up to `steps` steps of a poll-first loop: each the interrupt poll or one instruction,
// then `finish`, the rest of the step, which returns true when it took a slow path (a stop
// request demands one). Returns the steps run, fewer than asked when a stop request ended
// them. The opcode byte goes to its handler with one indexed jump through a table of labels,
// and `finish`, compiled after every handler, finds the handler's cycles there as a constant.
// The rare opcode at an address that cannot be read takes a way of its own.
template <typename Finish>
int runInlineSteps(Machine& m, const int steps, Finish finish) {
#define TARNWICK_HANDLER_LABEL(n) &&opcode_##n,
    static const void* const kHandlers[256] = {TARNWICK_EACH_OPCODE(TARNWICK_HANDLER_LABEL)};
#undef TARNWICK_HANDLER_LABEL
    for (int left = steps; left > 0; --left) {
        if (interruptPoll(m, PollPlace::BeforeInstruction)) [[unlikely]] {
            if (finish(m) && m.requests.stop) return steps - left + 1;
            continue;
        }
        const AddressRecord& record = beginInstruction(m);
        const std::uint16_t address = m.instructionAddress;
        if (!isReadable(record.flags)) [[unlikely]] {
            m.pc = static_cast<std::uint16_t>(address + 1);
            executeUnreadableOpcode(m);
            if (finish(m) && m.requests.stop) return steps - left + 1;
            continue;
        }
        goto* kHandlers[record.value];
        // PC moves past the opcode in every handler, where that store is dropped when the
        // handler stores PC again.
#define TARNWICK_HANDLER(n)                                      \
    opcode_##n : m.pc = static_cast<std::uint16_t>(address + 1); \
    executeBaseOpcode<n>(m);                                     \
    if (finish(m) && m.requests.stop) return steps - left + 1;   \
    continue;
        TARNWICK_EACH_OPCODE(TARNWICK_HANDLER)
#undef TARNWICK_HANDLER
    }
    return steps;
}

#undef TARNWICK_EACH_OPCODE
#undef TARNWICK_OPCODES_WITH_HIGH_DIGIT

}  // namespace tarnwick::detail
