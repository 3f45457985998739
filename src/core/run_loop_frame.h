#pragma once

// The machinery shared by the run loops: one step and the batch frame around the steps.

#include "core/instruction_engine.h"
#include "core/interrupts.h"
#include "core/machine.h"

namespace tarnwick::detail {

// The end of every step: the peripherals advance by the step's cycles. (A reset request
// never reaches here: it comes with InstructionAbandoned, which ends the step at once.)
[[gnu::always_inline]] inline void finishStep(Machine& m) {
    m.peripherals.tick(m.stepCycles);
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
        m.batchStepsLeft = batchSize;
        try {
            do step();
            while (--m.batchStepsLeft > 0);
        } catch (const InstructionAbandoned&) {
            m.requestStop();
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
