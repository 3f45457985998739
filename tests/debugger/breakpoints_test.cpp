#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/run_loops.h"
#include "debugger/breakpoint_list.h"
#include "debugger/modify_breakpoint.h"
#include "debugger_fixture.h"

namespace tarnwick::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class BreakpointTest : public DebuggerTest {
  protected:
    BreakpointList breakpoints{context};

    const AddressRecord& record(std::uint16_t address) const { return machine->memory[address]; }

    void setHitCount(int editorLine, const char* count) {
        caretAt(mainFile, editorLine);
        auto dialog = ModifyBreakpoint::forCaretLine(context, breakpoints);
        ASSERT_TRUE(dialog);
        ASSERT_TRUE(dialog->ok("0", count));
    }
};

TEST_F(BreakpointTest, ToggleSetsAndClearsAddressMarkerRowAndStopCount) {
    caretAt(mainFile, kLoopLine);
    breakpoints.toggleAtCaret();

    EXPECT_EQ(record(kLoop).flags & kBreakpointFlag, kBreakpointFlag);
    EXPECT_EQ(record(kLoop).hitCount, 1);
    EXPECT_EQ(machine->activeStopCount, 1);
    EXPECT_TRUE(editor.markers(mainFile, kLoopLine) & kBreakpointMarker);
    EXPECT_EQ(editor.lineStyle(mainFile, kLoopLine), LineStyle::BreakPoint);
    EXPECT_THAT(rowTexts(breakpoints.rows()), ElementsAre("main.asm|4|8002|0 of 1"));
    EXPECT_TRUE(display.refreshed & kBreakpointList);

    breakpoints.toggle(mainFile, kLoopLine);  // the gutter click

    EXPECT_EQ(record(kLoop).flags & kBreakpointFlag, 0);
    EXPECT_EQ(record(kLoop).hitCount, 0);
    EXPECT_EQ(record(kLoop).flags & kMemoryKindMask, static_cast<int>(MemoryKind::Ram));
    EXPECT_EQ(machine->activeStopCount, 0);
    EXPECT_EQ(editor.markers(mainFile, kLoopLine), kCodeLineMarker);
    EXPECT_EQ(editor.lineStyle(mainFile, kLoopLine), LineStyle::Whitespace);
    EXPECT_THAT(breakpoints.rows(), IsEmpty());
}

TEST_F(BreakpointTest, LinesWithoutCodeTakeNoBreakpoint) {
    breakpoints.toggle(mainFile, kCommentLine);
    breakpoints.toggle(mainFile, 1);   // ORG generates no code
    breakpoints.toggle(mainFile, 40);  // past the end
    // A marked line whose address the source map cannot give (here: another module's name)
    // must not end up as a breakpoint at 0000.
    sourceMap.modules[0] = "other.asm";
    breakpoints.toggle(mainFile, kLoopLine);

    EXPECT_THAT(breakpoints.rows(), IsEmpty());
    EXPECT_EQ(machine->activeStopCount, 0);
    EXPECT_EQ(record(0x0000).hitCount, 0);
    EXPECT_EQ(editor.markers(mainFile, kLoopLine), kCodeLineMarker);
}

TEST_F(BreakpointTest, RemovingRestylesByTheRemainingMarkers) {
    struct Case {
        MarkerBits otherMarkers;
        LineStyle styleBefore;
        LineStyle styleAfterSet;
        LineStyle styleAfterRemove;
    };
    const Case cases[] = {
        {kCounterMarker, LineStyle::Counter, LineStyle::BreakPoint, LineStyle::Counter},
        {bookmarkMarker(2), LineStyle::Bookmark, LineStyle::BreakPoint, LineStyle::Bookmark},
        {kCounterMarker | bookmarkMarker(1), LineStyle::Counter, LineStyle::BreakPoint,
         LineStyle::Counter},
        {kExecutionPointMarker, LineStyle::ExecutionPoint, LineStyle::ExecutionPoint,
         LineStyle::ExecutionPoint},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.otherMarkers));
        editor.setMarkers(mainFile, kLoopLine, kCodeLineMarker | c.otherMarkers);
        editor.setLineStyle(mainFile, kLoopLine, c.styleBefore);

        breakpoints.toggle(mainFile, kLoopLine);
        EXPECT_EQ(editor.lineStyle(mainFile, kLoopLine), c.styleAfterSet);
        breakpoints.toggle(mainFile, kLoopLine);
        EXPECT_EQ(editor.lineStyle(mainFile, kLoopLine), c.styleAfterRemove);
        EXPECT_EQ(editor.markers(mainFile, kLoopLine), kCodeLineMarker | c.otherMarkers);
    }
}

