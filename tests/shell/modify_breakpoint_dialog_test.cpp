#include "shell/modify_breakpoint_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "debugger/debugger_fixture.h"

namespace tarnwick {
namespace {

// The dialog over a breakpoint on the loop line of the debugger fixture.
class ModifyBreakpointDialogTest : public testing::DebuggerTest {
  protected:
    BreakpointList breakpoints{context};
    std::unique_ptr<TMBreakDlg> dialog;
    QLineEdit* newPass = nullptr;
    QLineEdit* newCount = nullptr;

    ModifyBreakpointDialogTest() {
        breakpoints.toggle(mainFile, kLoopLine);
        machine->memory[kLoop].hit = 2;
        machine->memory[kLoop].hitCount = 3;
        auto model = ModifyBreakpoint::forRow(context, breakpoints, 0);
        dialog = std::make_unique<TMBreakDlg>(std::move(*model));
        newPass = dialog->findChild<QLineEdit*>("EPass");
        newCount = dialog->findChild<QLineEdit*>("ECount");
    }

    QString label(const char* name) const { return dialog->findChild<QLabel*>(name)->text(); }

    void pressOk() { dialog->findChild<QPushButton*>("OKBtn")->click(); }
};

TEST_F(ModifyBreakpointDialogTest, ShowsTheBreakpointWithTheFocusOnNewHit) {
    EXPECT_EQ(dialog->windowTitle(), "Modify Breakpoint");
    EXPECT_EQ(label("LFilename"), "main.asm");
    EXPECT_EQ(label("LLine"), "4");
    EXPECT_EQ(label("LAddr"), "8002");
    EXPECT_EQ(label("LPass"), "2 of 3");
    EXPECT_EQ(label("LSourceText"), "loop    DECA");
    EXPECT_EQ(newPass->text(), "2");
    EXPECT_EQ(newCount->text(), "3");
    EXPECT_EQ(dialog->focusWidget(), newPass);
}

TEST_F(ModifyBreakpointDialogTest, FieldsTakeDigitsOnlyAndNeverStayEmpty) {
    const struct {
        const char* field;
        const char* typed;  // after clearing the field
        const char* shown;
    } cases[] = {
        {"EPass", "", "1"},   {"EPass", "0", "0"},     {"EPass", "4x2", "42"},
        {"ECount", "", "1"},  {"ECount", "0", "1"},    {"ECount", "123456", "12345"},
        {"ECount", "9", "9"}, {"ECount", "a-+ ", "1"},
    };
    for (const auto& c : cases) {
        auto* field = dialog->findChild<QLineEdit*>(c.field);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, QString::fromLatin1(c.typed));
        EXPECT_EQ(field->text(), c.shown) << c.field << " typed " << c.typed;
    }
}

TEST_F(ModifyBreakpointDialogTest, RefusedInputKeepsTheDialogOpenAndTheBreakpoint) {
    const struct {
        const char* pass;
        const char* count;
        const char* error;
    } cases[] = {
        {"70000", "70000", "Maximum value of count is 65535"},
        {"70000", "2", "Maximum value of pass is 65535"},
        {"4", "2", "New Pass is higher than New Count"},
    };
    dialog->show();
    for (const auto& c : cases) {
        host.messages.clear();
        newPass->setText(c.pass);
        newCount->setText(c.count);
        pressOk();
        ASSERT_EQ(host.messages.size(), 1u) << c.error;
        EXPECT_EQ(host.messages[0].text, c.error);
        EXPECT_TRUE(dialog->isVisible()) << c.error;
        EXPECT_EQ(newPass->text(), c.pass);
        EXPECT_EQ(newCount->text(), c.count);
    }
    EXPECT_EQ(machine->memory[kLoop].hit, 2);
    EXPECT_EQ(machine->memory[kLoop].hitCount, 3);
}

TEST_F(ModifyBreakpointDialogTest, OkStoresHitAndCountAndCloses) {
    dialog->show();
    newPass->setText("5");
    newCount->setText("5");
    pressOk();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(machine->memory[kLoop].hit, 0);  // a hit equal to the count starts from 0
    EXPECT_EQ(machine->memory[kLoop].hitCount, 5);
    EXPECT_EQ(breakpoints.rows()[0].count, "0 of 5");
}

TEST_F(ModifyBreakpointDialogTest, CancelChangesNothing) {
    dialog->show();
    newCount->setText("9");
    dialog->findChild<QPushButton*>("CancelBtn")->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(machine->memory[kLoop].hitCount, 3);
}

}  // namespace
}  // namespace tarnwick
