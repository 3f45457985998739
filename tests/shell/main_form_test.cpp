#include "shell/main_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <filesystem>

#include "integration/tool_run.h"
#include "project/temp_directory.h"
#include "shell/editor_window.h"
#include "shell/project_window.h"
#include "shell/register_panel_widget.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// The main window over the sum example, assembled by asm11 in a directory of its own, with
// its settings in a file there and every message box answered by the test.
class MainFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* source = std::getenv("TARNWICK_SOURCE_DIR");
        const fs::path example = fs::path(source ? source : ".") / "examples" / "sum";
        for (const char* name : {"sum.asm", "sum.pro"})
            fs::copy_file(example / name, directory / name);
        const testing::ToolRun build = testing::runTool(directory.path(), ASM11_PATH, "sum.asm");
        ASSERT_EQ(build.status, 0) << build.output;

        const QString settings = QString::fromStdString((directory / "settings.ini").string());
        form = std::make_unique<TMainForm>(
            MainFormSetup{std::make_unique<QtSettingsStore>(settings), QString(), QString()});
        form->host().setMessageBox([this](MessageBoxKind, const QString& text) {
            messages << text;
            return answer;
        });
    }
    void TearDown() override {
        if (form && form->debugger().inSession()) form->debugger().startOrStop();
    }

    QString field(const char* name) const { return form->findChild<QLabel*>(name)->text(); }
    bool red(const char* name) const {
        return form->findChild<QLabel*>(name)->palette().color(QPalette::WindowText) == Qt::red;
    }
    void trigger(std::string_view handler) { form->action(handler)->trigger(); }

    testing::TempDirectory directory;
    std::unique_ptr<TMainForm> form;
    QStringList messages;
    bool answer = true;
};

TEST_F(MainFormTest, MenusAndToolBarFollowTheProgramState) {
    for (const CommandEntry& entry : commandMap()) {
        if (entry.isSeparator()) continue;
        QAction* action = form->action(entry.handler);
        ASSERT_NE(action, nullptr) << entry.handler;
        EXPECT_EQ(action->shortcut(),
                  QKeySequence(QString::fromUtf8(entry.shortcut.data(), entry.shortcut.size())))
            << entry.handler;
    }
    EXPECT_FALSE(form->action("ProjectBuildClick")->isEnabled());
    EXPECT_FALSE(form->action("DebugStartClick")->isEnabled());

    form->openProject(directory / "sum.pro");
    EXPECT_EQ(form->windowTitle(), "Tarnwick - sum.pro");
    EXPECT_TRUE(form->action("ProjectBuildClick")->isEnabled());
    EXPECT_TRUE(form->action("DebugStartClick")->isEnabled());
    EXPECT_FALSE(form->action("DebugTraceIntoClick")->isEnabled());

    trigger("DebugStartClick");
    ASSERT_TRUE(form->debugger().inSession()) << messages.join("\n").toStdString();
    EXPECT_EQ(form->windowTitle(), "Tarnwick - sum.pro [Debug Mode]");
    EXPECT_EQ(form->action("DebugStartClick")->text(), "Stop");
    EXPECT_TRUE(form->action("DebugTraceIntoClick")->isEnabled());
    EXPECT_FALSE(form->action("ProjectBuildClick")->isEnabled());

    trigger("DebugStartClick");
    EXPECT_EQ(form->windowTitle(), "Tarnwick - sum.pro");
    EXPECT_EQ(form->action("DebugStartClick")->text(), "Start");
}

TEST_F(MainFormTest, RegisterPanelShowsWhatATraceChanged) {
    form->openProject(directory / "sum.pro");
    trigger("DebugStartClick");
    ASSERT_TRUE(form->debugger().inSession());
    EXPECT_EQ(field("LabelPC"), "E000");
    EXPECT_FALSE(red("LabelPC"));

    trigger("DebugTraceIntoClick");  // LDS #$00FF
    EXPECT_EQ(field("LabelPC"), "E003");
    EXPECT_EQ(field("LabelSP"), "00FF");
    EXPECT_TRUE(red("LabelPC"));
    EXPECT_TRUE(red("LabelSP"));
    EXPECT_FALSE(red("LabelAHex"));
    EXPECT_EQ(form->editor().statusText(kCyclePanel).toStdString(), "Cycle = 3");

    // TARNWICK_MAIN_FORM_PICTURE=dir keeps pictures of the windows for a look by eye.
    if (const char* pictures = std::getenv("TARNWICK_MAIN_FORM_PICTURE")) {
        form->resize(1400, form->height());
        form->grab().save(QString(pictures) + "/main_form.png");
        form->editor().resize(1000, 700);
        form->editor().grab().save(QString(pictures) + "/editor.png");
        form->projectWindow().resize(500, 400);
        form->projectWindow().grab().save(QString(pictures) + "/project_window.png");
    }
}

TEST_F(MainFormTest, QuitIsRefusedDuringASessionAndAskedOtherwise) {
    form->show();
    form->openProject(directory / "sum.pro");
    trigger("DebugStartClick");
    EXPECT_FALSE(form->close());
    EXPECT_EQ(messages.back(), "Debug session in progress - Debug|Stop");

    trigger("DebugStartClick");
    answer = false;
    EXPECT_FALSE(form->close());
    EXPECT_EQ(messages.back(), "Do you want to quit Tarnwick ?");
    answer = true;
    EXPECT_TRUE(form->close());
}

}  // namespace
}  // namespace tarnwick
