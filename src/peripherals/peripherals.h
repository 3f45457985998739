#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "base/address_record.h"
#include "base/interrupt_sources.h"
#include "peripherals/analog_digital.h"
#include "peripherals/cycle_alarm.h"
#include "peripherals/io_registers.h"
#include "peripherals/peripheral_bus.h"
#include "peripherals/rti_timer.h"
#include "peripherals/sci.h"
#include "peripherals/sci_receiver.h"
#include "peripherals/sci_registers.h"
#include "peripherals/timer_registers.h"
#include "peripherals/unsimulated_writes.h"
#include "peripherals/xirq_line.h"

namespace tarnwick {

// The on-chip peripherals of the simulated 68HC11: the I/O register block at 1000-103F with
// its latches, the RTI and free-running timer, the SCI transmitter and receiver, the A/D
// converter with Port E and the XIRQ line. The registers are the value bytes of their address
// records, so memory views see what the program sees. Each peripheral claims its registers,
// interrupt conditions and clock on the bus when it is constructed.
//
// The core calls: the four register accesses for addresses of kind I/O, the register reset
// from the machine reset, the tick after every step, the interrupt conditions and the
// interrupt-taken notification from the interrupt poll and entry.
class Peripherals {
  public:
    Peripherals(AddressSpace& memory, const std::uint32_t& cycleCounter);
    // The peripherals refer to the bus and to the callback member beside them, so a copy
    // would point into another object.
    Peripherals(const Peripherals&) = delete;
    Peripherals& operator=(const Peripherals&) = delete;

    void resetRegisters();

    std::uint8_t read8(std::uint16_t address);
    std::uint16_t read16(std::uint16_t address);
    void write8(std::uint16_t address, std::uint8_t value);
    void write16(std::uint16_t address, std::uint16_t value);

    // Advances RTI, timer, SCI (transmitter, then receiver) and A/D, in that order, by one
    // step's cycles. They only count down to the nearest event of any of them here; each is
    // advanced at its own events, at every access to its registers and by settle(). True
    // when the tick took its slow path: an event was due or attention had been demanded.
    bool tick(std::uint8_t cycles);

    // Makes the next tick take its slow path, leaving what is settled as it is. A stop
    // request demands it, so that the plain run loop needs to look for one only then.
    void demandAttention() { bus_.events.demandAttention(); }

    // Brings every peripheral up to date with every cycle ticked. The run loops call it
    // before they pump events; whatever shows the RTI or timer counts (a window refresh,
    // which may also come while a message box is open inside a step) calls it first.
    void settle() { bus_.events.settle(); }

    // The force buttons of the RTI & Timer window; each acts only while its button is not
    // already waiting for its interrupt and returns whether it acted.
    bool forceRtiClick();
    bool forceTimerClick();

    // The maskable interrupt conditions, by source.
    bool rtiInterruptDue() const { return bus_.interrupts.due(InterruptSource::RealTime); }
    bool overflowInterruptDue() const {
        return bus_.interrupts.due(InterruptSource::TimerOverflow);
    }
    bool sciInterruptDue() const { return bus_.interrupts.due(InterruptSource::Sci); }
    // The source the poll takes among the maskable ones that are due, by priority.
    std::optional<InterruptSource> dueMaskableInterrupt() const {
        return bus_.interrupts.dueSource();
    }
    bool anyMaskableInterruptDue() const { return dueMaskableInterrupt().has_value(); }
    // Whether any maskable request is latched, enabled or not: the poll's quick first test.
    bool anyMaskableRequestLatched() const { return bus_.interrupts.anyRaised(); }

    // Zero when the interrupt poll has nothing to do: no XIRQ and no maskable condition that
    // holds. Enable bits written through the register accesses count at once; after any
    // other change of a register byte, refreshInterruptAttention() must follow before the
    // next poll (the run loops call it whenever they start and after every event pump).
    std::uint16_t interruptAttention() const { return bus_.interrupts.attention(); }
    void refreshInterruptAttention() { bus_.interrupts.refreshAttention(); }

    bool xirqPending() const { return xirq.pending(); }
    // A pending XIRQ with X set wakes the CPU from STOP and releases the line.
    void releaseXirqAtStopWakeUp() { xirq.releaseAtStopWakeUp(); }

    void interruptTaken(InterruptSource source) { bus_.interrupts.taken(source); }

  private:
    // Constructed before the peripherals attached to it.
    PeripheralBus bus_;

  public:
    // Called with every byte the SCI finishes transmitting (the history ring keeps its own
    // copy); empty by default.
    std::function<void(std::uint8_t)> onSciFrameTransmitted;
    // Called at the program's first write to a register of each peripheral the simulator
    // leaves out (kUnsimulatedRegisters), with the register and the address written; then no
    // more for that peripheral until forgetUnsimulatedWrites(). Empty by default.
    UnsimulatedWrites::Note onUnsimulatedWrite;
    void forgetUnsimulatedWrites() { unsimulatedWrites_.forget(); }

    // The peripherals themselves, for the windows: their latches, counts and commands.
    RealTimeInterrupt rti;
    FreeRunningTimer timer;
    SciTransmitter sci;
    SciReceiver sciReceiver;
    AnalogDigital adc;
    XirqLine xirq;
    // The last clock: it rings after the others' events of the same step.
    CycleAlarm cycleAlarm;

  private:
    // The clocks of the two registers a 16-bit access at the index reaches.
    EventCountdown::ClockMask wordClocks(std::uint8_t index) const;

    TimerRegisters timerRegisters_;
    SciRegisters sciRegisters_;
    // Last: it claims registers others may have claimed before.
    UnsimulatedWrites unsimulatedWrites_;
};

[[gnu::always_inline]] inline bool Peripherals::tick(std::uint8_t cycles) {
    if (!bus_.events.countDown(cycles)) [[likely]]
        return false;
    bus_.events.tickSlowly();
    return true;
}

}  // namespace tarnwick
