#pragma once

#include <array>
#include <cstdint>

#include "peripherals/event_countdown.h"
#include "peripherals/io_registers.h"

namespace tarnwick {

// What one register does when the program reads or writes it. A register nobody claims, and
// every handler left null, is plain storage.
struct RegisterHandlers {
    using Read = void (*)(void* owner);
    using Write = void (*)(void* owner, std::uint8_t value);

    void* owner = nullptr;
    // The clocks whose state the register shows or changes: each access settles them first,
    // and a write asks them for their next event afterwards.
    EventCountdown::ClockMask clocks = 0;
    std::uint8_t readMask = 0xFF;  // the bits reads return; the others read 0
    Read afterRead8 = nullptr;     // the side effects of an 8-bit read
    Write write8 = nullptr;        // null: the byte is stored as written
    // The register's byte of a 16-bit write; null: stored as written, as most registers
    // take none of their 8-bit rules from a 16-bit write.
    Write writeInWord = nullptr;
    bool ignoresWordWrites = false;  // a 16-bit write starting here changes neither byte
};

// The register block's dispatch: one entry per register index, filled by the peripherals
// as they are attached, so each of them answers for the registers it owns.
class RegisterTable {
  public:
    explicit RegisterTable(IoRegisters registers) : registers_(registers) {}

    void claim(std::uint8_t index, const RegisterHandlers& handlers) {
        handlers_[index] = handlers;
    }
    // The handler of a write that changes nothing.
    static void ignoreWrite(void*, std::uint8_t) {}

    EventCountdown::ClockMask clocks(std::uint8_t index) const { return handlers_[index].clocks; }
    // What the register does now, for a claim that passes its accesses on.
    const RegisterHandlers& handlers(std::uint8_t index) const { return handlers_[index]; }

    std::uint8_t read8(std::uint8_t index);
    // Both bytes with their read masks and without side effects.
    std::uint16_t read16(std::uint8_t index) const;
    void write8(std::uint8_t index, std::uint8_t value);
    // The high byte goes to the register at index, the low byte to the next one.
    void write16(std::uint8_t index, std::uint16_t value);

  private:
    std::uint8_t masked(std::uint8_t index) const {
        return registers_[index] & handlers_[index].readMask;
    }
    void store(RegisterHandlers::Write handler, std::uint8_t index, std::uint8_t value);

    IoRegisters registers_;
    // One past the block: a 16-bit access at CONFIG reaches the plain cell at 0x1040.
    std::array<RegisterHandlers, kIoRegisterCount + 1> handlers_{};
};

}  // namespace tarnwick
