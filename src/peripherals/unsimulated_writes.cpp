#include "peripherals/unsimulated_writes.h"

namespace tarnwick {

UnsimulatedWrites::UnsimulatedWrites(PeripheralBus& bus, const Note& note)
    : registers_(bus.registers), note_(note) {
    RegisterTable& table = bus.registerTable;
    for (const UnsimulatedRegister& entry : kUnsimulatedRegisters)
        for (std::uint8_t index = entry.index; index < entry.index + entry.size; ++index) {
            Slot& slot = slots_[index];
            if (slot.writes) continue;  // claimed for another entry of the register
            slot = {this, index, table.handlers(index)};
            RegisterHandlers handlers = slot.passedOn;
            handlers.owner = &slot;
            handlers.write8 = &UnsimulatedWrites::write8;
            handlers.writeInWord = &UnsimulatedWrites::writeInWord;
            if (handlers.afterRead8) handlers.afterRead8 = &UnsimulatedWrites::afterRead8;
            table.claim(index, handlers);
        }
}

void UnsimulatedWrites::write8(void* owner, std::uint8_t value) {
    const Slot& slot = *static_cast<const Slot*>(owner);
    slot.writes->noteFirstWrites(slot.index, value);
    slot.writes->store(slot, slot.passedOn.write8, value);
}

void UnsimulatedWrites::writeInWord(void* owner, std::uint8_t value) {
    const Slot& slot = *static_cast<const Slot*>(owner);
    slot.writes->noteFirstWrites(slot.index, value);
    slot.writes->store(slot, slot.passedOn.writeInWord, value);
}

void UnsimulatedWrites::afterRead8(void* owner) {
    const Slot& slot = *static_cast<const Slot*>(owner);
    slot.passedOn.afterRead8(slot.passedOn.owner);
}

void UnsimulatedWrites::store(const Slot& slot, RegisterHandlers::Write handler,
                              std::uint8_t value) {
    if (handler)
        handler(slot.passedOn.owner, value);
    else
        registers_[slot.index] = value;
}

void UnsimulatedWrites::noteFirstWrites(std::uint8_t index, std::uint8_t value) {
    if (!note_) return;
    const auto changed = static_cast<std::uint8_t>(registers_[index] ^ value);
    for (const UnsimulatedRegister& entry : kUnsimulatedRegisters) {
        const std::uint8_t bit = entry.peripheral->noteBit;
        if (!entry.covers(index) || (noted_ & bit) != 0) continue;
        if (entry.shared() && (changed & entry.bits) == 0) continue;
        noted_ |= bit;
        note_(entry, static_cast<std::uint16_t>(kIoBase + index));
    }
}

}  // namespace tarnwick
