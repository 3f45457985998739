#include "debugger/sci_terminal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

void feed(SciTerminal& terminal, std::string_view bytes) {
    for (const char byte : bytes) terminal.feed(static_cast<std::uint8_t>(byte));
}

std::vector<std::string> lines(const SciTerminal& terminal) {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < terminal.lineCount(); ++i) result.emplace_back(terminal.line(i));
    return result;
}

TEST(SciTerminalTest, ControlBytesActAsOnATerminalOrAreShownByTheirCode) {
    const std::string x80(80, 'x');
    const struct {
        std::string bytes;
        std::vector<std::string> lines;
        std::size_t column;
    } cases[] = {
        {"AB\r\nCD", {"AB", "CD"}, 2},
        {"Hello\rJ", {"Jello"}, 1},
        {"ab\ncd", {"ab", "  cd"}, 4},  // LF alone keeps the column
        {"abc\b\bX", {"aXc"}, 2},
        {"\b\bA", {"A"}, 1},
        {"a\tb", {"a       b"}, 9},
        {"\x1B[2J\x07", {"<1B>[2J<07>"}, 11},
        {std::string("\x85\xE9\x7F\x00", 4), {"<85>\xE9<7F><00>"}, 13},
        {x80 + "y", {x80, "y"}, 1},
        {x80 + "\r\n", {x80, ""}, 0},  // no blank line after a full one
        {std::string(78, 'x') + "\ty", {std::string(78, 'x'), "y"}, 1},
    };
    for (const auto& c : cases) {
        SciTerminal terminal;
        feed(terminal, c.bytes);
        EXPECT_EQ(lines(terminal), c.lines) << c.bytes;
        EXPECT_EQ(terminal.cursorColumn(), c.column) << c.bytes;
    }
}

TEST(SciTerminalTest, KeepsTheNewestLinesAndTellsAViewWhatChanged) {
    SciTerminal terminal;
    EXPECT_TRUE(terminal.changed());
    terminal.markShown();
    EXPECT_FALSE(terminal.changed());

    feed(terminal, "one\r\ntwo");
    EXPECT_EQ(terminal.changedFrom(), 0u);
    terminal.markShown();
    feed(terminal, "\rTWO");
    EXPECT_EQ(terminal.changedFrom(), 1u) << "only the line under the cursor";

    for (std::size_t i = 0; i < SciTerminal::kKeptLines + 5; ++i)
        feed(terminal, "line " + std::to_string(i) + "\r\n");
    EXPECT_EQ(terminal.lineCount(), SciTerminal::kKeptLines);
    EXPECT_EQ(terminal.firstLineNumber(), 7u);
    EXPECT_EQ(terminal.line(0), "line 6");
    EXPECT_EQ(terminal.line(SciTerminal::kKeptLines - 2), "line 1004");
    EXPECT_EQ(terminal.line(SciTerminal::kKeptLines - 1), "");
    EXPECT_TRUE(terminal.changed());

    terminal.markShown();
    terminal.clear();
    EXPECT_EQ(lines(terminal), std::vector<std::string>{""});
    EXPECT_EQ(terminal.firstLineNumber(), 7u + SciTerminal::kKeptLines);
    EXPECT_EQ(terminal.changedFrom(), terminal.firstLineNumber());
    feed(terminal, "again");
    EXPECT_EQ(lines(terminal), std::vector<std::string>{"again"});
}

}  // namespace
}  // namespace tarnwick
