#include "project/cpu_configuration.h"

#include <charconv>
#include <cstddef>

namespace tarnwick {
namespace {

bool isSeparator(char c) {
    return static_cast<unsigned char>(c) < '!';
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Keeps only the low 16 bits while accumulating, so tokens of any length are taken modulo
// 0x10000 without overflow.
std::optional<std::uint16_t> parseHexToken(std::string_view token) {
    std::uint16_t value = 0;
    for (const char c : token) {
        const int digit = hexDigitValue(c);
        if (digit < 0) return std::nullopt;
        value = static_cast<std::uint16_t>(value << 4 | digit);
    }
    return value;
}

std::optional<int> parseInteger(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    int value = 0;
    const char* first = text->data();
    const char* last = first + text->size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return std::nullopt;
    return value;
}

int readChoice(const ConfigurationReader& read, std::string_view key, int count) {
    const auto value = parseInteger(read(key));
    return value && *value >= 0 && *value < count ? *value : 0;
}

// Any non-zero integer counts as set, as INI flag readers take it.
bool readFlag(const ConfigurationReader& read, std::string_view key, bool fallback) {
    const auto value = parseInteger(read(key));
    return value ? *value != 0 : fallback;
}

std::string readText(const ConfigurationReader& read, std::string_view key,
                     std::string_view fallback) {
    auto value = read(key);
    return value ? std::move(*value) : std::string(fallback);
}

template <std::size_t N>
void listRanges(const std::vector<AddressRange>& ranges, std::array<MemoryRangeEntry, N>& list,
                std::size_t& used) {
    for (const AddressRange& range : ranges) {
        if (used == N) return;
        list[used++] = {true, range.start, range.end};
    }
}

}  // namespace

const ChipInfo* findChip(std::string_view name) {
    for (const ChipInfo& chip : kChipTable)
        if (chip.name == name) return &chip;
    return nullptr;
}

std::vector<AddressRange> parseRangeText(std::string_view text) {
    std::vector<std::optional<std::uint16_t>> tokens;
    std::size_t position = 0;
    while (position < text.size()) {
        if (isSeparator(text[position])) {
            ++position;
            continue;
        }
        const std::size_t start = position;
        while (position < text.size() && !isSeparator(text[position])) ++position;
        tokens.push_back(parseHexToken(text.substr(start, position - start)));
    }
    std::vector<AddressRange> ranges;
    for (std::size_t i = 0; i + 1 < tokens.size(); i += 2)
        if (tokens[i] && tokens[i + 1]) ranges.push_back({*tokens[i], *tokens[i + 1]});
    return ranges;
}

bool limitRangeText(std::string& text) {
    if (text.size() <= kMaxRangeTextLength) return false;
    std::size_t keep = kMaxRangeTextLength;
    if (!isSeparator(text[keep]))
        while (keep > 0 && !isSeparator(text[keep - 1])) --keep;
    text.resize(keep);
    return true;
}

void CpuConfiguration::reset() {
    *this = CpuConfiguration();
}

std::vector<std::string_view> CpuConfiguration::load(const ConfigurationReader& read,
                                                     AddressSpace& memory) {
    cpuType = readText(read, "Type", "M68HC11E1");
    crystal = readText(read, "XTAL", "8 MHz");
    for (std::size_t i = 0; i < bprot.size(); ++i)
        bprot[i] = readFlag(read, "BPROT" + std::to_string(i), true);
    tmsk2Prescaler = readChoice(read, "TMSK2", 4);
    irqChoice = readChoice(read, "IRQ", 2);
    romRanges = readText(read, "RMem", "E000 FFFF");
    readWriteRanges = readText(read, "RWMem", "0000 00FF");
    thirdRanges = readText(read, "IOMem", "1000 103F");
    randomMemory = readFlag(read, "Random Memory", true);
    std::vector<std::string_view> cut;
    if (limitRangeText(romRanges)) cut.push_back("RMem");
    if (limitRangeText(readWriteRanges)) cut.push_back("RWMem");
    if (limitRangeText(thirdRanges)) cut.push_back("IOMem");
    applyMemoryMap(memory);
    return cut;
}

void CpuConfiguration::store(const ConfigurationWriter& write) const {
    write("Type", cpuType);
    write("XTAL", crystal);
    for (std::size_t i = 0; i < bprot.size(); ++i)
        write("BPROT" + std::to_string(i), bprot[i] ? "1" : "0");
    write("TMSK2", std::to_string(tmsk2Prescaler));
    write("IRQ", std::to_string(irqChoice));
    write("RMem", romRanges);
    write("RWMem", readWriteRanges);
    write("IOMem", thirdRanges);
    write("Random Memory", randomMemory ? "1" : "0");
}

// The third ranges are labelled I/O but become RAM; the register block is I/O whatever the
// texts say.
void CpuConfiguration::applyMemoryMap(AddressSpace& memory) {
    const std::vector<AddressRange> readWrite = parseRangeText(readWriteRanges);
    const std::vector<AddressRange> readOnly = parseRangeText(romRanges);
    const std::vector<AddressRange> third = parseRangeText(thirdRanges);
    rangeLists = {};
    std::size_t readWriteUsed = 0;
    std::size_t readOnlyUsed = 0;
    listRanges(readWrite, rangeLists.readWrite, readWriteUsed);
    listRanges(readOnly, rangeLists.readOnly, readOnlyUsed);
    listRanges(third, rangeLists.readWrite, readWriteUsed);

    const MemoryRangeStep steps[] = {
        {readWrite, MemoryKind::Ram},
        {readOnly, MemoryKind::Rom},
        {third, MemoryKind::Ram},
    };
    tarnwick::applyMemoryMap(memory, steps);
}

}  // namespace tarnwick
