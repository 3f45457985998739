#include "peripherals/analog_digital.h"

#include "peripherals/member_call.h"

namespace tarnwick {

AnalogDigital::AnalogDigital(PeripheralBus& bus) : bus_(bus), registers_(bus.registers) {
    const EventCountdown::ClockMask clock = bus.events.add(
        EventCountdown::clockOf<&AnalogDigital::step, &AnalogDigital::cyclesToEvent>(this));
    bus.registerTable.claim(reg::kAdctl,
                            {.owner = this,
                             .clocks = clock,
                             .readMask = implementedBits(reg::kAdctl),
                             .write8 = memberCall<&AnalogDigital::writeAdctl>,
                             .writeInWord = memberCall<&AnalogDigital::writeAdctlInWord>});
    bus.registerTable.claim(
        reg::kOption,
        {.owner = this, .clocks = clock, .write8 = memberCall<&AnalogDigital::writeOption>});
}

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

std::uint32_t AnalogDigital::cyclesToEvent() const {
    if (!converting()) return EventCountdown::kNoEvent;
    return conversionCycles >= kConversionCycles ? 0 : kConversionCycles - conversionCycles;
}

// A new sequence clears CCF.
void AnalogDigital::writeAdctl(std::uint8_t value) {
    registers_[reg::kAdctl] = value & ~bit::kCcf.mask;
    startSequence(value);
}

// As a byte of a 16-bit write ADCTL is stored as written, CCF included.
void AnalogDigital::writeAdctlInWord(std::uint8_t value) {
    registers_[reg::kAdctl] = value;
    startSequence(value);
}

void AnalogDigital::writeOption(std::uint8_t value) {
    std::uint8_t& cell = registers_[reg::kOption];
    constexpr std::uint8_t kProtected = bit::kIrqe.mask | bit::kDly.mask | bit::kCr.mask;
    cell = bus_.timeProtected()
               ? static_cast<std::uint8_t>((cell & kProtected) | (value & ~kProtected))
               : value;
    powered = bit::kAdpu.isSetIn(cell);
}

}  // namespace tarnwick
