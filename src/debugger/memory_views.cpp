#include "debugger/memory_views.h"

#include <system_error>

#include "base/file_text.h"
#include "base/number_text.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kDumpLineLength = 77;

char printable(std::uint8_t value) {
    return value < 0x20 ? '.' : static_cast<char>(value);
}

// ---- Stack view layout ----

enum class Pointer { Sp, Ix, Iy };

struct ColumnLayout {
    Pointer pointer;
    int topOffset;  // the top cell's distance above the pointer
    std::array<std::string_view, kStackCellsPerColumn> labels;
    std::array<Pointer, 2> others;
};

constexpr std::array<ColumnLayout, 3> kStackColumns{{
    {Pointer::Sp,
     12,
     {"",    "",     "",   "PCL", "PCH", "IYL", "IYH", "IXL", "IXH", "ACCA", "ACCB",
      "CCR", "SP->", "-1", "-2",  "-3",  "-4",  "-5",  "-6",  "-7",  "-8"},
     {Pointer::Ix, Pointer::Iy}},
    {Pointer::Ix,
     10,
     {"+10", "+9", "+8", "+7", "+6", "+5", "+4", "+3", "+2", "+1", "IX->",
      "-1",  "-2", "-3", "-4", "-5", "-6", "-7", "-8", "-9", "-10"},
     {Pointer::Sp, Pointer::Iy}},
    {Pointer::Iy,
     10,
     {"+10", "+9", "+8", "+7", "+6", "+5", "+4", "+3", "+2", "+1", "IY->",
      "-1",  "-2", "-3", "-4", "-5", "-6", "-7", "-8", "-9", "-10"},
     {Pointer::Sp, Pointer::Ix}},
}};

std::string_view pointerName(Pointer pointer) {
    switch (pointer) {
        case Pointer::Sp:
            return "SP";
        case Pointer::Ix:
            return "IX";
        default:
            return "IY";
    }
}

std::uint16_t pointerValue(const Machine& machine, Pointer pointer) {
    switch (pointer) {
        case Pointer::Sp:
            return machine.sp;
        case Pointer::Ix:
            return machine.ix;
        default:
            return machine.iy;
    }
}

StackCell stackCell(const Machine& machine, const ColumnLayout& layout, std::size_t row) {
    StackCell cell;
    cell.address = static_cast<std::uint16_t>(pointerValue(machine, layout.pointer) +
                                              layout.topOffset - static_cast<int>(row));
    cell.text = hexText(cell.address, 4) + ": " + hexText(machine.peek(cell.address), 2);
    cell.label = layout.labels[row];
    for (std::size_t i = 0; i < cell.markers.size(); ++i) {
        const Pointer other = layout.others[i];
        cell.markers[i] = {pointerName(other), pointerValue(machine, other) == cell.address};
        cell.arrowVisible = cell.arrowVisible || cell.markers[i].visible;
    }
    return cell;
}

// The bytes the dump lines of the blocks show, in line order.
std::vector<std::uint8_t> blockBytes(const Machine& machine,
                                     std::span<const MemoryRangeEntry> blocks) {
    std::vector<std::uint8_t> bytes;
    for (const MemoryRangeEntry& block : blocks) {
        if (!block.inUse || block.start > block.end) continue;
        for (std::uint32_t address = block.start; address <= block.end; ++address)
            bytes.push_back(machine.peek(static_cast<std::uint16_t>(address)));
    }
    return bytes;
}

}  // namespace

std::string dumpLine(const Machine& machine, std::uint16_t address) {
    std::string hex;
    std::string characters;
    for (int i = 0; i < 16; ++i) {
        const std::uint8_t value = machine.peek(static_cast<std::uint16_t>(address + i));
        hex += hexText(value, 2) + " ";
        characters += printable(value);
        if (i == 7) {
            hex += "- ";
            characters += " - ";
        }
    }
    std::string line;
    line.reserve(kDumpLineLength);
    line += hexText(address, 4) + ": " + hex + " " + characters + " ";
    return line;
}

std::vector<std::string> dumpLines(const Machine& machine,
                                   std::span<const MemoryRangeEntry> blocks) {
    std::vector<std::string> lines;
    for (const MemoryRangeEntry& block : blocks) {
        if (!block.inUse || block.start > block.end) continue;
        if (!lines.empty()) lines.emplace_back(kBlockSeparatorLine);
        // 32-bit steps: a block that ends at FFFF must not wrap back to 0000.
        for (std::uint32_t address = block.start; address <= block.end; address += 16)
            lines.push_back(dumpLine(machine, static_cast<std::uint16_t>(address)));
    }
    return lines;
}

std::optional<std::uint16_t> dumpLineAddress(std::string_view line) {
    if (line.size() < 4) return std::nullopt;
    std::uint16_t address = 0;
    for (const char c : line.substr(0, 4)) {
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        address = static_cast<std::uint16_t>(address << 4 | digit);
    }
    return address;
}

bool RamView::rebuild(Machine& machine, const MemoryRangeLists& blocks) {
    std::vector<std::uint8_t> bytes = blockBytes(machine, blocks.readWrite);
    if (!machine.memoryChanged && bytes == shownBytes_) return false;
    machine.memoryChanged = false;
    lines_ = dumpLines(machine, blocks.readWrite);
    shownBytes_ = std::move(bytes);
    return true;
}

void RamView::show(Machine& machine, const MemoryRangeLists& blocks) {
    machine.memoryChanged = true;
    rebuild(machine, blocks);
}

std::vector<std::string> romViewLines(const Machine& machine, const MemoryRangeLists& blocks) {
    return dumpLines(machine, blocks.readOnly);
}

std::string clipboardText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

std::string overwriteQuestion(const fs::path& file) {
    return "OK to overwrite " + file.string() + " ?";
}

std::string saveViewToFile(const fs::path& file, const std::vector<std::string>& lines,
                           const std::function<bool(std::string_view question)>& confirmOverwrite) {
    std::error_code error;
    if (fs::exists(file, error) && !confirmOverwrite(overwriteQuestion(file))) return {};

    // The lines hold bytes 7F-FF as Latin-1 characters; the file is UTF-8 text.
    std::string text;
    text.reserve(lines.size() * (kDumpLineLength + 1));
    for (const std::string& line : lines) {
        for (const char c : line) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80) {
                text += c;
            } else {
                text += static_cast<char>(0xC0 | byte >> 6);
                text += static_cast<char>(0x80 | (byte & 0x3F));
            }
        }
        text += '\n';
    }

    if (!writeFileReplacing(file, text)) return "Cannot write the file " + file.string();
    return {};
}

std::array<StackColumn, 3> stackView(const Machine& machine) {
    std::array<StackColumn, 3> columns;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const ColumnLayout& layout = kStackColumns[c];
        columns[c].pointer = pointerName(layout.pointer);
        for (std::size_t row = 0; row < kStackCellsPerColumn; ++row)
            columns[c].cells[row] = stackCell(machine, layout, row);
    }
    return columns;
}

bool opensStackEditor(const Machine& machine, std::uint16_t address) {
    return machine.memory[address].kind() == MemoryKind::Ram;
}

}  // namespace tarnwick
