#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "project/project.h"
#include "project/temp_directory.h"
#include "shell/modify_ram_dialog.h"
#include "shell/modify_register_dialog.h"
#include "shell/modify_stack_dialog.h"
#include "shell/ram_view_window.h"
#include "shell/rom_view_window.h"
#include "shell/stack_view_window.h"
#include "support/fake_debug_display.h"
#include "support/fake_host.h"

namespace tarnwick {
namespace {

using testing::FakeDebugDisplay;
using testing::FakeHost;

// RAM 0000-001F and 0100-010F, ROM E000-E01F, every byte 0 until a test writes one.
class MemoryWindowsTest : public ::testing::Test {
  protected:
    MemoryWindowsTest() {
        project.cpu.readWriteRanges = "0000 001F 0100 010F";
        project.cpu.romRanges = "E000 E01F";
        project.cpu.thirdRanges = "";
        project.cpu.applyMemoryMap(machine->memory);
        for (AddressRecord& record : machine->memory) record.value = 0;
    }

    static QStringList listTexts(const DumpListWindow& window) {
        QStringList texts;
        for (int i = 0; i < window.list()->count(); ++i) texts << window.list()->item(i)->text();
        return texts;
    }

    static QStringList modelTexts(const std::vector<std::string>& lines) {
        QStringList texts;
        for (const std::string& line : lines) texts << QString::fromLatin1(line.c_str());
        return texts;
    }

    // Runs `answer` on the next modal dialog that opens; `opened` tells whether one did.
    template <typename Dialog>
    void onNextDialog(std::function<void(Dialog&)> answer) {
        opened = false;
        QTimer::singleShot(0, [this, answer] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            opened = true;
            answer(*dialog);
        });
    }

    template <typename Dialog>
    static QLineEdit* field(Dialog& dialog, const char* name) {
        return dialog.template findChild<QLineEdit*>(name);
    }

    FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
    Project project;
    FakeDebugDisplay display;
    bool opened = false;
};

TEST_F(MemoryWindowsTest, RamViewRedrawsOnlyAfterMemoryWasWrittenAndKeepsTheSelection) {
    TRAMForm view(*machine, project.cpu.rangeLists, display, project);
    machine->poke(0x0005, 'A');
    view.showView();
    EXPECT_EQ(view.windowTitle(), "RAM");
    // Two lines of the first block, the separator, one line of the second.
    EXPECT_EQ(listTexts(view), modelTexts(dumpLines(*machine, project.cpu.rangeLists.readWrite)));
    ASSERT_EQ(view.list()->count(), 4);
    EXPECT_FALSE(machine->memoryChanged);
    view.list()->setCurrentRow(3);

    view.list()->item(0)->setText(QStringLiteral("untouched"));
    view.refresh();
    EXPECT_EQ(view.list()->item(0)->text(), "untouched") << "nothing was written: no rebuild";

    machine->poke(0x0100, 0xFF);  // a write that did not raise the flag, as an interrupt's
    view.refresh();
    EXPECT_TRUE(view.list()->item(3)->text().startsWith("0100: FF "));
    EXPECT_EQ(view.list()->item(3)->text().mid(57, 1), QString(QChar(0xFF)));
    EXPECT_EQ(view.list()->currentRow(), 3);
    EXPECT_FALSE(machine->memoryChanged);
}

TEST_F(MemoryWindowsTest, RomViewShowsTheRomBlocks) {
    TROMForm view(*machine, project.cpu.rangeLists, project);
    machine->poke(0xE010, 0x0A);
    view.showView();
    EXPECT_EQ(view.windowTitle(), "ROM");
    EXPECT_EQ(listTexts(view), modelTexts(romViewLines(*machine, project.cpu.rangeLists)));
    ASSERT_EQ(view.list()->count(), 2);
    EXPECT_TRUE(view.list()->item(1)->text().startsWith("E010: 0A "));
}

TEST_F(MemoryWindowsTest, ActivatingARamLineOpensModifyRamForItsAddressButTheSeparatorNothing) {
    TRAMForm view(*machine, project.cpu.rangeLists, display, project);
    view.showView();

    view.list()->setCurrentRow(2);  // the separator
    onNextDialog<TMRAMDlg>([](TMRAMDlg& dialog) { dialog.reject(); });
    view.ListDblClick();
    QApplication::processEvents();
    EXPECT_FALSE(opened);

    view.list()->setCurrentRow(1);
    onNextDialog<TMRAMDlg>([](TMRAMDlg& dialog) {
        field(dialog, "EAddr3")->setText("ab");
        dialog.findChild<QPushButton*>("OKBtn")->click();
    });
    view.ListDblClick();
    EXPECT_TRUE(opened);
    EXPECT_EQ(machine->peek(0x0013), 0xAB);
    EXPECT_TRUE(display.refreshed & kRamView);
}

TEST_F(MemoryWindowsTest, CopyAndSaveTakeEveryLineAndSavingOverAFileAsksFirst) {
    TRAMForm view(*machine, project.cpu.rangeLists, display, project);
    view.showView();
    const std::vector<std::string> lines = dumpLines(*machine, project.cpu.rangeLists.readWrite);

    view.CopyClick();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromLatin1(clipboardText(lines).c_str()));

