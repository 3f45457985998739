#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "peripherals/peripherals.h"

namespace tarnwick {

// A freshly reset register block with an initialised XIRQ vector; run() advances the
// cycle counter and the peripherals together and settles them, as the run loops do.
class PeripheralsTest : public ::testing::Test {
  protected:
    PeripheralsTest() {
        memory()[0xFFF4].value = 0x80;
        memory()[0xFFF5].value = 0x00;
        peripherals.resetRegisters();
    }

    AddressSpace& memory() { return *memory_; }
    std::uint8_t& reg(std::uint8_t index) { return memory()[kIoBase + index].value; }

    void run(std::uint32_t totalCycles, std::uint8_t stepCycles = 1) {
        for (std::uint32_t done = 0; done < totalCycles; done += stepCycles) {
            cycleCounter += stepCycles;
            peripherals.tick(stepCycles);
        }
        peripherals.settle();
    }

    std::unique_ptr<AddressSpace> memory_ = std::make_unique<AddressSpace>();
    std::uint32_t cycleCounter = 0;
    Peripherals peripherals{*memory_, cycleCounter};
};

}  // namespace tarnwick
