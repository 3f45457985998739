#pragma once

#include <cstdint>

#include "core/machine.h"
#include "core/run_loop_frame.h"

namespace tarnwick {

// The only code that drives the simulated CPU forward. Each entry picks its loop's plain
// variant while no breakpoint or temporary stop exists (active stop count 0) and its checking
// variant otherwise, runs it until its stop condition, a stop request or a reset request, and
// returns with the stop and reset requests cleared. All but the finish-line run switch the
// host's refresh timer on for the duration of the loop.

// Until a breakpoint (checking) or a stop request from outside (pause, trap, error).
void run(Machine& machine);
// The same for at most `steps` steps, for runs with ends of their own: the budget is looked at
// only between batches, whose last is cut to fit.
RunOutcome runSteps(Machine& machine, std::uint64_t steps);
// Until PC reaches an address with a source line.
void traceInto(Machine& machine);
// Over calls, SWI, WAI and interrupts, to the next source line at the same stack level.
void stepOver(Machine& machine);
// Until the current subroutine or interrupt handler has returned, then to a source line.
void stepOut(Machine& machine);
// Until the cycle counter has reached the target (unsigned) at a source line.
void runToCycle(Machine& machine, std::uint32_t target);
// Passing breakpoints (their hits count up and wrap) until the temporary stop; nothing runs
// while the active stop count is 0.
void runFreely(Machine& machine);

void runToAddress(Machine& machine, std::uint16_t address);
void runFreelyToAddress(Machine& machine, std::uint16_t address);

void placeTemporaryStop(Machine& machine, std::uint16_t address);
void removeTemporaryStop(Machine& machine);

// The plain trace-into loop without the refresh timer, whatever the active stop count: brings
// a C program to its first source line at debug start and program reset.
void traceIntoPlain(Machine& machine);

// The plain run loop with the caller's own test after every step (true ends the run), for
// command-line runs with their own end conditions. Stop and reset requests end it as well.
// The RTI and timer are settled only between batches: a test that reads them settles first.
template <typename StopTest>
void runUntil(Machine& machine, StopTest&& stopTest) {
    detail::loopFrame<100>(machine, [&stopTest](Machine& machine) {
        detail::stepPollFirst(machine);
        detail::finishStep(machine);
        if (stopTest()) machine.requestStop();
    });
}

}  // namespace tarnwick
