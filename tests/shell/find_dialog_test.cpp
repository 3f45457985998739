#include "shell/find_dialog.h"

#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>
#include <string>

#include "project/temp_directory.h"
#include "shell/editor_page.h"
#include "shell/editor_window.h"
#include "shell/fake_editor_dialogs.h"
#include "support/fake_host.h"

namespace tarnwick {
namespace {

using testing::FakeHost;

// A page with "loop" in several spellings: a label, a word inside a longer one and an operand.
class FindDialogTest : public ::testing::Test {
  protected:
    FindDialogTest() {
        page.setText(
            "start   LDAA count\n"
            "loop    DECA\n"
            "        BNE  Loop\n"
            "looping NOP");
    }

    // The selection as "line:index-line:index", or "none".
    std::string selection() const {
        int fromLine, fromIndex, toLine, toIndex;
        page.getSelection(&fromLine, &fromIndex, &toLine, &toIndex);
        if (fromLine < 0) return "none";
        return std::to_string(fromLine) + ":" + std::to_string(fromIndex) + "-" +
               std::to_string(toLine) + ":" + std::to_string(toIndex);
    }

    std::vector<std::string> informations() const {
        std::vector<std::string> texts;
        for (const auto& message : host.messages)
            if (message.kind == FakeHost::Message::Information) texts.push_back(message.text);
        return texts;
    }

    void press(QDialog& dialog, const char* button) {
        dialog.findChild<QPushButton*>(button)->click();
    }

