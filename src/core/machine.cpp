#include "core/machine.h"

#include <random>
#include <string>

#include "base/number_text.h"
#include "base/raised_flag.h"
#include "core/interrupts.h"

namespace tarnwick {

Machine::Machine(Host& hostInterface)
    : peripherals(memory, cycleCounter),
      host(hostInterface),
      programReset([this] { machineReset(*this); }) {}

void Machine::performProgramReset() {
    if (programResetRunning_) return;
    programResetAnsweredNo_ = false;
    const RaisedFlag running(programResetRunning_);
    programReset();
}

std::uint16_t Machine::readResetVector() {
    const RaisedFlag reading(readingResetVector_);
    return read16(kResetVector);
}

void Machine::warnInvalidAccess(std::string_view reason) {
    std::string text = "WARNING: Accessing invalid memory at PC=" + hexText(instructionAddress, 4);
    text += "\nCycle=" + groupThousands(cycleCounter, host.thousandsSeparator());
    text += reason;
    text += "\nChoose YES to continue debugging, NO to reset the system";
    if (host.warnYesNo(text)) return;
    if (programResetRunning_) programResetAnsweredNo_ = true;
    if (readingResetVector_) return;
    // Inside the program reset's own run to the first source line a No ends that run; the
    // reset is not started again.
    if (programResetRunning_) throw InstructionAbandoned{};
    performProgramReset();
    // Only now: the run loop executing this instruction ends after it, without a finish-line run.
    requests.reset = true;
    requestStop();
    throw InstructionAbandoned{};
}

void Machine::stopAfterError() {
    performProgramReset();
    requestStop();
    if (programResetAnsweredNo_) {
        requests.reset = true;
        throw InstructionAbandoned{};
    }
}

std::uint8_t Machine::readOther8(std::uint16_t address) {
    switch (memory[address].kind()) {
        case MemoryKind::Io:
            return peripherals.read8(address);
        case MemoryKind::WriteOnly:
            warnInvalidAccess("\nReading 8-Bit from Write Only Memory");
            break;
        default:
            warnInvalidAccess("\nReading 8-Bit from undef memory");
            break;
    }
    return 0;
}

std::uint16_t Machine::readOther16(std::uint16_t address) {
    switch (memory[address].kind()) {
        case MemoryKind::Io:
            return peripherals.read16(address);
        case MemoryKind::WriteOnly:
            warnInvalidAccess("\nReading 16-Bit from Write Only Memory");
            break;
        default:
            warnInvalidAccess("\nReading 16-Bit from undef memory");
            break;
    }
    return 0;
}

void Machine::writeOther8(std::uint16_t address, std::uint8_t value) {
    switch (memory[address].kind()) {
        case MemoryKind::Io:
            peripherals.write8(address, value);
            break;
        case MemoryKind::Rom:
            warnInvalidAccess("\nWriting 8-Bit to ROM");
            break;
        default:
            warnInvalidAccess("\nWriting 8-Bit to undef memory");
            break;
    }
}

void Machine::writeOther16(std::uint16_t address, std::uint16_t value) {
    switch (memory[address].kind()) {
        case MemoryKind::Io:
            peripherals.write16(address, value);
            break;
        case MemoryKind::Rom:
            warnInvalidAccess("\nWriting 16-Bit to ROM");
            break;
        default:
            warnInvalidAccess("\nWriting 16-Bit to undef memory");
            break;
    }
}

void Machine::fillMemory(bool random) {
    std::mt19937 generator(host.timeSeed());
    std::uniform_int_distribution<int> byte(0, 0xFF);
    for (AddressRecord& record : memory) {
        if (record.kind() == MemoryKind::Rom)
            record.value = 0xFF;
        else
            record.value = random ? static_cast<std::uint8_t>(byte(generator)) : 0x00;
    }
}

}  // namespace tarnwick
