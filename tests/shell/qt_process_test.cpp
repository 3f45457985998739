#include "shell/qt_process.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "project/temp_directory.h"
#include "shell/building_dialog.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::readText;
using testing::TempDirectory;
using testing::writeText;

// Polls as the build does, with events processed in between; false after `milliseconds`.
bool waitFor(const std::function<bool()>& condition, int milliseconds = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds) return false;
        QApplication::processEvents();
        QThread::msleep(10);
    }
    return true;
}

std::string firstLine(const fs::path& file) {
    const std::string text = readText(file);
    return text.substr(0, text.find('\n'));
}

// A process that has ended and was reaped, or ended and waits to be reaped, is not running.
bool isRunning(const std::string& pid) {
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const auto state = line.find(") ");
    return state != std::string::npos && line[state + 2] != 'Z';
}

TEST(QtProcessTest, RunsAProgramInItsDirectoryAndGivesItsExitCodeAndOutput) {
    TempDirectory directory;
    writeText(directory / "input.txt", "from the directory\n");
    QtProcess process;
    ASSERT_TRUE(process.start({"/bin/sh", "-c", "echo hi; echo oops >&2; cat input.txt; exit 3"},
                              directory.path(), directory / "out.txt", false));
    std::optional<int> exitCode;
    ASSERT_TRUE(waitFor([&] { return (exitCode = process.exitCode()).has_value(); }));
    EXPECT_EQ(*exitCode, 3);
    EXPECT_EQ(readText(directory / "out.txt"), "hi\nfrom the directory\n");
    EXPECT_EQ(process.errorOutput(), "oops\n");
}

TEST(QtProcessTest, AProgramThatDoesNotExistFailsCleanly) {
    TempDirectory directory;
    QtProcess process;
    EXPECT_FALSE(process.start({(directory / "no-such-program").string()}, directory.path(),
                               directory / "out.txt", true));
    EXPECT_EQ(process.exitCode(), -1);
    process.terminate();
    EXPECT_FALSE(process.start({}, directory.path(), directory / "out.txt", true));
}

TEST(QtProcessTest, TerminateEndsTheProgramAndWhatItStarted) {
    TempDirectory directory;
    QtProcess process;
    ASSERT_TRUE(process.start({"/bin/sh", "-c", "sleep 30 & echo $! > child; wait"},
                              directory.path(), directory / "out.txt", false));
    ASSERT_TRUE(waitFor([&] { return !readText(directory / "child").empty(); }));
    const std::string child = firstLine(directory / "child");
    EXPECT_FALSE(process.exitCode().has_value());

    process.terminate();
    EXPECT_EQ(process.exitCode(), -1);
    EXPECT_TRUE(waitFor([&] { return !isRunning(child); })) << "sleep " << child << " survived";
}

// Records what the build reports and loads instead of showing it.
class RecordingUi : public ProjectUi {
  public:
    std::vector<std::string> errors;

    void showError(std::string_view text) override { errors.emplace_back(text); }
    void showInformation(std::string_view) override {}
    bool askYesNo(std::string_view) override { return false; }
    std::optional<ProjectFormat> chooseFormat() override { return std::nullopt; }
    bool editAsm11Options(Asm11Options&) override { return false; }
    bool editS19Start(std::string&) override { return false; }
    bool editCpuConfiguration(CpuConfiguration&) override { return false; }
};

class AssemblerBuildWindowTest : public ::testing::Test {
  protected:
    AssemblerBuildWindowTest() {
        writeText(directory / "demo.pro", "[PROJECT]\nFormat=ASM11\n");
        writeText(directory / "prog.asm", " org $E000\n");
        request.projectPath = directory / "demo.pro";
        request.firstFile = "prog.asm";
        request.assemblerPath = (directory / "asm11").string();
        hooks.hideEditorMessages = [this] { events.push_back("hide"); };
        hooks.clearMessages = [this] { events.push_back("clear"); };
        hooks.loadMessages = [this](const fs::path& file) {
            events.push_back("load " + readText(file));
        };
    }

    // The assembler: a script that prints its messages, then does `then`.
    void writeAssembler(const std::string& then) {
        writeText(directory / "asm11",
                  "#!/bin/sh\necho $$ > pid\necho 'ERR* prog.asm [1] Bad'\n" + then + "\n");
        fs::permissions(directory / "asm11", fs::perms::owner_all);
    }

