#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tarnwick {

// The peripherals' time. Each clock tells how many E cycles are left to its next event (a
// timeout, a flag, a frame end) and advances by any number of cycles up to and just past
// that event. The steps only count down to the nearest event of all clocks; the cycles
// counted reach the clocks when it is due, before every register access and by settle(). As
// no event lies inside the cycles handed over, only at their end, this gives what advancing
// every clock at every step would give, with one subtraction per step in between.
class EventCountdown {
  public:
    // Beyond any clock's period: what a clock waiting for nothing reports. Such a clock must
    // not change when advanced, so it is left alone until the next reschedule().
    static constexpr std::uint32_t kNoEvent = 1u << 30;
    static constexpr std::size_t kMaxClocks = 8;

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

    // Clocks advance in the order they were added.
    void add(const Clock& clock);

    // Counts a step's cycles down; true when the next event is due, and the step must call
    // tickSlowly().
    bool countDown(std::uint8_t cycles) { return (slack_ -= cycles) < 0; }
    // Hands every counted cycle to the clocks (also none, after a step of 0 cycles) and
    // schedules the next event.
    void tickSlowly();
    // Brings every clock up to date with the cycles counted; nothing when there are none, so
    // an event due at the next step stays with that step.
    void settle() {
        if (unsettledCycles() != 0) settleCounted();
    }
    // Asks every clock for its next event after something changed them; there must be
    // nothing left to settle. Settling and rescheduling throw std::logic_error when they come
    // from inside the clocks' own step.
    void reschedule();
    // Makes the next step take the slow path, leaving what is settled as it is.
    void demandAttention() {
        scheduled_ -= slack_ + 1;
        slack_ = -1;
    }

  private:
    std::int32_t unsettledCycles() const { return scheduled_ - (slack_ + 1); }
    void schedule(std::int32_t cycles) {
        scheduled_ = cycles;
        slack_ = cycles - 1;
    }
    void settleCounted();
    void stepWaitingClocks(std::uint32_t cycles) const;
    // A clock's callback (a frame sent) that settles or reschedules would step the clocks
    // again from the middle of their own step.
    void refuseWhileStepping() const;

    // Cycles from the last settling to the next event, and one less than what is left of them
    // (below zero once the event is due, so that the step tests only the sign of the
    // subtraction); the difference is what has been counted but not yet handed to the clocks.
    std::int32_t scheduled_ = 0;
    std::int32_t slack_ = -1;
    std::uint32_t waiting_ = 0;  // one bit per clock with an event ahead
    bool stepping_ = false;
    std::array<Clock, kMaxClocks> clocks_{};
    std::size_t clockCount_ = 0;
};

}  // namespace tarnwick
