#include "peripherals/event_countdown.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace tarnwick {

void EventCountdown::add(const Clock& clock) {
    if (clockCount_ == kMaxClocks) throw std::logic_error("too many peripheral clocks");
    clocks_[clockCount_++] = clock;
}

// Only the clocks with an event ahead: the others would not change.
void EventCountdown::stepWaitingClocks(std::uint32_t cycles) const {
    for (std::uint32_t left = waiting_; left != 0; left &= left - 1) {
        const Clock& clock = clocks_[std::countr_zero(left)];
        clock.step(clock.owner, cycles);
    }
}

void EventCountdown::refuseWhileStepping() const {
    if (stepping_) throw std::logic_error("the peripherals were settled from inside their step");
}

// The events, and the callbacks they make, come here.
void EventCountdown::tickSlowly() {
    refuseWhileStepping();
    {
        struct Stepping {
            bool& flag;
            explicit Stepping(bool& f) : flag(f) { flag = true; }
            ~Stepping() { flag = false; }
            Stepping(const Stepping&) = delete;
            Stepping& operator=(const Stepping&) = delete;
        } stepping(stepping_);
        stepWaitingClocks(static_cast<std::uint32_t>(unsettledCycles()));
    }
    std::uint32_t nearest = kNoEvent;
    for (std::uint32_t left = waiting_; left != 0; left &= left - 1) {
        const int index = std::countr_zero(left);
        const std::uint32_t cyclesToEvent = clocks_[index].cyclesToEvent(clocks_[index].owner);
        if (cyclesToEvent >= kNoEvent) waiting_ &= ~(1u << index);
        nearest = std::min(nearest, cyclesToEvent);
    }
    schedule(static_cast<std::int32_t>(nearest));
}

// Before the nearest event no clock's next event moves but by the cycles stepped, so it
// stays the nearest, still `slack_ + 1` cycles ahead. A settle from inside the clocks' step
// finds the event it is in due, and tickSlowly() refuses it.
void EventCountdown::settleCounted() {
    if (slack_ < 0) {
        tickSlowly();
        return;
    }
    stepWaitingClocks(static_cast<std::uint32_t>(unsettledCycles()));
    schedule(slack_ + 1);
}

void EventCountdown::reschedule() {
    refuseWhileStepping();
    std::uint32_t nearest = kNoEvent;
    waiting_ = 0;
    for (std::size_t index = 0; index < clockCount_; ++index) {
        const std::uint32_t cyclesToEvent = clocks_[index].cyclesToEvent(clocks_[index].owner);
        if (cyclesToEvent < kNoEvent) waiting_ |= 1u << index;
        nearest = std::min(nearest, cyclesToEvent);
    }
    schedule(static_cast<std::int32_t>(nearest));
}

}  // namespace tarnwick