TEST_F(BreakpointTest, RowsKeepCreationOrderAndNameFilesOutsideTheProjectDirectoryInFull) {
    breakpoints.toggle(mainFile, kDoneLine);
    breakpoints.toggle(utilFile, 1);
    breakpoints.toggle(mainFile, kStartLine);

    EXPECT_THAT(rowTexts(breakpoints.rows()),
                ElementsAre("main.asm|6|8005|0 of 1", utilFile.string() + "|2|8010|0 of 1",
                            "main.asm|3|8000|0 of 1"));
    EXPECT_EQ(machine->activeStopCount, 3);
}

TEST_F(BreakpointTest, HitCountThreeStopsRunAtTheThirdArrivalAndShowsItOnce) {
    breakpoints.toggle(mainFile, kLoopLine);
    setHitCount(kLoopLine, "3");

    runBounded([&] { run(*machine); });

    EXPECT_EQ(machine->pc, kLoop);
    EXPECT_EQ(machine->a, 3);  // two passes through DECA before the stop
    breakpoints.refresh();
    EXPECT_EQ(breakpoints.rows()[0].count, "3 of 3");
    EXPECT_EQ(record(kLoop).hit, 0);
    breakpoints.refresh();
    EXPECT_EQ(breakpoints.rows()[0].count, "0 of 3");
}

TEST_F(BreakpointTest, RefreshLetsTheNextRunStopAtTheNextArrival) {
    breakpoints.toggle(mainFile, kLoopLine);

    runBounded([&] { run(*machine); });
    EXPECT_EQ(machine->a, 5);
    breakpoints.refresh();
    EXPECT_EQ(breakpoints.rows()[0].count, "1 of 1");

    runBounded([&] { run(*machine); });
    EXPECT_EQ(machine->pc, kLoop);
    EXPECT_EQ(machine->a, 4);
}

TEST_F(BreakpointTest, RunFreelyToCursorPassesBreakpoints) {
    breakpoints.toggle(mainFile, kLoopLine);
    breakpoints.toggle(mainFile, kBranchLine);
    setHitCount(kBranchLine, "3");

    runBounded([&] { runFreelyToAddress(*machine, kDone); });

    EXPECT_EQ(machine->pc, kDone);
    EXPECT_EQ(machine->a, 0);
    EXPECT_EQ(record(kLoop).hit, 0);   // count 1: back to 0 at every pass
    EXPECT_EQ(record(0x8003).hit, 2);  // five passes with count 3
    EXPECT_EQ(machine->activeStopCount, 2);
}

TEST_F(BreakpointTest, ResetAllHitsShowsZeroInEveryRow) {
    breakpoints.toggle(mainFile, kLoopLine);
    breakpoints.toggle(mainFile, kDoneLine);
    setHitCount(kLoopLine, "4");
    machine->memory[kLoop].hit = 2;
    machine->memory[kDone].hit = 1;
    breakpoints.refresh();

    breakpoints.resetAllHits();

    EXPECT_THAT(rowTexts(breakpoints.rows()),
                ElementsAre("main.asm|4|8002|0 of 4", "main.asm|6|8005|0 of 1"));
}

