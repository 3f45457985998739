#include "project/cpu_configuration.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick {
namespace {

TEST(RangeTextTest, ParsesPairsOfHexTokens) {
    struct Case {
        std::string_view text;
        std::vector<AddressRange> expected;
    };
    const Case cases[] = {
        {"", {}},
        {"E000", {}},
        {"0000 00FF 2000 2FFF", {{0x0000, 0x00FF}, {0x2000, 0x2FFF}}},
        {"0000 00FF 2000", {{0x0000, 0x00FF}}},
        {"\t e000\n\r  ffff\x01", {{0xE000, 0xFFFF}}},
        {"12345 1FFFF", {{0x2345, 0xFFFF}}},
        {"123456789ABCDEF0 0", {{0xDEF0, 0x0000}}},
        {"F000 E000", {{0xF000, 0xE000}}},
        // A non-hex token drops its pair only; later pairs keep their positions.
        {"E000 FFFG 0000 00FF", {{0x0000, 0x00FF}}},
        {"$100 0200", {}},
        {"0100 02\xC3\xA9", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(parseRangeText(c.text), c.expected) << c.text;
}

TEST(RangeTextTest, LongerTextsAreCutToTheDialogsLength) {
    const std::string pairs = [] {
        std::string text;
        while (text.size() < kMaxRangeTextLength + 10) text += "0000 00FF ";
        return text;
    }();
    const std::string digits(kMaxRangeTextLength + 1, '1');
    struct Case {
        std::string text;
        std::size_t kept;
        bool cut;
    };
    const Case cases[] = {
        {"0000 00FF", 9, false},
        {digits.substr(1), kMaxRangeTextLength, false},
        {pairs.substr(0, kMaxRangeTextLength + 1), kMaxRangeTextLength - 2, true},
        // A separator follows the cut: the token before it is whole.
        {pairs.substr(0, kMaxRangeTextLength) + "\t12", kMaxRangeTextLength, true},
        {pairs, kMaxRangeTextLength - 2, true},
        // One token longer than the limit leaves nothing.
        {digits, 0, true},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(limitRangeText(text), c.cut) << c.text.size();
        EXPECT_EQ(text, c.text.substr(0, c.kept)) << c.text.size();
    }
    // Every whole range before the cut is kept.
    std::string text = pairs;
    limitRangeText(text);
    EXPECT_EQ(parseRangeText(text).size(), kMaxRangeTextLength / 10);
}

TEST(ChipTableTest, RowsAndCrystals) {
    const ChipInfo* e2 = findChip("M68HC811E2");
    ASSERT_NE(e2, nullptr);
    EXPECT_EQ(e2->romRanges, "F800 FFFF");
    EXPECT_EQ(e2->readWriteRanges, "0000 00FF");
    EXPECT_EQ(e2->thirdRanges, "");
    EXPECT_FALSE(e2->bprotBoxesEnabled);

    const ChipInfo* e9 = findChip("M68HC(7)11E9");
    ASSERT_NE(e9, nullptr);
    EXPECT_EQ(e9->romRanges, "D000 FFFF");
    EXPECT_EQ(e9->thirdRanges, "B600 B7FF");

    for (const ChipInfo& chip : kChipTable) {
        const bool eSeries =
            chip.name == "M68HC11E0" || chip.name == "M68HC11E1" || chip.name == "M68HC(7)11E9";
        EXPECT_EQ(chip.bprotBoxesEnabled, eSeries) << chip.name;
    }
    EXPECT_EQ(findChip("m68hc11e1"), nullptr);
    EXPECT_EQ(kCrystalNames.front(), "3.6864 MHz");
    EXPECT_EQ(kCrystalNames[3], "8 MHz");
}

class MemoryMapTest : public ::testing::Test {
  protected:
    MemoryKind kind(std::uint16_t address) const { return (*memory)[address].kind(); }

    std::unique_ptr<AddressSpace> memory = std::make_unique<AddressSpace>();
    CpuConfiguration config;
};

TEST_F(MemoryMapTest, DefaultMapAndRangeLists) {
    (*memory)[0x8000].flags = static_cast<std::uint8_t>(MemoryKind::Ram) | kBreakpointFlag;
    config.applyMemoryMap(*memory);

    EXPECT_EQ(kind(0x0000), MemoryKind::Ram);
    EXPECT_EQ(kind(0x01FF), MemoryKind::Ram);
    EXPECT_EQ(kind(0x0200), MemoryKind::Undefined);
    EXPECT_EQ(kind(0x1000), MemoryKind::Io);
    EXPECT_EQ(kind(0x103F), MemoryKind::Io);
    EXPECT_EQ(kind(0x1040), MemoryKind::Undefined);
    EXPECT_EQ(kind(0x8000), MemoryKind::Undefined);
    EXPECT_EQ((*memory)[0x8000].flags, 0);
    EXPECT_EQ(kind(0xB600), MemoryKind::Ram);
    EXPECT_EQ(kind(0xB7FF), MemoryKind::Ram);
    EXPECT_EQ(kind(0xDFFF), MemoryKind::Undefined);
    EXPECT_EQ(kind(0xE000), MemoryKind::Rom);
    EXPECT_EQ(kind(0xFFFF), MemoryKind::Rom);

    const MemoryRangeEntry unused{};
    EXPECT_EQ(config.rangeLists.readWrite[0], (MemoryRangeEntry{true, 0x0000, 0x01FF}));
    EXPECT_EQ(config.rangeLists.readWrite[1], (MemoryRangeEntry{true, 0xB600, 0xB7FF}));
    EXPECT_EQ(config.rangeLists.readWrite[2], unused);
    EXPECT_EQ(config.rangeLists.readOnly[0], (MemoryRangeEntry{true, 0xE000, 0xFFFF}));
    EXPECT_EQ(config.rangeLists.readOnly[1], unused);
}

TEST_F(MemoryMapTest, OverlapsSingleTokensAndReversedRanges) {
    config.readWriteRanges = "0000 00FF 2000 2FFF";
    config.romRanges = "1000 10FF 9000 8000";
    config.thirdRanges = "2000 203F";
    config.applyMemoryMap(*memory);

    EXPECT_EQ(kind(0x00FF), MemoryKind::Ram);
    EXPECT_EQ(kind(0x0100), MemoryKind::Undefined);
    EXPECT_EQ(kind(0x2FFF), MemoryKind::Ram);
    EXPECT_EQ(kind(0x103F), MemoryKind::Io);
    EXPECT_EQ(kind(0x1040), MemoryKind::Rom);
    EXPECT_EQ(kind(0x10FF), MemoryKind::Rom);
    EXPECT_EQ(kind(0x8800), MemoryKind::Undefined);
    // The reversed pair marks nothing but is still listed.
    EXPECT_EQ(config.rangeLists.readOnly[1], (MemoryRangeEntry{true, 0x9000, 0x8000}));
    EXPECT_EQ(config.rangeLists.readWrite[2], (MemoryRangeEntry{true, 0x2000, 0x203F}));

    config.romRanges = "E000";
    config.thirdRanges = "";
    config.applyMemoryMap(*memory);
    EXPECT_EQ(kind(0xE000), MemoryKind::Undefined);
    EXPECT_EQ(kind(0x1040), MemoryKind::Undefined);
    EXPECT_FALSE(config.rangeLists.readOnly[0].inUse);
    EXPECT_FALSE(config.rangeLists.readWrite[2].inUse);
}

TEST_F(MemoryMapTest, RangesBeyondListCapacityStillSetKinds) {
    config.readWriteRanges = "0000 000F 0100 010F 0200 020F 0300 030F 0400 040F";
    config.thirdRanges = "0500 050F 0600 060F 0700 070F 0800 080F";
    config.romRanges = "A000 A0FF B000 B0FF C000 C0FF D000 D0FF E000 E0FF";
    config.applyMemoryMap(*memory);

    EXPECT_EQ(config.rangeLists.readWrite.back(), (MemoryRangeEntry{true, 0x0700, 0x070F}));
    EXPECT_EQ(kind(0x080F), MemoryKind::Ram);
    EXPECT_EQ(config.rangeLists.readOnly.back(), (MemoryRangeEntry{true, 0xD000, 0xD0FF}));
    EXPECT_EQ(kind(0xE0FF), MemoryKind::Rom);
}

// Each address is painted once, from the last range back; the result must still be what
// marking every range in order gives.
TEST_F(MemoryMapTest, ManyOverlappingRangesMatchMarkingInOrder) {
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245 + 12345;
        return static_cast<std::uint16_t>(seed >> 8);
    };
    const auto rangeText = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            const std::uint16_t start = next();
            const std::uint16_t length = next() % 0x2000;
            char pair[16];
            std::snprintf(pair, sizeof pair, "%X %X ", start, (start + length) & 0xFFFF);
            text += pair;
        }
        return text;
    };
    config.readWriteRanges = rangeText(40);
    config.romRanges = rangeText(40) + "0000 FFFF F000 0FFF FFFF FFFF";
    config.thirdRanges = rangeText(40);
    for (AddressRecord& record : *memory) record.flags = kBreakpointFlag;
    config.applyMemoryMap(*memory);

