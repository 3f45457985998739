#include "project/s19_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/fake_host.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

class S19LoaderTest : public ::testing::Test {
  protected:
    S19LoaderTest() {
        config.randomMemory = false;
        directory =
            fs::temp_directory_path() / ("tarnwick_s19_" + std::to_string(std::random_device()()));
        fs::create_directories(directory);
    }
    ~S19LoaderTest() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    S19LoadResult load(const std::string& contents) {
        const fs::path path = directory / "prog.s19";
        std::ofstream(path, std::ios::binary) << contents;
        return loadS19Image(*machine, config, sourceMap, path);
    }

    std::vector<int> bytes(std::uint16_t first, int count) const {
        std::vector<int> values;
        for (int i = 0; i < count; ++i)
            values.push_back(machine->peek(static_cast<std::uint16_t>(first + i)));
        return values;
    }

    testing::FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
    CpuConfiguration config;
    SourceMap sourceMap;
    fs::path directory;
};

TEST_F(S19LoaderTest, DataRecordsIgnoreChecksumAndSkipOtherTypes) {
    for (const char* data : {"S1060100010203F2", "S106010001020300"}) {
        const auto result = load(std::string("S00600004844521B\n") + data +
                                 "\nS5030001FB\nS2080100009999999900\nS9030000FC\n");
        ASSERT_TRUE(result.ok()) << result.message;
        EXPECT_FALSE(result.resetVectorKnown);
        EXPECT_EQ(bytes(0x0100, 4), (std::vector<int>{1, 2, 3, 0})) << data;
    }
}

TEST_F(S19LoaderTest, CountAloneDecidesTheDataBytes) {
    const auto result = load("S1070100010203F1\r\ns1070104abCDef00\rS9030000FC");
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(bytes(0x0100, 8), (std::vector<int>{1, 2, 3, 0xF1, 0xAB, 0xCD, 0xEF, 0x00}));
}

TEST_F(S19LoaderTest, EndRecordSuppliesMissingResetVector) {
    struct Case {
        const char* file;
        int high;
        int low;
        bool known;
    };
    const Case cases[] = {
        {"S1060100010203F2\nS9030100FB\n", 0x01, 0x00, true},
        {"S105FFFEE0001D\nS9030100FB\n", 0xE0, 0x00, true},
        {"S105FFFEE0001D\nS9030000FC\n", 0xE0, 0x00, true},
        {"S104FFFFAA00\nS9031234B6\n", 0x12, 0x34, true},
        {"S104FFFFAA00\nS9030000FC\n", 0xFF, 0xAA, false},
    };
    for (const Case& c : cases) {
        const auto result = load(c.file);
        ASSERT_TRUE(result.ok()) << result.message;
        EXPECT_EQ(bytes(0xFFFE, 2), (std::vector<int>{c.high, c.low})) << c.file;
        EXPECT_EQ(result.resetVectorKnown, c.known) << c.file;
    }
}

TEST_F(S19LoaderTest, AddressWrapsWithinARecord) {
    ASSERT_TRUE(load("S105FFFF112200\nS9030000FC\n").ok());
    EXPECT_EQ(machine->peek(0xFFFF), 0x11);
    EXPECT_EQ(machine->peek(0x0000), 0x22);
}

TEST_F(S19LoaderTest, LinesAfterTheEndRecordAreNotRead) {
    const auto result = load("S1040100AA00\nS9030000FC\n\nS1\nS1040200BB00\n");
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(machine->peek(0x0200), 0x00);
}

TEST_F(S19LoaderTest, FillsMemoryFromTheMapBeforeLoading) {
    config.thirdRanges = "2000 203F";
    machine->memory[0x0000].value = 0x55;
    machine->memory[0xE800].value = 0x55;
    ASSERT_TRUE(load("S1070100010203F1\nS1040E0077\nS9030100FB\n").ok());

    EXPECT_EQ(machine->memory[0x2000].kind(), MemoryKind::Ram);
    EXPECT_EQ(machine->memory[0xB600].kind(), MemoryKind::Undefined);
    EXPECT_EQ(machine->peek(0x0000), 0x00);
    EXPECT_EQ(machine->peek(0x3000), 0x00);
    EXPECT_EQ(machine->peek(0xE800), 0xFF);
    EXPECT_EQ(machine->peek(0xE000), 0xFF);
    EXPECT_EQ(machine->peek(0x0E00), 0x77);  // undefined memory takes data as well
}

TEST_F(S19LoaderTest, RandomMemoryOptionFillsRamWithNoise) {
    config.randomMemory = true;
    ASSERT_TRUE(load("S9030100FB\n").ok());
    int nonZero = 0;
    for (std::uint16_t address = 0; address < 0x0100; ++address)
        nonZero += machine->peek(address) != 0;
    EXPECT_GT(nonZero, 0);
    EXPECT_EQ(machine->peek(0xE000), 0xFF);
}

TEST_F(S19LoaderTest, StoresIntoRomWhateverTheKind) {
    ASSERT_TRUE(load("S105E000861200\nS903E0001C\n").ok());
    EXPECT_EQ(bytes(0xE000, 3), (std::vector<int>{0x86, 0x12, 0xFF}));
    EXPECT_EQ(machine->peek16(0xFFFE), 0xE000);
}

