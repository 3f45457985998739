#pragma once

#include <cstdint>

#include "peripherals/io_registers.h"
#include "peripherals/peripheral_bus.h"
#include "peripherals/sci.h"
#include "peripherals/sci_receiver.h"

namespace tarnwick {

// The SCI's registers, which its transmitter and receiver share: BAUD, SCCR1, SCCR2, SCSR
// and SCDR.
class SciRegisters {
  public:
    SciRegisters(PeripheralBus& bus, SciTransmitter& transmitter, SciReceiver& receiver);
    SciRegisters(const SciRegisters&) = delete;
    SciRegisters& operator=(const SciRegisters&) = delete;

  private:
    void writeBaud(std::uint8_t value);
    void writeSccr1(std::uint8_t value);
    void writeSccr2(std::uint8_t value);
    void readScsr();
    void readScdr();
    void writeScdr(std::uint8_t value);

    IoRegisters registers_;
    SciTransmitter& transmitter_;
    SciReceiver& receiver_;
};

}  // namespace tarnwick
