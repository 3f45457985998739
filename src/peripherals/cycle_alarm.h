#pragma once

#include <cstdint>
#include <functional>

#include "peripherals/event_countdown.h"
#include "peripherals/peripheral_bus.h"

namespace tarnwick {

// A clock for a run with ends and schedules of its own (the command line's): it counts the E
// cycles the peripherals are ticked by, wider than the machine's cycle counter, and rings at
// the end of the step whose cycles reach the count it was set to, and at the end of a step
// that asked for it. It rings after the events of the other clocks in that step, so the one
// it calls sees them. Off until started, so that it costs nothing otherwise.
class CycleAlarm {
  public:
    static constexpr std::uint64_t kNever = UINT64_MAX;

    // Gets the cycles counted at the ring and returns the count to ring at next. It runs
    // inside the peripherals' step: it may request a stop, but not settle them.
    using Ring = std::function<std::uint64_t(std::uint64_t counted)>;

    explicit CycleAlarm(PeripheralBus& bus);
    CycleAlarm(const CycleAlarm&) = delete;
    CycleAlarm& operator=(const CycleAlarm&) = delete;

    // Counts from 0 on, first ringing at `firstRing`.
    void start(Ring ring, std::uint64_t firstRing);
    void stop();
    bool running() const { return static_cast<bool>(ring_); }
    // The cycles counted since the start, up to the last settling.
    std::uint64_t counted() const { return counted_; }
    EventCountdown::ClockMask clock() const { return clock_; }

    // Makes it ring at the end of the step under way, when it runs.
    void ringAfterThisStep();

    void step(std::uint32_t cycles);
    std::uint32_t cyclesToEvent() const;

  private:
    EventCountdown& events_;
    EventCountdown::ClockMask clock_;
    Ring ring_;
    std::uint64_t counted_ = 0;
    std::uint64_t ringAt_ = kNever;
    bool ringNow_ = false;
};

}  // namespace tarnwick
