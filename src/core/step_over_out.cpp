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

// Interrupts taken during step over or step out, nested or not: the handler runs whole, and
// once the outermost one has returned, a step that executes nothing brings back the state
// the machine was in when it was interrupted. `inInterrupt` and `leaving` are the machine's
// own two states for this.
template <std::uint8_t inInterrupt, std::uint8_t leaving>
class InterruptFollower {
  public:
    // Before a step: false when the state is none of the two. Otherwise it watches the
    // handler for its RTI, or counts one handler left; `restored` is set when the outermost
    // has returned and this step only restores the state.
    bool beforeStep(Machine& m, std::uint8_t& state, bool& restored) {
        if (state == inInterrupt) {
            if (classifyNext(m) == StepClass::ReturnFromInterrupt) state = leaving;
            return true;
        }
        if (state != leaving) return false;
        if (--nesting_ == 0) {
            restored = true;
            state = savedState_;
        } else {
            state = inInterrupt;
        }
        return true;
    }

    // The step: the instruction, then the interrupt the poll after it may take.
    void step(Machine& m, std::uint8_t& state) {
        executeInstruction(m);
        if (interruptPoll(m)) {
            if (nesting_ == 0) savedState_ = state;
            state = inInterrupt;
            ++nesting_;
        }
        finishStep(m);
    }

  private:
    std::uint8_t savedState_ = 0;
    std::uint16_t nesting_ = 0;
};

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
    InterruptFollower<kOverInInterrupt, kOverLeavingInterrupt> interrupts;
    loopFrame<1000>(m, [&](Machine& m) {
        bool executeNothing = false;
        if (interrupts.beforeStep(m, state, executeNothing)) {
            // Back from the interrupt that ended a WAI: the step is complete.
            if (executeNothing && state == kOverInWait) m.requestStop();
        } else {
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
                default:
                    break;
            }
        }
        if (m.requests.stop) return;
        if (!executeNothing) interrupts.step(m, state);
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
    InterruptFollower<kOutInInterrupt, kOutLeavingInterrupt> interrupts;
    loopFrame<1000>(m, [&](Machine& m) {
        bool executeNothing = false;
        if (!interrupts.beforeStep(m, state, executeNothing)) {
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
                default:
                    break;
            }
        }
        if (!executeNothing) interrupts.step(m, state);
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
