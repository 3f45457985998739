#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tarnwick {

// The peripherals' time. Each clock tells how many E cycles are left to its next event (a
// timeout, a flag, a frame end) and advances by any number of cycles up to and just past that
// event. The steps only count down to the nearest event of all clocks; there the clocks whose
// event is due get every cycle counted since they last advanced, and the others wait for
// theirs, for a register access that settles them or for settle(). As no event lies inside
// the cycles a clock is handed, only at their end, this gives what advancing every clock at
// every step would give, with one subtraction per step in between.
class EventCountdown {
  public:
    // Beyond any clock's period: what a clock waiting for nothing reports. Such a clock must
    // not change when advanced, so it is left alone until the next reschedule().
    static constexpr std::uint32_t kNoEvent = 1u << 30;
    static constexpr std::size_t kMaxClocks = 8;

    // One bit per clock, in the order they were added.
    using ClockMask = std::uint32_t;
    static constexpr ClockMask kAllClocks = (1u << kMaxClocks) - 1;

    struct Clock {
        void* owner;
        void (*step)(void* owner, std::uint32_t cycles);
        // 0 when the event is already due.
        std::uint32_t (*cyclesToEvent)(const void* owner);
    };

    // The clock of an owner with `void step(std::uint32_t)` and
    // `std::uint32_t cyclesToEvent() const`.
    template <auto step, auto cyclesToEvent, typename Owner>
    static Clock clockOf(Owner* owner) {
        return {
            owner,
            [](void* self, std::uint32_t cycles) { (static_cast<Owner*>(self)->*step)(cycles); },
            [](const void* self) { return (static_cast<const Owner*>(self)->*cyclesToEvent)(); }};
    }

    // Returns the clock's bit. Clocks due together advance in the order they were added.
    ClockMask add(const Clock& clock);

    // Counts a step's cycles down; true when the next event is due, and the step must call
    // tickSlowly(). One cycle of slack is kept, so that the test is the subtraction's sign.
    bool countDown(std::uint8_t cycles) { return (slack_ -= cycles) < 0; }
    // Hands the clocks whose event is due every cycle counted for them (also none, after a
    // step of 0 cycles) and schedules the next event.
    void tickSlowly();
    // Brings these clocks up to date with every cycle counted; nothing for a clock without
    // counted cycles, so that an event due at the next step stays with that step.
    void settle(ClockMask clocks = kAllClocks);
    // Asks these clocks for their next event after something changed them; they must have
    // nothing left to settle. Settling and rescheduling throw std::logic_error when they come
    // from inside the clocks' own step.
    void reschedule(ClockMask clocks = kAllClocks);
    // Makes the next step take the slow path, leaving what is settled as it is.
    void demandAttention() {
        scheduled_ -= slack_ + 1;
        slack_ = -1;
    }

  private:
    // Cycles counted since the countdown started, wrapping; differences of counts are exact
    // within half the range.
    std::uint32_t counted() const {
        return start_ + static_cast<std::uint32_t>(scheduled_ - (slack_ + 1));
    }
    // Restarts the countdown at `now` towards the nearest event of the waiting clocks.
    void scheduleFrom(std::uint32_t now);
    void restart(std::uint32_t now, std::int32_t cyclesToEvent) {
        start_ = now;
        scheduled_ = cyclesToEvent;
        slack_ = cyclesToEvent - 1;
    }
    void advance(std::size_t index, std::uint32_t now);
    bool askNextEvent(std::size_t index, std::uint32_t now);
    // A clock's callback (a frame sent) that settles or reschedules would step the clocks
    // again from the middle of their own step.
    void refuseWhileStepping() const;

    // The count where the countdown started, the cycles from there to the next event, and
    // one less than what is left of them (below zero once the event is due).
    std::uint32_t start_ = 0;
    std::int32_t scheduled_ = 0;
    std::int32_t slack_ = -1;
    ClockMask waiting_ = 0;  // the clocks with an event ahead
    bool stepping_ = false;
    std::array<Clock, kMaxClocks> clocks_{};
    std::array<std::uint32_t, kMaxClocks> advancedTo_{};  // the count each clock has reached
    std::array<std::uint32_t, kMaxClocks> eventAt_{};     // the count of each waiting one's event
    std::size_t clockCount_ = 0;
    // The clock with the nearest event (kMaxClocks for none) and the count of the nearest
    // event among the others.
    std::size_t nearestClock_ = kMaxClocks;
    std::uint32_t laterEventAt_ = 0;
};

}  // namespace tarnwick
