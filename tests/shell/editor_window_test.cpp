#include "shell/editor_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <map>
#include <string>
#include <vector>

#include "shell/editor_page.h"
#include "shell/editor_window_fixture.h"
#include "shell/hc11_lexer.h"

namespace tarnwick {
namespace {

using testing::EditorWindowTest;

TEST_F(EditorWindowTest, OpensAFileAsAPageFoundByAnyFormOfItsName) {
    const auto file = writeFile("main.asm", "start LDAA #1\r\n\tNOP\r\n");
    EXPECT_FALSE(editor->windowExists());

    ASSERT_TRUE(editor->open(file));
    EXPECT_TRUE(editor->windowExists());
    EXPECT_TRUE(editor->isOpen(directory.path() / "sub" / ".." / "main.asm"));
    EXPECT_EQ(editor->activeFile(), file);
    EXPECT_EQ(editor->openFiles(), std::vector<std::filesystem::path>{file});
    EXPECT_EQ(editor->lineCount(file), 2);
    EXPECT_EQ(editor->lineText(file, 0), "start LDAA #1");
    EXPECT_EQ(editor->lineText(file, 1), "\tNOP");
    EXPECT_EQ(editor->lineText(file, 2), "");

    // Opening it again brings the same page forward.
    editor->open(writeFile("other.c", "int x;\n"));
    ASSERT_TRUE(editor->open(file));
    EXPECT_EQ(editor->openFiles().size(), 2u);
    EXPECT_EQ(editor->activeFile(), file);
}

TEST_F(EditorWindowTest, MarkerBitsAreTheMarkersOfTheComponent) {
    const auto file = writeFile("main.asm", "A\nB\nC\n");
    ASSERT_TRUE(editor->open(file));
    EditorPage* page = editor->page(file);

    for (int bit = 0; bit < 12; ++bit) {
        const auto bits = static_cast<MarkerBits>(1u << bit);
        editor->setMarkers(file, 1, bits);
        EXPECT_EQ(page->markersAtLine(1), static_cast<unsigned>(bits)) << "bit " << bit;
        EXPECT_EQ(editor->markers(file, 1), bits);
    }
    const MarkerBits several = kBreakpointMarker | kExecutionPointMarker | bookmarkMarker(8);
    editor->setMarkers(file, 0, several);
    removeMarkers(*editor, file, 0, kExecutionPointMarker);
    EXPECT_EQ(editor->markers(file, 0), kBreakpointMarker | bookmarkMarker(8));

    // Line styles are markers too, but not marker bits.
    editor->setLineStyle(file, 0, LineStyle::BreakPoint);
    EXPECT_EQ(editor->markers(file, 0), kBreakpointMarker | bookmarkMarker(8));

    // Lines outside the text and files without a page are left alone.
    editor->setMarkers(file, 40, kBreakpointMarker);
    editor->setMarkers(directory / "closed.asm", 0, kBreakpointMarker);
    EXPECT_EQ(editor->markers(file, 40), 0);

    // Markers move with their line when text is inserted above it.
    page->insertAt("new line\n", 0, 0);
    EXPECT_EQ(editor->markers(file, 1), kBreakpointMarker | bookmarkMarker(8));
    EXPECT_EQ(editor->lineStyle(file, 1), LineStyle::BreakPoint);
}

TEST_F(EditorWindowTest, EachLineHasOneStyleShownOverItsText) {
    const auto file = writeFile("main.asm", "LDAA #1\nNOP\n");
    ASSERT_TRUE(editor->open(file));
    EditorPage* page = editor->page(file);
    const long lineStart = page->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, 1L);

    auto indicatorsAtLine = [&] {
        return page->SendScintilla(QsciScintilla::SCI_INDICATORALLONFOR, lineStart);
    };
    for (LineStyle style : {LineStyle::BreakPoint, LineStyle::Counter, LineStyle::Bookmark,
                            LineStyle::ExecutionPoint, LineStyle::ErrorLine}) {
        editor->setLineStyle(file, 1, style);
        EXPECT_EQ(editor->lineStyle(file, 1), style) << lineStyleName(style);
        // One text-colour indicator, for this style only.
        const long indicators = indicatorsAtLine();
        EXPECT_NE(indicators, 0) << lineStyleName(style);
        EXPECT_EQ(indicators & (indicators - 1), 0) << lineStyleName(style);
    }
    editor->setLineStyle(file, 1, LineStyle::Whitespace);
    EXPECT_EQ(editor->lineStyle(file, 1), LineStyle::Whitespace);
    EXPECT_EQ(indicatorsAtLine(), 0);
    EXPECT_EQ(page->markersAtLine(1), 0u);
    EXPECT_EQ(editor->lineStyle(file, 0), LineStyle::Whitespace);
}

TEST_F(EditorWindowTest, CaretMovesAndCentres) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "NOP ;line " + std::to_string(i) + "\n";
    const auto file = writeFile("long.asm", text);
    EXPECT_EQ(editor->caretLine(), -1);
    ASSERT_TRUE(editor->open(file));
    EditorPage* page = editor->page(file);
    const int visibleLines =
        static_cast<int>(page->SendScintilla(QsciScintilla::SCI_LINESONSCREEN));
    ASSERT_GT(visibleLines, 4);