TEST_F(BreakpointTest, DeleteRemovesTheSelectedRowWithItsMarkerAndAddress) {
    breakpoints.toggle(mainFile, kStartLine);
    breakpoints.toggle(mainFile, kLoopLine);
    editor.setMarkers(mainFile, kLoopLine, kCodeLineMarker | kBreakpointMarker | kCounterMarker);

    breakpoints.deleteRow(1);

    EXPECT_THAT(rowTexts(breakpoints.rows()), ElementsAre("main.asm|3|8000|0 of 1"));
    EXPECT_EQ(editor.markers(mainFile, kLoopLine), kCodeLineMarker | kCounterMarker);
    EXPECT_EQ(editor.lineStyle(mainFile, kLoopLine), LineStyle::Counter);
    EXPECT_EQ(record(kLoop).flags & kBreakpointFlag, 0);
    EXPECT_EQ(machine->activeStopCount, 1);
}

TEST_F(BreakpointTest, DeleteAllEmptiesTheListEvenWhenAFileHasNoPage) {
    breakpoints.toggle(mainFile, kLoopLine);
    breakpoints.toggle(utilFile, 1);
    breakpoints.toggle(mainFile, kDoneLine);
    editor.pages.erase(utilFile);

    breakpoints.deleteAll();

    EXPECT_THAT(breakpoints.rows(), IsEmpty());
    EXPECT_EQ(machine->activeStopCount, 0);
    EXPECT_EQ(record(kUtil).flags & kBreakpointFlag, 0);
    EXPECT_THAT(editor.linesWith(mainFile, kBreakpointMarker), IsEmpty());
}

TEST_F(BreakpointTest, ListCommandsWithoutSelectionAskForOne) {
    breakpoints.deleteRow(std::nullopt);  // an empty list: nothing to say
    EXPECT_THAT(host.messages, IsEmpty());

    breakpoints.toggle(mainFile, kLoopLine);
    breakpoints.deleteRow(std::nullopt);
    breakpoints.viewSource(std::nullopt);
    breakpoints.viewSource(5);
    EXPECT_FALSE(ModifyBreakpoint::forRow(context, breakpoints, std::nullopt));

    EXPECT_THAT(messageTexts(), ElementsAre(std::string(kNoItemSelected), kNoItemSelected,
                                            kNoItemSelected, kNoItemSelected));
    for (const auto& message : host.messages)
        EXPECT_EQ(message.kind, FakeHost::Message::Information);
    EXPECT_EQ(breakpoints.rows().size(), 1u);
}

TEST_F(BreakpointTest, ViewSourceCentresTheRowsLineInItsPage) {
    breakpoints.toggle(utilFile, 1);
    caretAt(mainFile, 0);

    breakpoints.viewSource(0);

    EXPECT_EQ(editor.activeFile(), utilFile);
    EXPECT_EQ(editor.centredLine, 1);
}

TEST_F(BreakpointTest, OnlyTheFilenameHeaderOfAFilledListComplainsAboutSorting) {
    breakpoints.columnClicked(0);
    breakpoints.toggle(mainFile, kLoopLine);
    breakpoints.columnClicked(1);
    breakpoints.columnClicked(0);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, FakeHost::Message::Error);
    EXPECT_EQ(host.messages[0].text, "Sorting is not available yet...");
}

TEST_F(BreakpointTest, ClearEmptiesOnlyTheList) {
    breakpoints.toggle(mainFile, kLoopLine);

    breakpoints.clear();

    EXPECT_THAT(breakpoints.rows(), IsEmpty());
    EXPECT_EQ(record(kLoop).hitCount, 1);
    EXPECT_EQ(machine->activeStopCount, 1);
    EXPECT_TRUE(editor.markers(mainFile, kLoopLine) & kBreakpointMarker);
}

