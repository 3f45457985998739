#pragma once

#include <cstdint>
#include <functional>

#include "core/address_record.h"
#include "core/interrupt_sources.h"

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

    void resetRegisters();

    std::uint8_t read8(std::uint16_t address);
    std::uint16_t read16(std::uint16_t address);
    void write8(std::uint16_t address, std::uint8_t value);
    void write16(std::uint16_t address, std::uint16_t value);

    // Advances RTI, timer, SCI and A/D, in that order, by one step's cycles.
    void tick(std::uint8_t cycles);

    // Maskable interrupt conditions, tested by the poll in this order of priority.
    bool rtiInterruptDue() const;
    bool overflowInterruptDue() const;
    bool sciInterruptDue() const;

    bool xirqPending() const;
    // A pending XIRQ with X set wakes the CPU from STOP and releases the line.
    void releaseXirqAtStopWakeUp();

    void interruptTaken(InterruptSource source);

    // Called with every byte the SCI finishes transmitting (the history ring keeps its own
    // copy); empty by default.
    std::function<void(std::uint8_t)> onSciFrameTransmitted;
};

}  // namespace tarnwick