    editor->moveCaret(250);
    EXPECT_EQ(editor->caretLine(), 250);
    EXPECT_LE(page->firstVisibleLine(), 250);
    EXPECT_GT(page->firstVisibleLine() + visibleLines, 250);

    editor->centreLine(120);
    EXPECT_EQ(editor->caretLine(), 120);
    EXPECT_EQ(page->firstVisibleLine(), 120 - visibleLines / 2);

    editor->centreLine(2);
    EXPECT_EQ(page->firstVisibleLine(), 0);
}

TEST_F(EditorWindowTest, AReadOnlyPageRefusesEditsUntilWritableAgain) {
    const auto file = writeFile("main.asm", "NOP\n");
    ASSERT_TRUE(editor->open(file));
    EditorPage* page = editor->page(file);

    auto type = [&] {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "X");
        QCoreApplication::sendEvent(page, &key);
    };

    editor->setReadOnly(file, true);
    type();
    EXPECT_EQ(editor->lineText(file, 0), "NOP");
    EXPECT_EQ(editor->statusText(2), "Read only");

    editor->setReadOnly(file, false);
    type();
    EXPECT_EQ(editor->lineText(file, 0), "XNOP");
    EXPECT_EQ(editor->statusText(2), "Insert");

    QKeyEvent insert(QEvent::KeyPress, Qt::Key_Insert, Qt::NoModifier);
    QCoreApplication::sendEvent(page, &insert);
    EXPECT_EQ(editor->statusText(2), "Overwrite");
}

TEST_F(EditorWindowTest, PagesAreHighlightedByTheirFileType) {
    struct Case {
        const char* name;
        const char* lexer;  // the highlighter's language, or nullptr for plain text
    } cases[] = {{"a.asm", "68HC11"}, {"b.INC", "68HC11"}, {"c.lst", "68HC11"}, {"d.s", "68HC11"},
                 {"e.c", "C++"},      {"f.h", "C++"},      {"g.txt", nullptr}};
    for (const Case& c : cases) {
        const auto file = writeFile(c.name, "x\n");
        ASSERT_TRUE(editor->open(file));
        const QsciLexer* lexer = editor->page(file)->lexer();
        if (c.lexer) {
            ASSERT_NE(lexer, nullptr) << c.name;
            EXPECT_STREQ(lexer->language(), c.lexer) << c.name;
        } else {
            EXPECT_EQ(lexer, nullptr) << c.name;
        }
    }
}

TEST_F(EditorWindowTest, TheWindowStaysOpenDuringADebugSession) {
    ASSERT_TRUE(editor->open(writeFile("main.asm", "NOP\n")));
    editor->setDebugSessionActive(true);
    EXPECT_FALSE(editor->close());
    EXPECT_EQ(dialogs->errors, std::vector<QString>{"Debug session in progress - Debug|Stop"});
    EXPECT_EQ(editor->openFiles().size(), 1u);

    editor->setDebugSessionActive(false);
    EXPECT_TRUE(editor->close());
    EXPECT_TRUE(editor->openFiles().empty());
    EXPECT_FALSE(editor->windowExists());
}

TEST_F(EditorWindowTest, StatusPanelsAndMessagePanel) {
    ASSERT_TRUE(editor->open(writeFile("main.asm", "NOP\n")));
    editor->setStatusText(kStatusPanel, "Tracing Into... (ESC to pause)");
    editor->setStatusText(kCyclePanel, "12 cycles");
    editor->setStatusText(6, "ignored");
    EXPECT_EQ(editor->statusText(kStatusPanel), "Tracing Into... (ESC to pause)");
    EXPECT_EQ(editor->statusText(kCyclePanel), "12 cycles");

    EXPECT_FALSE(editor->messagePanel()->isVisible());
    editor->showMessagePanel({"main.asm(1): error", "main.asm(2): warning"});
    EXPECT_TRUE(editor->messagePanel()->isVisible());
    ASSERT_EQ(editor->messagePanel()->count(), 2);
    EXPECT_EQ(editor->messagePanel()->item(1)->text(), "main.asm(2): warning");

    // The selected line follows the Messages list, and Enter goes to it as a click does.
    editor->selectMessage(1);
    EXPECT_EQ(editor->messagePanel()->currentRow(), 1);
    std::vector<int> clicked;
    QObject::connect(editor.get(), &TEditor::messageClicked,
                     [&](int row) { clicked.push_back(row); });
    editor->show();
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    editor->messagePanel()->setFocus();
    QTest::keyClick(editor->messagePanel(), Qt::Key_Return);
    EXPECT_EQ(clicked, std::vector<int>{1});
    editor->hideMessagePanel();
    EXPECT_FALSE(editor->messagePanel()->isVisible());
}