    auto expected = std::make_unique<AddressSpace>();
    setMemoryKind(*expected, 0x0000, 0xFFFF, MemoryKind::Undefined);
    for (const auto& [text, kind] : {std::pair{config.readWriteRanges, MemoryKind::Ram},
                                     {config.romRanges, MemoryKind::Rom},
                                     {config.thirdRanges, MemoryKind::Ram}})
        for (const AddressRange& range : parseRangeText(text))
            if (range.start <= range.end) setMemoryKind(*expected, range.start, range.end, kind);
    setMemoryKind(*expected, 0x1000, 0x103F, MemoryKind::Io);
    for (std::uint32_t address = 0; address < kAddressSpaceSize; ++address)
        ASSERT_EQ((*memory)[address].flags, (*expected)[address].flags) << address;
}

TEST_F(MemoryMapTest, LoadCutsAndNamesLongerRangeTexts) {
    std::string longRanges;
    while (longRanges.size() <= kMaxRangeTextLength) longRanges += "2000 20FF ";
    const std::map<std::string_view, std::string> file{
        {"RMem", "E000 FFFF"}, {"RWMem", longRanges}, {"IOMem", longRanges}};
    const auto cut = config.load(
        [&file](std::string_view key) -> std::optional<std::string> {
            const auto found = file.find(key);
            if (found == file.end()) return std::nullopt;
            return found->second;
        },
        *memory);
    EXPECT_EQ(cut, (std::vector<std::string_view>{"RWMem", "IOMem"}));
    EXPECT_EQ(config.readWriteRanges.size(), kMaxRangeTextLength - 2);
    EXPECT_EQ(config.romRanges, "E000 FFFF");
    EXPECT_EQ(kind(0x20FF), MemoryKind::Ram);
    EXPECT_EQ(kind(0xE000), MemoryKind::Rom);
}