TEST_F(S19LoaderTest, ResetsDebugModelButKeepsCounters) {
    AddressRecord& breakpoint = machine->memory[0x4000];
    breakpoint.flags = kBreakpointFlag;
    breakpoint.hit = 2;
    breakpoint.hitCount = 3;
    machine->memory[0xE010].flags |= kTemporaryStopFlag;
    machine->activeStopCount = 2;
    AddressRecord& source = machine->memory[0x0100];
    source.module = 4;
    source.line = 17;
    source.returnSlot = 0x01F0;
    source.executionCount = 9;
    machine->cycleCounter = 777;
    sourceMap.modules[0] = "main.asm";
    sourceMap.symbols[5] = {"COUNT", 0x0010};
    sourceMap.temporaryDisassemblyCounter = 4;

    ASSERT_TRUE(load("S1040100AA00\nS9030100FB\n").ok());

    for (const std::uint16_t address : {0x4000, 0xE010, 0x0100}) {
        const AddressRecord& r = machine->memory[address];
        EXPECT_EQ(r.flags & (kBreakpointFlag | kTemporaryStopFlag), 0) << address;
        EXPECT_EQ(r.hit, 0) << address;
        EXPECT_EQ(r.hitCount, 0) << address;
    }
    EXPECT_EQ(machine->memory[0xE010].kind(), MemoryKind::Rom);
    EXPECT_EQ(machine->activeStopCount, 0);
    EXPECT_EQ(source.module, 0);
    EXPECT_EQ(source.line, 0);
    EXPECT_EQ(source.returnSlot, 0);
    EXPECT_EQ(sourceMap.moduleCount(), 0u);
    EXPECT_EQ(sourceMap.symbols[5].name, "");
    EXPECT_EQ(sourceMap.symbols[5].address, 0);
    EXPECT_EQ(sourceMap.temporaryDisassemblyCounter, 0u);
    EXPECT_EQ(source.executionCount, 9u);
    EXPECT_EQ(machine->cycleCounter, 777u);
}

TEST_F(S19LoaderTest, MalformedFilesFailNamingTheCauseAndKeepEarlierBytes) {
    struct Case {
        std::string rest;  // follows a good first record that stores AA at 0200
        S19Error error;
        const char* where;
        int firstDataByte;  // what 0300 holds afterwards
    };
    const Case cases[] = {
        {"S1040300BB00\n", S19Error::NoEndRecord, "no end record", 0xBB},
        {"\nS9030000FC\n", S19Error::ShortLine, "line 2:", 0x00},
        {"S\n", S19Error::ShortLine, "line 2:", 0x00},
        {"S1\n", S19Error::ShortRecord, "line 2: record too short for its byte count", 0x00},
        {"S10603\n", S19Error::ShortRecord, "line 2: record too short for its address", 0x00},
        {"S1060300BBCC\n", S19Error::ShortRecord, "line 2: record too short for its data", 0xBB},
        {"S9030\n", S19Error::ShortRecord, "line 2: record too short for its address", 0x00},
        {"S1G60300BBCCDD00\n", S19Error::NonHexDigit, "line 2: non-hex digit in byte count", 0},
        {"S10603X0BBCCDD00\n", S19Error::NonHexDigit, "line 2: non-hex digit in address", 0x00},
        {"S1060300BBC DD00\n", S19Error::NonHexDigit, "line 2: non-hex digit in data", 0xBB},
        {"S9030G00FC\n", S19Error::NonHexDigit, "line 2: non-hex digit in address", 0x00},
        {"S1020300BB\nS9030000FC\n", S19Error::CountBelowThree, "line 2: byte count below 3", 0},
        {"S17F0300" + std::string(250, 'B') + "\n", S19Error::RecordTooLong,
         "line 2: more than 123 data bytes", 0x00},
    };
    for (const Case& c : cases) {
        const auto result = load("S1040200AA00\n" + c.rest);
        EXPECT_EQ(result.error, c.error) << c.rest;
        EXPECT_NE(result.message.find("prog.s19"), std::string::npos) << result.message;
        EXPECT_NE(result.message.find(c.where), std::string::npos) << result.message;
        EXPECT_EQ(machine->peek(0x0200), 0xAA) << c.rest;
        EXPECT_EQ(machine->peek(0x0300), c.firstDataByte) << c.rest;
    }
}

TEST_F(S19LoaderTest, LongestSupportedRecordLoads) {
    std::string data;
    for (int i = 0; i < 123; ++i) data += "5A";
    ASSERT_TRUE(load("S17E0300" + data + "00\nS9030000FC\n").ok());
    EXPECT_EQ(machine->peek(0x0300 + 122), 0x5A);
    EXPECT_EQ(machine->peek(0x0300 + 123), 0x00);
}

TEST_F(S19LoaderTest, MissingFileFailsAfterTheReset) {
    machine->memory[0x4000].flags = kBreakpointFlag;
    const auto result = loadS19Image(*machine, config, sourceMap, directory / "absent.s19");
    EXPECT_EQ(result.error, S19Error::CannotOpen);
    EXPECT_NE(result.message.find("absent.s19"), std::string::npos);
    EXPECT_EQ(machine->memory[0x4000].flags, 0);

    EXPECT_EQ(loadS19Image(*machine, config, sourceMap, directory).error, S19Error::CannotOpen);
}

}  // namespace
}  // namespace tarnwick