TEST_F(EditorWindowTest, ReportsGutterClicksAndTheEndOfAnErrorMark) {
    const auto file = writeFile("main.asm", "NOP\nNOP\n");
    ASSERT_TRUE(editor->open(file));
    EditorPage* page = editor->page(file);
    std::vector<std::pair<std::filesystem::path, int>> clicks;
    int markEnds = 0;
    QObject::connect(editor.get(), &TEditor::gutterClicked,
                     [&](const std::filesystem::path& clicked, int line) {
                         clicks.emplace_back(clicked, line);
                     });
    QObject::connect(editor.get(), &TEditor::errorMarkEnds, [&] { ++markEnds; });

    emit page->marginClicked(1, 1, Qt::NoModifier);
    EXPECT_EQ(clicks, (std::vector<std::pair<std::filesystem::path, int>>{{file, 1}}));

    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QCoreApplication::sendEvent(page, &key);
    EXPECT_EQ(markEnds, 1);
}

// A closing dialog may hand the focus to the main window for a moment before the editor
// gets it: that must not end the error-line mark, a lasting focus loss must.
TEST_F(EditorWindowTest, OnlyALastingFocusLossEndsTheErrorMark) {
    ASSERT_TRUE(editor->open(writeFile("main.asm", "NOP\n")));
    editor->show();
    QWidget other;
    other.show();
    QTest::qWait(50);  // the windows' own activations on showing are done
    int markEnds = 0;
    QObject::connect(editor.get(), &TEditor::errorMarkEnds, [&] { ++markEnds; });

    QApplication::setActiveWindow(editor.get());
    QApplication::setActiveWindow(&other);
    QApplication::setActiveWindow(editor.get());
    QTest::qWait(400);
    EXPECT_EQ(markEnds, 0);

    QApplication::setActiveWindow(&other);
    QTest::qWait(400);
    EXPECT_EQ(markEnds, 1);
}

// A right click puts the caret on the clicked line before the pop-up opens, so that its line
// commands act there; a click on the selection keeps it for Cut and Copy.
TEST_F(EditorWindowTest, ARightClickMovesTheCaretToItsLine) {
    ASSERT_TRUE(editor->open(writeFile("main.asm", "NOP\nNOP\nNOP\nNOP\nNOP\n")));
    editor->show();
    EditorPage* page = editor->activePage();
    const auto pointOfLine = [page](int line) {
        const long position = page->positionFromLineIndex(line, 1);
        return QPoint(static_cast<int>(
                          page->SendScintilla(QsciScintilla::SCI_POINTXFROMPOSITION, 0, position)),
                      static_cast<int>(
                          page->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0, position)) +
                          2);
    };
    const auto rightClick = [&](int line) {
        int caretInMenu = -1;
        QTimer::singleShot(0, [&] {
            caretInMenu = editor->caretLine();
            if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
        });
        QContextMenuEvent click(QContextMenuEvent::Mouse, pointOfLine(line),
                                page->viewport()->mapToGlobal(pointOfLine(line)));
        QCoreApplication::sendEvent(page->viewport(), &click);
        return caretInMenu;
    };

    EXPECT_EQ(rightClick(3), 3);
    page->setSelection(0, 0, 1, 3);
    EXPECT_EQ(rightClick(1), 1);
    EXPECT_TRUE(page->hasSelectedText()) << "a click on the selection keeps it";
    EXPECT_EQ(rightClick(4), 4);
    EXPECT_FALSE(page->hasSelectedText());
}

