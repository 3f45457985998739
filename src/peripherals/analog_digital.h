#pragma once

#include <array>
#include <cstdint>

#include "peripherals/io_registers.h"
#include "peripherals/peripheral_bus.h"
#include "peripherals/register_bits.h"

namespace tarnwick {

// The A/D converter: four conversions of 32 E cycles into ADR1-ADR4, then CCF. The analog
// inputs AN0-AN7 are values the user sets; they survive resets. Port E's digital levels are
// the PORTE register byte.
class AnalogDigital {
  public:
    static constexpr std::uint8_t kConversionCycles = 32;

    // Claims ADCTL and OPTION (the A/D's for its ADPU bit; the other bits are stored with
    // their time protection) and adds the converter's clock.
    explicit AnalogDigital(PeripheralBus& bus);
    AnalogDigital(const AnalogDigital&) = delete;
    AnalogDigital& operator=(const AnalogDigital&) = delete;

    void reset();

    void step(std::uint32_t cycles) {
        if (!converting()) return;
        conversionCycles = static_cast<std::uint8_t>(conversionCycles + cycles);
        if (conversionCycles < kConversionCycles) return;
        conversionCycles -= kConversionCycles;
        convert();
    }
    // E cycles until the step converts next.
    std::uint32_t cyclesToEvent() const;

    // The latches an ADCTL write sets. The sequence index is kept, so a sequence restarted
    // mid-way continues at the next result register.
    void startSequence(std::uint8_t adctl) {
        active = true;
        conversionCycles = 0;
        scan = bit::kScan.isSetIn(adctl);
        multiChannel = bit::kMult.isSetIn(adctl);
        groupZero = !bit::kCd.isSetIn(adctl);
    }

    std::uint8_t portE() const { return registers_[reg::kPortE]; }
    void setPortEBit(std::uint8_t bit, bool high);

    std::array<std::uint8_t, 8> channelInputs{};
    bool active = false;
    bool scan = false;
    bool multiChannel = false;
    bool groupZero = false;  // ADCTL.CD = 0
    std::uint8_t conversionCycles = 0;
    bool powered = false;            // OPTION.ADPU: decides only which window controls are enabled
    std::uint8_t sequenceIndex = 0;  // the result register converted next, 0 = ADR1

  private:
    // Channels AN8-AN15 (CD set) are not converted.
    bool converting() const { return groupZero && (active || scan); }
    void writeAdctl(std::uint8_t value);
    void writeAdctlInWord(std::uint8_t value);
    void writeOption(std::uint8_t value);

    void convert() {
        // The channel bits are taken from ADCTL at the instant of each conversion.
        const std::uint8_t adctl = registers_[reg::kAdctl];
        const std::uint8_t channel = multiChannel
                                         ? static_cast<std::uint8_t>((adctl & 0x04) | sequenceIndex)
                                         : static_cast<std::uint8_t>(adctl & bit::kChannel.mask);
        registers_[reg::kAdr1 + sequenceIndex] = channelInputs[channel];
        const bool sequenceDone = sequenceIndex == 3;
        sequenceIndex = (sequenceIndex + 1) % 4;
        if (sequenceDone) {
            if (!scan) active = false;
            registers_[reg::kAdctl] |= bit::kCcf.mask;
        }
    }

    const PeripheralBus& bus_;
    IoRegisters registers_;
};

}  // namespace tarnwick
