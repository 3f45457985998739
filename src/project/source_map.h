#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tarnwick {

inline constexpr std::size_t kModuleTableSize = 256;
inline constexpr std::size_t kSymbolTableSize = 1024;

// A named data location (RAM or I/O) offered for watches.
struct MEMORYSYM {
    std::string name;
    std::uint16_t address = 0;
};

// The tables behind source-level debugging. Which line an address belongs to is kept in the
// address records themselves (module index and line); these tables give the module index a
// file name and list the data symbols.
struct SourceMap {
    // Source file names as written in the symbol or debug file, filled from index 0; the
    // first empty entry ends the list.
    std::array<std::string, kModuleTableSize> modules;
    std::array<MEMORYSYM, kSymbolTableSize> symbols;

    // Numbers the generated disassembly files that stand in for code without a source. It
    // lives here because every load that starts the map over also starts the numbering over.
    unsigned temporaryDisassemblyCounter = 0;

    // Empties both tables and restarts the disassembly numbering.
    void clear();

    // Entries before the first empty one.
    std::size_t moduleCount() const;
};

}  // namespace tarnwick
