#include "asm11/output_files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "base/number_text.h"

namespace tarnwick::asm11 {
namespace {

constexpr std::size_t kRecordData = 32;
constexpr std::size_t kListedBytesPerRow = 4;

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) text.resize(width, ' ');
    return text;
}

// A 16-bit value (or a negative one down to -$8000) in 4 digits, a wider one in 8.
std::string valueText(std::int32_t value) {
    if (value >= -0x8000 && value <= 0xFFFF)
        return hexText(static_cast<std::uint32_t>(value) & 0xFFFF, 4);
    return hexText(static_cast<std::uint32_t>(value), 8);
}

std::string listingRow(const std::string& number, std::int32_t address,
                       const std::vector<std::uint8_t>& bytes, std::size_t first,
                       const std::optional<std::int32_t>& shownValue, const std::string& source) {
    std::string hex;
    for (std::size_t i = first; i < bytes.size() && i < first + kListedBytesPerRow; ++i)
        hex += hexText(bytes[i], 2) + " ";
    std::string where;
    if (!bytes.empty())
        where = hexText(static_cast<std::uint32_t>(address + first) & 0xFFFF, 4);
    else if (shownValue)
        where = valueText(*shownValue);
    std::string row = padded(std::string(5 - std::min<std::size_t>(5, number.size()), ' ') +
                                 number + "  " + padded(where, 4) + "  " + hex,
                             26) +
                      source;
    while (!row.empty() && row.back() == ' ') row.pop_back();
    return row + "\n";
}

// hexText without a string of its own, into a line's buffer: these files hold digits for
// every byte and line, and appending them one by one to the text cost more than the digits.
char* writeHex(char* out, std::uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i, value >>= 4) out[i] = kDigits[value & 0xF];
    return out + digits;
}

// Written in place at the text's end: a string and a vector per record cost more than the
// digits themselves.
void appendRecord(std::string& text, char type, std::uint16_t address,
                  std::span<const std::uint8_t> data) {
    const auto count = static_cast<std::uint32_t>(data.size() + 3);
    std::uint32_t sum = count + (address >> 8) + (address & 0xFF);
    const std::size_t at = text.size();
    text.resize(at + 2 * data.size() + 11);
    char* out = text.data() + at;
    *out++ = 'S';
    *out++ = type;
    out = writeHex(out, count, 2);
    out = writeHex(out, address, 4);
    for (const std::uint8_t byte : data) {
        out = writeHex(out, byte, 2);
        sum += byte;
    }
    out = writeHex(out, ~sum & 0xFF, 2);
    *out = '\n';
}

}  // namespace

std::string s19Text(const AssemblyResult& result, std::string_view header) {
    std::string text;
    if (!header.empty())
        appendRecord(text, '0', 0,
                     {reinterpret_cast<const std::uint8_t*>(header.data()), header.size()});
    const MemoryImage& image = result.image;
    std::size_t address = 0;
    while (address < image.used.size()) {
        if (!image.used[address]) {
            ++address;
            continue;
        }
        const std::size_t start = address;
        // A record ends before the next #S19FLUSH address, as well as at a gap and at 32 bytes.
        const auto flush = result.recordStarts.upper_bound(static_cast<std::int32_t>(start));
        const std::size_t limit =
            std::min({start + kRecordData, image.used.size(),
                      flush == result.recordStarts.end() ? image.used.size()
                                                         : static_cast<std::size_t>(*flush)});
        while (address < limit && image.used[address]) ++address;
        appendRecord(text, '1', static_cast<std::uint16_t>(start),
                     {image.bytes.data() + start, address - start});
    }
    appendRecord(text, '9', result.startAddress, {});
    return text;
}

std::string listingText(const AssemblyResult& result) {
    std::string text = result.title.empty() ? "" : result.title + "\n\n";
    const std::string* file = nullptr;
    for (const ListedLine& line : result.listing) {
        if (!file || *file != line.file) {
            file = &line.file;
            text += "File " + line.file + "\n";
        }
        // A line of a macro expansion carries its call's number and a '+'.
        const std::string number = std::to_string(line.line) + (line.macroLine > 0 ? "+" : "");
        text += listingRow(number, line.address, line.bytes, 0, line.shownValue, line.text);
        for (std::size_t i = kListedBytesPerRow; i < line.bytes.size(); i += kListedBytesPerRow)
            text += listingRow("", line.address, line.bytes, i, {}, "");
        for (const Message& message : line.messages) text += messageLine(message) + "\n";
        if (line.newPage) text += "\f";
    }
    std::vector<SymbolValue> symbols = result.symbols;
    std::sort(symbols.begin(), symbols.end(),
              [](const SymbolValue& a, const SymbolValue& b) { return a.name < b.name; });
    text += "\nSymbols\n";
    for (const SymbolValue& symbol : symbols)
        text += hexText(symbol.value, 4) + "  " + symbol.name + "\n";
    return text;
}

std::string exportFileText(const AssemblyResult& result) {
    std::string text;
    for (const SymbolValue& symbol : result.exports)
        text += padded(symbol.name, 19) + " SET $" + hexText(symbol.value, 4) + "\n";
    return text + result.exportedMacros;
}

std::string mapText(const AssemblyResult& result) {
    std::string text = "Address Line File\n";
    for (const MapEntry& entry : result.map)
        text += hexText(entry.address, 4) + "    " + padded(std::to_string(entry.line), 5) +
                entry.file + "\n";
    return text;
}

std::string symbolFileText(const AssemblyResult& result) {
    std::string text;
    for (const ModuleLines& module : result.modules) {
        std::string name = std::filesystem::path(module.file).stem().string();
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        text += "#MODULE " + (name.empty() ? std::string("MAIN") : name) + " " + module.file + "\n";
        for (const auto& [address, line] : module.lines) {
            std::array<char, 32> row;
            char* out = writeHex(row.data(), address, 4);
            *out++ = ' ';
            out = std::to_chars(out, row.data() + row.size(), line).ptr;
            *out++ = '\n';
            text.append(row.data(), out);
        }
        text += "#END\n";
    }
    text += "#SYMBOL\n";
    for (const SymbolValue& symbol : result.symbols) {
        std::array<char, 5> value;
        writeHex(value.data(), symbol.value, 4);
        value[4] = ' ';
        text.append(value.data(), value.size());
        text += symbol.name;
        text += '\n';
    }
    text += "#END\n";
    return text;
}

}  // namespace tarnwick::asm11
