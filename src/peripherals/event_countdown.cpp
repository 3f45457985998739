#include "peripherals/event_countdown.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "base/raised_flag.h"

namespace tarnwick {

EventCountdown::ClockMask EventCountdown::add(const Clock& clock) {
    if (clockCount_ == kMaxClocks) throw std::logic_error("too many peripheral clocks");
    clocks_[clockCount_] = clock;
    return 1u << clockCount_++;
}

void EventCountdown::refuseWhileStepping() const {
    if (stepping_) throw std::logic_error("the peripherals were settled from inside their step");
}

void EventCountdown::advance(std::size_t index, std::uint32_t now) {
    const Clock& clock = clocks_[index];
    clock.step(clock.owner, now - advancedTo_[index]);
    advancedTo_[index] = now;
}

void EventCountdown::scheduleFrom(std::uint32_t now) {
    auto nearest = static_cast<std::int32_t>(kNoEvent);
    auto later = static_cast<std::int32_t>(kNoEvent);
    nearestClock_ = kMaxClocks;
    for (ClockMask left = waiting_; left != 0; left &= left - 1) {
        const auto index = static_cast<std::size_t>(std::countr_zero(left));
        const auto cyclesToEvent = std::max(static_cast<std::int32_t>(eventAt_[index] - now), 0);
        if (cyclesToEvent < nearest) {
            later = nearest;
            nearest = cyclesToEvent;
            nearestClock_ = index;
        } else {
            later = std::min(later, cyclesToEvent);
        }
    }
    laterEventAt_ = now + static_cast<std::uint32_t>(later);
    restart(now, nearest);
}

// Asks a clock that has just advanced for its next event; false when it waits for none.
bool EventCountdown::askNextEvent(std::size_t index, std::uint32_t now) {
    const std::uint32_t cyclesToEvent = clocks_[index].cyclesToEvent(clocks_[index].owner);
    if (cyclesToEvent >= kNoEvent) {
        waiting_ &= ~(1u << index);
        return false;
    }
    eventAt_[index] = now + cyclesToEvent;
    return true;
}

// The events, and the callbacks they make, come here. A clock whose event is not due would
// not change but for its counts, so it advances later, by all its cycles at once. Clocks due
// together advance in their order, each asked for its next event after its step.
void EventCountdown::tickSlowly() {
    refuseWhileStepping();
    const std::uint32_t now = counted();
    // Mostly one clock is due, the nearest, with every other event further ahead; then the
    // others need no look unless its next event moves past theirs.
    const std::size_t nearest = nearestClock_;
    if (nearest<clockCount_&& static_cast<std::int32_t>(laterEventAt_ - now)> 0) {
        if (static_cast<std::int32_t>(eventAt_[nearest] - now) > 0) {
            restart(now, static_cast<std::int32_t>(eventAt_[nearest] - now));
            return;
        }
        {
            const RaisedFlag stepping(stepping_);
            advance(nearest, now);
        }
        if (askNextEvent(nearest, now) &&
            static_cast<std::int32_t>(laterEventAt_ - eventAt_[nearest]) > 0) {
            restart(now, static_cast<std::int32_t>(eventAt_[nearest] - now));
            return;
        }
        scheduleFrom(now);
        return;
    }
    ClockMask due = 0;
    for (ClockMask left = waiting_; left != 0; left &= left - 1) {
        const int index = std::countr_zero(left);
        if (static_cast<std::int32_t>(eventAt_[index] - now) <= 0) due |= 1u << index;
    }
    for (ClockMask left = due; left != 0; left &= left - 1) {
        const auto index = static_cast<std::size_t>(std::countr_zero(left));
        {
            const RaisedFlag stepping(stepping_);
            advance(index, now);
        }
        askNextEvent(index, now);
    }
    scheduleFrom(now);
}

// With cycles counted past a due event, that event comes first. A settle from inside the
// clocks' step finds the event it is in due, or a clock it would advance, and is refused.
void EventCountdown::settle(ClockMask clocks) {
    const std::uint32_t now = counted();
    if (slack_ < 0 && now != start_) tickSlowly();
    for (ClockMask left = waiting_ & clocks; left != 0; left &= left - 1) {
        const auto index = static_cast<std::size_t>(std::countr_zero(left));
        if (advancedTo_[index] == now) continue;
        refuseWhileStepping();
        advance(index, now);
    }
}

void EventCountdown::reschedule(ClockMask clocks) {
    refuseWhileStepping();
    const std::uint32_t now = counted();
    for (ClockMask left = clocks & ((1u << clockCount_) - 1); left != 0; left &= left - 1) {
        const auto index = static_cast<std::size_t>(std::countr_zero(left));
        advancedTo_[index] = now;
        waiting_ |= 1u << index;
        askNextEvent(index, now);
    }
    scheduleFrom(now);
}

}  // namespace tarnwick
