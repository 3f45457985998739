#include "peripherals/register_table.h"

namespace tarnwick {

std::uint8_t RegisterTable::read8(std::uint8_t index) {
    const std::uint8_t value = masked(index);
    const RegisterHandlers& handlers = handlers_[index];
    if (handlers.afterRead8) handlers.afterRead8(handlers.owner);
    return value;
}

std::uint16_t RegisterTable::read16(std::uint8_t index) const {
    return static_cast<std::uint16_t>(masked(index) << 8 | masked(index + 1));
}

void RegisterTable::write8(std::uint8_t index, std::uint8_t value) {
    store(handlers_[index].write8, index, value);
}

void RegisterTable::write16(std::uint8_t index, std::uint16_t value) {
    if (handlers_[index].ignoresWordWrites) return;
    store(handlers_[index].writeInWord, index, static_cast<std::uint8_t>(value >> 8));
    store(handlers_[index + 1].writeInWord, index + 1, static_cast<std::uint8_t>(value));
}

void RegisterTable::store(RegisterHandlers::Write handler, std::uint8_t index, std::uint8_t value) {
    if (handler)
        handler(handlers_[index].owner, value);
    else
        registers_[index] = value;
}

}  // namespace tarnwick
