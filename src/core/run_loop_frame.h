#pragma once

// The machinery shared by the run loops: one step and the batch frame around the steps.

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

inline void temporaryStopTest(Machine& m, const AddressRecord& r) {
    if (r.flags & kTemporaryStopFlag) m.requestStop();
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

// Batches of steps with the user interface pumped in between, until a stop request. The
// batch runs `batchSize` steps, or fewer when a stop request ends it: runBatch(m, steps). What
// the user changed in the registers before the loop or while events were pumped counts for
// the interrupt poll.
template <int batchSize, typename Batch>
void batchFrame(Machine& m, Batch&& runBatch) {
    m.peripherals.refreshInterruptAttention();
    while (!m.requests.stop) {
        try {
            runBatch(m, batchSize);
        } catch (const InstructionAbandoned&) {
            m.requestStop();
        }
        m.peripherals.settle();
        m.host.processEvents();
        m.peripherals.refreshInterruptAttention();
    }
    m.requests.stop = false;
    if (m.requests.reset) {
        // A pause asked for while the reset ran has nothing left to pause.
        m.requests.reset = false;
        m.requests.pause = false;
        return;
    }
    if (m.requests.pause) {
        m.requests.pause = false;
        finishLineRun(m);
    }
}

// The batch frame around one step at a time.
template <int batchSize, typename Step>
void loopFrame(Machine& m, Step&& step) {
    batchFrame<batchSize>(m, [&step](Machine& m, int steps) {
        for (int n = steps; n > 0; --n) {
            // A step that returns whether its tick took the slow path needs to look for a
            // stop request only then: raising one demands the slow path.
            if constexpr (std::is_same_v<decltype(step(m)), bool>) {
                if (step(m) && m.requests.stop) break;
            } else {
                step(m);
                if (m.requests.stop) break;
            }
        }
    });
}

}  // namespace tarnwick::detail
