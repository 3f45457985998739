#include <Qsci/qscilexer.h>
#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "project/temp_directory.h"
#include "shell/editor_page.h"
#include "shell/editor_window.h"
#include "shell/environment_dialog.h"
#include "shell/fake_editor_dialogs.h"
#include "shell/find_dialog.h"
#include "support/fake_host.h"

namespace tarnwick {
namespace {

using testing::FakeEditorDialogs;
using testing::TempDirectory;
using testing::writeText;

// Every option away from its first-start value.
EditorOptions changedOptions() {
    EditorOptions options;
    options.autoIndent = false;
    options.backspaceUnindents = false;
    options.groupUndo = false;
    options.overwriteBlocks = false;
    options.smartTab = true;
    options.cursorBeyondEof = true;
    options.persistentBlocks = true;
    options.findTextAtCursor = true;
    options.forceCutAndCopy = true;
    options.doubleClickLine = true;
    options.tabStops = "4 8 12";
    options.blockIndent = 3;
    options.rightMarginVisible = false;
    options.marginColor = QColor(Qt::red);
    options.marginPosition = 72;
    options.fontName = "Letter Gothic";
    options.fontSize = 12;
    return options;
}

class EditorOptionsTest : public ::testing::Test {
  protected:
    EditorOptionsTest() : editor(std::make_unique<FakeEditorDialogs>()) { editor.resize(600, 400); }

    EditorPage* openFile(const std::string& name, const std::string& text) {
        const std::filesystem::path file = directory.path() / name;
        writeText(file, text);
        EXPECT_TRUE(editor.open(file));
        return editor.page(file);
    }

