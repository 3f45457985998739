#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "base/address_record.h"
#include "core/host.h"
#include "peripherals/peripherals.h"

namespace tarnwick {

// The eight condition flags; as a byte S is bit 7 and C bit 0.
struct ConditionFlags {
    bool s = false;
    bool x = false;
    bool h = false;
    bool i = false;
    bool n = false;
    bool z = false;
    bool v = false;
    bool c = false;

    std::uint8_t byte() const {
        return static_cast<std::uint8_t>(s << 7 | x << 6 | h << 5 | i << 4 | n << 3 | z << 2 |
                                         v << 1 | c);
    }
    // TAP and RTI: every flag from the byte, except that X can be cleared but never set.
    void loadByte(std::uint8_t value) {
        s = value & 0x80;
        x = x && (value & 0x40);
        h = value & 0x20;
        i = value & 0x10;
        n = value & 0x08;
        z = value & 0x04;
        v = value & 0x02;
        c = value & 0x01;
    }
};

// Requests that end a run loop (see run_loops.h).
struct RunRequests {
    bool stop = false;
    bool pause = false;
    bool reset = false;
};

// The one temporary stop of run-to-address; `savedFlags` is the target's whole flag byte
// before the stop flag was set. `reached` tells that a run stopped there by the temporary
// stop alone, with no other stop request in the same step.
struct TemporaryStop {
    std::uint16_t address = 0;
    std::uint8_t savedFlags = 0;
    bool reached = false;
};

// How a run loop ended: the steps it ran, and whether a stop request ended it rather than a
// step budget.
struct RunOutcome {
    std::uint64_t steps = 0;
    bool stopped = false;
};
inline constexpr std::uint64_t kNoStepBudget = UINT64_MAX;

// Thrown by a checked access when the user answers No to an invalid-access warning, after the
// program reset: the rest of the instruction must not touch the state the reset produced.
// The run loops catch it and end.
struct InstructionAbandoned {};

// One simulated 68HC11: registers, flags, execution states, cycle counters, the 65,536
// address records and the on-chip peripherals. It is large (over 1 MB), so allocate it once.
class Machine {
  public:
    explicit Machine(Host& host);
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    std::uint8_t a = 0;
    std::uint8_t b = 0;
    std::uint16_t ix = 0;
    std::uint16_t iy = 0;
    std::uint16_t sp = 0;
    std::uint16_t pc = 0;
    ConditionFlags flags;
    std::uint16_t instructionAddress = 0;  // where the executing instruction (or its prefix) starts

    bool waitState = false;  // WAI has stacked the registers and waits for an interrupt
    bool stopState = false;  // STOP idles until XIRQ or reset

    std::uint32_t cycleCounter = 0;     // E cycles since reset, wrapping
    std::uint8_t stepCycles = 0;        // cycles of the last instruction or interrupt entry
    std::uint32_t cliMark = 0;          // cycle counter right after the last CLI
    std::uint32_t lastShownCycles = 0;  // kept for the cycle and time display
    std::uint32_t timeTotal = 0;        // cycles accumulated for the time display

    bool memoryChanged = false;
    RunRequests requests;
    TemporaryStop temporaryStop;
    std::uint16_t activeStopCount = 0;  // breakpoints plus temporary stops; 0 = plain loops

    AddressSpace memory;
    Peripherals peripherals;
    Host& host;

    // Program Reset. The machine reset until the debugger installs its own.
    std::function<void()> programReset;

    std::uint16_t d() const { return static_cast<std::uint16_t>(a << 8 | b); }
    void setD(std::uint16_t value) {
        a = static_cast<std::uint8_t>(value >> 8);
        b = static_cast<std::uint8_t>(value);
    }

    // Checked access: obeys the memory map, warns about invalid accesses and hands
    // I/O addresses to the peripherals. A 16-bit access takes the kind of its first byte.
    std::uint8_t read8(std::uint16_t address);
    std::uint16_t read16(std::uint16_t address);
    void write8(std::uint16_t address, std::uint8_t value);
    void write16(std::uint16_t address, std::uint16_t value);
    // Operand bytes at PC: the 8-bit fetch moves PC on before its read, the 16-bit one after.
    std::uint8_t fetch8();
    std::uint16_t fetch16();