// The caption names the active page's file and a changed page carries a mark on its tab; the
// caption's "[*]" shows as "*" while the active page has changes.
TEST_F(EditorWindowTest, CaptionAndTabsShowTheFileAndItsChanges) {
    auto* tabs = editor->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(editor->windowTitle(), "Editor");
    const auto first = writeFile("first.asm", "NOP\n");
    const auto second = writeFile("second.asm", "NOP\n");
    ASSERT_TRUE(editor->open(first));
    ASSERT_TRUE(editor->open(second));
    EXPECT_EQ(editor->windowTitle(), "Editor - " + toQString(second) + "[*]");
    EXPECT_FALSE(editor->isWindowModified());

    editor->page(second)->insertAt("X", 0, 0);
    EXPECT_EQ(tabs->tabText(1), "second.asm *");
    EXPECT_EQ(tabs->tabText(0), "first.asm");
    EXPECT_TRUE(editor->isWindowModified());

    tabs->setCurrentIndex(0);
    EXPECT_EQ(editor->windowTitle(), "Editor - " + toQString(first) + "[*]");
    EXPECT_FALSE(editor->isWindowModified());

    tabs->setCurrentIndex(1);
    ASSERT_TRUE(editor->Save1Click());
    EXPECT_EQ(tabs->tabText(1), "second.asm");
    EXPECT_FALSE(editor->isWindowModified());
}

// The entries of a menu and its submenus by their texts.
std::map<QString, QAction*> entriesOf(const QMenu& menu) {
    std::map<QString, QAction*> entries;
    for (QAction* action : menu.actions()) {
        entries[action->text()] = action;
        if (action->menu()) entries.merge(entriesOf(*action->menu()));
    }
    return entries;
}

TEST_F(EditorWindowTest, PopUpMenuFollowsTheSessionAndTheBookmarks) {
    ASSERT_TRUE(editor->open(writeFile("main.asm", "NOP\n")));
    const char* debuggerEntries[] = {"Modify Breakpoint", "Toggle Counter", "R&un to Cursor",
                                     "Run Freely to Cursor"};
    {
        const auto menu = editor->createPageMenu();
        auto entries = entriesOf(*menu);
        EXPECT_TRUE(entries.at("&Close Page")->isEnabled());
        for (const char* text : debuggerEntries)
            EXPECT_FALSE(entries.at(text)->isEnabled()) << text;
    }

    editor->setDebugSessionActive(true);
    editor->setBookmarkChecks([](int k) { return k == 3; });
    std::vector<QString> clicked;
    QObject::connect(editor.get(), &TEditor::runToCursorClicked, [&] { clicked.push_back("run"); });
    QObject::connect(editor.get(), &TEditor::gotoBookmarkClicked,
                     [&](int k) { clicked.push_back(QString::number(k)); });
    const auto menu = editor->createPageMenu();
    auto entries = entriesOf(*menu);
    EXPECT_FALSE(entries.at("&Close Page")->isEnabled());
    for (const char* text : debuggerEntries) EXPECT_TRUE(entries.at(text)->isEnabled()) << text;
    EXPECT_TRUE(entries.at("Bookmark 3")->isChecked());
    EXPECT_FALSE(entries.at("Bookmark 2")->isChecked());

    entries.at("R&un to Cursor")->trigger();
    entries.at("Bookmark 2")->trigger();
    entries.at("Bookmark 3")->trigger();
    EXPECT_EQ(clicked, (std::vector<QString>{"run", "3"}));
}

TEST_F(EditorWindowTest, TheColourSchemeColoursTextAreaAndLineNumbers) {
    const auto asmFile = writeFile("main.asm", "NOP\n");
    const auto textFile = writeFile("notes.txt", "hello\n");
    ASSERT_TRUE(editor->open(asmFile));
    ASSERT_TRUE(editor->open(textFile));
    editor->setTextStyles(schemeTextStyles("Twilight"));
    editor->setColorScheme("Twilight");

    auto colourOf = [](EditorPage* page, int message, int style) {
        const long bgr = page->SendScintilla(message, static_cast<unsigned long>(style));
        return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    };
    for (EditorPage* page : {editor->page(asmFile), editor->page(textFile)}) {
        // The plain text and the space beyond the lines' ends.
        for (int style : {0, static_cast<int>(QsciScintilla::STYLE_DEFAULT)})
            EXPECT_EQ(colourOf(page, QsciScintilla::SCI_STYLEGETBACK, style), QColor(Qt::black))
                << page->title().toStdString() << " style " << style;
        EXPECT_EQ(colourOf(page, QsciScintilla::SCI_STYLEGETFORE, 0), QColor(Qt::white));
        EXPECT_EQ(colourOf(page, QsciScintilla::SCI_STYLEGETFORE, QsciScintilla::STYLE_LINENUMBER),
                  QColor(Qt::white));
    }
}

}  // namespace
}  // namespace tarnwick
