#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tarnwick {

// What the memory map allows at an address (bits 0-2 of the flag byte).
enum class MemoryKind : std::uint8_t {
    Undefined = 0,
    Rom = 1,
    WriteOnly = 2,
    Ram = 3,
    Io = 4,
};

inline constexpr std::uint8_t kMemoryKindMask = 0x07;
inline constexpr std::uint8_t kTemporaryStopFlag = 0x08;
inline constexpr std::uint8_t kBreakpointFlag = 0x10;

// Everything the simulator and the debugger know about one address. The run loops test
// source line, hit, hit count and the stop flags of PC at every step, so they live here
// beside the memory byte instead of in separate lists.
//
// The flags and the hit count lie in the first four bytes, so that the checking run loop
// learns from one load that an address holds neither a stop nor a breakpoint test.
struct AddressRecord {
    std::uint8_t value = 0;
    std::uint8_t flags = 0;
    std::uint16_t hitCount = 0;  // 0 = no breakpoint test here
    std::uint8_t module = 0;     // index into the module table
    std::uint16_t line = 0;      // 1-based source line starting here, 0 = none
    std::uint16_t hit = 0;
    std::uint16_t returnSlot = 0;  // where a C function keeps its return address, 0 = unknown
    std::uint32_t executionCount = 0;

    MemoryKind kind() const { return static_cast<MemoryKind>(flags & kMemoryKindMask); }
};
static_assert(sizeof(AddressRecord) == 16);
static_assert(offsetof(AddressRecord, flags) == 1 && offsetof(AddressRecord, hitCount) == 2);

// Whether the address has the temporary stop or a breakpoint test (a hit count), read as the
// record's first four bytes.
inline bool hasStopFields(const AddressRecord& record) {
    struct Head {
        std::uint8_t value;
        std::uint8_t flags;
        std::uint16_t hitCount;
    };
    static constexpr auto kStopFields =
        std::bit_cast<std::uint32_t>(Head{0, kTemporaryStopFlag, 0xFFFF});
    std::uint32_t head;
    std::memcpy(&head, &record, sizeof head);
    return (head & kStopFields) != 0;
}

inline constexpr std::size_t kAddressSpaceSize = 0x10000;
using AddressSpace = std::array<AddressRecord, kAddressSpaceSize>;

// Replaces the whole flag byte of first..last (inclusive) with the kind; this also clears
// the temporary stop and breakpoint flags there, but leaves hit and hit count alone.
inline void setMemoryKind(AddressSpace& memory, std::uint16_t first, std::uint16_t last,
                          MemoryKind kind) {
    for (std::uint32_t address = first; address <= last; ++address)
        memory[address].flags = static_cast<std::uint8_t>(kind);
}

}  // namespace tarnwick
