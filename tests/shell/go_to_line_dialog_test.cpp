#include "shell/go_to_line_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>

#include "project/temp_directory.h"
#include "shell/editor_window.h"
#include "shell/fake_editor_dialogs.h"

namespace tarnwick {
namespace {

using testing::TempDirectory;
using testing::writeText;

// A real editor window with a ten-line file open and the caret on line 4 (1-based).
class GoToLineDialogTest : public ::testing::Test {
  protected:
    GoToLineDialogTest() {
        std::string text;
        for (int line = 1; line <= 10; ++line) text += "line " + std::to_string(line) + "\n";
        writeText(file, text);
        editor.open(file);
        editor.moveCaret(3);
    }

    QLineEdit* lineField(TGoToLineDlg& dialog) { return dialog.findChild<QLineEdit*>("ELine"); }

    TempDirectory directory;
    std::filesystem::path file = directory / "main.asm";
    TEditor editor{std::make_unique<testing::FakeEditorDialogs>()};
};

TEST_F(GoToLineDialogTest, StartsAtTheCaretLineAndTakesFiveDigitsOnly) {
    TGoToLineDlg dialog(editor);
    EXPECT_EQ(dialog.windowTitle(), "Go To Line Number");
    QLineEdit* field = lineField(dialog);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->text(), "4");

    const std::pair<const char*, const char*> typed[] = {
        {"12", "12"}, {"1a-2 .3", "123"}, {"1234567", "12345"}};
    for (const auto& [keys, shown] : typed) {
        field->clear();
        QTest::keyClicks(field, keys);
        EXPECT_EQ(field->text(), shown) << keys;
    }
    // Pasted text loses its other characters as well.
    field->clear();
    field->insert("l.7");
    EXPECT_EQ(field->text(), "7");
}

TEST_F(GoToLineDialogTest, OkMovesTheCaretOfTheActivePage) {
    const struct {
        const char* text;
        int caretLine;  // 0-based
    } cases[] = {
        {"7", 6}, {"", 1},                 // an empty field means line 2
        {"1", 0}, {"0", 0}, {"99999", 9},  // kept inside the text
    };
    for (const auto& c : cases) {
        TGoToLineDlg dialog(editor);
        dialog.show();
        lineField(dialog)->setText(c.text);
        dialog.findChild<QPushButton*>("OKBtn")->click();
        EXPECT_EQ(editor.caretLine(), c.caretLine) << "\"" << c.text << "\"";
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST_F(GoToLineDialogTest, CancelLeavesTheCaret) {
    TGoToLineDlg dialog(editor);
    dialog.show();
    lineField(dialog)->setText("9");
    dialog.findChild<QPushButton*>("CancelBtn")->click();
    EXPECT_EQ(editor.caretLine(), 3);
}

}  // namespace
}  // namespace tarnwick
