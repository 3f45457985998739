// The editor window's file commands: open, save, save as, close, and the files other programs
// change on the disk.
#include <Qsci/qscilexercpp.h>
#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/editor_page.h"
#include "shell/editor_window.h"
#include "shell/editor_window_fixture.h"

namespace tarnwick {
namespace {

using testing::EditorWindowTest;
using testing::readText;
using testing::writeText;

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

}  // namespace
}  // namespace tarnwick
