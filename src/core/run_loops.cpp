#include "core/run_loops.h"

#include "core/inline_dispatch.h"
#include "core/instruction_engine.h"
#include "core/interrupts.h"
#include "core/run_loop_frame.h"

namespace tarnwick {
using namespace detail;

namespace {

// Stops at a source line, after 1000 steps or, checking, at a stop request (a breakpoint
// among them).
template <bool checking>
void finishLineRunLoop(Machine& m) {
    try {
        for (int steps = 0; steps < 1000 && !(checking && m.requests.stop); ++steps) {
            stepPollFirst(m);
            finishStep(m);
            AddressRecord& r = m.memory[m.pc];
            if constexpr (checking) {
                if (hasLine(r)) m.requestStop();
                temporaryStopTest(m, r);
                stoppingTest(m, r);
            } else if (hasLine(r)) {
                break;
            }
        }
    } catch (const InstructionAbandoned&) {
    }
    m.peripherals.settle();
    m.requests.reset = false;
    m.requests.stop = false;
}

}  // namespace

namespace detail {

void finishLineRun(Machine& m) {
    m.peripherals.refreshInterruptAttention();
    if (m.activeStopCount == 0)
        finishLineRunLoop<false>(m);
    else
        finishLineRunLoop<true>(m);
}

}  // namespace detail

namespace {

[[gnu::noinline]] void runCheckingTests(Machine& m, AddressRecord& r) {
    temporaryStopTest(m, r);
    stoppingTest(m, r);
}

// The rest of a checking step: the tick's countdown and the test of the new PC. Most
// addresses have neither a breakpoint nor the temporary stop: one test passes them.
[[gnu::always_inline]] inline bool finishCheckingStep(Machine& m) {
    const bool slowTick = finishStep(m);
    AddressRecord& r = m.memory[m.pc];
    if (hasStopFields(r)) [[unlikely]] {
        runCheckingTests(m, r);
        return true;
    }
    return slowTick;
}

RunOutcome runPlain(Machine& m, std::uint64_t budget) {
    return batchFrame<100>(
        m,
        [](Machine& m, int steps) {
            return runInlineSteps(m, steps, [](Machine& m) { return finishStep(m); });
        },
        budget);
}

RunOutcome runChecking(Machine& m, std::uint64_t budget) {
    return batchFrame<1000>(
        m,
        [](Machine& m, int steps) {
            return runInlineSteps(m, steps, [](Machine& m) { return finishCheckingStep(m); });
        },
        budget);
}

void runFreelyChecking(Machine& m) {
    loopFrame<1000>(m, [](Machine& m) {
        stepPollFirst(m);
        finishStep(m);
        AddressRecord& r = m.memory[m.pc];
        temporaryStopTest(m, r);
        passingTest(r);
    });
}

template <bool checking>
void traceIntoLoop(Machine& m) {
    loopFrame<100>(m, [](Machine& m) {
        executeInstruction(m);
        interruptPoll(m);
        finishStep(m);
        AddressRecord& r = m.memory[m.pc];
        if constexpr (checking) countingTest(r);
        if (hasLine(r)) m.requestStop();
    });
}

// Counts the cycles run from the start rather than comparing the counter with the target, so
// that a target just below the counter's wrap is still reached when a step wraps past it.
template <bool checking>
void runToCycleLoop(Machine& m, std::uint32_t target) {
    const std::uint32_t start = m.cycleCounter;
    const std::uint32_t cyclesToRun = target > start ? target - start : 0;
    loopFrame<checking ? 1000 : 100>(m, [start, cyclesToRun](Machine& m) {
        stepPollFirst(m);
        finishStep(m);
        AddressRecord& r = m.memory[m.pc];
        if constexpr (checking) passingTest(r);
        if (m.cycleCounter - start >= cyclesToRun && hasLine(r)) m.requestStop();
    });
}

}  // namespace

void run(Machine& m) {
    runSteps(m, kNoStepBudget);
}

RunOutcome runSteps(Machine& m, std::uint64_t steps) {
    RunOutcome outcome;
    withRefreshTimer(m, [&m, &outcome, steps] {
        outcome = m.activeStopCount == 0 ? runPlain(m, steps) : runChecking(m, steps);
    });
    return outcome;
}

void traceInto(Machine& m) {
    withRefreshTimer(
        m, [&m] { m.activeStopCount == 0 ? traceIntoLoop<false>(m) : traceIntoLoop<true>(m); });
}

void runToCycle(Machine& m, std::uint32_t target) {
    withRefreshTimer(m, [&m, target] {
        m.activeStopCount == 0 ? runToCycleLoop<false>(m, target) : runToCycleLoop<true>(m, target);
    });
}

void runFreely(Machine& m) {
    withRefreshTimer(m, [&m] {
        if (m.activeStopCount != 0) runFreelyChecking(m);
    });
}

void traceIntoPlain(Machine& m) {
    traceIntoLoop<false>(m);
}

void placeTemporaryStop(Machine& m, std::uint16_t address) {
    ++m.activeStopCount;
    m.temporaryStop = {address, m.memory[address].flags, false};
    m.memory[address].flags |= kTemporaryStopFlag;
}

void removeTemporaryStop(Machine& m) {
    --m.activeStopCount;
    m.memory[m.temporaryStop.address].flags = m.temporaryStop.savedFlags;
}

void runToAddress(Machine& m, std::uint16_t address) {
    placeTemporaryStop(m, address);
    run(m);
    removeTemporaryStop(m);
}

void runFreelyToAddress(Machine& m, std::uint16_t address) {
    placeTemporaryStop(m, address);
    runFreely(m);
    removeTemporaryStop(m);
}

}  // namespace tarnwick
