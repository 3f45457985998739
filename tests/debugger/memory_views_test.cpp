#include "debugger/memory_views.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "core/interrupts.h"
#include "project/temp_directory.h"
#include "support/fake_host.h"

namespace tarnwick {
namespace {

class MemoryViewsTest : public ::testing::Test {
  protected:
    void fill(std::uint16_t address, std::initializer_list<std::uint8_t> bytes) {
        for (const std::uint8_t byte : bytes) machine->poke(address++, byte);
    }

    testing::FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
};

TEST_F(MemoryViewsTest, ADumpLineShowsSixteenBytesInHexAndAsCharacters) {
    fill(0xE000, {0x00, 0x0A, 0x1F, 0x20, 0x41, 0x7E, 0x7F, 0xFF, 0x30, 0x31, 0x32, 0x33, 0x34,
                  0x35, 0x36, 0x37});
    const std::string line = dumpLine(*machine, 0xE000);
    EXPECT_EQ(line,
              "E000: 00 0A 1F 20 41 7E 7F FF - 30 31 32 33 34 35 36 37  ... A~\x7F\xFF - "
              "01234567 ");
    EXPECT_EQ(line.size(), 77u);
}

TEST_F(MemoryViewsTest, ADumpLineAtTheTopOfMemoryRunsOnFrom0000) {
    fill(0xFFF8, {0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF});
    fill(0x0000, {0x41, 0x42});
    EXPECT_EQ(dumpLine(*machine, 0xFFF8),
              "FFF8: F8 F9 FA FB FC FD FE FF - 41 42 00 00 00 00 00 00  \xF8\xF9\xFA\xFB\xFC\xFD"
              "\xFE\xFF - AB...... ");
}

struct BlocksCase {
    const char* what;
    std::vector<MemoryRangeEntry> blocks;
    std::vector<std::string> lineStarts;  // the first four characters of every line
};

std::vector<std::string> addresses(std::initializer_list<unsigned> values) {
    std::vector<std::string> texts;
    for (const unsigned value : values) texts.push_back(hexText(value, 4));
    return texts;
}

std::vector<std::string> joined(std::vector<std::string> first,
                                const std::vector<std::string>& second) {
    first.emplace_back(" ");
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST_F(MemoryViewsTest, TheBlocksInUseAreListedSixteenBytesPerLine) {
    const BlocksCase cases[] = {
        {"one block of 256 bytes",
         {{true, 0x0000, 0x00FF}},
         addresses({0x00, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0, 0xC0,
                    0xD0, 0xE0, 0xF0})},
        {"a separator line between two blocks; unused blocks are skipped",
         {{true, 0x0000, 0x001F}, {false, 0x0100, 0x01FF}, {true, 0xB600, 0xB61F}},
         joined(addresses({0x0000, 0x0010}), addresses({0xB600, 0xB610}))},
        {"the byte at a block's end gets its own line",
         {{true, 0x0000, 0x0020}},
         addresses({0x0000, 0x0010, 0x0020})},
        {"a block of one byte", {{true, 0x0005, 0x0005}}, addresses({0x0005})},
        {"a block ending at FFFF does not wrap",
         {{true, 0xFFD0, 0xFFFF}},
         addresses({0xFFD0, 0xFFE0, 0xFFF0})},
        {"an unaligned block's last line runs past FFFF",
         {{true, 0xFFE8, 0xFFFF}},
         addresses({0xFFE8, 0xFFF8})},
        {"a block with its start above its end shows nothing and no separator",
         {{true, 0x0200, 0x0100}, {true, 0x0000, 0x000F}},
         addresses({0x0000})},
    };
    for (const BlocksCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> starts;
        for (const std::string& line : dumpLines(*machine, c.blocks))
            starts.push_back(line.substr(0, 4));
        EXPECT_EQ(starts, c.lineStarts);
    }
}

TEST_F(MemoryViewsTest, TheRamViewRebuildsOnlyAfterMemoryChanged) {
    MemoryRangeLists blocks;
    blocks.readWrite[0] = {true, 0x0000, 0x000F};
    blocks.readOnly[0] = {true, 0xE000, 0xE00F};
    RamView view;

    view.show(*machine, blocks);
    EXPECT_FALSE(machine->memoryChanged);
    ASSERT_EQ(view.lines().size(), 1u);
    EXPECT_EQ(view.lines()[0].substr(0, 9), "0000: 00 ");
    EXPECT_FALSE(view.rebuild(*machine, blocks));

    machine->memoryChanged = true;
    EXPECT_TRUE(view.rebuild(*machine, blocks));
    EXPECT_FALSE(machine->memoryChanged);

    // An interrupt entry stacks the registers without the flag: the changed bytes still show.
    setMemoryKind(machine->memory, 0x0000, 0x000F, MemoryKind::Ram);
    setMemoryKind(machine->memory, 0xFFF0, 0xFFF1, MemoryKind::Rom);
    fill(0xFFF0, {0xE0, 0x00});
    machine->sp = 0x000F;
    machine->pc = 0xE123;
    interruptEntry(*machine, InterruptSource::RealTime);
    ASSERT_TRUE(host.messages.empty());
    ASSERT_FALSE(machine->memoryChanged);
    EXPECT_TRUE(view.rebuild(*machine, blocks));
    EXPECT_EQ(view.lines()[0].substr(50, 5), "E1 23") << view.lines()[0];

    machine->poke(0x0000, 0x42);
    view.show(*machine, blocks);
    EXPECT_EQ(view.lines()[0].substr(0, 9), "0000: 42 ");

    EXPECT_EQ(romViewLines(*machine, blocks)[0].substr(0, 4), "E000");
}

TEST_F(MemoryViewsTest, ModifyRamTakesTheAddressOfADumpLineButNotOfTheSeparator) {
    EXPECT_EQ(dumpLineAddress(dumpLine(*machine, 0xB610)), 0xB610);
    EXPECT_EQ(dumpLineAddress(kBlockSeparatorLine), std::nullopt);
    EXPECT_EQ(dumpLineAddress(""), std::nullopt);
}

class SaveViewTest : public MemoryViewsTest {
  protected:
    std::string save(bool answer) {
        return saveViewToFile(file, {"0000: line one", "0010: \x7F\xC0\xFF"},
                              [this, answer](std::string_view question) {
                                  questions.emplace_back(question);
                                  return answer;
                              });
    }

    testing::TempDirectory directory;
    std::filesystem::path file = directory / "dump.txt";
    std::vector<std::string> questions;
};

// The view's Latin-1 bytes 7F-FF become UTF-8 text with LF line ends.
TEST_F(SaveViewTest, WritesEveryLineOfANewFileWithoutAsking) {
    EXPECT_EQ(save(false), "");
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(testing::readText(file), "0000: line one\n0010: \x7F\xC3\x80\xC3\xBF\n");
}

TEST_F(SaveViewTest, AsksBeforeReplacingAFileAndKeepsItOnNo) {
    testing::writeText(file, "old");
    EXPECT_EQ(save(false), "");
    EXPECT_EQ(questions, std::vector<std::string>{"OK to overwrite " + file.string() + " ?"});
    EXPECT_EQ(testing::readText(file), "old");

    EXPECT_EQ(save(true), "");
    EXPECT_EQ(testing::readText(file), "0000: line one\n0010: \x7F\xC3\x80\xC3\xBF\n");
}

TEST_F(SaveViewTest, AFailedWriteReportsTheFileAndLeavesNothingBehind) {
    std::filesystem::create_directory(file);  // a directory stands where the file should go
    EXPECT_EQ(save(true), "Cannot write the file " + file.string());
    EXPECT_TRUE(std::filesystem::is_directory(file));

    file = directory / "missing" / "dump.txt";
    EXPECT_EQ(save(true), "Cannot write the file " + file.string());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.path()), {}), 1);
}