    FakeHost host;
    TextSearch search{host};
    QsciScintilla page;
};

TEST_F(FindDialogTest, FindSelectsTheFirstMatchByItsOptions) {
    const struct {
        SearchOptions options;
        int caretLine, caretIndex;
        const char* selected;
    } cases[] = {
        {{"loop"}, 0, 0, "1:0-1:4"},
        {{"Loop", true}, 0, 0, "2:13-2:17"},
        {{"loop", false, true}, 1, 1, "2:13-2:17"},
        {{"loop", true, true}, 0, 0, "1:0-1:4"},
        {{"loop", false, false, true}, 3, 11, "3:0-3:4"},
        {{"loop", false, true, true}, 3, 11, "2:13-2:17"},
        {{"loop", false, false, false, false}, 3, 5, "1:0-1:4"},
        {{"loop", false, false, true, false}, 0, 0, "3:0-3:4"},
        {{"LOOP", false, true}, 0, 0, "1:0-1:4"},
    };
    for (const auto& c : cases) {
        page.setCursorPosition(c.caretLine, c.caretIndex);
        EXPECT_TRUE(search.find(page, c.options));
        EXPECT_EQ(selection(), c.selected)
            << c.options.text.toStdString() << " case " << c.options.matchCase << " word "
            << c.options.wholeWord << " back " << c.options.backwards << " caret "
            << c.options.fromCaret;
    }
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(FindDialogTest, SearchAgainGoesFromMatchToMatchAndTellsWhenThereIsNoMore) {
    EXPECT_FALSE(search.searchAgain(page));  // nothing searched yet
    EXPECT_TRUE(host.messages.empty());

    for (const bool backwards : {false, true}) {
        host.messages.clear();
        backwards ? page.setCursorPosition(3, 11) : page.setCursorPosition(0, 0);
        std::vector<std::string> found;
        ASSERT_TRUE(search.find(page, {"loop", false, false, backwards}));
        // Bounded: a search that finds its own match again would not end.
        do found.push_back(selection());
        while (found.size() < 5 && search.searchAgain(page));
        const std::vector<std::string> forwards{"1:0-1:4", "2:13-2:17", "3:0-3:4"};
        EXPECT_EQ(found, backwards ? std::vector<std::string>(forwards.rbegin(), forwards.rend())
                                   : forwards);
        EXPECT_EQ(informations(), std::vector<std::string>{"Search string \"loop\" not found"});
        EXPECT_EQ(selection(), found.back());  // the last match stays selected
    }
}

TEST_F(FindDialogTest, FindDialogStartsOnTheSelectionAndClosesOnAMatch) {
    page.setSelection(0, 8, 0, 12);  // LDAA
    TFindDlg dialog(search, page);
    EXPECT_EQ(dialog.windowTitle(), "Find");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("EFind")->text(), "LDAA");

    dialog.show();
    dialog.findChild<QLineEdit*>("EFind")->setText("nowhere");
    press(dialog, "FindBtn");
    EXPECT_TRUE(dialog.isVisible());  // the user may correct the text
    EXPECT_EQ(informations(), std::vector<std::string>{"Search string \"nowhere\" not found"});
    EXPECT_EQ(selection(), "0:8-0:12");

    dialog.findChild<QLineEdit*>("EFind")->setText("loop");
    dialog.findChild<QCheckBox*>("CBWholeWord")->setChecked(true);
    dialog.findChild<QCheckBox*>("CBMatchCase")->setChecked(true);
    press(dialog, "FindBtn");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(selection(), "1:0-1:4");

    // The next dialog offers the last search's options.
    page.setCursorPosition(0, 0);
    TFindDlg next(search, page);
    EXPECT_EQ(next.findChild<QLineEdit*>("EFind")->text(), "loop");
    EXPECT_TRUE(next.findChild<QCheckBox*>("CBWholeWord")->isChecked());
    EXPECT_TRUE(next.findChild<QRadioButton*>("RBForward")->isChecked());
}

TEST_F(FindDialogTest, ReplaceShowsEachMatchBeforeReplacingIt) {
    TReplaceDlg dialog(search, page);
    EXPECT_EQ(dialog.windowTitle(), "Replace");
    dialog.show();
    dialog.findChild<QLineEdit*>("EFind")->setText("loop");
    dialog.findChild<QLineEdit*>("EReplace")->setText("wait");
    dialog.findChild<QCheckBox*>("CBWholeWord")->setChecked(true);

    press(dialog, "ReplaceBtn");  // finds the first match
    EXPECT_EQ(page.text(1).toStdString(), "loop    DECA\n");
    EXPECT_EQ(selection(), "1:0-1:4");
    press(dialog, "ReplaceBtn");  // replaces it and goes to the next
    EXPECT_EQ(page.text(1).toStdString(), "wait    DECA\n");
    EXPECT_EQ(selection(), "2:13-2:17");
    press(dialog, "ReplaceBtn");
    EXPECT_EQ(page.text(2).toStdString(), "        BNE  wait\n");
    EXPECT_EQ(page.text(3).toStdString(), "looping NOP");  // not a whole word
    EXPECT_EQ(informations(), std::vector<std::string>{"Search string \"loop\" not found"});
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(FindDialogTest, ReplaceAllCountsAndIsUndoneInOneStep) {
    const QString original = page.text();
    page.setCursorPosition(3, 11);
    EXPECT_EQ(search.replaceAll(page, {"loop", false, false, false, false}, "xloopx"), 3);
    EXPECT_EQ(page.text().toStdString(),
              "start   LDAA count\nxloopx    DECA\n        BNE  xloopx\nxloopxing NOP");
    EXPECT_EQ(informations(), std::vector<std::string>{"Replaced 3 occurrences of \"loop\""});
    page.undo();
    EXPECT_EQ(page.text(), original);

    // From the caret onwards, and none at all.
    host.messages.clear();
    page.setCursorPosition(2, 0);
    EXPECT_EQ(search.replaceAll(page, {"loop"}, "L"), 2);
    EXPECT_EQ(page.text(1).toStdString(), "loop    DECA\n");
    EXPECT_EQ(search.replaceAll(page, {"nowhere"}, "L"), 0);
    EXPECT_EQ(informations(), (std::vector<std::string>{"Replaced 2 occurrences of \"loop\"",
                                                        "Search string \"nowhere\" not found"}));
}

TEST_F(FindDialogTest, AReadOnlyPageIsNotChangedAndTheUserIsTold) {
    page.setReadOnly(true);
    const QString original = page.text();
    EXPECT_EQ(search.replaceAll(page, {"loop"}, "x"), -1);
    page.setSelection(1, 0, 1, 4);
    EXPECT_FALSE(search.replace(page, {"loop"}, "x"));
    EXPECT_EQ(page.text(), original);
    EXPECT_EQ(informations().size(), 2u);
    EXPECT_TRUE(search.find(page, {"loop"}));  // searching still works
}

TEST(EditorSearchTest, SearchAgainWorksOnTheEditorWindowsActivePage) {
    testing::TempDirectory directory;
    const auto file = directory / "main.asm";
    testing::writeText(file, "        NOP\n        NOP\n");
    TEditor editor(std::make_unique<testing::FakeEditorDialogs>());
    ASSERT_TRUE(editor.open(file));
    FakeHost host;
    TextSearch search(host);

    ASSERT_TRUE(search.find(*editor.activePage(), {"nop"}));
    searchAgainInEditor(editor, search);
    int line, index;
    editor.activePage()->getCursorPosition(&line, &index);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(editor.activePage()->selectedText(), "NOP");
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace tarnwick
