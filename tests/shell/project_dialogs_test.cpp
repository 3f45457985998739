#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "project/temp_directory.h"
#include "shell/asm11_options_dialog.h"
#include "shell/assembler_dialog.h"
#include "shell/cpu_dialog.h"
#include "shell/format_dialog.h"
#include "shell/qt_project_ui.h"
#include "shell/s19_options_dialog.h"

namespace tarnwick {
namespace {

using testing::TempDirectory;
using testing::writeText;

template <typename Widget>
Widget* control(const QWidget& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QString::fromUtf8(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// Types the keys one by one as the keyboard would deliver them.
void type(QLineEdit* edit, const QString& keys) {
    for (const QChar key : keys) {
        const bool backspace = key == u'\b';
        const int code = backspace ? int(Qt::Key_Backspace) : int(key.toUpper().unicode());
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier,
                        backspace ? QString() : QString(key));
        QApplication::sendEvent(edit, &press);
    }
}

TEST(FormatDialogTest, OffersTheThreeFormatsWithTheFirstChecked) {
    TFormatDlg dialog;
    const auto items = dialog.findChildren<QRadioButton*>();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), "Vexo - ASM11");
    EXPECT_EQ(items[1]->text(), "S19");
    EXPECT_EQ(items[2]->text(), "ICC11");
    EXPECT_EQ(dialog.format(), ProjectFormat::Asm11);

    items[2]->setChecked(true);
    dialog.OKBtnClick();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.format(), ProjectFormat::Icc11);
}

