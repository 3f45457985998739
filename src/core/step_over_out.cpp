// Step Over and Step Out: state machines that follow calls, returns, SWI, WAI and interrupts
// to decide when the step is complete.
#include "core/instruction_engine.h"
#include "core/interrupts.h"
#include "core/run_loop_frame.h"
#include "core/run_loops.h"
#include "core/step_class.h"

namespace tarnwick {
using namespace detail;

namespace {

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
    loopFrame<1000>(m, [&](Machine& m) {
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
    loopFrame<1000>(m, [&](Machine& m) {
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

}  // namespace

void stepOver(Machine& m) {
    withRefreshTimer(
        m, [&m] { m.activeStopCount == 0 ? stepOverLoop<false>(m) : stepOverLoop<true>(m); });
}

void stepOut(Machine& m) {
    withRefreshTimer(
        m, [&m] { m.activeStopCount == 0 ? stepOutLoop<false>(m) : stepOutLoop<true>(m); });
}

}  // namespace tarnwick
