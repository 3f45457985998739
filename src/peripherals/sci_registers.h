#pragma once

#include <cstdint>

#include "peripherals/io_registers.h"
#include "peripherals/peripheral_bus.h"
#include "peripherals/sci.h"

namespace tarnwick {

// The SCI's registers: BAUD, SCCR1, SCCR2, SCSR and SCDR.
class SciRegisters {
  public:
    SciRegisters(PeripheralBus& bus, SciTransmitter& transmitter);
    SciRegisters(const SciRegisters&) = delete;
    SciRegisters& operator=(const SciRegisters&) = delete;

  private:
    void writeBaud(std::uint8_t value);
    void writeSccr1(std::uint8_t value);
    void writeSccr2(std::uint8_t value);
    void readScsr();
    void writeScdr(std::uint8_t value);

    IoRegisters registers_;
    SciTransmitter& transmitter_;
};

}  // namespace tarnwick
