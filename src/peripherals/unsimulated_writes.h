#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "peripherals/io_registers.h"
#include "peripherals/peripheral_bus.h"
#include "peripherals/register_table.h"
#include "peripherals/unsimulated_registers.h"

namespace tarnwick {

// Tells of the first write to a register of each peripheral the simulator leaves out, once
// per peripheral until the peripherals already noted are forgotten. It claims the registers of
// kUnsimulatedRegisters, so the writes of every other register pass by at no cost. A plain
// register stays plain; of a register another peripheral claimed before (PACTL and TMSK2), the
// write and the read are passed on to that peripheral's handlers after the note. It must
// therefore be attached after every other peripheral.
class UnsimulatedWrites {
  public:
    // Gets the register's entry and the address written.
    using Note = std::function<void(const UnsimulatedRegister&, std::uint16_t address)>;

    UnsimulatedWrites(PeripheralBus& bus, const Note& note);
    UnsimulatedWrites(const UnsimulatedWrites&) = delete;
    UnsimulatedWrites& operator=(const UnsimulatedWrites&) = delete;

    void forget() { noted_ = 0; }

  private:
    // One claimed register: the owner its handlers get.
    struct Slot {
        UnsimulatedWrites* writes = nullptr;
        std::uint8_t index = 0;
        RegisterHandlers passedOn;  // what the register did before it was claimed here
    };
    static void write8(void* slot, std::uint8_t value);
    static void writeInWord(void* slot, std::uint8_t value);
    static void afterRead8(void* slot);

    // Before the byte is stored, while the register still holds its old value.
    void noteFirstWrites(std::uint8_t index, std::uint8_t value);
    void store(const Slot& slot, RegisterHandlers::Write handler, std::uint8_t value);

    IoRegisters registers_;
    const Note& note_;
    std::uint8_t noted_ = 0;  // the note bits of the peripherals already noted
    std::array<Slot, kIoRegisterCount> slots_{};
};

}  // namespace tarnwick
