#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "base/address_record.h"
#include "core/instruction_engine.h"
#include "core/machine.h"
#include "support/fake_host.h"

namespace tarnwick::testing {

// A machine with RAM over the whole address space, every byte 0 and every register 0, driven
// one instruction at a time by the engine (no interrupt poll, no peripheral tick).
class MachineTest : public ::testing::Test {
  protected:
    MachineTest() { setMemoryKind(machine->memory, 0x0000, 0xFFFF, MemoryKind::Ram); }

    // Stores the bytes from address on, without memory-kind checks.
    void load(std::uint16_t address, std::initializer_list<std::uint8_t> bytes) {
        for (const std::uint8_t byte : bytes) machine->poke(address++, byte);
    }

    // Sets PC to address and executes count instructions.
    void executeAt(std::uint16_t address, int count = 1) {
        machine->pc = address;
        step(count);
    }

    void step(int count = 1) {
        for (int i = 0; i < count; ++i) executeInstruction(*machine);
    }

    FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
};

}  // namespace tarnwick::testing
