#pragma once

#include <cstdint>

#include "base/address_record.h"

namespace tarnwick {

// The register block is fixed at 1000-103F; a register's index is its address - 0x1000.
inline constexpr std::uint16_t kIoBase = 0x1000;
inline constexpr std::uint8_t kIoRegisterCount = 0x40;

namespace reg {
inline constexpr std::uint8_t kPortA = 0x00;
inline constexpr std::uint8_t kPioc = 0x02;
inline constexpr std::uint8_t kPortE = 0x0A;
inline constexpr std::uint8_t kTcntHigh = 0x0E;
inline constexpr std::uint8_t kTcntLow = 0x0F;
inline constexpr std::uint8_t kTflg1 = 0x23;
inline constexpr std::uint8_t kTmsk2 = 0x24;
inline constexpr std::uint8_t kTflg2 = 0x25;
inline constexpr std::uint8_t kPactl = 0x26;
inline constexpr std::uint8_t kSpdr = 0x2A;
inline constexpr std::uint8_t kBaud = 0x2B;
inline constexpr std::uint8_t kSccr1 = 0x2C;
inline constexpr std::uint8_t kSccr2 = 0x2D;
inline constexpr std::uint8_t kScsr = 0x2E;
inline constexpr std::uint8_t kScdr = 0x2F;
inline constexpr std::uint8_t kAdctl = 0x30;
inline constexpr std::uint8_t kAdr1 = 0x31;
inline constexpr std::uint8_t kOption = 0x39;
inline constexpr std::uint8_t kInit = 0x3D;
inline constexpr std::uint8_t kConfig = 0x3F;
}  // namespace reg

// The register bytes are the value bytes of the address records, so every view of memory
// sees what the program sees. Index 0x40 reaches the plain cell at 0x1040, which the 16-bit
// accesses at CONFIG touch.
class IoRegisters {
  public:
    explicit IoRegisters(AddressSpace& memory) : cells_(&memory[kIoBase]) {}

    std::uint8_t& operator[](std::uint8_t index) const { return cells_[index].value; }

  private:
    AddressRecord* cells_;
};

}  // namespace tarnwick