    testing::TempDirectory directory;
    const std::filesystem::path file = directory / "dump.txt";
    std::ofstream(file) << "old";
    QString askedTitle;
    view.setSaveFileChooser([&](QWidget*, const QString& title, const QString&) {
        askedTitle = title;
        return QString::fromStdString(file.string());
    });
    const auto contents = [&] {
        std::ifstream in(file, std::ios::binary);
        return (std::ostringstream() << in.rdbuf()).str();
    };

    host.yesNoAnswers = {false};
    view.SaveClick();
    EXPECT_EQ(askedTitle, "Save RAM to a file");
    EXPECT_EQ(contents(), "old");

    host.yesNoAnswers = {true};
    view.SaveClick();
    EXPECT_EQ(contents().substr(0, 79), lines[0] + "\n" + lines[1].substr(0, 1));
    EXPECT_EQ(host.messages.size(), 2u);  // the two questions, no error
}

TEST_F(MemoryWindowsTest, StackViewShowsTheCellsMarkersAndArrows) {
    machine->sp = 0x00FF;
    machine->ix = 0x0102;  // SP + 3: the ACCA row
    machine->iy = 0x4000;
    machine->poke(0x010B, 0x7E);
    TStackForm view(*machine, display);
    EXPECT_EQ(view.windowTitle(), "Stack Pointer, IX, IY");
    EXPECT_EQ(view.cellLabel(0, 0)->text(), "010B: 7E");
    EXPECT_EQ(view.cellLabel(0, 20)->text(), "00F7: 00");

    const int accaRow = 9, minusThreeRow = 13;
    for (int row = 0; row < 21; ++row) {
        EXPECT_EQ(view.markerLabel(0, row, 0)->isHidden(), row != accaRow) << row;  // "IX"
        EXPECT_EQ(view.arrowLabel(0, row)->isHidden(), row != accaRow) << row;
        EXPECT_TRUE(view.markerLabel(0, row, 1)->isHidden()) << row;                      // "IY"
        EXPECT_EQ(view.markerLabel(1, row, 0)->isHidden(), row != minusThreeRow) << row;  // "SP"
    }
    EXPECT_EQ(view.markerLabel(0, accaRow, 0)->text(), "IX");

    machine->sp = 0xFFFC;
    view.refresh();
    EXPECT_EQ(view.cellLabel(0, 0)->text(), "0008: 00");
    EXPECT_TRUE(view.arrowLabel(0, accaRow)->isHidden());
}

