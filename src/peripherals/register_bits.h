#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "peripherals/io_registers.h"

namespace tarnwick {

// One named bit of a register (or a field, when the mask has more than one bit), with the
// names of the 68HC11 reference manual.
struct RegisterBit {
    std::string_view name;
    std::uint8_t index;  // register index: address - 0x1000
    std::uint8_t mask;

    bool isSetIn(std::uint8_t value) const { return (value & mask) != 0; }
    bool operator==(const RegisterBit&) const = default;
};

// Every bit is spelled here once; the peripherals' conditions and the windows take them from
// here.
namespace bit {
// TMSK2
inline constexpr RegisterBit kToi{"TOI", reg::kTmsk2, 0x80};
inline constexpr RegisterBit kRtii{"RTII", reg::kTmsk2, 0x40};
inline constexpr RegisterBit kPaovi{"PAOVI", reg::kTmsk2, 0x20};
inline constexpr RegisterBit kPaii{"PAII", reg::kTmsk2, 0x10};
inline constexpr RegisterBit kPr{"PR", reg::kTmsk2, 0x03};  // the timer prescaler
// TFLG2
inline constexpr RegisterBit kTof{"TOF", reg::kTflg2, 0x80};
inline constexpr RegisterBit kRtif{"RTIF", reg::kTflg2, 0x40};
inline constexpr RegisterBit kPaovf{"PAOVF", reg::kTflg2, 0x20};
inline constexpr RegisterBit kPaif{"PAIF", reg::kTflg2, 0x10};
// PACTL
inline constexpr RegisterBit kPaen{"PAEN", reg::kPactl, 0x40};
inline constexpr RegisterBit kPamod{"PAMOD", reg::kPactl, 0x20};
inline constexpr RegisterBit kPedge{"PEDGE", reg::kPactl, 0x10};
inline constexpr RegisterBit kI4o5{"I4/O5", reg::kPactl, 0x04};  // IC4 rather than OC5
inline constexpr RegisterBit kRtr{"RTR", reg::kPactl, 0x03};     // the RTI rate
// BAUD
inline constexpr RegisterBit kTclr{"TCLR", reg::kBaud, 0x80};
inline constexpr RegisterBit kScp{"SCP", reg::kBaud, 0x30};  // the baud prescaler
inline constexpr RegisterBit kRckb{"RCKB", reg::kBaud, 0x08};
inline constexpr RegisterBit kScr{"SCR", reg::kBaud, 0x07};  // the baud rate divider
// SCCR1
inline constexpr RegisterBit kR8{"R8", reg::kSccr1, 0x80};
inline constexpr RegisterBit kT8{"T8", reg::kSccr1, 0x40};
inline constexpr RegisterBit kM{"M", reg::kSccr1, 0x10};
inline constexpr RegisterBit kWake{"WAKE", reg::kSccr1, 0x08};
// SCCR2
inline constexpr RegisterBit kTie{"TIE", reg::kSccr2, 0x80};
inline constexpr RegisterBit kTcie{"TCIE", reg::kSccr2, 0x40};
inline constexpr RegisterBit kRie{"RIE", reg::kSccr2, 0x20};
inline constexpr RegisterBit kIlie{"ILIE", reg::kSccr2, 0x10};
inline constexpr RegisterBit kTe{"TE", reg::kSccr2, 0x08};
inline constexpr RegisterBit kRe{"RE", reg::kSccr2, 0x04};
inline constexpr RegisterBit kRwu{"RWU", reg::kSccr2, 0x02};
inline constexpr RegisterBit kSbk{"SBK", reg::kSccr2, 0x01};
// SCSR
inline constexpr RegisterBit kTdre{"TDRE", reg::kScsr, 0x80};
inline constexpr RegisterBit kTc{"TC", reg::kScsr, 0x40};
inline constexpr RegisterBit kRdrf{"RDRF", reg::kScsr, 0x20};
inline constexpr RegisterBit kIdle{"IDLE", reg::kScsr, 0x10};
inline constexpr RegisterBit kOr{"OR", reg::kScsr, 0x08};
inline constexpr RegisterBit kNf{"NF", reg::kScsr, 0x04};
inline constexpr RegisterBit kFe{"FE", reg::kScsr, 0x02};
// ADCTL
inline constexpr RegisterBit kCcf{"CCF", reg::kAdctl, 0x80};
inline constexpr RegisterBit kScan{"SCAN", reg::kAdctl, 0x20};
inline constexpr RegisterBit kMult{"MULT", reg::kAdctl, 0x10};
inline constexpr RegisterBit kCd{"CD", reg::kAdctl, 0x08};
inline constexpr RegisterBit kChannel{"CH", reg::kAdctl, 0x07};  // CC:CB:CA
// OPTION
inline constexpr RegisterBit kAdpu{"ADPU", reg::kOption, 0x80};
inline constexpr RegisterBit kCsel{"CSEL", reg::kOption, 0x40};
inline constexpr RegisterBit kIrqe{"IRQE", reg::kOption, 0x20};
inline constexpr RegisterBit kDly{"DLY", reg::kOption, 0x10};
inline constexpr RegisterBit kCme{"CME", reg::kOption, 0x08};
inline constexpr RegisterBit kCr{"CR", reg::kOption, 0x03};  // the COP timer rate
// CONFIG
inline constexpr RegisterBit kNocop{"NOCOP", reg::kConfig, 0x04};
}  // namespace bit

// All of them, register by register, for the windows to look up by name.
inline constexpr std::array kRegisterBits{
    bit::kToi,   bit::kRtii, bit::kPaovi, bit::kPaii,  bit::kPr,    bit::kTof,  bit::kRtif,
    bit::kPaovf, bit::kPaif, bit::kPaen,  bit::kPamod, bit::kPedge, bit::kI4o5, bit::kRtr,
    bit::kTclr,  bit::kScp,  bit::kRckb,  bit::kScr,   bit::kR8,    bit::kT8,   bit::kM,
    bit::kWake,  bit::kTie,  bit::kTcie,  bit::kRie,   bit::kIlie,  bit::kTe,   bit::kRe,
    bit::kRwu,   bit::kSbk,  bit::kTdre,  bit::kTc,    bit::kRdrf,  bit::kIdle, bit::kOr,
    bit::kNf,    bit::kFe,   bit::kCcf,   bit::kScan,  bit::kMult,  bit::kCd,   bit::kChannel,
    bit::kAdpu,  bit::kCsel, bit::kIrqe,  bit::kDly,   bit::kCme,   bit::kCr,   bit::kNocop,
};

// No two entries share a name or, within one register, a bit.
constexpr bool registerBitsAreDistinct() {
    for (std::size_t i = 0; i < kRegisterBits.size(); ++i)
        for (std::size_t j = i + 1; j < kRegisterBits.size(); ++j) {
            const RegisterBit& a = kRegisterBits[i];
            const RegisterBit& b = kRegisterBits[j];
            if (a.name == b.name || (a.index == b.index && (a.mask & b.mask) != 0)) return false;
        }
    return true;
}
static_assert(registerBitsAreDistinct());

// Every bit of the register that has a name: the bits that exist, where the others read 0.
constexpr std::uint8_t implementedBits(std::uint8_t index) {
    std::uint8_t bits = 0;
    for (const RegisterBit& entry : kRegisterBits)
        if (entry.index == index) bits |= entry.mask;
    return bits;
}

// The bit of that name, or null for a name not in the table.
constexpr const RegisterBit* findRegisterBit(std::string_view name) {
    for (const RegisterBit& entry : kRegisterBits)
        if (entry.name == name) return &entry;
    return nullptr;
}

}  // namespace tarnwick
