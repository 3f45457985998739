#include "peripherals/unsimulated_registers.h"

#include <bit>

#include "base/number_text.h"

namespace tarnwick {

std::string unsimulatedWriteText(const UnsimulatedRegister& entry, std::uint16_t address) {
    const UnsimulatedPeripheral& peripheral = *entry.peripheral;
    std::string text = "the program wrote " + std::string(entry.name) + " at " +
                       hexText(address, 4) + "; " + std::string(peripheral.name) +
                       (peripheral.plural ? " are" : " is") + " not simulated, so " +
                       (peripheral.plural ? "their " : "its ");
    if (!entry.shared()) return text + "registers act as plain memory";
    const bool oneBit = std::popcount(entry.bits) == 1;
    return text + (oneBit ? "bit in " : "bits in ") + std::string(entry.name) +
           (oneBit ? " acts" : " act") + " as plain memory";
}

}  // namespace tarnwick
