#include "debugger/execution_counters.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/run_loops.h"
#include "debugger/breakpoint_list.h"
#include "debugger_fixture.h"

namespace tarnwick::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ExecutionCounterTest : public DebuggerTest {
  protected:
    ExecutionCounterList counters{context};

    std::uint32_t& count(std::uint16_t address) { return machine->memory[address].executionCount; }
};

TEST_F(ExecutionCounterTest, ToggleStartsTheCountAndRemovingKeepsIt) {
    count(kLoop) = 99;
    caretAt(mainFile, kLoopLine);
    counters.toggleAtCaret();

    EXPECT_EQ(count(kLoop), 0u);
    EXPECT_THAT(rowTexts(counters.rows()), ElementsAre("main.asm|4|8002|0"));
    EXPECT_EQ(editor.markers(mainFile, kLoopLine), kCodeLineMarker | kCounterMarker);
    EXPECT_EQ(editor.lineStyle(mainFile, kLoopLine), LineStyle::Counter);
    EXPECT_TRUE(display.refreshed & kCounterList);

    count(kLoop) = 7;
    counters.toggle(mainFile, kLoopLine);

    EXPECT_THAT(counters.rows(), IsEmpty());
    EXPECT_EQ(count(kLoop), 7u);
    EXPECT_EQ(editor.markers(mainFile, kLoopLine), kCodeLineMarker);
    EXPECT_EQ(editor.lineStyle(mainFile, kLoopLine), LineStyle::Whitespace);

    counters.toggle(mainFile, kLoopLine);
    EXPECT_EQ(count(kLoop), 0u);

    counters.toggle(mainFile, kCommentLine);
    EXPECT_EQ(counters.rows().size(), 1u);
}

TEST_F(ExecutionCounterTest, BreakpointStyleWinsOverTheCounter) {
    BreakpointList breakpoints(context);
    breakpoints.toggle(mainFile, kLoopLine);

    counters.toggle(mainFile, kLoopLine);
    EXPECT_EQ(editor.lineStyle(mainFile, kLoopLine), LineStyle::BreakPoint);
    EXPECT_EQ(counters.rows().size(), 1u);

    counters.toggle(mainFile, kLoopLine);
    EXPECT_EQ(editor.lineStyle(mainFile, kLoopLine), LineStyle::BreakPoint);

    counters.toggle(mainFile, kLoopLine);
    breakpoints.toggle(mainFile, kLoopLine);
    EXPECT_EQ(editor.lineStyle(mainFile, kLoopLine), LineStyle::Counter);
}

TEST_F(ExecutionCounterTest, RefreshShowsExecutionsWithThousandsSeparators) {
    counters.toggle(mainFile, kLoopLine);
    counters.toggle(mainFile, kBranchLine);
    count(0x8003) = 65535;

    runBounded([&] { runFreelyToAddress(*machine, kDone); });
    counters.refresh();

    EXPECT_THAT(rowTexts(counters.rows()),
                ElementsAre("main.asm|4|8002|5", "main.asm|5|8003|65,540"));

    count(kLoop) = 4294967295u;
    counters.refresh();
    EXPECT_EQ(counters.rows()[0].count, "4,294,967,295");
}

TEST_F(ExecutionCounterTest, ResetZeroesTheSelectedRowAndResetAllEveryRow) {
    counters.toggle(mainFile, kStartLine);
    counters.toggle(mainFile, kLoopLine);
    counters.toggle(utilFile, 1);
    count(kStart) = 10;
    count(kLoop) = 20;
    count(kUtil) = 30;

    counters.resetRow(1);
    EXPECT_THAT(rowTexts(counters.rows()), ElementsAre("main.asm|3|8000|10", "main.asm|4|8002|0",
                                                       utilFile.string() + "|2|8010|30"));

    counters.resetAll();
    EXPECT_THAT(rowTexts(counters.rows()), ElementsAre("main.asm|3|8000|0", "main.asm|4|8002|0",
                                                       utilFile.string() + "|2|8010|0"));
}

TEST_F(ExecutionCounterTest, DeleteAndDeleteAllRemoveRowsAndMarkers) {
    counters.toggle(mainFile, kStartLine);
    counters.toggle(mainFile, kLoopLine);
    counters.toggle(utilFile, 1);
    editor.setMarkers(mainFile, kLoopLine, editor.markers(mainFile, kLoopLine) | bookmarkMarker(1));

    counters.deleteRow(1);
    EXPECT_THAT(rowTexts(counters.rows()),
                ElementsAre("main.asm|3|8000|0", utilFile.string() + "|2|8010|0"));
    EXPECT_EQ(editor.markers(mainFile, kLoopLine), kCodeLineMarker | bookmarkMarker(1));
    EXPECT_EQ(editor.lineStyle(mainFile, kLoopLine), LineStyle::Bookmark);

    editor.pages.erase(utilFile);
    counters.deleteAll();
    EXPECT_THAT(counters.rows(), IsEmpty());
    EXPECT_THAT(editor.linesWith(mainFile, kCounterMarker), IsEmpty());
}

TEST_F(ExecutionCounterTest, CommandsWithoutSelectionAskForOne) {
    counters.deleteRow(std::nullopt);
    counters.resetRow(std::nullopt);
    EXPECT_THAT(host.messages, IsEmpty());  // nothing to select in an empty list

    counters.toggle(mainFile, kLoopLine);
    counters.deleteRow(std::nullopt);
    counters.resetRow(std::nullopt);
    counters.viewSource(3);

    EXPECT_THAT(messageTexts(),
                ElementsAre(std::string(kNoItemSelected), kNoItemSelected, kNoItemSelected));
    EXPECT_EQ(counters.rows().size(), 1u);
}

TEST_F(ExecutionCounterTest, ViewSourceMovesTheCaretWithoutCentring) {
    counters.toggle(utilFile, 1);
    caretAt(mainFile, 0);

    counters.viewSource(0);

    EXPECT_EQ(editor.activeFile(), utilFile);
    EXPECT_EQ(editor.caretLine(), 1);
    EXPECT_EQ(editor.centredLine, -1);
}

TEST_F(ExecutionCounterTest, ClearEmptiesOnlyTheList) {
    counters.toggle(mainFile, kLoopLine);
    count(kLoop) = 3;

    counters.clear();

    EXPECT_THAT(counters.rows(), IsEmpty());
    EXPECT_EQ(count(kLoop), 3u);
    EXPECT_TRUE(editor.markers(mainFile, kLoopLine) & kCounterMarker);
}

}  // namespace
}  // namespace tarnwick::testing
