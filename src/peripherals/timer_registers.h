#pragma once

#include <cstdint>

#include "peripherals/io_registers.h"
#include "peripherals/peripheral_bus.h"
#include "peripherals/rti_timer.h"

namespace tarnwick {

// The main timer's registers, which the real-time interrupt and the free-running counter
// share: TCNT, TMSK2, TFLG2 and PACTL. 16-bit writes store them raw, latches untouched.
class TimerRegisters {
  public:
    TimerRegisters(PeripheralBus& bus, RealTimeInterrupt& rti, FreeRunningTimer& timer);
    TimerRegisters(const TimerRegisters&) = delete;
    TimerRegisters& operator=(const TimerRegisters&) = delete;

  private:
    void writeTmsk2(std::uint8_t value);
    void writeTflg2(std::uint8_t value);
    void writePactl(std::uint8_t value);

    const PeripheralBus& bus_;
    IoRegisters registers_;
    RealTimeInterrupt& rti_;
    FreeRunningTimer& timer_;
};

}  // namespace tarnwick
