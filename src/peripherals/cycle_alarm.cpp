#include "peripherals/cycle_alarm.h"

#include <algorithm>
#include <utility>

namespace tarnwick {

CycleAlarm::CycleAlarm(PeripheralBus& bus)
    : events_(bus.events),
      clock_(bus.events.add(
          EventCountdown::clockOf<&CycleAlarm::step, &CycleAlarm::cyclesToEvent>(this))) {}

void CycleAlarm::start(Ring ring, std::uint64_t firstRing) {
    events_.settle(clock_);
    ring_ = std::move(ring);
    counted_ = 0;
    ringAt_ = firstRing;
    ringNow_ = false;
    events_.reschedule(clock_);
}

void CycleAlarm::stop() {
    events_.settle(clock_);
    ring_ = nullptr;
    events_.reschedule(clock_);
}

void CycleAlarm::ringAfterThisStep() {
    if (!running() || ringNow_) return;
    events_.settle(clock_);
    ringNow_ = true;
    events_.reschedule(clock_);
}

void CycleAlarm::step(std::uint32_t cycles) {
    counted_ += cycles;
    if (!ringNow_ && counted_ < ringAt_) return;
    ringNow_ = false;
    ringAt_ = ring_(counted_);
}

// Counting goes on between rings: a clock with nothing ahead would be left alone.
std::uint32_t CycleAlarm::cyclesToEvent() const {
    if (!running()) return EventCountdown::kNoEvent;
    if (ringNow_ || counted_ >= ringAt_) return 0;
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(ringAt_ - counted_, EventCountdown::kNoEvent - 1));
}

}  // namespace tarnwick
