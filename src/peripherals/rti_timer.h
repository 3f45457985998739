#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "peripherals/interrupt_requests.h"
#include "peripherals/io_registers.h"
#include "peripherals/peripheral_bus.h"
#include "peripherals/register_bits.h"

namespace tarnwick {

class Peripherals;

// Cycles an accumulator needs to reach `target` when it gains `unitsPerCycle` per E cycle
// (a power of two, so the division is a shift).
constexpr std::uint32_t cyclesToReach(std::uint32_t target, std::uint32_t accumulator,
                                      std::uint32_t unitsPerCycle) {
    return accumulator >= target
               ? 0
               : (target - accumulator + unitsPerCycle - 1) >> std::countr_zero(unitsPerCycle);
}

// The real-time interrupt. The accumulator counts scaled cycles so that one period is
// always 0x10000 units whatever the rate: select 0 adds 8 units per E cycle (a period of
// 8192 E cycles), select 3 adds 1 (65536 E cycles). Changing the rate therefore keeps the
// elapsed fraction of the period.
class RealTimeInterrupt {
  public:
    static constexpr std::uint32_t kPeriodUnits = 0x10000;
    static constexpr std::array<std::uint32_t, 4> kUnitsPerCycle{8, 4, 2, 1};

    // Adds the RTI's interrupt condition (RTII) and its clock.
    explicit RealTimeInterrupt(PeripheralBus& bus);

    void reset();

    // At most one timeout per step; the remainder carries into the next period.
    void step(std::uint32_t cycles) {
        accumulator_ += cycles * kUnitsPerCycle[rateSelect];
        if (accumulator_ >= kPeriodUnits) {
            accumulator_ -= kPeriodUnits;
            registers_[bit::kRtif.index] |= bit::kRtif.mask;
            request = true;
        }
    }

    void interruptTaken();

    static constexpr std::uint32_t periodCycles(std::uint8_t select) {
        return kPeriodUnits / kUnitsPerCycle[select];
    }
    std::uint32_t remainingCycles() const {
        return periodCycles(rateSelect) - accumulator_ / kUnitsPerCycle[rateSelect];
    }
    std::uint32_t timeoutCount() const { return timeoutCount_; }
    // E cycles until the accumulator reaches the next timeout (0 when it already has).
    std::uint32_t cyclesToTimeout() const {
        return cyclesToReach(kPeriodUnits, accumulator_, kUnitsPerCycle[rateSelect]);
    }
    // True while the button shows "RTI Interrupt Pending...".
    bool forceRtiPending() const { return forcePending_; }
    EventCountdown::ClockMask clock() const { return clock_; }

    std::uint8_t rateSelect = 0;  // PACTL bits 1:0
    RequestLine request;

  private:
    friend class Peripherals;
    // The ForceRTI button, pressed through Peripherals so that the deferred cycles are
    // settled first: completes the current period at once.
    bool forceRtiClick();

    IoRegisters registers_;
    EventCountdown::ClockMask clock_ = 0;
    std::uint32_t accumulator_ = 0;
    std::uint32_t timeoutCount_ = 0;
    bool forcePending_ = false;
};

// The free-running counter. The accumulator holds TCNT in bits 19-4 and a sixteenth of a
// count below, so every prescaler is an add: select 0 adds 16 units per E cycle (TCNT counts
// every cycle), select 3 adds 1 (every 16 cycles).
class FreeRunningTimer {
  public:
    static constexpr std::uint32_t kTurnUnits = 1u << 20;
    static constexpr std::array<std::uint32_t, 4> kUnitsPerCycle{16, 4, 2, 1};

    // Adds the overflow's interrupt condition (TOI) and the counter's clock.
    explicit FreeRunningTimer(PeripheralBus& bus);

    void reset();

    // TCNT is rewritten on every step, so whatever a 16-bit store put there does not last.
    void step(std::uint32_t cycles) {
        accumulator_ += cycles * kUnitsPerCycle[prescaleSelect];
        if (accumulator_ >= kTurnUnits) {
            accumulator_ -= kTurnUnits;
            registers_[bit::kTof.index] |= bit::kTof.mask;
            request = true;
        }
        const std::uint16_t count = tcnt();
        registers_[reg::kTcntHigh] = static_cast<std::uint8_t>(count >> 8);
        registers_[reg::kTcntLow] = static_cast<std::uint8_t>(count);
    }

    void interruptTaken();

    // E cycles per TCNT count: 1, 4, 8 or 16.
    static constexpr std::uint32_t prescaleFactor(std::uint8_t select) {
        return kUnitsPerCycle[0] / kUnitsPerCycle[select];
    }
    std::uint16_t tcnt() const { return static_cast<std::uint16_t>(accumulator_ >> 4); }
    std::uint32_t overflowCount() const { return overflowCount_; }
    // E cycles until TCNT overflows (0 when the accumulator already holds a full turn).
    std::uint32_t cyclesToOverflow() const {
        return cyclesToReach(kTurnUnits, accumulator_, kUnitsPerCycle[prescaleSelect]);
    }
    // True while the button shows "Timer Interrupt Pending...".
    bool forceTimerPending() const { return forcePending_; }
    EventCountdown::ClockMask clock() const { return clock_; }

    std::uint8_t prescaleSelect = 0;  // TMSK2 bits 1:0
    RequestLine request;

  private:
    friend class Peripherals;
    // The ForceTimer button, pressed through Peripherals: completes the current turn at once.
    bool forceTimerClick();

    IoRegisters registers_;
    EventCountdown::ClockMask clock_ = 0;
    std::uint32_t accumulator_ = 0;
    std::uint32_t overflowCount_ = 0;
    bool forcePending_ = false;
};

}  // namespace tarnwick
