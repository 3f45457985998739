#include "debugger/build_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/temp_directory.h"
#include "support/fake_host.h"
#include "support/fake_source_editor.h"

namespace tarnwick {
namespace {

using testing::FakeHost;
using testing::FakeSourceEditor;
using testing::TempDirectory;
using testing::writeText;

TEST(BuildMessageLineTest, SplitsKindFileLineAndText) {
    struct Case {
        std::string_view line;
        MessageKind kind;
        std::string file;  // empty: no place to go to
        int number;
        std::string text;
    };
    const Case cases[] = {
        {"ERR* prog.asm [12] Undefined symbol", MessageKind::Error, "prog.asm", 12,
         "Undefined symbol"},
        {"WRN inc/io.inc [3]    Short branch possible", MessageKind::Warning, "inc/io.inc", 3,
         "Short branch possible"},
        {"ERR* C:\\My Files\\prog.asm (7) Bad operand", MessageKind::Error,
         "C:\\My Files\\prog.asm", 7, "Bad operand"},
        {"ERR* prog.asm [0] Cannot read source file prog.asm", MessageKind::Error, "prog.asm", 0,
         "Cannot read source file prog.asm"},
        {"WRN prog.asm [5]", MessageKind::Warning, "prog.asm", 5, ""},
        // malformed or plain lines: the kind still counts, but there is nowhere to go
        {"ERR* prog.asm 12 Missing delimiters", MessageKind::Error, "", 0, ""},
        {"ERR* prog.asm [1x] Not a number", MessageKind::Error, "", 0, ""},
        {"ERR* [12] No file", MessageKind::Error, "", 0, ""},
        {"ERR*", MessageKind::Error, "", 0, ""},
        {"", MessageKind::Plain, "", 0, ""},
        {"Assembling prog.asm [pass 2]", MessageKind::Plain, "", 0, ""},
        {"err* prog.asm [4] lower case is no kind", MessageKind::Plain, "prog.asm", 4,
         "lower case is no kind"},
        // the assembler's hints: listed with their place, counted as nothing
        {"HNT prog.asm [9] Read left to right: {2+3}*4 = 20 ($0014)", MessageKind::Plain,
         "prog.asm", 9, "Read left to right: {2+3}*4 = 20 ($0014)"},
    };
    for (const Case& c : cases) {
        const BuildMessage message = parseBuildMessage(c.line);
        EXPECT_EQ(message.kind, c.kind) << c.line;
        EXPECT_EQ(message.file, c.file) << c.line;
        if (!message.hasPlace()) continue;
        EXPECT_EQ(message.line, c.number) << c.line;
        EXPECT_EQ(message.text, c.text) << c.line;
    }
}

// A project directory with a ten-line source and an error file: plain line 0, a warning at
// index 1, errors at 2 and 4.
class BuildMessagesTest : public ::testing::Test {
  protected:
    BuildMessagesTest() {
        std::string source;
        for (int i = 1; i <= 10; ++i) source += "line " + std::to_string(i) + "\n";
        writeText(sourceFile, source);
    }

    MessagesShown loadMessages(JumpTargets targets, const std::string& text = kMessages) {
        writeText(errorFile, text);
        return messages.load(errorFile, directory.path(), targets);
    }
    std::vector<std::string> hostMessages() const {
        std::vector<std::string> texts;
        for (const auto& message : host.messages) texts.push_back(message.text);
        return texts;
    }

    static inline const std::string kMessages =
        "asm11 prog.asm\n"
        "WRN prog.asm [2] Unused label\n"
        "ERR* prog.asm [5] Undefined symbol LOOP\n"
        "\n"
        "ERR* PROG.ASM [9] Bad operand\n";

