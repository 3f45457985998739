#include "shell/add_watch_dialog.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "debugger/watch_fixture.h"
#include "project/debug_file.h"

namespace tarnwick {
namespace {

using Row = std::array<std::string, 5>;

std::vector<std::string> itemsOf(const QComboBox& box) {
    std::vector<std::string> items;
    for (int i = 0; i < box.count(); ++i) items.push_back(box.itemText(i).toStdString());
    return items;
}

QRadioButton* formatButton(QDialog& dialog, const QString& caption) {
    for (auto* button : dialog.findChild<QGroupBox*>("RGFormat")->findChildren<QRadioButton*>())
        if (button->text() == caption) return button;
    return nullptr;
}

QString checkedFormat(QDialog& dialog) {
    for (auto* button : dialog.findChild<QGroupBox*>("RGFormat")->findChildren<QRadioButton*>())
        if (button->isChecked()) return button->text();
    return {};
}

class AssemblyAddWatchDialogTest : public testing::WatchTest {
  protected:
    AssemblyAddWatchDialogTest() : WatchTest(ProjectFormat::Asm11) {
        sourceMap.symbols[0] = {"flags", 0x0042};
        sourceMap.symbols[1] = {"count", 0x0040};
        store(0x0040, {0x12, 0x34, 0x56, 0x78});
        dialog = std::make_unique<TWatchAddDlg>(context, watches);
        dialog->show();
    }

    QComboBox* name() { return dialog->findChild<QComboBox*>("CBName"); }
    QLineEdit* length() { return dialog->findChild<QLineEdit*>("ECount"); }
    void pressOk() { dialog->findChild<QPushButton*>("OKBtn")->click(); }

    std::unique_ptr<TWatchAddDlg> dialog;
};

TEST_F(AssemblyAddWatchDialogTest, OpensOnTheSortedSymbolsWithLengthOneAndTheFirstFormat) {
    EXPECT_EQ(dialog->windowTitle(), "Add Watch");
    EXPECT_EQ(itemsOf(*name()), (std::vector<std::string>{"count", "flags"}));
    EXPECT_EQ(name()->currentText(), "count");
    EXPECT_EQ(length()->text(), "1");
    EXPECT_EQ(checkedFormat(*dialog), "Byte (Hex)");
    EXPECT_EQ(dialog->findChild<QGroupBox*>("RGFormat")->findChildren<QRadioButton*>().size(), 16);
    EXPECT_EQ(dialog->focusWidget(), name());
}

TEST_F(AssemblyAddWatchDialogTest, OkAddsTheChosenWatchWithItsLengthKeptToThirtyTwo) {
    name()->setCurrentText("count");
    length()->clear();
    QTest::keyClicks(length(), "4x07");  // the field keeps two digits
    EXPECT_EQ(length()->text(), "40");
    formatButton(*dialog, "Word (Hex)")->click();
    pressOk();

    ASSERT_EQ(watches.rows().size(), 1u);
    const auto texts = watchRowTexts(watches.rows()[0]);
    EXPECT_EQ((std::array{texts[0], texts[1], texts[2], texts[3]}),
              (std::array<std::string, 4>{"count", "0040", "WordHex", "32"}));
    EXPECT_TRUE(texts[4].starts_with("0:1234,1:5678,2:0000,")) << texts[4];
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(AssemblyAddWatchDialogTest, ATypedNameThatIsNoSymbolIsReportedAndAddsNothing) {
    name()->setCurrentText("Count");
    pressOk();
    EXPECT_TRUE(watches.rows().empty());
    EXPECT_EQ(errors(), std::vector<std::string>{"Wrong Symbol"});
    EXPECT_FALSE(dialog->isVisible());
}

// The debug file gives main two locals and the program one global.
class CAddWatchDialogTest : public testing::WatchTest {
  protected:
    CAddWatchDialogTest() : WatchTest(ProjectFormat::Icc11) {
        project.files = {"prog.dbg"};
        testing::writeText(directory / "prog.dbg",
                           "DEFGLOBAL total 0040 S\n"
                           "FUNC main 0100\nDEFLOCAL i 1 c\nDEFLOCAL p -2 pC\nFUNCEND\n");
        machine->ix = 0x0200;
        store(0x0201, {0x2A});
        dialog = std::make_unique<TWatchICCDlg>(
            context, watches, std::vector<std::string>{"main", std::string(kGlobalScopeName)});
        dialog->show();
    }

    QComboBox* function() { return dialog->findChild<QComboBox*>("CBFunction"); }
    QComboBox* variable() { return dialog->findChild<QComboBox*>("CBVar"); }
    void pressOk() { dialog->findChild<QPushButton*>("OKBtn")->click(); }

    std::unique_ptr<TWatchICCDlg> dialog;
};

TEST_F(CAddWatchDialogTest, ChoosingAFunctionListsItsVariables) {
    EXPECT_EQ(itemsOf(*function()), (std::vector<std::string>{"Global Variable", "main"}));
    EXPECT_EQ(function()->currentIndex(), -1);
    EXPECT_EQ(variable()->count(), 0);
    EXPECT_EQ(checkedFormat(*dialog), "Decimal");

    function()->setCurrentText("main");
    EXPECT_EQ(itemsOf(*variable()), (std::vector<std::string>{"i", "p"}));
    function()->setCurrentText("Global Variable");
    EXPECT_EQ(itemsOf(*variable()), (std::vector<std::string>{"total"}));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(CAddWatchDialogTest, OkAddsTheChosenVariableOnlyWhenOneIsChosen) {
    function()->setCurrentText("main");
    pressOk();  // no variable chosen: the dialog just closes
    EXPECT_TRUE(watches.rows().empty());
    EXPECT_FALSE(dialog->isVisible());

    dialog->show();
    variable()->setCurrentText("i");
    formatButton(*dialog, "HexaDecimal")->click();
    pressOk();
    ASSERT_EQ(watches.rows().size(), 1u);
    EXPECT_EQ(watchRowTexts(watches.rows()[0]), (Row{"i=main", "0001", "LCharHex", "1", "0:2A"}));
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace tarnwick