TEST_F(MemoryMapTest, LoadTakesProjectDefaultsForMissingKeys) {
    config.cpuType = "M68HC11A0";
    config.randomMemory = false;
    config.load([](std::string_view) { return std::nullopt; }, *memory);

    EXPECT_EQ(config.cpuType, "M68HC11E1");
    EXPECT_EQ(config.crystal, "8 MHz");
    EXPECT_EQ(config.bprot, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(config.tmsk2Prescaler, 0);
    EXPECT_EQ(config.irqChoice, 0);
    EXPECT_EQ(config.romRanges, "E000 FFFF");
    EXPECT_EQ(config.readWriteRanges, "0000 00FF");
    EXPECT_EQ(config.thirdRanges, "1000 103F");
    EXPECT_TRUE(config.randomMemory);
    // Loading applies the map.
    EXPECT_EQ(kind(0x00FF), MemoryKind::Ram);
    EXPECT_EQ(kind(0x0100), MemoryKind::Undefined);
    EXPECT_EQ(kind(0x1000), MemoryKind::Io);
    EXPECT_EQ(config.rangeLists.readWrite[1], (MemoryRangeEntry{true, 0x1000, 0x103F}));
}

TEST_F(MemoryMapTest, StoreAndLoadRoundTrip) {
    config.cpuType = "M68HC811E2";
    config.crystal = "12 MHz";
    config.bprot = {true, false, true, false};
    config.tmsk2Prescaler = 3;
    config.irqChoice = 1;
    config.romRanges = "F800 FFFF";
    config.readWriteRanges = "0000 00FF";
    config.thirdRanges = "";
    config.randomMemory = false;

    std::map<std::string, std::string, std::less<>> file;
    config.store([&file](std::string_view key, std::string_view value) {
        file.emplace(std::string(key), std::string(value));
    });
    const std::map<std::string, std::string, std::less<>> expected{
        {"Type", "M68HC811E2"}, {"XTAL", "12 MHz"},     {"BPROT0", "1"}, {"BPROT1", "0"},
        {"BPROT2", "1"},        {"BPROT3", "0"},        {"TMSK2", "3"},  {"IRQ", "1"},
        {"RMem", "F800 FFFF"},  {"RWMem", "0000 00FF"}, {"IOMem", ""},   {"Random Memory", "0"},
    };
    EXPECT_EQ(file, expected);

    CpuConfiguration loaded;
    loaded.load(
        [&file](std::string_view key) -> std::optional<std::string> {
            const auto found = file.find(key);
            if (found == file.end()) return std::nullopt;
            return found->second;
        },
        *memory);
    std::map<std::string, std::string, std::less<>> again;
    loaded.store([&again](std::string_view key, std::string_view value) {
        again.emplace(std::string(key), std::string(value));
    });
    EXPECT_EQ(again, expected);
    EXPECT_EQ(kind(0xF800), MemoryKind::Rom);
    EXPECT_EQ(kind(0xB600), MemoryKind::Undefined);

    loaded.reset();
    EXPECT_EQ(loaded.cpuType, "M68HC11E1");
    EXPECT_EQ(loaded.readWriteRanges, "0000 01FF");
    EXPECT_EQ(loaded.thirdRanges, "B600 B7FF");
    EXPECT_EQ(kind(0xF800), MemoryKind::Rom);  // reset leaves the map alone
}

TEST_F(MemoryMapTest, UnreadableNumbersFallBackToProjectDefaults) {
    const std::map<std::string_view, std::string> file{{"TMSK2", "7"},  {"IRQ", "x"},
                                                       {"BPROT0", "0"}, {"BPROT1", "yes"},
                                                       {"BPROT2", "2"}, {"Random Memory", ""}};
    config.load(
        [&file](std::string_view key) -> std::optional<std::string> {
            const auto found = file.find(key);
            if (found == file.end()) return std::nullopt;
            return found->second;
        },
        *memory);
    EXPECT_EQ(config.tmsk2Prescaler, 0);
    EXPECT_EQ(config.irqChoice, 0);
    EXPECT_EQ(config.bprot, (std::array<bool, 4>{false, true, true, true}));
    EXPECT_TRUE(config.randomMemory);
}

}  // namespace
}  // namespace tarnwick