    TempDirectory directory;
    TEditor editor;
};

// What the component itself holds, read back from it rather than from the page's record.
void expectChangedOptionsApplied(EditorPage& page, const char* which) {
    SCOPED_TRACE(which);
    EXPECT_EQ(page.tabWidth(), 4);
    EXPECT_EQ(page.indentationWidth(), 3);
    EXPECT_FALSE(page.autoIndent());
    EXPECT_FALSE(page.backspaceUnindents());
    EXPECT_TRUE(page.tabIndents());
    EXPECT_EQ(page.SendScintilla(QsciScintilla::SCI_GETVIRTUALSPACEOPTIONS),
              QsciScintilla::SCVS_USERACCESSIBLE);
    EXPECT_EQ(page.SendScintilla(QsciScintilla::SCI_GETENDATLASTLINE), 0);
    EXPECT_EQ(page.edgeMode(), QsciScintilla::EdgeNone);
    EXPECT_EQ(page.edgeColumn(), 72);
    EXPECT_EQ(page.edgeColor(), QColor(Qt::red));

    const int plain = static_cast<int>(kWhitespaceStyle);
    const QFont font = page.lexer() ? page.lexer()->font(plain) : page.font();
    EXPECT_EQ(font.family(), "Letter Gothic");
    EXPECT_EQ(page.SendScintilla(QsciScintilla::SCI_STYLEGETSIZE, plain), 12);

    const EditorPageOptions& held = page.options();
    EXPECT_FALSE(held.groupUndo);
    EXPECT_TRUE(held.persistentBlocks);
    EXPECT_TRUE(held.findTextAtCursor);
    EXPECT_TRUE(held.forceCutAndCopy);
}

// A new page with the given text and the options of the first start but one.
template <typename Change>
EditorPage* newPageWith(TEditor& editor, const char* text, Change&& change) {
    EditorOptions options;
    change(options);
    applyEditorOptions(editor, options, "Default");
    editor.FileNewClick();
    EditorPage* page = editor.activePage();
    page->setText(text);
    page->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
    return page;
}

TEST_F(EditorOptionsTest, PagesOpenBeforeAndAfterTakeEveryOption) {
    EditorPage* before = openFile("before.asm", "\tLDAA\t#1\n");
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(before->edgeMode(), QsciScintilla::EdgeLine);

    applyEditorOptions(editor, changedOptions(), "Default");

    EditorPage* afterC = openFile("after.c", "int x;\n");
    ASSERT_NE(afterC, nullptr);
    editor.FileNewClick();
    EditorPage* unnamed = editor.activePage();

    expectChangedOptionsApplied(*before, "assembly page open before");
    expectChangedOptionsApplied(*afterC, "C page opened after");
    expectChangedOptionsApplied(*unnamed, "new page");
    // The font carries the styles' attributes: reserved words stay bold.
    const int reserved = static_cast<int>(kReservedWordStyle);
    EXPECT_EQ(before->lexer()->font(reserved).family(), "Letter Gothic");
    EXPECT_TRUE(before->lexer()->font(reserved).bold());
}

TEST_F(EditorOptionsTest, FontSurvivesTheColourSchemeAndARenameThatChangesTheHighlighter) {
    EditorPage* page = openFile("prog.asm", "\tNOP\n");
    ASSERT_NE(page, nullptr);
    applyEditorOptions(editor, changedOptions(), "Default");
    editor.setColorScheme("Twilight");
    QString error;
    ASSERT_TRUE(page->saveTo(directory.path() / "prog.c", error)) << error.toStdString();

    EXPECT_EQ(page->lexer()->font(static_cast<int>(kWhitespaceStyle)).family(), "Letter Gothic");
    EXPECT_EQ(page->lexer()->defaultPaper(), QColor(Qt::black));
}

TEST_F(EditorOptionsTest, ATabStopListThatIsNoListKeepsTheFirstStartWidth) {
    EditorOptions options = changedOptions();
    options.tabStops = "wide";
    options.blockIndent = 0;
    applyEditorOptions(editor, options, "Default");
    editor.FileNewClick();

    EXPECT_EQ(editor.activePage()->tabWidth(), 10);
    EXPECT_EQ(editor.activePage()->indentationWidth(), 1);
}

TEST_F(EditorOptionsTest, TabStopListsSetTheWidthAndTheStopsItDoesNotGive) {
    struct Case {
        const char* tabStops;
        int width;
        std::vector<int> firstStops;  // in spaces, up to the first beyond the custom ones
    };
    const std::vector<Case> cases = {
        {"4 8 12", 4, {4, 8, 12, 16}},
        {"8 12 20", 8, {8, 12, 20, 24}},
        {"6", 6, {6, 12}},
        {"8 4", 10, {10, 20}},  // not ascending: refused, the first-start width stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tabStops);
        EditorPage* page =
            newPageWith(editor, "a\n", [&](EditorOptions& o) { o.tabStops = c.tabStops; });
        // Lines made later get the stops as well.
        page->setCursorPosition(1, 0);
        QTest::keyClick(page, Qt::Key_Return);
        QTest::keyClick(page, Qt::Key_Return);
        const double space =
            page->SendScintilla(QsciScintilla::SCI_TEXTWIDTH, QsciScintilla::STYLE_DEFAULT,
                                std::string(100, ' ').c_str()) /
            100.0;

        EXPECT_EQ(page->tabWidth(), c.width);
        for (int line : {0, 2}) {
            // The custom stops first, then the multiples of the tab width.
            std::vector<int> stops;
            long x = 0;
            while (stops.size() < c.firstStops.size()) {
                x = page->SendScintilla(QsciScintilla::SCI_GETNEXTTABSTOP, line, x);
                if (x == 0) break;
                stops.push_back(static_cast<int>(std::lround(x / space)));
            }
            for (int column = stops.empty() ? 0 : stops.back(); stops.size() < c.firstStops.size();)
                stops.push_back(column = (column / c.width + 1) * c.width);
            EXPECT_EQ(stops, c.firstStops) << "line " << line;
        }
    }
}

// Dashed pens are drawn over the text; the line must stand where the component's solid one
// stands.
TEST_F(EditorOptionsTest, TheRightMarginIsDrawnWithItsPen) {
    struct Column {
        int x = -1;
        int redPixels = 0;
    };
    const auto reddestColumn = [](const QImage& image) {
        Column best;
        for (int x = 0; x < image.width(); ++x) {
            int red = 0;
            for (int y = 0; y < image.height(); ++y)
                if (image.pixelColor(x, y) == QColor(Qt::red)) ++red;
            if (red > best.redPixels) best = {x, red};
        }
        return best;
    };
    std::vector<Column> columns;
    for (const Qt::PenStyle pen : {Qt::SolidLine, Qt::DashLine}) {
        EditorPage* page = newPageWith(editor, "\n", [&](EditorOptions& o) {
            o.marginStyle = pen;
            o.marginColor = QColor(Qt::red);
            o.marginPosition = 10;
        });
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        columns.push_back(reddestColumn(page->viewport()->grab().toImage()));
    }
    const int height = editor.activePage()->viewport()->height();
    EXPECT_EQ(columns[0].redPixels, height);
    EXPECT_GT(columns[1].redPixels, height / 4);
    EXPECT_LT(columns[1].redPixels, height * 3 / 4);
    EXPECT_EQ(columns[1].x, columns[0].x);
}

TEST_F(EditorOptionsTest, TypingOverASelectionFollowsOverwriteBlocks) {
    struct Case {
        bool overwriteBlocks;
        const char* expected;
    };
    for (const Case& c : {Case{true, "x DEF\n"}, Case{false, "ABCx DEF\n"}}) {
        SCOPED_TRACE(c.overwriteBlocks);
        EditorOptions options;
        options.overwriteBlocks = c.overwriteBlocks;
        applyEditorOptions(editor, options, "Default");
        editor.FileNewClick();
        EditorPage* page = editor.activePage();
        page->setText("ABC DEF\n");
        page->setSelection(0, 0, 0, 3);

        QTest::keyClick(page, 'x');

        EXPECT_EQ(page->text(), c.expected);
        EXPECT_TRUE(page->selectedText().isEmpty());
    }
}

TEST_F(EditorOptionsTest, GroupUndoTakesBackKeysTypedInARowTogether) {
    for (const auto& [groupUndo, afterOneUndo] :
         {std::pair{true, "\n"}, std::pair{false, "ab\n"}}) {
        SCOPED_TRACE(groupUndo);
        EditorPage* page = newPageWith(
            editor, "\n", [grouped = groupUndo](EditorOptions& o) { o.groupUndo = grouped; });
        page->setCursorPosition(0, 0);
        QTest::keyClicks(page, "abc");
        ASSERT_EQ(page->text(), "abc\n");

        page->undo();
        EXPECT_EQ(page->text(), afterOneUndo);
    }
}

TEST_F(EditorOptionsTest, ForcedCutAndCopyTakeTheCaretLineWhenNothingIsSelected) {
    for (const bool forced : {false, true}) {
        SCOPED_TRACE(forced);
        EditorPage* page = newPageWith(editor, "\tNOP\n\tRTS\n",
                                       [&](EditorOptions& o) { o.forceCutAndCopy = forced; });
        QGuiApplication::clipboard()->setText("before");
        page->setCursorPosition(1, 2);

        page->copySelection();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), forced ? "\tRTS\n" : "before");
        page->cutSelection();
        EXPECT_EQ(page->text(), forced ? "\tNOP\n" : "\tNOP\n\tRTS\n");

