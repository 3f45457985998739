#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/machine.h"
#include "project/cpu_configuration.h"

namespace tarnwick {

// The texts of the RAM, ROM and stack views. Bytes of 7F and above stand in the texts as they
// are (Latin-1), so a window shows them as the characters 127-255.

inline constexpr std::string_view kRamViewCaption = "RAM";
inline constexpr std::string_view kRomViewCaption = "ROM";
inline constexpr std::string_view kStackViewCaption = "Stack Pointer, IX, IY";

// ---- RAM and ROM views: sixteen bytes per line ----

// Stands between the lines of two blocks.
inline constexpr std::string_view kBlockSeparatorLine = " ";

// "E000: 00 01 ... 07 - 08 ... 0F ........ - ........ ": the address, the bytes in hex and as
// characters ("." below 20), 77 characters. Bytes past FFFF are those from 0000 on.
std::string dumpLine(const Machine& machine, std::uint16_t address);

// The lines of the blocks in use, in list order, a separator line between two blocks. Every
// byte of a block is shown; its last line runs on past the block's end to sixteen bytes.
// A block whose start lies above its end shows nothing.
std::vector<std::string> dumpLines(const Machine& machine,
                                   std::span<const MemoryRangeEntry> blocks);

// Modify RAM opens for the address in a line's first four characters; not for the separator.
std::optional<std::uint16_t> dumpLineAddress(std::string_view line);

// The RAM view rebuilds only after memory was written: every write of an instruction and of
// the memory editors sets the machine's memory-changed flag. Writes that do not set it (the
// registers an interrupt entry stacks) are found by comparing the bytes the view shows.
class RamView {
  public:
    // When the flag is set or a shown byte changed: clears the flag, rebuilds the lines and
    // returns true; the window then replaces its whole list in one step and selects the line
    // index it had selected before.
    bool rebuild(Machine& machine, const MemoryRangeLists& blocks);
    // Showing the view always rebuilds it.
    void show(Machine& machine, const MemoryRangeLists& blocks);

    const std::vector<std::string>& lines() const { return lines_; }

  private:
    std::vector<std::string> lines_;
    std::vector<std::uint8_t> shownBytes_;  // the blocks' bytes the lines were built from
};

// The ROM view has no flag: it is built whenever it is shown.
std::vector<std::string> romViewLines(const Machine& machine, const MemoryRangeLists& blocks);

// ---- Copy and save of the RAM and ROM views ----

inline constexpr std::string_view kCopyMenuItem = "Copy to the clipboard";  // Ctrl+C
inline constexpr std::string_view kSaveMenuItem = "Save to a file";         // Ctrl+S
inline constexpr std::string_view kSaveRamTitle = "Save RAM to a file";
inline constexpr std::string_view kSaveRomTitle = "Save ROM to a file";
inline constexpr std::string_view kTextFileFilter = "Text file (*.txt)|*.txt";
inline constexpr std::string_view kTextFileDefaultExtension = "*.txt";

// "Copy to the clipboard": all lines, one per text line.
std::string clipboardText(const std::vector<std::string>& lines);

// "OK to overwrite C:\dump.txt ?"
std::string overwriteQuestion(const std::filesystem::path& file);

// "Save to a file" after the save dialog: asks `confirmOverwrite` before replacing an existing
// file (anything but Yes leaves it alone), then writes the lines as UTF-8 text, each ended by
// LF, to a temporary file beside it and renames that over the file, so the file is either the
// old one or the complete new one. Returns the error to show, empty when saved or declined.
std::string saveViewToFile(const std::filesystem::path& file, const std::vector<std::string>& lines,
                           const std::function<bool(std::string_view question)>& confirmOverwrite);

// ---- Stack view: the bytes around SP, IX and IY ----

inline constexpr std::string_view kStackArrow = "<-";

// The name of another pointer register, shown beside the cell it points at.
struct StackMarker {
    std::string_view name;
    bool visible = false;
};

struct StackCell {
    std::uint16_t address = 0;
    std::string text;        // "7FFF: 01"
    std::string_view label;  // "PCL", "SP->", "+1", "-8", or empty
    std::array<StackMarker, 2> markers;
    bool arrowVisible = false;  // when at least one marker is
};

inline constexpr std::size_t kStackCellsPerColumn = 21;

struct StackColumn {
    std::string_view pointer;                           // "SP", "IX" or "IY"
    std::array<StackCell, kStackCellsPerColumn> cells;  // top (highest address) first
};

// SP+12 down to SP-8, IX+10 down to IX-10 and IY+10 down to IY-10, addresses wrapping at 16
// bits. The labels of the SP column mark where an interrupt or SWI stacked the registers.
std::array<StackColumn, 3> stackView(const Machine& machine);

// A double-click on a cell opens the Modify Stack dialog only where the memory is RAM.
bool opensStackEditor(const Machine& machine, std::uint16_t address);

}  // namespace tarnwick
