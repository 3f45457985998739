#pragma once

#include <cstdint>
#include <functional>

#include "base/address_record.h"
#include "base/interrupt_sources.h"
#include "peripherals/analog_digital.h"
#include "peripherals/io_registers.h"
#include "peripherals/maskable_request_latches.h"
#include "peripherals/register_bits.h"
#include "peripherals/rti_timer.h"
#include "peripherals/sci.h"
#include "peripherals/xirq_line.h"

namespace tarnwick {

// The on-chip peripherals of the simulated 68HC11: the I/O register block at 1000-103F with
// its latches, the RTI and free-running timer, the SCI transmitter, the A/D converter with
// Port E and the XIRQ line. The registers are the value bytes of their address records, so
// memory views see what the program sees.
//
// The core calls: the four register accesses for addresses of kind I/O, the register reset
// from the machine reset, the tick after every step, the interrupt conditions and the
// interrupt-taken notification from the interrupt poll and entry.
class Peripherals {
  public:
    Peripherals(AddressSpace& memory, const std::uint32_t& cycleCounter);
    // The SCI refers to the callback member beside it and the peripherals to their request
    // latches, so a copy would point into another object.
    Peripherals(const Peripherals&) = delete;
    Peripherals& operator=(const Peripherals&) = delete;

    void resetRegisters();

    std::uint8_t read8(std::uint16_t address);
    std::uint16_t read16(std::uint16_t address);
    void write8(std::uint16_t address, std::uint8_t value);
    void write16(std::uint16_t address, std::uint16_t value);

    // Advances RTI, timer, SCI and A/D, in that order, by one step's cycles. The RTI and the
    // timer only count down to their next timeout here and are settled (accumulators, TFLG2,
    // TCNT) at that step, at every register access and by settle(). True when the tick took
    // its slow path: a timeout was due, the SCI or the A/D needed the step, or attention had
    // been demanded.
    bool tick(std::uint8_t cycles);

    // The two halves of tick(), for a caller that keeps the slow half out of its loop: counts
    // the cycles down and tells whether the slow path is due, and the slow path.
    bool countDown(std::uint8_t cycles) { return (cyclesToTimerEvent_ -= cycles) <= 0; }
    void tickSlowly(std::uint8_t cycles);

    // Makes the next tick take its slow path, leaving what is settled as it is. A stop
    // request demands it, so that the plain run loop needs to look for one only then.
    void demandAttention() {
        scheduledCycles_ -= cyclesToTimerEvent_;
        cyclesToTimerEvent_ = 0;
    }

    // Brings the RTI, the timer and the TCNT bytes up to date with every cycle ticked. The run
    // loops call it before they pump events; whatever shows the RTI or timer state (a window
    // refresh, which may also come while a message box is open inside a step) calls it first.
    void settle();

    // The force buttons of the RTI & Timer window; each acts only while its button is not
    // already waiting for its interrupt and returns whether it acted.
    bool forceRtiClick();
    bool forceTimerClick();

    // Maskable interrupt conditions, tested by the poll in this order of priority.
    bool rtiInterruptDue() const;
    bool overflowInterruptDue() const;
    bool sciInterruptDue() const;
    bool anyMaskableInterruptDue() const;
    // Whether any maskable request is latched, enabled or not: the poll's quick first test.
    bool anyMaskableRequestLatched() const { return requestLatches_.anyRaised(); }

    bool xirqPending() const;
    // A pending XIRQ with X set wakes the CPU from STOP and releases the line.
    void releaseXirqAtStopWakeUp();

    void interruptTaken(InterruptSource source);

    // Called with every byte the SCI finishes transmitting (the history ring keeps its own
    // copy); empty by default.
    std::function<void(std::uint8_t)> onSciFrameTransmitted;

  private:
    // Constructed before the peripherals that refer to their own latch in it.
    MaskableRequestLatches requestLatches_;

  public:
    // The peripherals themselves, for the windows: their latches, counts and commands.
    RealTimeInterrupt rti;
    FreeRunningTimer timer;
    SciTransmitter sci;
    AnalogDigital adc;
    XirqLine xirq;

  private:
    // The register byte as an 8-bit read returns it, without the SCSR read's side effect.
    std::uint8_t maskedRegister(std::uint8_t index) const;
    bool timeProtected() const { return cycleCounter_ >= kProtectedAfterCycles; }

    // TMSK2 bits 1:0 and OPTION bits 5:4 and 1:0 are writable only this many E cycles after
    // reset.
    static constexpr std::uint32_t kProtectedAfterCycles = 60;

    std::int32_t unsettledCycles() const { return scheduledCycles_ - cyclesToTimerEvent_; }
    void advanceTimers();
    void reschedule();
    void writeRegister8(std::uint8_t index, std::uint8_t value);
    void writeRegister16(std::uint8_t index, std::uint16_t value);

    const std::uint32_t& cycleCounter_;
    IoRegisters registers_;
    // Cycles from the last settling to the next RTI or timer timeout (0 when the next tick
    // must take the slow path anyway), and what is left of them; the difference is what has
    // been ticked but not yet added to the RTI and the timer.
    std::int32_t scheduledCycles_ = 0;
    std::int32_t cyclesToTimerEvent_ = 0;  // until the RTI or the timer times out next
    bool serialOrConverterOn_ = false;     // SCI or A/D may need this step's cycles
};

[[gnu::always_inline]] inline bool Peripherals::tick(std::uint8_t cycles) {
    if (!countDown(cycles)) [[likely]]
        return false;
    tickSlowly(cycles);
    return true;
}

inline bool Peripherals::anyMaskableInterruptDue() const {
    return rtiInterruptDue() || overflowInterruptDue() || sciInterruptDue();
}

inline bool Peripherals::rtiInterruptDue() const {
    return rti.request && bit::kRtii.isSetIn(registers_[bit::kRtii.index]);
}

inline bool Peripherals::overflowInterruptDue() const {
    return timer.request && bit::kToi.isSetIn(registers_[bit::kToi.index]);
}

inline bool Peripherals::sciInterruptDue() const {
    const std::uint8_t sccr2 = registers_[reg::kSccr2];
    return (sci.tdreRequest && bit::kTie.isSetIn(sccr2)) ||
           (sci.tcRequest && bit::kTcie.isSetIn(sccr2));
}

inline bool Peripherals::xirqPending() const {
    return xirq.pending();
}

}  // namespace tarnwick
