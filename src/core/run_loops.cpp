#include "core/run_loops.h"

#include "core/instruction_engine.h"
#include "core/interrupts.h"
#include "core/run_loop_frame.h"

namespace tarnwick {
using namespace detail;

namespace {

void finishLineRunPlain(Machine& m) {
    try {
        for (int steps = 0; steps < 1000; ++steps) {
            stepPollFirst(m);
            finishStep(m);
            if (hasLine(m.memory[m.pc])) break;
        }
    } catch (const InstructionAbandoned&) {
    }
    m.peripherals.settle();
    m.requests.reset = false;
    m.requests.stop = false;
}

void finishLineRunChecking(Machine& m) {
    try {
        for (int steps = 0; steps < 1000 && !m.requests.stop; ++steps) {
            stepPollFirst(m);
            finishStep(m);
            AddressRecord& r = m.memory[m.pc];
            if (hasLine(r)) m.requestStop();
            temporaryStopTest(m, r);
            stoppingTest(m, r);
        }
    } catch (const InstructionAbandoned&) {
    }
    m.peripherals.settle();
    m.requests.reset = false;
    m.requests.stop = false;
}

}  // namespace

namespace detail {

// Out of line and taking the machine, so that the run loops keep nothing extra at hand for it.
void tickSlowly(Machine& m) {
    m.peripherals.tickSlowly();
}

void finishLineRun(Machine& m) {
    if (m.activeStopCount == 0)
        finishLineRunPlain(m);
    else
        finishLineRunChecking(m);
}

}  // namespace detail

namespace {

void runPlain(Machine& m) {
    loopFrame<100>(m, [&m] {
        stepPollFirst(m);
        return finishStep(m);
    });
}

// Most addresses have neither a breakpoint nor the temporary stop: one test passes them.
inline bool hasStopFields(const AddressRecord& r) {
    return ((r.flags & kTemporaryStopFlag) | r.hitCount) != 0;
}

[[gnu::noinline]] void runCheckingTests(Machine& m, AddressRecord& r) {
    temporaryStopTest(m, r);
    stoppingTest(m, r);
}

void runChecking(Machine& m) {
    loopFrame<1000>(m, [&m] {
        stepPollFirst(m);
        const bool slowTick = finishStep(m);
        AddressRecord& r = m.memory[m.pc];
        if (hasStopFields(r)) [[unlikely]] {
            runCheckingTests(m, r);
            return true;
        }
        return slowTick;
    });
}

void runFreelyChecking(Machine& m) {
    loopFrame<1000>(m, [&m] {
        stepPollFirst(m);
        finishStep(m);
        AddressRecord& r = m.memory[m.pc];
        temporaryStopTest(m, r);
        passingTest(r);
    });
}

template <bool checking>
void traceIntoLoop(Machine& m) {
    loopFrame<100>(m, [&m] {
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
    loopFrame<checking ? 1000 : 100>(m, [&m, start, cyclesToRun] {
        stepPollFirst(m);
        finishStep(m);
        AddressRecord& r = m.memory[m.pc];
        if constexpr (checking) passingTest(r);
        if (m.cycleCounter - start >= cyclesToRun && hasLine(r)) m.requestStop();
    });
}

}  // namespace

void run(Machine& m) {
    withRefreshTimer(m, [&m] { m.activeStopCount == 0 ? runPlain(m) : runChecking(m); });
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
    m.temporaryStop = {address, m.memory[address].flags};
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
