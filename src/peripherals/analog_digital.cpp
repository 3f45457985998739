#include "peripherals/analog_digital.h"

namespace tarnwick {

void AnalogDigital::reset() {
    // Matches ADCTL = BF after the register reset: channel group 1, so nothing converts
    // until the program writes ADCTL. The conversion cycle counter is left as it was.
    powered = false;
    active = false;
    scan = true;
    multiChannel = true;
    groupZero = false;
    sequenceIndex = 0;
}

void AnalogDigital::setPortEBit(std::uint8_t bit, bool high) {
    const auto mask = static_cast<std::uint8_t>(1u << (bit & 7));
    std::uint8_t& porte = registers_[reg::kPortE];
    porte = high ? (porte | mask) : (porte & ~mask);
}

}  // namespace tarnwick