    // Direct access: the value byte, without checks, warnings or I/O side effects.
    std::uint8_t peek(std::uint16_t address) const { return memory[address].value; }
    std::uint16_t peek16(std::uint16_t address) const {
        return static_cast<std::uint16_t>(peek(address) << 8 | peek(address + 1));
    }
    void poke(std::uint16_t address, std::uint8_t value) { memory[address].value = value; }

    // Raises the stop request; the current batch of steps ends after this step.
    void requestStop() {
        requests.stop = true;
        peripherals.demandAttention();
    }

    // After a trap or vector error inside a step: program reset, then the run stops. A No
    // to an invalid-access warning during that reset abandons the step like any other No.
    void stopAfterError();

    // Runs the installed program reset, unless one is already under way (an error in its own
    // run to the first source line): that one stands for it. A No to an invalid-access
    // warning while it runs does not start it again.
    void performProgramReset();

    // The checked read of the reset vector at FFFE. A No to its warning lets the reset go on
    // with PC 0000, since that reset is what the No asks for.
    std::uint16_t readResetVector();

    // ROM becomes FF; every other address 00, or a pseudo-random byte seeded from the clock.
    void fillMemory(bool random);

  private:
    std::uint8_t readOther8(std::uint16_t address);
    std::uint16_t readOther16(std::uint16_t address);
    void writeOther8(std::uint16_t address, std::uint8_t value);
    void writeOther16(std::uint16_t address, std::uint16_t value);
    void warnInvalidAccess(std::string_view reason);

    bool programResetRunning_ = false;
    bool programResetAnsweredNo_ = false;  // during the latest program reset
    bool readingResetVector_ = false;
};

// Bit 0 of the kind is set for ROM (001) and RAM (011) alone, the readable kinds, and bit 1
// for write-only (010) and RAM (011) alone, the writable ones: each test is one bit test.
[[gnu::always_inline]] inline bool isReadable(std::uint8_t flags) {
    return (flags & 0x01) != 0;
}

[[gnu::always_inline]] inline bool isWritable(std::uint8_t flags) {
    return (flags & 0x02) != 0;
}

static_assert(static_cast<int>(MemoryKind::Undefined) == 0 &&
              static_cast<int>(MemoryKind::Rom) == 1 &&
              static_cast<int>(MemoryKind::WriteOnly) == 2 &&
              static_cast<int>(MemoryKind::Ram) == 3 && static_cast<int>(MemoryKind::Io) == 4);

[[gnu::always_inline]] inline std::uint8_t Machine::read8(std::uint16_t address) {
    const AddressRecord& record = memory[address];
    if (isReadable(record.flags)) [[likely]]
        return record.value;
    return readOther8(address);
}

// PC is stored on each path of its own, so that the store of the common path is dead once the
// instruction stores PC again.
[[gnu::always_inline]] inline std::uint8_t Machine::fetch8() {
    const std::uint16_t address = pc;
    const AddressRecord& record = memory[address];
    if (isReadable(record.flags)) [[likely]] {
        pc = static_cast<std::uint16_t>(address + 1);
        return record.value;
    }
    pc = static_cast<std::uint16_t>(address + 1);
    return readOther8(address);
}

[[gnu::always_inline]] inline std::uint16_t Machine::fetch16() {
    const std::uint16_t address = pc;
    if (isReadable(memory[address].flags)) [[likely]] {
        pc = static_cast<std::uint16_t>(address + 2);
        return peek16(address);
    }
    const std::uint16_t word = readOther16(address);
    pc = static_cast<std::uint16_t>(address + 2);
    return word;
}

[[gnu::always_inline]] inline std::uint16_t Machine::read16(std::uint16_t address) {
    if (isReadable(memory[address].flags)) [[likely]]
        return peek16(address);
    return readOther16(address);
}

[[gnu::always_inline]] inline void Machine::write8(std::uint16_t address, std::uint8_t value) {
    AddressRecord& record = memory[address];
    if (isWritable(record.flags)) [[likely]] {
        record.value = value;
        return;
    }
    writeOther8(address, value);
}

[[gnu::always_inline]] inline void Machine::write16(std::uint16_t address, std::uint16_t value) {
    if (isWritable(memory[address].flags)) [[likely]] {
        poke(address, static_cast<std::uint8_t>(value >> 8));
        poke(static_cast<std::uint16_t>(address + 1), static_cast<std::uint8_t>(value));
        return;
    }
    writeOther16(address, value);
}

}  // namespace tarnwick