TEST_F(MemoryViewsTest, TheCopyHoldsEveryLine) {
    EXPECT_EQ(clipboardText({"a", " ", "b"}), "a\n \nb\n");
}

// ---- Stack view ----

std::vector<std::string> labelsOf(const StackColumn& column) {
    std::vector<std::string> labels;
    for (const StackCell& cell : column.cells) labels.emplace_back(cell.label);
    return labels;
}

TEST_F(MemoryViewsTest, TheStackColumnsRunFromAboveToBelowTheirPointers) {
    machine->sp = 0x00FF;
    machine->ix = 0x7FFF;
    machine->iy = 0x0005;
    machine->poke(0x7FFF, 0x01);
    const auto columns = stackView(*machine);

    EXPECT_EQ(columns[0].pointer, "SP");
    EXPECT_EQ(columns[0].cells.front().address, 0x010B);
    EXPECT_EQ(columns[0].cells.back().address, 0x00F7);
    EXPECT_EQ(labelsOf(columns[0]),
              (std::vector<std::string>{"",    "",    "",     "PCL",  "PCH", "IYL",  "IYH",
                                        "IXL", "IXH", "ACCA", "ACCB", "CCR", "SP->", "-1",
                                        "-2",  "-3",  "-4",   "-5",   "-6",  "-7",   "-8"}));

    EXPECT_EQ(columns[1].pointer, "IX");
    EXPECT_EQ(columns[1].cells[10].text, "7FFF: 01");
    EXPECT_EQ(columns[1].cells[10].label, "IX->");
    EXPECT_EQ(columns[1].cells.front().label, "+10");
    EXPECT_EQ(columns[1].cells.back().label, "-10");

    EXPECT_EQ(columns[2].cells.front().address, 0x000F);
    EXPECT_EQ(columns[2].cells.back().address, 0xFFFB);  // IY-10 wraps below 0000
}