TEST_F(BreakpointTest, ModifyDialogOpensOnlyOnABreakpointAndShowsIt) {
    caretAt(mainFile, kLoopLine);
    EXPECT_FALSE(ModifyBreakpoint::forCaretLine(context, breakpoints));

    breakpoints.toggle(mainFile, kDoneLine);
    breakpoints.toggle(mainFile, kLoopLine);
    const auto fromEditor = ModifyBreakpoint::forCaretLine(context, breakpoints);
    const auto fromList = ModifyBreakpoint::forRow(context, breakpoints, 1);

    for (const auto& dialog : {fromEditor, fromList}) {
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->fileNameText(), "main.asm");
        EXPECT_EQ(dialog->lineText(), "4");
        EXPECT_EQ(dialog->addressText(), "8002");
        EXPECT_EQ(dialog->passText(), "0 of 1");
        EXPECT_EQ(dialog->sourceText(), "loop    DECA");
        EXPECT_EQ(dialog->initialNewPass(), "0");
        EXPECT_EQ(dialog->initialNewCount(), "1");
    }
}

TEST_F(BreakpointTest, ModifyOkStoresValidInputAndRefusesTheRest) {
    struct Case {
        const char* pass;
        const char* count;
        const char* error;  // null: stored
        std::uint16_t storedHit = 0;
        std::uint16_t storedCount = 0;
    };
    const Case cases[] = {
        {"2", "3", nullptr, 2, 3},
        {"5", "5", nullptr, 0, 5},
        {"", "7", nullptr, 0, 7},
        {"0", "65535", nullptr, 0, 65535},
        {"4", "2", "New Pass is higher than New Count"},
        {"70000", "70000", "Maximum value of count is 65535"},
        {"65536", "9", "Maximum value of pass is 65535"},
    };
    breakpoints.toggle(mainFile, kLoopLine);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pass) + " of " + c.count);
        machine->memory[kLoop].hit = 1;
        machine->memory[kLoop].hitCount = 9;
        host.messages.clear();
        auto dialog = ModifyBreakpoint::forRow(context, breakpoints, 0);
        ASSERT_TRUE(dialog);

        const bool closed = dialog->ok(c.pass, c.count);

        EXPECT_EQ(closed, c.error == nullptr);
        if (c.error) {
            EXPECT_THAT(messageTexts(), ElementsAre(c.error));
            EXPECT_EQ(host.messages[0].kind, FakeHost::Message::Error);
            EXPECT_EQ(record(kLoop).hit, 1);
            EXPECT_EQ(record(kLoop).hitCount, 9);
        } else {
            EXPECT_THAT(host.messages, IsEmpty());
            EXPECT_EQ(record(kLoop).hit, c.storedHit);
            EXPECT_EQ(record(kLoop).hitCount, c.storedCount);
            EXPECT_EQ(breakpoints.rows()[0].count,
                      std::to_string(c.storedHit) + " of " + std::to_string(c.storedCount));
        }
    }
}

TEST_F(BreakpointTest, ModifyFieldsKeepDigitsAndNeverStayEmptyOrAtZeroCount) {
    struct Case {
        const char* typed;
        const char* pass;
        const char* count;
    };
    const Case cases[] = {
        {"", "1", "1"},
        {"0", "0", "1"},
        {"000", "000", "1"},
        {"12a3", "123", "123"},
        {"1234567", "12345", "12345"},
        {"05", "05", "05"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(ModifyBreakpoint::newPassFieldText(c.typed), c.pass);
        EXPECT_EQ(ModifyBreakpoint::newCountFieldText(c.typed), c.count);
    }
}

TEST_F(BreakpointTest, ModifyOkNeverStoresAZeroCount) {
    breakpoints.toggle(mainFile, kLoopLine);
    auto dialog = ModifyBreakpoint::forRow(context, breakpoints, 0);
    ASSERT_TRUE(dialog);

    EXPECT_TRUE(dialog->ok("0", "00"));

    EXPECT_EQ(record(kLoop).hitCount, 1);
}

}  // namespace
}  // namespace tarnwick::testing
