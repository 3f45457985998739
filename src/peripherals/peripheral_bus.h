#pragma once

#include <cstdint>

#include "base/address_record.h"
#include "peripherals/event_countdown.h"
#include "peripherals/interrupt_requests.h"
#include "peripherals/io_registers.h"
#include "peripherals/register_table.h"

namespace tarnwick {

// What a peripheral is attached to: the register block with its dispatch table, the maskable
// interrupt requests and the event countdown. Each peripheral claims its registers, adds its
// interrupt conditions and its clock here when it is constructed.
struct PeripheralBus {
    PeripheralBus(AddressSpace& memory, const std::uint32_t& cycleCounter)
        : registers(memory),
          interrupts(registers),
          registerTable(registers),
          cycleCounter_(cycleCounter) {}
    PeripheralBus(const PeripheralBus&) = delete;
    PeripheralBus& operator=(const PeripheralBus&) = delete;

    // TMSK2 bits 1:0 and OPTION bits 5:4 and 1:0 are writable only this many E cycles after
    // reset.
    static constexpr std::uint32_t kProtectedAfterCycles = 60;
    bool timeProtected() const { return cycleCounter_ >= kProtectedAfterCycles; }

    IoRegisters registers;
    EventCountdown events;
    InterruptRequests interrupts;
    RegisterTable registerTable;

  private:
    const std::uint32_t& cycleCounter_;
};

}  // namespace tarnwick