TEST_F(MemoryWindowsTest, StackViewDoubleClickEditsRamCellsOnly) {
    machine->sp = 0x0010;
    machine->ix = 0xE005;  // ROM
    TStackForm view(*machine, display);

    onNextDialog<TStackDlg>([](TStackDlg& dialog) { dialog.reject(); });
    QTest::mouseDClick(view.cellLabel(1, 10), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(opened);

    onNextDialog<TStackDlg>([](TStackDlg& dialog) {
        EXPECT_EQ(dialog.findChild<QLabel*>("LAddr")->text(), "0010:");
        field(dialog, "EModifyDec")->setText("300");
        EXPECT_EQ(field(dialog, "EModify")->text(), "FF");
        EXPECT_EQ(dialog.findChild<QLabel*>("LBin")->text(), "1111-1111");
        dialog.findChild<QPushButton*>("OKBtn")->click();
    });
    QTest::mouseDClick(view.cellLabel(0, 12), Qt::LeftButton);  // the "SP->" row
    EXPECT_TRUE(opened);
    EXPECT_EQ(machine->peek(0x0010), 0xFF);
    EXPECT_EQ(display.refreshed, kStackView | kRamView | kWatchValues);
}

// What a field shows after the keys were typed into it, and what its partner shows.
struct FieldCase {
    const char* field;
    const char* keys;
    const char* shown;
    const char* partner;
    const char* partnerShown;
};

TEST_F(MemoryWindowsTest, RegisterFieldsFilterKeysAndFollowTheirPartners) {
    const FieldCase cases[] = {
        {"EACCADec", "300", "255", "EACCA", "FF"},
        {"EACCA", "x4g1", "41", "EACCADec", "65"},
        {"EINDXDec", "10", "10", "EINDX", "A"},
        {"EINDXDec", "4096", "4096", "EINDX", "1000"},
        {"EINDYDec", "7a0000", "65535", "EINDY", "FFFF"},
        {"EINDY", "bEeF", "BEEF", "EINDYDec", "48879"},
    };
    for (const FieldCase& c : cases) {
        TMRegDlg dialog(*machine, display);
        QLineEdit* edited = field(dialog, c.field);
        edited->clear();
        EXPECT_EQ(edited->text(), "0") << c.field;  // an emptied field turns 0 at once
        edited->selectAll();
        QTest::keyClicks(edited, c.keys);
        EXPECT_EQ(edited->text(), c.shown) << c.field << " " << c.keys;
        EXPECT_EQ(field(dialog, c.partner)->text(), c.partnerShown) << c.field << " " << c.keys;
    }
}

TEST_F(MemoryWindowsTest, ModifyRegisterOkWritesTheRegistersAndFlagsWithoutCountingCycles) {
    machine->a = 0x12;
    machine->cycleCounter = 1234;
    TMRegDlg dialog(*machine, display);
    EXPECT_EQ(dialog.findChild<QLabel*>("LACCA")->text(), "12");
    EXPECT_EQ(field(dialog, "EACCADec")->text(), "18");

    field(dialog, "EACCA")->setText("41");
    EXPECT_EQ(dialog.findChild<QLabel*>("LACCAChar")->text(), "'A'");
    EXPECT_EQ(dialog.findChild<QLabel*>("LACCABin")->text(), "0100-0001");
    field(dialog, "EACCBDec")->setText("200");
    field(dialog, "EINDX")->setText("1234");
    field(dialog, "EINDY")->setText("FFFF");
    field(dialog, "ESP")->setText("01FF");
    dialog.findChild<QCheckBox*>("CBCarry")->setChecked(true);
    dialog.findChild<QCheckBox*>("CBZero")->setChecked(true);
    dialog.findChild<QPushButton*>("OKBtn")->click();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(machine->a, 0x41);
    EXPECT_EQ(machine->b, 200);
    EXPECT_EQ(machine->ix, 0x1234);
    EXPECT_EQ(machine->iy, 0xFFFF);
    EXPECT_EQ(machine->sp, 0x01FF);
    EXPECT_TRUE(machine->flags.c);
    EXPECT_TRUE(machine->flags.z);
    EXPECT_FALSE(machine->flags.n);
    EXPECT_EQ(machine->cycleCounter, 1234u);
    EXPECT_TRUE(display.refreshed & kRegisterPanel);
    EXPECT_TRUE(display.refreshed & kStackView);
}

TEST_F(MemoryWindowsTest, ModifyRamOneBlockWritesAllSixteenBytesWhateverTheirKind) {
    // The last line of the block 0000-001F starts at 0010; from 0018 the line runs past the
    // block into undefined memory.
    TMRAMDlg dialog(*machine, display, 0x0018);
    EXPECT_EQ(dialog.windowTitle(), "Modify RAM");
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("RBOneBlock")->isChecked());
    EXPECT_EQ(field(dialog, "EBStart")->text(), "0018");
    EXPECT_EQ(field(dialog, "EBStop")->text(), "0027");
    for (int i = 0; i < 16; ++i) {
        QLineEdit* byte = field(dialog, QString("EAddr%1").arg(i).toLatin1().constData());
        byte->setText(QString("%1").arg(0x30 + i, 2, 16).toUpper());
    }
    EXPECT_EQ(dialog.findChild<QLabel*>("LOAddr1A")->text(), "1");
    dialog.findChild<QPushButton*>("OKBtn")->click();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(machine->peek(0x0018 + i), 0x30 + i) << i;
    EXPECT_TRUE(machine->memoryChanged);
    EXPECT_EQ(display.refreshed, kRamView | kStackView | kWatchValues);
}

