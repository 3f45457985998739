#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "peripherals/register_bits.h"

namespace tarnwick {

// An on-chip peripheral the simulator leaves out: its registers are plain memory.
struct UnsimulatedPeripheral {
    std::string_view name;  // as a sentence names it: "output compares", "the SPI"
    bool plural;
    std::uint8_t noteBit;  // its bit in the mask of the peripherals already noted
};

namespace unsimulated {
inline constexpr UnsimulatedPeripheral kOutputCompares{"output compares", true, 1 << 0};
inline constexpr UnsimulatedPeripheral kInputCaptures{"input captures", true, 1 << 1};
inline constexpr UnsimulatedPeripheral kPulseAccumulator{"the pulse accumulator", false, 1 << 2};
inline constexpr UnsimulatedPeripheral kSpi{"the SPI", false, 1 << 3};
inline constexpr UnsimulatedPeripheral kCop{"the COP watchdog", false, 1 << 4};
inline constexpr UnsimulatedPeripheral kEepromProgramming{"EEPROM programming", false, 1 << 5};
}  // namespace unsimulated

// A register of such a peripheral, with the names and offsets of the 68HC11E. A register
// wholly the peripheral's (bits FF) counts at any write; one it shares with another part
// counts only at a write that changes one of the peripheral's bits.
struct UnsimulatedRegister {
    std::string_view name;
    std::uint8_t index;  // register index: address - 0x1000
    std::uint8_t size;   // 2 for the 16-bit timer registers
    const UnsimulatedPeripheral* peripheral;
    std::uint8_t bits = 0xFF;

    bool shared() const { return bits != 0xFF; }
    bool covers(std::uint8_t at) const { return at >= index && at < index + size; }
};

// The IC4/OC5 channel goes with the output compares, since the reset makes it OC5; only PACTL's
// I4/O5, which turns it into IC4, goes with the input captures. TFLG2 is not here: a written one
// clears its pulse-accumulator flags as on the chip, and nothing sets them. OPTION's COP rate and
// PACTL's Port A directions are left out as well.
inline constexpr std::array kUnsimulatedRegisters{
    UnsimulatedRegister{"CFORC", 0x0B, 1, &unsimulated::kOutputCompares},
    UnsimulatedRegister{"OC1M", 0x0C, 1, &unsimulated::kOutputCompares},
    UnsimulatedRegister{"OC1D", 0x0D, 1, &unsimulated::kOutputCompares},
    UnsimulatedRegister{"TIC1", 0x10, 2, &unsimulated::kInputCaptures},
    UnsimulatedRegister{"TIC2", 0x12, 2, &unsimulated::kInputCaptures},
    UnsimulatedRegister{"TIC3", 0x14, 2, &unsimulated::kInputCaptures},
    UnsimulatedRegister{"TOC1", 0x16, 2, &unsimulated::kOutputCompares},
    UnsimulatedRegister{"TOC2", 0x18, 2, &unsimulated::kOutputCompares},
    UnsimulatedRegister{"TOC3", 0x1A, 2, &unsimulated::kOutputCompares},
    UnsimulatedRegister{"TOC4", 0x1C, 2, &unsimulated::kOutputCompares},
    UnsimulatedRegister{"TI4/O5", 0x1E, 2, &unsimulated::kOutputCompares},
    UnsimulatedRegister{"TCTL1", 0x20, 1, &unsimulated::kOutputCompares},
    UnsimulatedRegister{"TCTL2", 0x21, 1, &unsimulated::kInputCaptures},
    // OC1I-OC4I and I4/O5I, then IC1I-IC3I; the flags of TFLG1 alike.
    UnsimulatedRegister{"TMSK1", 0x22, 1, &unsimulated::kOutputCompares, 0xF8},
    UnsimulatedRegister{"TMSK1", 0x22, 1, &unsimulated::kInputCaptures, 0x07},
    UnsimulatedRegister{"TFLG1", 0x23, 1, &unsimulated::kOutputCompares, 0xF8},
    UnsimulatedRegister{"TFLG1", 0x23, 1, &unsimulated::kInputCaptures, 0x07},
    UnsimulatedRegister{"TMSK2", 0x24, 1, &unsimulated::kPulseAccumulator,
                        bit::kPaovi.mask | bit::kPaii.mask},
    UnsimulatedRegister{"PACTL", 0x26, 1, &unsimulated::kPulseAccumulator,
                        bit::kPaen.mask | bit::kPamod.mask | bit::kPedge.mask},
    UnsimulatedRegister{"PACTL", 0x26, 1, &unsimulated::kInputCaptures, bit::kI4o5.mask},
    UnsimulatedRegister{"PACNT", 0x27, 1, &unsimulated::kPulseAccumulator},
    UnsimulatedRegister{"SPCR", 0x28, 1, &unsimulated::kSpi},
    UnsimulatedRegister{"SPSR", 0x29, 1, &unsimulated::kSpi},
    UnsimulatedRegister{"SPDR", 0x2A, 1, &unsimulated::kSpi},
    UnsimulatedRegister{"BPROT", 0x35, 1, &unsimulated::kEepromProgramming},
    UnsimulatedRegister{"COPRST", 0x3A, 1, &unsimulated::kCop},
    UnsimulatedRegister{"PPROG", 0x3B, 1, &unsimulated::kEepromProgramming},
    UnsimulatedRegister{"CONFIG", 0x3F, 1, &unsimulated::kCop, bit::kNocop.mask},
};

// Entries that reach the same register byte split its bits: a register wholly one peripheral's
// has no other entry.
constexpr bool unsimulatedRegistersAreDistinct() {
    for (std::size_t i = 0; i < kUnsimulatedRegisters.size(); ++i)
        for (std::size_t j = i + 1; j < kUnsimulatedRegisters.size(); ++j) {
            const UnsimulatedRegister& a = kUnsimulatedRegisters[i];
            const UnsimulatedRegister& b = kUnsimulatedRegisters[j];
            const bool overlap = a.index < b.index + b.size && b.index < a.index + a.size;
            if (overlap && (a.bits & b.bits) != 0) return false;
        }
    return true;
}
static_assert(unsimulatedRegistersAreDistinct());

// "the program wrote TOC1 at 1016; output compares are not simulated, so their registers act
// as plain memory": the note's text, which each front end introduces in its own way.
std::string unsimulatedWriteText(const UnsimulatedRegister& entry, std::uint16_t address);

}  // namespace tarnwick
