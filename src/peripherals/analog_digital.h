#pragma once

#include <array>
#include <cstdint>

#include "peripherals/io_registers.h"

namespace tarnwick {

// The A/D converter: four conversions of 32 E cycles into ADR1-ADR4, then CCF. The analog
// inputs AN0-AN7 are values the user sets; they survive resets. Port E's digital levels are
// the PORTE register byte.
class AnalogDigital {
  public:
    static constexpr std::uint8_t kConversionCycles = 32;

    explicit AnalogDigital(IoRegisters registers) : registers_(registers) {}

    void reset();

    void step(std::uint8_t cycles) {
        if (!groupZero) return;  // channels AN8-AN15 are not converted
        if (!active && !scan) return;
        conversionCycles += cycles;
        if (conversionCycles < kConversionCycles) return;
        conversionCycles -= kConversionCycles;
        convert();
    }

    // The latches an ADCTL write sets. The sequence index is kept, so a sequence restarted
    // mid-way continues at the next result register.
    void startSequence(std::uint8_t adctl) {
        active = true;
        conversionCycles = 0;
        scan = (adctl & 0x20) != 0;
        multiChannel = (adctl & 0x10) != 0;
        groupZero = (adctl & 0x08) == 0;
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
    void convert() {
        // The channel bits are taken from ADCTL at the instant of each conversion.
        const std::uint8_t adctl = registers_[reg::kAdctl];
        const std::uint8_t channel = multiChannel
                                         ? static_cast<std::uint8_t>((adctl & 0x04) | sequenceIndex)
                                         : static_cast<std::uint8_t>(adctl & 0x07);
        registers_[reg::kAdr1 + sequenceIndex] = channelInputs[channel];
        const bool sequenceDone = sequenceIndex == 3;
        sequenceIndex = (sequenceIndex + 1) % 4;
        if (sequenceDone) {
            if (!scan) active = false;
            registers_[reg::kAdctl] |= 0x80;
        }
    }

    IoRegisters registers_;
};

}  // namespace tarnwick
