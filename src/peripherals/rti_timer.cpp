#include "peripherals/rti_timer.h"

namespace tarnwick {

void RealTimeInterrupt::reset() {
    accumulator_ = 0;
    request = false;
    timeoutCount_ = 0;
    forcePending_ = false;
}

bool RealTimeInterrupt::forceRtiClick() {
    if (forcePending_) return false;
    // The next step sees a full period and raises the timeout again, so the RTI period
    // restarts from that step.
    accumulator_ = kPeriodUnits;
    request = true;
    registers_[reg::kTflg2] |= 0x40;
    forcePending_ = true;
    return true;
}

void RealTimeInterrupt::interruptTaken() {
    ++timeoutCount_;
    forcePending_ = false;
}

void FreeRunningTimer::reset() {
    accumulator_ = 0;
    request = false;
    overflowCount_ = 0;
    forcePending_ = false;
}

bool FreeRunningTimer::forceTimerClick() {
    if (forcePending_) return false;
    // The next step wraps the counter to that step's own increment.
    accumulator_ = kTurnUnits;
    request = true;
    registers_[reg::kTflg2] |= 0x80;
    forcePending_ = true;
    return true;
}

void FreeRunningTimer::interruptTaken() {
    ++overflowCount_;
    forcePending_ = false;
}

}  // namespace tarnwick
