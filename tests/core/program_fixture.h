#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "core/interrupts.h"
#include "core/machine.h"
#include "support/fake_host.h"

namespace tarnwick::testing {

// A machine with RAM everywhere but the register block, reset into a program placed at
// 0x8000 with the stack at 0x00FF, and helpers to give addresses source lines.
class ProgramFixture : public ::testing::Test {
  protected:
    static constexpr std::uint16_t kStart = 0x8000;

    FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);

    ProgramFixture() {
        setMemoryKind(machine->memory, 0x0000, 0xFFFF, MemoryKind::Ram);
        setMemoryKind(machine->memory, 0x1000, 0x103F, MemoryKind::Io);
        setWord(kResetVector, kStart);
    }

    void load(std::uint16_t address, std::initializer_list<std::uint8_t> bytes) {
        for (std::uint8_t byte : bytes) machine->poke(address++, byte);
    }

    void setWord(std::uint16_t address, std::uint16_t word) {
        machine->poke(address, static_cast<std::uint8_t>(word >> 8));
        machine->poke(static_cast<std::uint16_t>(address + 1), static_cast<std::uint8_t>(word));
    }

    // Resets the machine and clears I so that maskable interrupts can be taken.
    void resetWithStack(std::uint16_t sp = 0x00FF) {
        machineReset(*machine);
        machine->sp = sp;
    }

    void markLine(std::uint16_t address, std::uint16_t line) {
        machine->memory[address].line = line;
    }

    void setBreakpoint(std::uint16_t address, std::uint16_t hitCount) {
        machine->memory[address].flags |= kBreakpointFlag;
        machine->memory[address].hitCount = hitCount;
        ++machine->activeStopCount;
    }
};

}  // namespace tarnwick::testing