TEST_F(MemoryViewsTest, AStackNearFFFFWrapsToTheBottomOfMemory) {
    machine->sp = 0xFFFC;
    const auto columns = stackView(*machine);
    EXPECT_EQ(columns[0].cells.front().address, 0x0008);
    EXPECT_EQ(columns[0].cells[3].address, 0x0005);  // PCL
    EXPECT_EQ(columns[0].cells[12].address, 0xFFFC);
}

TEST_F(MemoryViewsTest, MarkersAndArrowsShowWhereTheOtherPointersPoint) {
    machine->sp = 0x01F0;
    machine->ix = 0x01F3;  // SP+3, the stacked ACCA
    machine->iy = 0x4000;
    const auto columns = stackView(*machine);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        for (const StackCell& cell : columns[c].cells) {
            SCOPED_TRACE(std::string(columns[c].pointer) + " " + cell.text);
            const bool markedRow =
                (c == 0 && cell.label == "ACCA") || (c == 1 && cell.label == "-3");
            EXPECT_EQ(cell.arrowVisible, markedRow);
            EXPECT_EQ(cell.markers[0].visible, markedRow);
            EXPECT_FALSE(cell.markers[1].visible);
        }
    }
    EXPECT_EQ(columns[0].cells[9].markers[0].name, "IX");
    EXPECT_EQ(columns[1].cells[13].markers[0].name, "SP");
    EXPECT_EQ(columns[2].cells[0].markers[1].name, "IX");
}

TEST_F(MemoryViewsTest, OnlyRamCellsOpenTheStackEditor) {
    setMemoryKind(machine->memory, 0x0000, 0x00FF, MemoryKind::Ram);
    setMemoryKind(machine->memory, 0x1000, 0x103F, MemoryKind::Io);
    setMemoryKind(machine->memory, 0xE000, 0xFFFF, MemoryKind::Rom);
    EXPECT_TRUE(opensStackEditor(*machine, 0x00FF));
    EXPECT_FALSE(opensStackEditor(*machine, 0x1000));
    EXPECT_FALSE(opensStackEditor(*machine, 0xFFFF));
    EXPECT_FALSE(opensStackEditor(*machine, 0x0100));
}

}  // namespace
}  // namespace tarnwick