// The dialog is as wide as its sixteen byte fields, not as wide as the screen allows.
TEST_F(MemoryWindowsTest, ModifyRamIsSizedToItsFields) {
    TMRAMDlg dialog(*machine, display, 0x0000);
    dialog.adjustSize();
    QLineEdit* byte = field(dialog, "EAddr0");
    const int digits = byte->fontMetrics().horizontalAdvance(QStringLiteral("00"));
    EXPECT_GE(byte->width(), digits);
    EXPECT_LT(byte->width(), 4 * digits);
    EXPECT_LT(dialog.width(), 8 * 4 * digits + 300);
}

TEST_F(MemoryWindowsTest, ModifyRamBlocksFillsOnlyRamAndRefusesAnEmptyRange) {
    machine->poke(0xE000, 0x11);
    {
        TMRAMDlg dialog(*machine, display, 0x0000);
        dialog.findChild<QRadioButton*>("RBBlocks")->setChecked(true);
        field(dialog, "EBStart")->setText("0018");
        field(dialog, "EBStop")->setText("E001");
        field(dialog, "EBFill")->setText("5a");
        dialog.findChild<QPushButton*>("OKBtn")->click();
    }
    EXPECT_EQ(machine->peek(0x0017), 0x00);
    EXPECT_EQ(machine->peek(0x0018), 0x5A);
    EXPECT_EQ(machine->peek(0x001F), 0x5A);
    EXPECT_EQ(machine->peek(0x0020), 0x00);  // undefined
    EXPECT_EQ(machine->peek(0x0100), 0x5A);
    EXPECT_EQ(machine->peek(0xE000), 0x11);  // ROM
    EXPECT_TRUE(host.messages.empty());

    machine->memoryChanged = false;
    TMRAMDlg refused(*machine, display, 0x0000);
    refused.findChild<QRadioButton*>("RBBlocks")->setChecked(true);
    field(refused, "EBStop")->setText("0000");
    refused.findChild<QPushButton*>("OKBtn")->click();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Start Address is lower than Stop Address");
    EXPECT_EQ(machine->peek(0x0000), 0x00);
    EXPECT_FALSE(machine->memoryChanged);
    EXPECT_EQ(refused.result(), QDialog::Accepted);  // closed after the error too
}

}  // namespace
}  // namespace tarnwick
