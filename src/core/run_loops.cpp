#include "core/run_loops.h"

#include "core/instruction_engine.h"
#include "core/instruction_set.h"
#include "core/interrupts.h"
#include "core/run_loop_frame.h"

namespace tarnwick {
using detail::finishStep;
using detail::loopFrame;
using detail::stepPollFirst;

namespace {

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

constexpr StepClass classOf(const InstructionForm& form) {
    switch (form.operation) {
        case Operation::JumpToSubroutine:
        case Operation::BranchToSubroutine:
            return StepClass::Call;
        case Operation::ReturnFromSubroutine:
            return StepClass::Return;
        case Operation::ReturnFromInterrupt:
            return StepClass::ReturnFromInterrupt;
        case Operation::SoftwareInterrupt:
            return StepClass::SoftwareInterrupt;
        case Operation::WaitForInterrupt:
            return StepClass::Wait;
        case Operation::IncrementStack:
        case Operation::DecrementStack:
        case Operation::TransferIndexToStack:
        case Operation::Pull:
        case Operation::Push:
            return StepClass::StackChange;
        case Operation::Load:
            return form.reg == Reg::S ? StepClass::StackChange : StepClass::Other;
        default:
            return StepClass::Other;
    }
}

constexpr std::array<StepClass, 256> buildStepClasses(Page page) {
    std::array<StepClass, 256> classes{};
    for (const InstructionForm& form : kInstructionSet)
        if (form.page == page) classes[form.opcode] = classOf(form);
    return classes;
}

constexpr auto kBaseStepClasses = buildStepClasses(Page::Base);
constexpr auto kPrefix18StepClasses = buildStepClasses(Page::Prefix18);

// Decided from the opcode bytes at PC before the instruction runs (checked reads; only the
// 18 page holds instructions of interest behind a prefix).
StepClass classifyNext(Machine& m) {
    const std::uint8_t opcode = m.read8(m.pc);
    if (opcode == kPrefix18)
        return kPrefix18StepClasses[m.read8(static_cast<std::uint16_t>(m.pc + 1))];
    return kBaseStepClasses[opcode];
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
        finishStep(m);
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
        finishStep(m);
        AddressRecord& r = m.memory[m.pc];
        if (hasStopFields(r)) [[unlikely]]
            runCheckingTests(m, r);
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

template <bool checking>
void runToCycleLoop(Machine& m, std::uint32_t target) {
    loopFrame<checking ? 1000 : 100>(m, [&m, target] {
        stepPollFirst(m);
        finishStep(m);
        AddressRecord& r = m.memory[m.pc];
        if constexpr (checking) passingTest(r);
        if (m.cycleCounter >= target && hasLine(r)) m.requestStop();
    });
}

// States of the step-over machine.
enum StepOverState : std::uint8_t {
    kOverOrdinary = 0,
    kOverAfterReturn = 2,
    kOverInCall = 3,
    kOverAfterStackChange = 4,
    kOverInSoftwareInterrupt = 5,
    kOverAfterReturnFromInterrupt = 6,
    kOverInWait = 7,
    kOverInInterrupt = 8,
    kOverLeavingInterrupt = 9,
};

template <bool checking>
void stepOverLoop(Machine& m) {
    std::uint16_t referenceSp = m.sp;
    std::uint8_t state = kOverOrdinary;
    std::uint8_t savedState = kOverOrdinary;
    std::uint16_t interruptNesting = 0;
    loopFrame<1000>(m, [&] {
        bool executeNothing = false;
        switch (state) {
            case kOverOrdinary:
                switch (classifyNext(m)) {
                    case StepClass::Call:
                        state = kOverInCall;
                        break;
                    case StepClass::Return:
                        state = kOverAfterReturn;
                        break;
                    case StepClass::StackChange:
                        state = kOverAfterStackChange;
                        break;
                    case StepClass::SoftwareInterrupt:
                        state = kOverInSoftwareInterrupt;
                        break;
                    case StepClass::ReturnFromInterrupt:
                        state = kOverAfterReturnFromInterrupt;
                        break;
                    case StepClass::Wait:
                        state = kOverInWait;
                        break;
                    case StepClass::Other:
                        break;
                }
                break;
            case kOverInSoftwareInterrupt:
                if (classifyNext(m) == StepClass::ReturnFromInterrupt) state = kOverOrdinary;
                break;
            case kOverInWait:
                if (classifyNext(m) == StepClass::ReturnFromInterrupt)
                    state = kOverAfterReturnFromInterrupt;
                break;
            case kOverInInterrupt:
                if (classifyNext(m) == StepClass::ReturnFromInterrupt)
                    state = kOverLeavingInterrupt;
                break;
            case kOverLeavingInterrupt:
                if (--interruptNesting == 0) {
                    // The handler has returned: this step only restores the state.
                    executeNothing = true;
                    if (savedState == kOverInWait) m.requestStop();
                    state = savedState;
                } else {
                    state = kOverInInterrupt;
                }
                break;
            default:
                break;
        }
        if (m.requests.stop) return;
        if (!executeNothing) {
            executeInstruction(m);
            if (interruptPoll(m)) {
                if (interruptNesting == 0) savedState = state;
                state = kOverInInterrupt;
                ++interruptNesting;
            }
            finishStep(m);
        }
        AddressRecord& r = m.memory[m.pc];
        if constexpr (checking)
            if (state != kOverLeavingInterrupt) stoppingTest(m, r);
        switch (state) {
            case kOverOrdinary:
                if (m.sp == referenceSp && hasLine(r)) m.requestStop();
                break;
            case kOverAfterReturn:
            case kOverAfterReturnFromInterrupt:
                if (hasLine(r)) m.requestStop();
                break;
            case kOverInCall:
                if (m.sp == referenceSp) {
                    if (hasLine(r)) m.requestStop();
                    state = kOverOrdinary;
                }
                break;
            case kOverAfterStackChange:
                if (hasLine(r)) m.requestStop();
                state = kOverOrdinary;
                referenceSp = m.sp;
                break;
            default:
                break;
        }
    });
}

// States of the step-out machine.
enum StepOutState : std::uint8_t {
    kOutOrdinary = 0,
    kOutInCall = 1,
    kOutReturning = 2,
    kOutInLaterCall = 3,
    kOutLookingForLine = 4,
    kOutAfterReturnFromInterrupt = 5,
    kOutInSoftwareInterrupt = 6,
    kOutInInterrupt = 7,
    kOutLeavingInterrupt = 8,
};

template <bool checking>
void stepOutLoop(Machine& m) {
    std::uint16_t callDepth = 0;
    std::uint8_t state = kOutOrdinary;
    std::uint8_t savedState = kOutOrdinary;
    std::uint16_t interruptNesting = 0;
    loopFrame<1000>(m, [&] {
        bool executeNothing = false;
        switch (state) {
            case kOutOrdinary:
                switch (classifyNext(m)) {
                    case StepClass::Call:
                        ++callDepth;
                        state = kOutInCall;
                        break;
                    case StepClass::Return:
                        state = kOutReturning;
                        break;
                    case StepClass::SoftwareInterrupt:
                        state = kOutInSoftwareInterrupt;
                        break;
                    case StepClass::ReturnFromInterrupt:
                        state = kOutAfterReturnFromInterrupt;
                        break;
                    default:
                        break;
                }
                break;
            case kOutInCall:
            case kOutInLaterCall: {
                const StepClass next = classifyNext(m);
                if (next == StepClass::Call) {
                    ++callDepth;
                } else if (next == StepClass::Return && --callDepth == 0) {
                    state = state == kOutInCall ? kOutOrdinary : kOutReturning;
                }
                break;
            }
            case kOutLookingForLine: {
                const StepClass next = classifyNext(m);
                if (next == StepClass::Call) {
                    ++callDepth;
                    state = kOutInLaterCall;
                } else if (next == StepClass::Return) {
                    state = kOutReturning;
                }
                break;
            }
            case kOutInSoftwareInterrupt:
                if (classifyNext(m) == StepClass::ReturnFromInterrupt) state = kOutOrdinary;
                break;
            case kOutInInterrupt:
                if (classifyNext(m) == StepClass::ReturnFromInterrupt) state = kOutLeavingInterrupt;
                break;
            case kOutLeavingInterrupt:
                if (--interruptNesting == 0) {
                    executeNothing = true;
                    state = savedState;
                } else {
                    state = kOutInInterrupt;
                }
                break;
            default:
                break;
        }
        if (!executeNothing) {
            executeInstruction(m);
            if (interruptPoll(m)) {
                if (interruptNesting == 0) savedState = state;
                state = kOutInInterrupt;
                ++interruptNesting;
            }
            finishStep(m);
        }
        AddressRecord& r = m.memory[m.pc];
        if constexpr (checking)
            if (state != kOutLeavingInterrupt) stoppingTest(m, r);
        switch (state) {
            case kOutReturning:
            case kOutAfterReturnFromInterrupt:
                if (hasLine(r)) m.requestStop();
                state = kOutLookingForLine;
                break;
            case kOutLookingForLine:
                if (hasLine(r)) m.requestStop();
                break;
            default:
                break;
        }
    });
}

// Runs a loop with the peripheral windows' refresh timer on.
template <typename Loop>
void withRefreshTimer(Machine& m, Loop&& loop) {
    m.host.setRefreshTimerActive(true);
    loop();
    m.host.setRefreshTimerActive(false);
}

}  // namespace

void run(Machine& m) {
    withRefreshTimer(m, [&m] { m.activeStopCount == 0 ? runPlain(m) : runChecking(m); });
}

void traceInto(Machine& m) {
    withRefreshTimer(
        m, [&m] { m.activeStopCount == 0 ? traceIntoLoop<false>(m) : traceIntoLoop<true>(m); });
}

void stepOver(Machine& m) {
    withRefreshTimer(
        m, [&m] { m.activeStopCount == 0 ? stepOverLoop<false>(m) : stepOverLoop<true>(m); });
}

void stepOut(Machine& m) {
    withRefreshTimer(
        m, [&m] { m.activeStopCount == 0 ? stepOutLoop<false>(m) : stepOutLoop<true>(m); });
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