// Lets `answer` work the next modal dialog as the user would.
void whenDialogOpens(std::function<void(QDialog&)> answer) {
    QTimer::singleShot(0, [answer = std::move(answer)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

TEST(QtProjectUiTest, DialogsGiveWhatTheUserChoseAndNothingOnCancel) {
    QtProjectUi ui(nullptr);
    whenDialogOpens([](QDialog& dialog) {
        dialog.findChildren<QRadioButton*>()[1]->setChecked(true);
        dialog.accept();
    });
    EXPECT_EQ(ui.chooseFormat(), ProjectFormat::S19);
    whenDialogOpens([](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(ui.chooseFormat(), std::nullopt);

    std::string start = "E000";
    whenDialogOpens([](QDialog& dialog) {
        control<QLineEdit>(dialog, "S19Addr")->setText("F800");
        dialog.reject();
    });
    EXPECT_FALSE(ui.editS19Start(start));
    EXPECT_EQ(start, "E000");
    whenDialogOpens([](QDialog& dialog) {
        control<QLineEdit>(dialog, "S19Addr")->setText("F800");
        control<QDialogButtonBox>(dialog, "")->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_TRUE(ui.editS19Start(start));
    EXPECT_EQ(start, "F800");
}

struct Asm11Control {
    const char* name;
    bool Asm11Options::*member;
};

const std::vector<Asm11Control> kAsm11Controls{
    {"CBASM11WRN", &Asm11Options::warnings},
    {"CBASM11SP", &Asm11Options::spaces},
    {"CBASM11SH", &Asm11Options::s0Header},
    {"CBASM11O", &Asm11Options::overlapCheck},
    {"CBASM11P", &Asm11Options::p1Stop},
    {"CBASM11C", &Asm11Options::caseSensitive},
    {"CBASM11L", &Asm11Options::listing},
    {"CBASM11M", &Asm11Options::map},
    {"CBASM11X", &Asm11Options::extraMnemonics},
    {"CBASM11REL", &Asm11Options::branchOptimisationWarning},
    {"CBASM11RTS", &Asm11Options::rtsOptimisationWarning},
    {"CBASM11SYM", &Asm11Options::symbolFile},
    {"CBShow", &Asm11Options::showProgress},
};

TEST(Asm11OptionsDialogTest, EachBoxShowsItsOwnOption) {
    for (const Asm11Control& changed : kAsm11Controls) {
        Asm11Options options;
        options.*changed.member = !(options.*changed.member);
        TASM11Dlg dialog(options);
        for (const Asm11Control& box : kAsm11Controls) {
            EXPECT_EQ(control<QCheckBox>(dialog, box.name)->isChecked(), options.*box.member)
                << box.name << " with " << changed.name << " changed";
        }
    }
}

TEST(Asm11OptionsDialogTest, OkWritesEveryControlBackAndCancelNothing) {
    Asm11Options original;
    original.s19 = false;  // no control: must survive OK unchanged
    original.includeDirectory = "/usr/include/hc11";

    for (const bool ok : {true, false}) {
        Asm11Options options = original;
        TASM11Dlg dialog(options);
        EXPECT_EQ(control<QLineEdit>(dialog, "EASM11I")->text(), "/usr/include/hc11");
        for (const Asm11Control& box : kAsm11Controls)
            control<QCheckBox>(dialog, box.name)->click();
        control<QLineEdit>(dialog, "EASM11I")->setText(QString(80, u'x'));
        if (ok)
            dialog.OKBtnClick();
        else
            dialog.reject();

        if (!ok) {
            EXPECT_EQ(options, original);
            continue;
        }
        for (const Asm11Control& box : kAsm11Controls)
            EXPECT_NE(options.*box.member, original.*box.member) << box.name;
        EXPECT_FALSE(options.s19);
        EXPECT_EQ(options.includeDirectory, std::string(66, 'x'));
    }
}

TEST(S19OptionDialogTest, TakesOnlyFourHexDigitsInUpperCase) {
    std::string start = "e000";
    TS19Dlg dialog(start);
    QLineEdit* address = control<QLineEdit>(dialog, "S19Addr");
    EXPECT_EQ(address->text(), "E000");

    address->clear();
    type(address, "g1 a-Zf\b9c0");
    EXPECT_EQ(address->text(), "1A9C");
    address->clear();
    address->insert("x2y3");  // pasted text goes through the same filter
    EXPECT_EQ(address->text(), "23");

    dialog.reject();
    EXPECT_EQ(start, "e000");
    dialog.OKBtnClick();
    EXPECT_EQ(start, "23");
}

class RecordingStore : public SettingsStore {
  public:
    std::map<std::string, std::string> written;

    bool programKeyExists() const override { return true; }
    std::optional<std::string> readString(SettingKey) const override { return std::nullopt; }
    std::optional<int> readInt(SettingKey) const override { return std::nullopt; }
    std::optional<bool> readBool(SettingKey) const override { return std::nullopt; }
    void writeString(SettingKey key, std::string_view value) override {
        written[std::string(key.subkey) + "|" + std::string(key.name)] = value;
    }
    void writeInt(SettingKey, int) override {}
    void writeBool(SettingKey, bool) override {}
};

class AssemblerDialogTest : public ::testing::Test {
  protected:
    // An executable file at `path`.
    static QString makeProgram(const std::filesystem::path& path) {
        writeText(path, "#!/bin/sh\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return QString::fromStdString(path.string());
    }

    TempDirectory directory;
    Settings settings;
    RecordingStore store;
    QString programDirectory = QString::fromStdString(directory.path().string());
};

TEST_F(AssemblerDialogTest, OffersTheBundledAssemblerOnlyWhileNoneIsConfigured) {
    EXPECT_EQ(TASMCDlg(settings, store, programDirectory).shownPath(), "")
        << "nothing configured and nothing installed";

    const QString bundled = makeProgram(directory / "asm11");
    TASMCDlg dialog(settings, store, programDirectory);
    EXPECT_EQ(dialog.shownPath(), bundled);
    EXPECT_EQ(control<QTabWidget>(dialog, "")->currentIndex(), 0);
    EXPECT_TRUE(store.written.empty()) << "offering is not choosing";

    settings.assemblerPath = "/opt/hc11/ASM11.EXE";
    EXPECT_EQ(TASMCDlg(settings, store, programDirectory).shownPath(), "/opt/hc11/ASM11.EXE");
}

TEST_F(AssemblerDialogTest, AStartUsesTheRememberedAssemblerWhileItIsThere) {
    const QString gone = QString::fromStdString((directory / "old" / "asm11").string());
    const QString other = makeProgram(directory / "ASM11.EXE");
    EXPECT_EQ(assemblerAtStart("", programDirectory), "") << "nothing anywhere";
    EXPECT_EQ(assemblerAtStart(gone, programDirectory), gone) << "the build names it";

    const QString bundled = makeProgram(directory / "asm11");
    const struct {
        QString remembered;
        QString used;
    } cases[] = {{"", bundled}, {gone, bundled}, {other, other}};
    for (const auto& c : cases)
        EXPECT_EQ(assemblerAtStart(c.remembered, programDirectory), c.used)
            << c.remembered.toStdString();
}

TEST_F(AssemblerDialogTest, ShowsAChosenFileThatExistsAndOkStoresIt) {
    settings.assemblerPath = "/old/ASM11.EXE";
    const QString chosen = makeProgram(directory / "ASM11.EXE");
    QString answer;
    TASMCDlg dialog(settings, store, programDirectory);
    dialog.setFileChooser([&](QWidget*, const QString&) { return answer; });

    for (const QString& refused :
         {QString(), QString::fromStdString((directory / "gone").string())}) {
        answer = refused;
        dialog.ASM11BtnClick();
        EXPECT_EQ(dialog.shownPath(), "/old/ASM11.EXE") << refused.toStdString();
    }
    // A file that cannot run is refused with the reason.
    QStringList errors;
    dialog.setErrorReporter([&](QWidget*, const QString& text) { errors << text; });
    const auto notRunnable = directory / "asm11.txt";
    writeText(notRunnable, "text");
    answer = QString::fromStdString(notRunnable.string());
    dialog.ASM11BtnClick();
    EXPECT_EQ(dialog.shownPath(), "/old/ASM11.EXE");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(answer + " is not a program that can be run"))
        << errors[0].toStdString();

    answer = chosen;
    dialog.ASM11BtnClick();
    EXPECT_EQ(dialog.shownPath(), chosen);
    EXPECT_EQ(errors.size(), 1);

    dialog.reject();
    EXPECT_EQ(settings.assemblerPath, "/old/ASM11.EXE");
    EXPECT_TRUE(store.written.empty());
    dialog.OKBtnClick();
    EXPECT_EQ(settings.assemblerPath, chosen.toStdString());
    EXPECT_EQ(store.written["External EXE\\ASM11|ASM11.EXE"], chosen.toStdString());
}

class CpuDialogTest : public ::testing::Test {
  protected:
    CpuDialogTest() {
        cpu.cpuType = "M68HC11A1";
        cpu.crystal = "4.9152 MHz";
        cpu.bprot = {true, false, true, false};
        cpu.tmsk2Prescaler = 2;
        cpu.irqChoice = 1;
        cpu.romRanges = "F000 FFFF";
        cpu.readWriteRanges = "0000 00FF 2000 2FFF";
        cpu.thirdRanges = "";
        cpu.randomMemory = false;
    }

    CpuConfiguration cpu;
};

TEST_F(CpuDialogTest, ShowsEveryItemOfTheConfiguration) {
    TCPUDlg dialog(cpu);
    EXPECT_EQ(control<QComboBox>(dialog, "CBCPUType")->currentText(), "M68HC11A1");
    EXPECT_EQ(control<QComboBox>(dialog, "CBCPUType")->count(), 6);
    EXPECT_EQ(control<QComboBox>(dialog, "CBCPUXtal")->currentText(), "4.9152 MHz");
    const std::vector<const char*> bprotBoxes{"BPROT0CB", "BPROT1CB", "BPROT2CB", "BPROT3CB"};
    for (std::size_t i = 0; i < 4; ++i) {
        QCheckBox* box = control<QCheckBox>(dialog, bprotBoxes[i]);
        EXPECT_EQ(box->isChecked(), cpu.bprot[i]) << bprotBoxes[i];
        EXPECT_FALSE(box->isEnabled()) << "the A1 has no BPROT";
    }
    const auto tmsk2 = control<QWidget>(dialog, "RGTMSK2")->findChildren<QRadioButton*>();
    ASSERT_EQ(tmsk2.size(), 4);
    EXPECT_TRUE(tmsk2[2]->isChecked());
    EXPECT_EQ(tmsk2[2]->text(), "Timer Prescaler / 8");
    const auto irq = control<QWidget>(dialog, "RGOPTION")->findChildren<QRadioButton*>();
    ASSERT_EQ(irq.size(), 2);
    EXPECT_TRUE(irq[1]->isChecked());
    EXPECT_EQ(control<QLineEdit>(dialog, "RMemEdit")->text(), "F000 FFFF");
    EXPECT_EQ(control<QLineEdit>(dialog, "RWMemEdit")->text(), "0000 00FF 2000 2FFF");
    EXPECT_EQ(control<QLineEdit>(dialog, "IOMemEdit")->text(), "");
    EXPECT_FALSE(control<QCheckBox>(dialog, "CBRandom")->isChecked());
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(dialog.focusWidget(), control<QComboBox>(dialog, "CBCPUType"));

    cpu.cpuType = "M68HC11E9";  // not a name of the list
    TCPUDlg unknown(cpu);
    EXPECT_EQ(control<QComboBox>(unknown, "CBCPUType")->currentIndex(), -1);
    unknown.OKBtnClick();
    EXPECT_EQ(cpu.cpuType, "M68HC11E9") << "OK has no item to store";
}

TEST_F(CpuDialogTest, PickingACpuTypeFillsTheRangesAndTheBprotBoxes) {
    struct Pick {
        int index;
        const char* rom;
        const char* readWrite;
        const char* third;
        bool bprotEnabled;
    };
    const std::vector<Pick> picks{
        {5, "F800 FFFF", "0000 00FF", "", false},          // M68HC811E2
        {4, "D000 FFFF", "0000 01FF", "B600 B7FF", true},  // M68HC(7)11E9
        {0, "E000 FFFF", "0000 00FF", "", false},          // M68HC11A0
    };
    TCPUDlg dialog(cpu);
    auto* cpuType = control<QComboBox>(dialog, "CBCPUType");
    for (const Pick& pick : picks) {
        cpuType->setCurrentIndex(pick.index);
        emit cpuType->activated(pick.index);
        EXPECT_EQ(control<QLineEdit>(dialog, "RMemEdit")->text(), pick.rom);
        EXPECT_EQ(control<QLineEdit>(dialog, "RWMemEdit")->text(), pick.readWrite);
        EXPECT_EQ(control<QLineEdit>(dialog, "IOMemEdit")->text(), pick.third);
        EXPECT_EQ(control<QCheckBox>(dialog, "BPROT0CB")->isEnabled(), pick.bprotEnabled);
        EXPECT_EQ(control<QComboBox>(dialog, "CBCPUXtal")->currentText(), "4.9152 MHz");
        EXPECT_FALSE(control<QCheckBox>(dialog, "CBRandom")->isChecked());
    }
    EXPECT_EQ(cpu.romRanges, "F000 FFFF") << "nothing reaches the configuration before OK";
}

TEST_F(CpuDialogTest, RangeFieldsTakeHexDigitsAndBlanksInUpperCase) {
    TCPUDlg dialog(cpu);
    for (const char* name : {"RMemEdit", "RWMemEdit", "IOMemEdit"}) {
        QLineEdit* edit = control<QLineEdit>(dialog, name);
        edit->clear();
        type(edit, "b6x00 b7;ff,\b\b");
        EXPECT_EQ(edit->text(), "B600 B7") << name;
    }
}

TEST_F(CpuDialogTest, OkCopiesEveryControlAndCancelNothing) {
    const CpuConfiguration original = cpu;
    for (const bool ok : {false, true}) {
        TCPUDlg dialog(cpu);
        auto* cpuType = control<QComboBox>(dialog, "CBCPUType");
        cpuType->setCurrentIndex(3);  // M68HC11E1
        emit cpuType->activated(3);
        control<QComboBox>(dialog, "CBCPUXtal")->setCurrentIndex(5);
        control<QCheckBox>(dialog, "BPROT1CB")->click();
        control<QWidget>(dialog, "RGTMSK2")->findChildren<QRadioButton*>()[3]->click();
        control<QWidget>(dialog, "RGOPTION")->findChildren<QRadioButton*>()[0]->click();
        control<QLineEdit>(dialog, "RWMemEdit")->setText("0000 03FF");
        control<QCheckBox>(dialog, "CBRandom")->click();
        if (!ok) {
            dialog.reject();
            EXPECT_EQ(cpu.cpuType, original.cpuType);
            EXPECT_EQ(cpu.readWriteRanges, original.readWriteRanges);
            EXPECT_EQ(cpu.bprot, original.bprot);
            continue;
        }
        dialog.OKBtnClick();
    }
    EXPECT_EQ(cpu.cpuType, "M68HC11E1");
    EXPECT_EQ(cpu.crystal, "12 MHz");
    EXPECT_EQ(cpu.bprot, (std::array<bool, 4>{true, true, true, false}));
    EXPECT_EQ(cpu.tmsk2Prescaler, 3);
    EXPECT_EQ(cpu.irqChoice, 0);
    EXPECT_EQ(cpu.romRanges, "E000 FFFF");
    EXPECT_EQ(cpu.readWriteRanges, "0000 03FF");
    EXPECT_EQ(cpu.thirdRanges, "B600 B7FF");
    EXPECT_TRUE(cpu.randomMemory);
}

// Answers the CPU dialog with a script instead of showing it.
class ScriptedUi : public ProjectUi {
  public:
    std::function<bool(CpuConfiguration&)> cpuAnswer;
    std::vector<std::string> errors;

    void showError(std::string_view text) override { errors.emplace_back(text); }
    void showInformation(std::string_view) override {}
    bool askYesNo(std::string_view) override { return false; }
    std::optional<ProjectFormat> chooseFormat() override { return std::nullopt; }
    bool editAsm11Options(Asm11Options&) override { return false; }
    bool editS19Start(std::string&) override { return false; }
    bool editCpuConfiguration(CpuConfiguration& cpu) override { return cpuAnswer(cpu); }
};

TEST(ConfigureCpuTest, OkWritesTheCpuSectionAndAppliesTheMemoryMap) {
    TempDirectory directory;
    Project project;
    project.setPath(directory / "demo.pro");
    writeText(project.path, "[PROJECT]\nFormat=ASM11\n[FILES]\nCount=1\nFile0=demo.asm\n");
    auto memory = std::make_unique<AddressSpace>();
    ScriptedUi ui;
    ui.cpuAnswer = [](CpuConfiguration& cpu) {
        cpu.readWriteRanges = "0000 00FF 2000 2FFF";
        return true;
    };

    EXPECT_TRUE(configureCpu(project, *memory, ui));
    EXPECT_EQ(project.cpu.readWriteRanges, "0000 00FF 2000 2FFF");
    EXPECT_EQ((*memory)[0x2800].kind(), MemoryKind::Ram);
    EXPECT_EQ((*memory)[0x1000].kind(), MemoryKind::Io);
    const std::string text = testing::readText(project.path);
    EXPECT_NE(text.find("RWMem=0000 00FF 2000 2FFF"), std::string::npos) << text;
    EXPECT_NE(text.find("File0=demo.asm"), std::string::npos) << "other sections are kept";

    ui.cpuAnswer = [](CpuConfiguration& cpu) {
        cpu.romRanges = "";
        return false;
    };
    EXPECT_FALSE(configureCpu(project, *memory, ui));
    EXPECT_EQ(project.cpu.romRanges, "E000 FFFF");
}

TEST(ConfigureCpuTest, AProjectFileThatCannotBeWrittenIsReportedAndChangesNothing) {
    TempDirectory directory;
    Project project;
    project.setPath(directory / "missing" / "demo.pro");
    auto memory = std::make_unique<AddressSpace>();
    (*memory)[0x2800].flags = static_cast<std::uint8_t>(MemoryKind::Undefined);
    ScriptedUi ui;
    ui.cpuAnswer = [](CpuConfiguration& cpu) {
        cpu.readWriteRanges = "2000 2FFF";
        return true;
    };

    EXPECT_FALSE(configureCpu(project, *memory, ui));
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(project.cpu.readWriteRanges, CpuConfiguration().readWriteRanges);
    EXPECT_EQ((*memory)[0x2800].kind(), MemoryKind::Undefined);
}

}  // namespace
}  // namespace tarnwick
