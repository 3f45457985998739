#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/address_record.h"
#include "core/memory_map.h"

namespace tarnwick {

// One row of the chip table: the memory texts filled in when the user picks this CPU type.
struct ChipInfo {
    std::string_view name;
    std::string_view romRanges;
    std::string_view readWriteRanges;
    std::string_view thirdRanges;
    bool bprotBoxesEnabled;  // only the E-series chips have block-protected EEPROM
};

inline constexpr std::array<ChipInfo, 6> kChipTable{{
    {"M68HC11A0", "E000 FFFF", "0000 00FF", "", false},
    {"M68HC11A1", "E000 FFFF", "0000 00FF", "B600 B7FF", false},
    {"M68HC11E0", "E000 FFFF", "0000 01FF", "", true},
    {"M68HC11E1", "E000 FFFF", "0000 01FF", "B600 B7FF", true},
    {"M68HC(7)11E9", "D000 FFFF", "0000 01FF", "B600 B7FF", true},
    {"M68HC811E2", "F800 FFFF", "0000 00FF", "", false},
}};

inline constexpr std::array<std::string_view, 6> kCrystalNames{
    "3.6864 MHz", "4 MHz", "4.9152 MHz", "8 MHz", "9.8304 MHz", "12 MHz"};

// The chip table row whose name matches exactly, or null for a name not in the table.
const ChipInfo* findChip(std::string_view name);

// Splits a range text into (start, end) pairs. Characters below '!' separate tokens; each
// token is hexadecimal, taken modulo 0x10000; an unpaired last token is ignored. A pair
// with a token that is not hexadecimal is dropped as a whole, so the pairs after it keep
// their positions: the dialog only lets hex digits in, and a hand-edited project file
// should not make memory map loading fail.
std::vector<AddressRange> parseRangeText(std::string_view text);

// The most characters a range text holds: what the dialog's edit boxes take (Qt's limit).
inline constexpr std::size_t kMaxRangeTextLength = 32767;

// Cuts a longer text to its first kMaxRangeTextLength characters, dropping a token split by
// the cut, so that it keeps exactly the ranges the dialog would show. True when it cut.
bool limitRangeText(std::string& text);

struct MemoryRangeEntry {
    bool inUse = false;
    std::uint16_t start = 0;
    std::uint16_t end = 0;
    bool operator==(const MemoryRangeEntry&) const = default;
};

// What the RAM and ROM views list. Ranges beyond these capacities still set memory kinds,
// they are just not listed.
struct MemoryRangeLists {
    std::array<MemoryRangeEntry, 8> readWrite;
    std::array<MemoryRangeEntry, 4> readOnly;
};

// Reads one key of the project file's CPU section; nullopt when the key is absent.
using ConfigurationReader = std::function<std::optional<std::string>(std::string_view key)>;
using ConfigurationWriter = std::function<void(std::string_view key, std::string_view value)>;

// Which 68HC11 is simulated, at which crystal, and where its ROM, RAM and I/O are.
// The TMSK2, BPROT and IRQ choices are only stored and shown; the simulated reset values
// of those registers do not depend on them.
struct CpuConfiguration {
    std::string cpuType = "M68HC11E1";
    std::string crystal = "8 MHz";
    std::array<bool, 4> bprot{true, true, true, true};
    int tmsk2Prescaler = 0;  // 0-3
    int irqChoice = 0;       // 0 = low level, 1 = falling edge
    std::string romRanges = "E000 FFFF";
    std::string readWriteRanges = "0000 01FF";
    std::string thirdRanges = "B600 B7FF";  // labelled I/O, but its ranges become RAM
    bool randomMemory = true;

    MemoryRangeLists rangeLists;  // rebuilt by applyMemoryMap

    // Back to the values held before any project is loaded; the memory map is left alone.
    void reset();

    // Takes every key from the project file, the project defaults for missing keys or
    // unreadable numbers, then applies the memory map. Returns the keys of the range texts
    // that limitRangeText cut.
    std::vector<std::string_view> load(const ConfigurationReader& read, AddressSpace& memory);

    // Writes the twelve keys in their stored forms.
    void store(const ConfigurationWriter& write) const;

    // Rebuilds every memory kind from the three range texts and refills the range lists;
    // every address is written once, however many ranges there are.
    void applyMemoryMap(AddressSpace& memory);
};

}  // namespace tarnwick
