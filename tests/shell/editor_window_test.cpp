#include "shell/editor_window.h"

#include <Qsci/qscilexercpp.h>
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
#include <memory>
#include <string>
#include <vector>

#include "project/temp_directory.h"
#include "shell/editor_page.h"
#include "shell/fake_editor_dialogs.h"
#include "shell/hc11_lexer.h"

namespace tarnwick {
namespace {

using testing::FakeEditorDialogs;
using testing::readText;
using testing::TempDirectory;
using testing::writeText;

class EditorWindowTest : public ::testing::Test {
  protected:
    EditorWindowTest() {
        auto owned = std::make_unique<FakeEditorDialogs>();
        dialogs = owned.get();
        editor = std::make_unique<TEditor>(std::move(owned));
        editor->resize(700, 500);
    }

    std::filesystem::path writeFile(const std::string& name, const std::string& text) {
        const std::filesystem::path file = directory / name;
        writeText(file, text);
        return file;
    }

    TempDirectory directory;
    FakeEditorDialogs* dialogs = nullptr;
    std::unique_ptr<TEditor> editor;
};

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

TEST_F(EditorWindowTest, AFileThatCannotBeReadOpensNothing) {
    const auto good = writeFile("good.asm", "NOP\n");
    EXPECT_FALSE(editor->open(directory / "missing.asm"));
    EXPECT_FALSE(editor->open(directory.path()));
    EXPECT_FALSE(editor->open(writeFile("image.bin", std::string("\x86\x00\x39", 3))));
    EXPECT_FALSE(editor->windowExists());
    EXPECT_TRUE(editor->openFiles().empty());

    // Through the Open command the user is told which file failed; the others open.
    dialogs->filesToOpen = {toQString(directory / "missing.asm"), toQString(good)};
    editor->FileOpenClick();
    ASSERT_EQ(dialogs->errors.size(), 1u);
    EXPECT_TRUE(dialogs->errors[0].contains("missing.asm")) << dialogs->errors[0].toStdString();
    EXPECT_EQ(editor->openFiles(), std::vector<std::filesystem::path>{good});
    EXPECT_TRUE(editor->isMaximized());
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

TEST_F(EditorWindowTest, TextThatIsNotUtf8IsSavedBackByteForByte) {
    const std::string latin1 =
        "; Gr\xFC\xDF"
        "e\r\nLDAA #'\xE9'\r\n";
    const auto file = writeFile("latin.asm", latin1);
    ASSERT_TRUE(editor->open(file));
    editor->page(file)->insertAt("NOP\r\n", 2, 0);
    ASSERT_TRUE(editor->Save1Click());
    EXPECT_EQ(readText(file), latin1 + "NOP\r\n");

    // Typed characters go in as code page 1252; one it lacks stops the save and loses nothing.
    editor->page(file)->insertAt(QString::fromUtf8("\u20AC\u00FC"), 3, 0);
    ASSERT_TRUE(editor->Save1Click());
    EXPECT_EQ(readText(file), latin1 + "NOP\r\n\x80\xFC");
    editor->page(file)->insertAt(QString::fromUtf8("\u0151"), 3, 0);
    EXPECT_FALSE(editor->Save1Click());
    EXPECT_EQ(readText(file), latin1 + "NOP\r\n\x80\xFC");

    const std::string utf8 =
        "\xEF\xBB\xBF; Gr\xC3\xBC\xC3\x9F"
        "e\n";
    const auto other = writeFile("utf8.asm", utf8);
    ASSERT_TRUE(editor->open(other));
    EXPECT_EQ(editor->lineText(other, 0),
              "; Gr\xC3\xBC\xC3\x9F"
              "e");
    editor->page(other)->setModified(true);
    ASSERT_TRUE(editor->Save1Click());
    EXPECT_EQ(readText(other), utf8);
}

TEST_F(EditorWindowTest, SaveAsToAPlaceThatCannotBeWrittenKeepsThePageAsItWas) {
    const auto file = writeFile("main.asm", "NOP\n");
    ASSERT_TRUE(editor->open(file));
    EditorPage* page = editor->page(file);
    page->insertAt("X", 0, 0);

    dialogs->saveNames = {toQString(directory / "no such folder" / "main.asm")};
    EXPECT_FALSE(editor->SaveAsClick());
    ASSERT_EQ(dialogs->errors.size(), 1u);
    EXPECT_TRUE(page->isModified());
    EXPECT_EQ(editor->activeFile(), file);
    EXPECT_EQ(readText(file), "NOP\n");

    // A new name that is a C file switches the page to the C highlighter.
    const auto renamed = directory / "main.c";
    dialogs->saveNames = {toQString(renamed)};
    EXPECT_TRUE(editor->SaveAsClick());
    EXPECT_EQ(editor->activeFile(), renamed);
    EXPECT_EQ(readText(renamed), "XNOP\n");
    EXPECT_FALSE(page->isModified());
    EXPECT_NE(qobject_cast<QsciLexerCPP*>(page->lexer()), nullptr);
}

// A name typed without extension gets the chosen type's; the dialogs start beside the file, or
// in the project's folder for a page never saved.
TEST_F(EditorWindowTest, SaveAsAddsTheChosenTypesExtensionAndStartsBesideTheFile) {
    const auto project = directory / "project";
    std::filesystem::create_directory(project);
    editor->setNewFileDirectory(project);
    editor->FileNewClick();
    editor->activePage()->insertAt("NOP", 0, 0);
    dialogs->saveNames = {toQString(project / "blink")};
    ASSERT_TRUE(editor->SaveAsClick());
    EXPECT_EQ(editor->activeFile(), project / "blink.asm");
    EXPECT_EQ(readText(project / "blink.asm"), "NOP");
    ASSERT_EQ(dialogs->saveOffers.size(), 1u);
    EXPECT_EQ(dialogs->saveOffers[0],
              std::make_pair(toQString(project / "Noname"), QString("Assembler file (*.asm)")));

    const struct {
        const char* typed;
        const char* filter;
        const char* saved;
    } cases[] = {{"blink", "C file (*.c)", "blink.c"},
                 {"blink.lst", "Assembler file (*.asm)", "blink.lst"},
                 {"README", "Any file (*)", "README"}};
    for (const auto& c : cases) {
        dialogs->saveNames = {toQString(project / c.typed)};
        dialogs->saveFilter = c.filter;
        ASSERT_TRUE(editor->SaveAsClick()) << c.typed;
        EXPECT_EQ(editor->activeFile(), project / c.saved) << c.typed << " " << c.filter;
    }
    // The file's own type is offered; an unknown one offers the assembler's.
    EXPECT_EQ(dialogs->saveOffers[2],
              std::make_pair(toQString(project / "blink.c"), QString("C file (*.c)")));
    EXPECT_EQ(dialogs->saveOffers[3].second, "Assembler file (*.asm)");

    editor->FileOpenClick();
    EXPECT_EQ(dialogs->openDirectories.back(), toQString(project));
}

TEST_F(EditorWindowTest, ClosingAChangedPageAsksFirst) {
    const auto file = writeFile("main.asm", "NOP\n");
    ASSERT_TRUE(editor->open(file));
    editor->page(file)->insertAt("X", 0, 0);

    dialogs->saveAnswers = {EditorDialogs::SaveAnswer::Cancel};
    EXPECT_FALSE(editor->Close1Click());
    EXPECT_TRUE(editor->isOpen(file));

    dialogs->saveAnswers = {EditorDialogs::SaveAnswer::Save};
    EXPECT_TRUE(editor->Close1Click());
    EXPECT_FALSE(editor->isOpen(file));
    EXPECT_EQ(readText(file), "XNOP\n");
    EXPECT_EQ(dialogs->saveQuestions, (std::vector<QString>{"main.asm", "main.asm"}));

    // A new page saved on closing asks for a name; cancelling that keeps it open.
    editor->FileNewClick();
    EXPECT_EQ(editor->activeFile(), std::nullopt);
    editor->activePage()->insertAt("NOP", 0, 0);
    dialogs->saveAnswers = {EditorDialogs::SaveAnswer::Save};
    EXPECT_FALSE(editor->Close2Click());
    EXPECT_NE(editor->activePage(), nullptr);
    dialogs->saveAnswers = {EditorDialogs::SaveAnswer::Discard};
    EXPECT_TRUE(editor->Close2Click());
    EXPECT_EQ(editor->activePage(), nullptr);
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

// The session's sources (read-only while it runs) stay open; other pages close as usual.
TEST_F(EditorWindowTest, CloseAndCloseAllKeepTheSessionsSources) {
    const auto module = writeFile("main.asm", "NOP\n");
    const auto notes = writeFile("notes.txt", "todo\n");
    ASSERT_TRUE(editor->open(module));
    ASSERT_TRUE(editor->open(notes));
    editor->setReadOnly(module, true);
    editor->setDebugSessionActive(true);

    EXPECT_FALSE(editor->Close2Click());
    EXPECT_EQ(editor->openFiles(), std::vector<std::filesystem::path>{module});
    ASSERT_TRUE(editor->open(module));
    EXPECT_FALSE(editor->Close1Click());
    EXPECT_EQ(editor->openFiles().size(), 1u);
    EXPECT_EQ(dialogs->errors, std::vector<QString>(2, "Debug session in progress - Debug|Stop"));
}

// A file written anew by a build (the S19 project's listing) replaces its page's text.
TEST_F(EditorWindowTest, ReloadTakesTheFileAsItIsNowOnDisk) {
    const auto file = writeFile("prog.asm", "old listing\n");
    ASSERT_TRUE(editor->open(file));
    editor->page(file)->insertAt("edited ", 0, 0);
    writeText(file, "new listing\n");

    ASSERT_TRUE(editor->reload(file));
    EXPECT_EQ(editor->lineText(file, 0), "new listing");
    EXPECT_FALSE(editor->page(file)->isModified());

    std::filesystem::remove(file);
    EXPECT_FALSE(editor->reload(file));
    EXPECT_EQ(editor->lineText(file, 0), "new listing");
    EXPECT_EQ(dialogs->errors.size(), 1u);
}

// Another program's change reaches a page without changes of its own at once; a page with
// changes asks first; the page's own saves ask nothing.
TEST_F(EditorWindowTest, FilesChangedByAnotherProgramAreTakenOrAskedAbout) {
    const auto clean = writeFile("clean.asm", "NOP\n");
    const auto edited = writeFile("edited.asm", "RTS\n");
    ASSERT_TRUE(editor->open(clean));
    ASSERT_TRUE(editor->open(edited));
    editor->page(edited)->insertAt("CLRA\n", 0, 0);
    ASSERT_TRUE(editor->Save1Click());  // edited.asm, the active page

    writeText(clean, "SWI\n");
    QTRY_COMPARE(editor->lineText(clean, 0), std::string("SWI"));
    EXPECT_FALSE(editor->page(clean)->isModified());

    editor->page(edited)->insertAt("CLRB\n", 0, 0);
    dialogs->reloadAnswers = {false};
    writeText(edited, "BRA *\n");
    QTRY_COMPARE(dialogs->reloadQuestions.size(), std::size_t{1});
    EXPECT_EQ(dialogs->reloadQuestions[0], "edited.asm");
    EXPECT_EQ(editor->lineText(edited, 0), "CLRB");
    EXPECT_TRUE(editor->page(edited)->isModified());
}

TEST_F(EditorWindowTest, ABuildOffersEachChangedPageForSaving) {
    const auto first = writeFile("first.asm", "NOP\n");
    const auto second = writeFile("second.asm", "RTS\n");
    const auto unchanged = writeFile("unchanged.asm", "SWI\n");
    for (const auto& file : {first, second, unchanged}) ASSERT_TRUE(editor->open(file));
    editor->page(first)->insertAt("CLRA\n", 0, 0);
    editor->page(second)->insertAt("CLRB\n", 0, 0);

    dialogs->saveAnswers = {EditorDialogs::SaveAnswer::Save, EditorDialogs::SaveAnswer::Discard};
    EXPECT_TRUE(editor->offerToSaveAll());
    EXPECT_EQ(dialogs->saveQuestions, (std::vector<QString>{"first.asm", "second.asm"}));
    EXPECT_EQ(readText(first), "CLRA\nNOP\n");
    EXPECT_EQ(readText(second), "RTS\n");
    EXPECT_TRUE(editor->page(second)->isModified());

    dialogs->saveAnswers = {EditorDialogs::SaveAnswer::Cancel};
    EXPECT_FALSE(editor->offerToSaveAll());
    EXPECT_EQ(readText(second), "RTS\n");
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