        // A selection is cut as it is, with the option or without it.
        page->setSelection(0, 1, 0, 3);
        page->cutSelection();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "NO");
    }
}

TEST_F(EditorOptionsTest, FindStartsOnTheWordAtTheCaretWhenAsked) {
    testing::FakeHost host;
    TextSearch search(host);
    for (const bool atCursor : {false, true}) {
        SCOPED_TRACE(atCursor);
        EditorPage* page = newPageWith(editor, "\tLDAA\tCOUNT\n",
                                       [&](EditorOptions& o) { o.findTextAtCursor = atCursor; });
        page->setCursorPosition(0, 8);

        TFindDlg dialog(search, *page);
        EXPECT_EQ(dialog.findChild<QLineEdit*>("EFind")->text(), atCursor ? "COUNT" : "");
    }
}

TEST_F(EditorOptionsTest, DoubleClickSelectsTheWordOrTheWholeLine) {
    struct Case {
        bool doubleClickLine;
        std::array<int, 4> selection;  // from line, index, to line, index
    };
    for (const Case& c : {Case{false, {0, 1, 0, 5}}, Case{true, {0, 0, 1, 0}}}) {
        SCOPED_TRACE(c.doubleClickLine);
        EditorOptions options;
        options.doubleClickLine = c.doubleClickLine;
        applyEditorOptions(editor, options, "Default");
        editor.FileNewClick();
        EditorPage* page = editor.activePage();
        page->setText("\tLDAA\t#1\n\tNOP\n");
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        const long inWord = page->positionFromLineIndex(0, 2);
        const auto coordinate = [&](int message) {
            return static_cast<int>(page->SendScintilla(message, 0UL, inWord));
        };
        const QPoint at(coordinate(QsciScintilla::SCI_POINTXFROMPOSITION),
                        coordinate(QsciScintilla::SCI_POINTYFROMPOSITION) + 2);

        // The component takes a double click as the second press right after a click; the test
        // tool's own double click spaces its presses too far apart for it.
        QTest::mouseClick(page->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        const QPointF global = page->viewport()->mapToGlobal(QPointF(at));
        QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(at), global, Qt::LeftButton,
                                Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(page->viewport(), &doubleClick);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(page->viewport(), &release);

        std::array<int, 4> selection{};
        page->getSelection(&selection[0], &selection[1], &selection[2], &selection[3]);
        EXPECT_EQ(selection, c.selection);
    }
}

}  // namespace
}  // namespace tarnwick
