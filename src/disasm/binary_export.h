#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/machine.h"

namespace tarnwick {

// An EPROM the image is written for: the image runs from `start` to FFFF.
struct EpromChoice {
    std::string_view item;
    std::uint16_t start;
};

// The "Start Address" choices of the save-to-binary dialog, in the dialog's order; the first
// is selected whenever the dialog is shown.
inline constexpr std::array<EpromChoice, 7> kEpromChoices{{
    {"F800-FFFF (2716/M68HC11E2)", 0xF800},
    {"F000-FFFF (2732)", 0xF000},
    {"E000-FFFF (2764)", 0xE000},
    {"C000-FFFF (27128)", 0xC000},
    {"8000-FFFF (27256)", 0x8000},
    {"0000-FFFF (27512)", 0x0000},
    {"D000-FFFF (M68HC(7)11E9)", 0xD000},
}};

// The value bytes from `start` to FFFF (direct access).
std::vector<std::uint8_t> binaryImage(const Machine& machine, std::uint16_t start);

// The project file's path with its last four characters replaced by ".bin".
std::filesystem::path binaryFileName(const std::filesystem::path& projectFile);

// OK in the dialog: writes the image for `kEpromChoices[choice]` beside the project file,
// replacing an existing file or link. Returns what went wrong, empty on success.
std::string saveBinary(const Machine& machine, const std::filesystem::path& projectFile,
                       std::size_t choice);

}  // namespace tarnwick
