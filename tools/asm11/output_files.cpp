#include "asm11/output_files.h"

#include <cctype>
#include <filesystem>
#include <vector>

#include "core/number_text.h"

namespace tarnwick::asm11 {
namespace {

constexpr std::size_t kRecordData = 32;

std::string record(char type, std::uint16_t address, const std::vector<std::uint8_t>& data) {
    const auto count = static_cast<std::uint32_t>(data.size() + 3);
    std::uint32_t sum = count + (address >> 8) + (address & 0xFF);
    std::string text = std::string("S") + type + hexText(count, 2) + hexText(address, 4);
    for (const std::uint8_t byte : data) {
        text += hexText(byte, 2);
        sum += byte;
    }
    return text + hexText(~sum & 0xFF, 2) + "\n";
}

}  // namespace

std::string s19Text(const AssemblyResult& result, std::string_view header) {
    std::string text;
    if (!header.empty()) text += record('0', 0, {header.begin(), header.end()});
    const MemoryImage& image = result.image;
    std::size_t address = 0;
    while (address < image.used.size()) {
        if (!image.used[address]) {
            ++address;
            continue;
        }
        std::vector<std::uint8_t> data;
        const std::size_t start = address;
        while (address < image.used.size() && image.used[address] && data.size() < kRecordData &&
               (data.empty() || !result.recordStarts.contains(static_cast<std::int32_t>(address))))
            data.push_back(image.bytes[address++]);
        text += record('1', static_cast<std::uint16_t>(start), data);
    }
    return text + record('9', result.startAddress, {});
}

std::string symbolFileText(const AssemblyResult& result) {
    std::string text;
    for (const ModuleLines& module : result.modules) {
        std::string name = std::filesystem::path(module.file).stem().string();
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        text += "#MODULE " + (name.empty() ? std::string("MAIN") : name) + " " + module.file + "\n";
        for (const auto& [address, line] : module.lines)
            text += hexText(address, 4) + " " + std::to_string(line) + "\n";
        text += "#END\n";
    }
    text += "#SYMBOL\n";
    for (const SymbolValue& symbol : result.symbols)
        text += hexText(symbol.value, 4) + " " + symbol.name + "\n";
    return text + "#END\n";
}

}  // namespace tarnwick::asm11