    TempDirectory directory;
    std::filesystem::path sourceFile = directory / "prog.asm";
    std::filesystem::path errorFile = directory / "tarnwick.err";
    FakeHost host;
    FakeSourceEditor editor;
    ErrorLineMark errorLine{editor};
    BuildMessages messages{editor, errorLine, host};
};

TEST_F(BuildMessagesTest, LoadingCountsAndGoesToTheFirstMessageThePreferenceNames) {
    struct Case {
        JumpTargets targets;
        std::size_t first;
        int caretLine;
        std::string status;
    };
    for (const Case& c : {Case{JumpTargets::ErrorOnly, 2, 4, "Undefined symbol LOOP"},
                          Case{JumpTargets::WarningAndError, 1, 1, "Unused label"}}) {
        FakeSourceEditor freshEditor;
        ErrorLineMark freshMark{freshEditor};
        BuildMessages freshMessages{freshEditor, freshMark, host};
        writeText(errorFile, kMessages);
        const MessagesShown shown = freshMessages.load(errorFile, directory.path(), c.targets);

        EXPECT_EQ(freshMessages.lines().size(), 5u);
        EXPECT_EQ(freshMessages.errorCount(), 2);
        EXPECT_EQ(freshMessages.warningCount(), 1);
        EXPECT_EQ(freshMessages.hintCount(), 0);
        EXPECT_TRUE(shown.showMessagesPage);
        EXPECT_TRUE(shown.focusEditor);
        EXPECT_FALSE(shown.bringProjectWindowToFront);
        EXPECT_EQ(freshMessages.selected(), c.first);
        EXPECT_EQ(freshEditor.selectedMessage, c.first);  // the editor's panel alike
        EXPECT_EQ(freshMessages.nextSearchIndex(), c.first + 1);
        // The editor window did not exist: the file opens maximised at the message's line.
        EXPECT_EQ(freshEditor.activeFile(), sourceFile);
        EXPECT_TRUE(freshEditor.maximized);
        EXPECT_EQ(freshEditor.centredLine, c.caretLine);
        EXPECT_EQ(freshEditor.lineStyle(sourceFile, c.caretLine), LineStyle::ErrorLine);
        EXPECT_EQ(freshEditor.statusPanels[kStatusPanel], c.status);
        EXPECT_EQ(freshEditor.broughtToFront, 1) << "typing goes to the marked line";
    }
}

TEST_F(BuildMessagesTest, WarningsOnlyWithErrorOnlyShowTheListWithoutMovingTheSource) {
    const std::string warnings = "WRN prog.asm [2] Unused label\nWRN prog.asm [3] Unused too\n";
    MessagesShown shown = loadMessages(JumpTargets::ErrorOnly, warnings);
    EXPECT_EQ(messages.warningCount(), 2);
    EXPECT_EQ(messages.selected(), 0u);
    EXPECT_TRUE(shown.bringProjectWindowToFront);
    EXPECT_TRUE(shown.focusMessageList);
    EXPECT_FALSE(editor.windowExists());

    // With an editor window the message panel shows them instead; the caret stays.
    editor.addPage(sourceFile, {"a", "b", "c"});
    shown = loadMessages(JumpTargets::ErrorOnly, warnings);
    EXPECT_FALSE(shown.bringProjectWindowToFront);
    EXPECT_TRUE(editor.messagePanelShown);
    EXPECT_EQ(editor.messagePanel.size(), 2u);
    EXPECT_EQ(editor.selectedMessage, 0u);
    EXPECT_EQ(editor.caretLine(), 0);
    EXPECT_EQ(editor.lineStyle(sourceFile, 1), LineStyle::Whitespace);
}

TEST_F(BuildMessagesTest, AnEmptyOrUnreadableErrorFileLeavesZeroCounts) {
    MessagesShown shown = loadMessages(JumpTargets::WarningAndError, "");
    EXPECT_FALSE(shown.focusEditor) << "no editor window to bring forward";
    EXPECT_FALSE(shown.showMessagesPage);
    EXPECT_TRUE(messages.lines().empty());
    editor.addPage(sourceFile, {"a"});
    EXPECT_TRUE(loadMessages(JumpTargets::WarningAndError, "").focusEditor);

    loadMessages(JumpTargets::WarningAndError);
    shown =
        messages.load(directory / "missing.err", directory.path(), JumpTargets::WarningAndError);
    EXPECT_TRUE(messages.lines().empty());
    EXPECT_EQ(messages.errorCount(), 0);
    EXPECT_EQ(messages.warningCount(), 0);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, FakeHost::Message::Error);
    EXPECT_NE(host.messages[0].text.find("missing.err"), std::string::npos);
}

TEST_F(BuildMessagesTest, NextWarningOrErrorWrapsAroundAfterTellingSo) {
    struct Case {
        JumpTargets targets;
        std::vector<std::size_t> visits;  // selections after load and each F12; 99 = wrapped
    };
    for (const Case& c : {Case{JumpTargets::ErrorOnly, {2, 4, 99, 2, 4}},
                          Case{JumpTargets::WarningAndError, {1, 2, 4, 99, 1}}}) {
        host.messages.clear();
        loadMessages(c.targets);
        EXPECT_EQ(messages.selected(), c.visits[0]);
        std::size_t infos = 0;
        for (std::size_t i = 1; i < c.visits.size(); ++i) {
            messages.goToNext(ProjectFormat::Asm11, c.targets, directory.path());
            if (c.visits[i] == 99) {
                ++infos;
                EXPECT_EQ(messages.nextSearchIndex(), 0u);
            } else {
                EXPECT_EQ(messages.selected(), c.visits[i]);
                EXPECT_EQ(editor.selectedMessage, c.visits[i]);
            }
        }
        EXPECT_EQ(hostMessages(),
                  std::vector<std::string>(infos, std::string(kNoMoreMessagesText)));
    }
}

TEST_F(BuildMessagesTest, NextWarningOrErrorMovesTheErrorLineMark) {
    loadMessages(JumpTargets::ErrorOnly);
    EXPECT_EQ(editor.lineStyle(sourceFile, 4), LineStyle::ErrorLine);
    messages.goToNext(ProjectFormat::Asm11, JumpTargets::ErrorOnly, directory.path());
    // PROG.ASM is prog.asm: names in messages ignore letter case.
    EXPECT_EQ(editor.activeFile(), sourceFile);
    EXPECT_EQ(editor.lineStyle(sourceFile, 4), LineStyle::Whitespace);
    EXPECT_EQ(editor.lineStyle(sourceFile, 8), LineStyle::ErrorLine);
    EXPECT_EQ(editor.statusPanels[kStatusPanel], "Bad operand");
}

TEST_F(BuildMessagesTest, NextWarningOrErrorFindsNothingOutsideAssemblyProjects) {
    for (const ProjectFormat format : {ProjectFormat::S19, ProjectFormat::Icc11}) {
        loadMessages(JumpTargets::WarningAndError);
        host.messages.clear();
        messages.goToNext(format, JumpTargets::WarningAndError, directory.path());
        EXPECT_EQ(hostMessages(), std::vector<std::string>{std::string(kNoMoreMessagesText)});
        EXPECT_EQ(messages.selected(), 1u);
    }
    // Without an editor window or without messages F12 does nothing at all.
    FakeSourceEditor noWindow;
    ErrorLineMark mark{noWindow};
    BuildMessages empty{noWindow, mark, host};
    host.messages.clear();
    empty.goToNext(ProjectFormat::Asm11, JumpTargets::WarningAndError, directory.path());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(BuildMessagesTest, GoingToAMessageStaysInsideTheFileOrReportsAMissingOne) {
    editor.addPage(directory / "other.asm", {"x"});
    struct Case {
        std::string line;
        bool goes;
        int caretLine;
    };
    const Case cases[] = {
        {"ERR* prog.asm [0] Cannot read", true, 0},
        {"ERR* prog.asm [500] Past the end", true, 9},
        {"ERR* " + sourceFile.string() + " [3] Absolute name", true, 2},
        {"ERR* prog.asm 3 Malformed", false, -1},
    };
    for (const Case& c : cases) {
        editor.centredLine = -1;
        EXPECT_EQ(messages.goToMessage(c.line, directory.path()), c.goes) << c.line;
        EXPECT_EQ(editor.centredLine, c.caretLine) << c.line;
    }
    // An existing window is not maximised by a jump.
    EXPECT_FALSE(editor.maximized);
    EXPECT_TRUE(host.messages.empty());

    EXPECT_FALSE(messages.goToMessage("ERR* gone.asm [1] x", directory.path()));
    EXPECT_EQ(hostMessages(), std::vector<std::string>{std::string(kFileNotFoundText)});
}

TEST_F(BuildMessagesTest, OpeningAMessageLineNeedsASelection) {
    loadMessages(JumpTargets::ErrorOnly);
    editor.centredLine = -1;
    messages.openLine(std::nullopt, directory.path());
    messages.openLine(3, directory.path());  // the empty line
    EXPECT_EQ(hostMessages(), std::vector<std::string>{std::string(kNoItemSelectedText)});
    EXPECT_EQ(editor.centredLine, -1);
    messages.openLine(1, directory.path());
    EXPECT_EQ(editor.centredLine, 1);

    messages.clear();
    EXPECT_TRUE(messages.lines().empty());
    EXPECT_EQ(messages.errorCount(), 0);
    EXPECT_EQ(messages.selected(), std::nullopt);
}

TEST_F(BuildMessagesTest, FilesPageOpensTheSelectedProjectFile) {
    EXPECT_FALSE(openProjectFile(editor, host, directory.path(), std::nullopt));
    EXPECT_FALSE(openProjectFile(editor, host, directory.path(), ""));
    EXPECT_FALSE(openProjectFile(editor, host, directory.path(), "absent.asm"));
    EXPECT_EQ(hostMessages(), (std::vector<std::string>{std::string(kNoItemSelectedText),
                                                        std::string(kFileNotFoundText)}));
    EXPECT_FALSE(editor.windowExists());

    EXPECT_TRUE(openProjectFile(editor, host, directory.path(), "prog.asm"));
    EXPECT_EQ(editor.activeFile(), sourceFile);
    EXPECT_TRUE(editor.maximized);
}

}  // namespace
}  // namespace tarnwick