    // Runs `duringRun` on the Building window once it has been up for `delay` ms.
    void whileBuilding(int delay, std::function<void(QWidget&)> duringRun) {
        QTimer::singleShot(delay, [duringRun = std::move(duringRun)] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->objectName() == "TBuildDlg" && window->isVisible()) duringRun(*window);
            }
        });
    }

    bool temporaryFilesLeft() const {
        return fs::exists(directory / "ASM11.bat") || fs::exists(directory / "tarnwick.err");
    }

    TempDirectory directory;
    AssemblerBuildRequest request;
    BuildMessageHooks hooks;
    RecordingUi ui;
    std::vector<std::string> events;
};

TEST_F(AssemblerBuildWindowTest, RunsTheAssemblerAndLoadsItsMessages) {
    writeAssembler("echo \"args: $*\"");
    buildAssemblerProject(request, true, ui, hooks);

    EXPECT_TRUE(ui.errors.empty());
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0], "hide");
    EXPECT_EQ(events[1], "clear");
    EXPECT_EQ(events[2],
              "load ERR* prog.asm [1] Bad\nargs: -WRN+ -SP- -SH- -O+ -P+ -C- -L- -M- -X+ -REL- "
              "-RTS- -LS+ -LSE -S+ -E- -T- prog.asm\n");
    EXPECT_FALSE(temporaryFilesLeft());
}

TEST_F(AssemblerBuildWindowTest, CancelEndsTheAssemblerAndLoadsNothing) {
    writeAssembler("sleep 30");
    QString shownOutput;
    QString seconds;
    QString buildingText;
    whileBuilding(1500, [&](QWidget& window) {
        buildingText = window.findChild<QWidget*>("LBuild")->property("text").toString();
        shownOutput = window.findChild<QPlainTextEdit*>("BuildOutput")->toPlainText();
        seconds = window.findChild<QWidget*>("LTime")->property("text").toString();
        window.findChild<QPushButton*>("BuildCancel")->click();
    });
    QElapsedTimer clock;
    clock.start();
    buildAssemblerProject(request, true, ui, hooks);

    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(shownOutput, "ERR* prog.asm [1] Bad\n") << "the output is shown as it is written";
    EXPECT_TRUE(seconds == "1" || seconds == "2")
        << "seconds after 1.5 s: " << seconds.toStdString();
    EXPECT_EQ(buildingText.toStdString(), "Building : " + (directory / "demo.pro").string());
    EXPECT_EQ(events, (std::vector<std::string>{"hide", "clear"}));
    EXPECT_FALSE(temporaryFilesLeft());
    const std::string pid = firstLine(directory / "pid");
    EXPECT_TRUE(waitFor([&] { return !isRunning(pid); })) << "the assembler survived the cancel";
}

TEST_F(AssemblerBuildWindowTest, EscapeCancelsInsteadOfClosingTheWindow) {
    writeAssembler("sleep 30");
    request.options.showProgress = false;
    bool outputShown = true;
    whileBuilding(500, [&](QWidget& window) {
        outputShown = window.findChild<QPlainTextEdit*>("BuildOutput")->isVisible();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&window, &escape);
    });
    buildAssemblerProject(request, true, ui, hooks);

    EXPECT_FALSE(outputShown);
    EXPECT_EQ(events, (std::vector<std::string>{"hide", "clear"}));
    EXPECT_FALSE(temporaryFilesLeft());
}

TEST_F(AssemblerBuildWindowTest, RefusedBuildsShowTheirErrorWithoutAWindow) {
    writeAssembler("");
    request.assemblerPath = "/opt/asm.exe";
    buildAssemblerProject(request, true, ui, hooks);
    request.assemblerPath = (directory / "asm11").string();
    request.firstFile = "missing.asm";
    buildAssemblerProject(request, true, ui, hooks);
    request.firstFile = "prog.asm";
    buildAssemblerProject(request, false, ui, hooks);  // the user cancelled saving

    EXPECT_EQ(ui.errors,
              (std::vector<std::string>{std::string(kNoAssemblerText), std::string(kNoFileText)}));
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(temporaryFilesLeft());
}

}  // namespace
}  // namespace tarnwick
