#include "peripherals/rti_timer.h"

#include "peripherals/member_call.h"

namespace tarnwick {

RealTimeInterrupt::RealTimeInterrupt(PeripheralBus& bus)
    : request(bus.interrupts.addCondition(InterruptSource::RealTime, bit::kRtii)),
      registers_(bus.registers) {
    clock_ = bus.events.add(
        EventCountdown::clockOf<&RealTimeInterrupt::step, &RealTimeInterrupt::cyclesToTimeout>(
            this));
    bus.interrupts.onTaken(InterruptSource::RealTime, this,
                           memberCall<&RealTimeInterrupt::interruptTaken>);
}

void RealTimeInterrupt::reset() {
    rateSelect = 0;
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
    registers_[bit::kRtif.index] |= bit::kRtif.mask;
    forcePending_ = true;
    return true;
}

void RealTimeInterrupt::interruptTaken() {
    ++timeoutCount_;
    forcePending_ = false;
}

FreeRunningTimer::FreeRunningTimer(PeripheralBus& bus)
    : request(bus.interrupts.addCondition(InterruptSource::TimerOverflow, bit::kToi)),
      registers_(bus.registers) {
    clock_ = bus.events.add(
        EventCountdown::clockOf<&FreeRunningTimer::step, &FreeRunningTimer::cyclesToOverflow>(
            this));
    bus.interrupts.onTaken(InterruptSource::TimerOverflow, this,
                           memberCall<&FreeRunningTimer::interruptTaken>);
}

void FreeRunningTimer::reset() {
    prescaleSelect = 0;
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
    registers_[bit::kTof.index] |= bit::kTof.mask;
    forcePending_ = true;
    return true;
}

void FreeRunningTimer::interruptTaken() {
    ++overflowCount_;
    forcePending_ = false;
}

}  // namespace tarnwick
