#include "debugger/bookmarks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "debugger/error_line_mark.h"
#include "debugger/go_to_line.h"
#include "debugger_fixture.h"

namespace tarnwick::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class BookmarkTest : public DebuggerTest {
  protected:
    Bookmarks bookmarks{editor, host};

    void toggleAt(const std::filesystem::path& file, int line) {
        caretAt(file, line);
        bookmarks.toggle();
    }
};

TEST_F(BookmarkTest, ToggleTwiceLeavesAPlainLineAndAFreeSlot) {
    toggleAt(mainFile, 0);  // the first line of a file is like any other

    EXPECT_EQ(editor.markers(mainFile, 0), bookmarkMarker(1));
    EXPECT_EQ(editor.lineStyle(mainFile, 0), LineStyle::Bookmark);
    EXPECT_TRUE(bookmarks.isChecked(1));
    EXPECT_EQ(bookmarks.slot(1).file, mainFile);
    EXPECT_EQ(bookmarks.slot(1).line, 0);

    bookmarks.toggle();

    EXPECT_EQ(editor.markers(mainFile, 0), 0);
    EXPECT_EQ(editor.lineStyle(mainFile, 0), LineStyle::Whitespace);
    EXPECT_FALSE(bookmarks.isChecked(1));
}

TEST_F(BookmarkTest, SlotsFillInOrderAndANinthIsRefused) {
    for (int line = 0; line < 6; ++line) toggleAt(mainFile, line);
    toggleAt(utilFile, 0);
    toggleAt(utilFile, 1);
    for (int k = 1; k <= kBookmarkSlots; ++k) EXPECT_TRUE(bookmarks.isChecked(k));
    EXPECT_EQ(bookmarks.slot(4).line, 3);
    EXPECT_EQ(editor.markers(utilFile, 1), kCodeLineMarker | bookmarkMarker(8));

    editor.addPage(directory / "third.asm", {"one", "two"});
    toggleAt(directory / "third.asm", 1);

    EXPECT_THAT(messageTexts(), ElementsAre("Bookmark is full"));
    EXPECT_EQ(host.messages[0].kind, FakeHost::Message::Information);
    EXPECT_EQ(editor.markers(directory / "third.asm", 1), 0);
}

TEST_F(BookmarkTest, StrongerMarkersKeepTheirStyle) {
    editor.setMarkers(mainFile, kLoopLine, kCodeLineMarker | kBreakpointMarker);
    editor.setLineStyle(mainFile, kLoopLine, LineStyle::BreakPoint);

    toggleAt(mainFile, kLoopLine);
    EXPECT_EQ(editor.markers(mainFile, kLoopLine),
              kCodeLineMarker | kBreakpointMarker | bookmarkMarker(1));
    EXPECT_EQ(editor.lineStyle(mainFile, kLoopLine), LineStyle::BreakPoint);

    bookmarks.toggle();
    EXPECT_EQ(editor.lineStyle(mainFile, kLoopLine), LineStyle::BreakPoint);
}

TEST_F(BookmarkTest, GoToCentresTheLineInItsPage) {
    toggleAt(utilFile, 1);
    caretAt(mainFile, 0);

    bookmarks.goTo(1);
    EXPECT_EQ(editor.activeFile(), utilFile);
    EXPECT_EQ(editor.centredLine, 1);

    bookmarks.goTo(2);  // unchecked: nothing
    EXPECT_EQ(editor.centredLine, 1);
}

TEST_F(BookmarkTest, ClosedFilesFreeTheirSlots) {
    toggleAt(mainFile, 0);
    toggleAt(mainFile, 1);
    toggleAt(utilFile, 0);
    caretAt(mainFile, 0);
    editor.pages.erase(utilFile);

    bookmarks.goTo(3);
    EXPECT_FALSE(bookmarks.isChecked(3));
    EXPECT_FALSE(editor.isOpen(utilFile));
    EXPECT_EQ(editor.activeFile(), mainFile);

    toggleAt(mainFile, 4);
    EXPECT_EQ(editor.markers(mainFile, 4), kCodeLineMarker | bookmarkMarker(3));

    // A toggle also forgets slots whose file was closed since.
    editor.addPage(directory / "third.asm", {"one"});
    toggleAt(directory / "third.asm", 0);
    editor.pages.erase(directory / "third.asm");
    caretAt(mainFile, 5);
    bookmarks.toggle();
    EXPECT_EQ(bookmarks.slot(4).file, mainFile);
}

TEST(ErrorLineMarkTest, MarksTheCaretLineAndRestoresItsStyleOnce) {
    FakeSourceEditor editor;
    editor.addPage("/p/a.asm", {"one", "two", "three"});
    editor.setLineStyle("/p/a.asm", 1, LineStyle::BreakPoint);
    editor.setStatusText(kStatusPanel, "Errors");
    ErrorLineMark mark(editor);

    mark.restore();  // nothing marked: the status text stays
    EXPECT_EQ(editor.statusPanels[kStatusPanel], "Errors");

    editor.moveCaret(0);
    mark.mark();
    editor.moveCaret(1);
    mark.mark();  // the first line gets its style back at once
    EXPECT_EQ(editor.lineStyle("/p/a.asm", 0), LineStyle::Whitespace);
    EXPECT_EQ(editor.lineStyle("/p/a.asm", 1), LineStyle::ErrorLine);
    EXPECT_EQ(editor.statusPanels[kStatusPanel], "Errors");

    mark.restore();
    EXPECT_EQ(editor.lineStyle("/p/a.asm", 1), LineStyle::BreakPoint);
    EXPECT_EQ(editor.statusPanels[kStatusPanel], "");
    EXPECT_FALSE(mark.isMarked());
}

TEST(GoToLineTest, FieldKeepsFiveDigitsAndOkGoesToTheLineInsideThePage) {
    EXPECT_EQ(go_to_line::fieldText("12a34-5678"), "12345");

    struct Case {
        const char* text;
        int caret;
    };
    const Case cases[] = {{"", 1}, {"4", 3}, {"1", 0}, {"0", 0}, {"99999", 9}};
    FakeSourceEditor editor;
    editor.addPage("/p/a.asm", std::vector<std::string>(10, "nop"));
    editor.moveCaret(6);
    EXPECT_EQ(go_to_line::initialText(editor), "7");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        go_to_line::goToLine(editor, c.text);
        EXPECT_EQ(editor.caretLine(), c.caret);
    }
}

}  // namespace
}  // namespace tarnwick::testing
