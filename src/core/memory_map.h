#pragma once

#include <cstdint>
#include <span>

#include "base/address_record.h"

namespace tarnwick {

struct AddressRange {
    std::uint16_t start = 0;
    std::uint16_t end = 0;
    bool operator==(const AddressRange&) const = default;
};

// Ranges that all get one memory kind; a range whose start lies past its end is skipped.
struct MemoryRangeStep {
    std::span<const AddressRange> ranges;
    MemoryKind kind;
};

// Rebuilds the memory kind of every address: later steps win where ranges overlap, the
// register block is always I/O and addresses in no range are undefined. Each address is
// written once, however many ranges there are.
void applyMemoryMap(AddressSpace& memory, std::span<const MemoryRangeStep> steps);

}  // namespace tarnwick
