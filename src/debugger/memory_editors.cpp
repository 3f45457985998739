#include "debugger/memory_editors.h"

#include <random>

#include "base/number_text.h"

namespace tarnwick {

RamEditor::RamEditor(const Machine& machine, std::uint16_t lineAddress)
    : from(FieldWidth::Word, lineAddress),
      to(FieldWidth::Word, static_cast<std::uint16_t>(lineAddress + kLineBytes - 1)),
      fill(FieldWidth::Byte, 0),
      lineAddress_(lineAddress) {
    for (std::size_t i = 0; i < kLineBytes; ++i)
        bytes[i] =
            HexField(FieldWidth::Byte, machine.peek(static_cast<std::uint16_t>(lineAddress + i)));
}

std::string RamEditor::rowLabel(int row) const {
    // The second row's own address: a RAM block may start a line off the 16-byte grid.
    return hexText(static_cast<std::uint16_t>(lineAddress_ + 8 * row), 4) + ":";
}

std::string RamEditor::characterLabel(std::size_t i) const {
    return printableCharacter(static_cast<std::uint8_t>(bytes[i].value()));
}

void RamEditor::accept(Machine& machine, DebugDisplay& display) const {
    if (mode == Mode::OneBlock) {
        for (std::size_t i = 0; i < kLineBytes; ++i)
            machine.poke(static_cast<std::uint16_t>(lineAddress_ + i),
                         static_cast<std::uint8_t>(bytes[i].value()));
    } else if (from.value() >= to.value()) {
        machine.host.showError(kRefusedFillRangeError);
        display.refresh(kWatchList);
        return;
    } else {
        fillRange(machine);
    }
    machine.memoryChanged = true;
    display.refresh(kRamView | kStackView | kWatchValues);
}

void RamEditor::fillRange(Machine& machine) const {
    std::mt19937 generator(machine.host.timeSeed());
    std::uniform_int_distribution<int> randomByte(0, 0xFF);
    for (std::uint32_t address = from.value(); address <= to.value(); ++address) {
        AddressRecord& record = machine.memory[address];
        if (record.kind() != MemoryKind::Ram) continue;
        record.value = random ? static_cast<std::uint8_t>(randomByte(generator))
                              : static_cast<std::uint8_t>(fill.value());
    }
}

StackByteEditor::StackByteEditor(const Machine& machine, std::uint16_t address)
    : byte(FieldWidth::Byte, machine.peek(address)), address_(address) {}

std::string StackByteEditor::addressLabel() const {
    return hexText(address_, 4) + ":";
}

void StackByteEditor::accept(Machine& machine, DebugDisplay& display) const {
    machine.poke(address_, byteValue());
    machine.memoryChanged = true;
    display.refresh(kStackView | kRamView | kWatchValues);
}

}  // namespace tarnwick
