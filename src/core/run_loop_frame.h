#pragma once

// The machinery shared by the run loops: one step and the batch frame around the steps.

#include "core/instruction_engine.h"
#include "core/interrupts.h"
#include "core/machine.h"

namespace tarnwick::detail {

// The end of every step: a reset request ends the batch at once, otherwise the peripherals
// advance by the step's cycles. False when the step was cut short.
[[gnu::always_inline]] inline bool finishStep(Machine& m) {
    if (m.requests.reset) [[unlikely]] {
        m.requests.stop = true;
        return false;
    }
    m.peripherals.tick(m.stepCycles);
    return true;
}

[[gnu::always_inline]] inline void stepPollFirst(Machine& m) {
    if (!interruptPoll(m)) executeInstruction(m);
}

// After Pause the program runs on, without pumping events, to the next source line.
void finishLineRun(Machine& m);

// Batches of steps with the user interface pumped in between, until a stop request.
template <int batchSize, typename Step>
void loopFrame(Machine& m, Step&& step) {
    while (!m.requests.stop) {
        try {
            for (int n = 0; n < batchSize && !m.requests.stop; ++n) step();
        } catch (const InstructionAbandoned&) {
            m.requests.stop = true;
        }
        m.peripherals.settle();
        m.host.processEvents();
    }
    m.requests.stop = false;
    if (m.requests.reset) {
        m.requests.reset = false;
        return;
    }
    if (m.requests.pause) {
        m.requests.pause = false;
        finishLineRun(m);
    }
}

}  // namespace tarnwick::detail
