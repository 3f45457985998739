#pragma once

// The machinery shared by the run loops: one step and the batch frame around the steps.

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "core/instruction_engine.h"
#include "core/interrupts.h"
#include "core/machine.h"

namespace tarnwick::detail {

// The end of every step: the peripherals advance by the step's cycles. True when their tick
// took its slow path. (A reset request never reaches here: it comes with
// InstructionAbandoned, which ends the step at once.)
[[gnu::always_inline]] inline bool finishStep(Machine& m) {
    return m.peripherals.tick(m.stepCycles);
}

[[gnu::always_inline]] inline void stepPollFirst(Machine& m) {
    if (!interruptPoll(m, PollPlace::BeforeInstruction)) executeInstruction(m);
}

// Tests made at the new PC after a step.
inline bool hasLine(const AddressRecord& r) {
    return r.line != 0;
}

// Notes when the run stops there by the temporary stop alone.
inline void temporaryStopTest(Machine& m, const AddressRecord& r) {
    if (!(r.flags & kTemporaryStopFlag)) return;
    if (!m.requests.stop) m.temporaryStop.reached = true;
    m.requestStop();
}

inline void stoppingTest(Machine& m, AddressRecord& r) {
    if (r.hitCount != 0 && ++r.hit == r.hitCount) m.requestStop();
}

inline void countingTest(AddressRecord& r) {
    if (r.hitCount != 0) ++r.hit;
}

inline void passingTest(AddressRecord& r) {
    if (r.hitCount != 0 && ++r.hit == r.hitCount) r.hit = 0;
}

// Runs a loop with the peripheral windows' refresh timer on.
template <typename Loop>
void withRefreshTimer(Machine& m, Loop&& loop) {
    m.host.setRefreshTimerActive(true);
    loop();
    m.host.setRefreshTimerActive(false);
}

// After Pause the program runs on, without pumping events, to the next source line.
void finishLineRun(Machine& m);

// Batches of steps with the user interface pumped in between, until a stop request or, with a
// step budget, until the budget is spent: the last batch is cut to fit, so that the budget is
// looked at only between batches. A batch runs `batchSize` steps, or fewer when a stop
// request ends it, and returns how many ran: runBatch(m, steps). What the user changed in the
// registers before the loop or while events were pumped counts for the interrupt poll.
template <int batchSize, typename Batch>
RunOutcome batchFrame(Machine& m, Batch&& runBatch, std::uint64_t budget = kNoStepBudget) {
    RunOutcome outcome;
    m.peripherals.refreshInterruptAttention();
    while (!m.requests.stop && outcome.steps < budget) {
        try {
            outcome.steps += static_cast<std::uint64_t>(runBatch(
                m, static_cast<int>(std::min<std::uint64_t>(batchSize, budget - outcome.steps))));
        } catch (const InstructionAbandoned&) {
            m.requestStop();
        }
        m.peripherals.settle();
        m.host.processEvents();
        m.peripherals.refreshInterruptAttention();
    }
    outcome.stopped = m.requests.stop;
    m.requests.stop = false;
    if (m.requests.reset) {
        // A pause asked for while the reset ran has nothing left to pause.
        m.requests.reset = false;
        m.requests.pause = false;
        return outcome;
    }
    if (m.requests.pause) {
        m.requests.pause = false;
        finishLineRun(m);
    }
    return outcome;
}

// The batch frame around one step at a time.
template <int batchSize, typename Step>
void loopFrame(Machine& m, Step&& step) {
    batchFrame<batchSize>(m, [&step](Machine& m, int steps) {
        for (int n = 1; n <= steps; ++n) {
            // A step that returns whether its tick took the slow path needs to look for a
            // stop request only then: raising one demands the slow path.
            if constexpr (std::is_same_v<decltype(step(m)), bool>) {
                if (step(m) && m.requests.stop) return n;
            } else {
                step(m);
                if (m.requests.stop) return n;
            }
        }
        return steps;
    });
}

}  // namespace tarnwick::detail
