#include "shell/main_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "project/ini_file.h"
#include "shell/editor_page.h"
#include "shell/editor_window.h"
#include "shell/main_form_fixture.h"
#include "shell/project_window.h"
#include "shell/register_panel_widget.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::MainFormTest;

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

TEST_F(MainFormTest, BuildAndStartOfAProjectWithoutFormatSayWhy) {
    testing::writeText(directory / "garbage.pro", "garbage\nnot an ini\n");
    form->openProject(directory / "garbage.pro");
    trigger("ProjectBuildClick");
    trigger("DebugStartClick");
    EXPECT_FALSE(form->debugger().inSession());
    const QString why = QString::fromUtf8(kNoFormatText.data(), kNoFormatText.size());
    EXPECT_EQ(messages, QStringList({why, why}));
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
}

// The whole road through the real windows, keys included: build, start, F7, F8, F5, F9, stop.
TEST_F(MainFormTest, FullSessionThroughTheWindows) {
    fs::remove(directory / "sum.s19");
    fs::remove(directory / "sum.sym");
    form->show();
    form->openProject(directory / "sum.pro");
    trigger("ProjectBuildClick");
    ASSERT_TRUE(fs::exists(directory / "sum.s19")) << messages.join("\n").toStdString();
    EXPECT_EQ(form->projectWindow().findChild<QLabel*>("LErrors")->text(), "Errors=0");
    EXPECT_EQ(form->projectWindow().findChild<QLabel*>("LWarnings")->text(), "Warnings=0");

    trigger("DebugStartClick");
    ASSERT_TRUE(form->debugger().inSession()) << messages.join("\n").toStdString();
    TEditor& editor = form->editor();
    const fs::path source = directory / "sum.asm";
    ASSERT_EQ(editor.activeFile(), source);
    QWidget* page = reinterpret_cast<QWidget*>(editor.activePage());
    QApplication::setActiveWindow(&editor);
    page->setFocus();

    for (int press = 0; press < 3; ++press) QTest::keyClick(page, Qt::Key_F7);
    EXPECT_EQ(field("LabelPC"), "E008");
    QTest::keyClick(page, Qt::Key_F7);
    QTest::keyClick(page, Qt::Key_F7);
    ASSERT_EQ(field("LabelPC"), "E00C");  // JSR ADDUP
    QTest::keyClick(page, Qt::Key_F8);
    EXPECT_EQ(field("LabelPC"), "E00F");
    EXPECT_TRUE(red("LabelPC"));
    EXPECT_EQ(field("LabelBHex"), "E4") << "ADDUP's last addition";
    EXPECT_TRUE(red("LabelBHex"));
    EXPECT_TRUE(red("LabelD"));

    editor.moveCaret(37);  // HALT BRA HALT, line 38
    QTest::keyClick(page, Qt::Key_F5);
    EXPECT_TRUE(editor.markers(source, 37) & kBreakpointMarker);
    EXPECT_EQ(editor.lineStyle(source, 37), LineStyle::BreakPoint);
    QTest::keyClick(page, Qt::Key_F9);
    EXPECT_EQ(field("LabelPC"), "E027");
    EXPECT_TRUE(editor.markers(source, 37) & kExecutionPointMarker);
    EXPECT_EQ(editor.lineStyle(source, 37), LineStyle::ExecutionPoint);
    ASSERT_EQ(form->debugger().breakpoints.rows().size(), 1u);
    EXPECT_EQ(form->debugger().breakpoints.rows().front().count, "1 of 1");
    auto* rows = form->projectWindow().findChild<QTreeWidget*>("BreakList");
    ASSERT_NE(rows, nullptr);
    ASSERT_EQ(rows->topLevelItemCount(), 1);
    EXPECT_EQ(rows->topLevelItem(0)->text(3), "1 of 1");

    // Pictures of the session, under the build folder, for a person to look at.
    QDir().mkpath("session_pictures");
    form->grab().save("session_pictures/main_form.png");
    editor.grab().save("session_pictures/editor.png");
    form->projectWindow().grab().save("session_pictures/project_window.png");

    trigger("DebugStartClick");
    EXPECT_FALSE(form->debugger().inSession());
    EXPECT_FALSE(editor.activePage()->isReadOnly());
    EXPECT_FALSE(editor.markers(source, 37) & kBreakpointMarker);
}

TEST_F(MainFormTest, ToolWindowsFollowTheWindowPattern) {
    form->openProject(directory / "sum.pro");
    trigger("DebugStartClick");
    ASSERT_TRUE(form->debugger().inSession());
    EXPECT_FALSE(form->action("WindowRAMClick")->isVisible());
    for (const char* opener : {"ViewRAMClick", "ViewStackIXIYClick", "SubSCIClick"}) {
        trigger(opener);
        EXPECT_FALSE(form->action(opener)->isEnabled()) << opener;
    }
    EXPECT_TRUE(form->action("WindowRAMClick")->isVisible());
    QWidget* ram = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == "TRAMForm") ram = window;
    ASSERT_NE(ram, nullptr);
    EXPECT_TRUE(ram->isVisible());

    ram->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->action("ViewRAMClick")->isEnabled());
    EXPECT_FALSE(form->action("WindowRAMClick")->isVisible());

    trigger("DebugStartClick");  // stop closes the session's windows
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible() &&
                     (window->objectName() == "TStackForm" || window->objectName() == "SubSCIForm"))
            << window->objectName().toStdString();
}

// Every window of the View and SubSystems menus, the SCI terminal and the A/D window
// included: its entry opens it and waits, its Window entry is listed until it is closed.
TEST_F(MainFormTest, EverySessionWindowOpensFromItsEntryAndIsListedWhileOpen) {
    form->openProject(directory / "sum.pro");
    trigger("DebugStartClick");
    ASSERT_TRUE(form->debugger().inSession());
    for (const CommandEntry& opener : commandMap()) {
        if (opener.window == ToolWindow::None || opener.availability == Availability::WindowEntry)
            continue;
        SCOPED_TRACE(opener.handler);
        const CommandEntry* listing = nullptr;
        for (const CommandEntry& entry : commandMap())
            if (entry.availability == Availability::WindowEntry && entry.window == opener.window)
                listing = &entry;
        ASSERT_NE(listing, nullptr);
        QAction* open = form->action(opener.handler);
        EXPECT_TRUE(open->isVisible());
        ASSERT_TRUE(open->isEnabled());

        QWidgetList shownBefore;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible()) shownBefore << window;
        open->trigger();
        QWidget* opened = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && !shownBefore.contains(window)) opened = window;
        ASSERT_NE(opened, nullptr);
        EXPECT_FALSE(open->isEnabled());
        EXPECT_TRUE(form->action(listing->handler)->isVisible());

        opened->close();
        QCoreApplication::processEvents();
        EXPECT_TRUE(open->isEnabled());
        EXPECT_FALSE(form->action(listing->handler)->isVisible());
    }
}

// The terminal is the one peripheral window the user sizes; the desktop keeps its size.
TEST_F(MainFormTest, TheTerminalComesBackWhereAndAsLargeAsItWas) {
    form->openProject(directory / "sum.pro");
    trigger("DebugStartClick");
    trigger("SubSCITermClick");
    QWidget* terminal = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == "SubSCITermForm") terminal = window;
    ASSERT_NE(terminal, nullptr);
    terminal->setGeometry(40, 50, 900, 500);
    trigger("DebugStartClick");
    EXPECT_EQ(readIniFile(directory / "sum.pro").value("FORMS", "SubSCITermForm"),
              "40 50 500 900 0");

    trigger("DebugStartClick");
    EXPECT_TRUE(terminal->isVisible());
    EXPECT_EQ(terminal->geometry(), QRect(40, 50, 900, 500));
    EXPECT_TRUE(form->action("WindowSubSCITermClick")->isVisible());
}

TEST_F(MainFormTest, TheSessionsWindowsAreKeptInTheProjectFile) {
    form->openProject(directory / "sum.pro");
    trigger("DebugStartClick");
    trigger("ViewRAMClick");
    trigger("SubSCIClick");
    trigger("DebugStartClick");
    const IniDocument document = readIniFile(directory / "sum.pro");
    EXPECT_TRUE(document.value("FORMS", "RAMForm").has_value());
    EXPECT_TRUE(document.value("FORMS", "SubSCIForm").has_value());
    EXPECT_FALSE(document.value("FORMS", "StackForm").has_value());

    trigger("DebugStartClick");
    EXPECT_FALSE(form->action("ViewRAMClick")->isEnabled()) << "the RAM view is open again";
    EXPECT_TRUE(form->action("WindowSubSCIClick")->isVisible());
}

// Windows come back where, how big and in which state they were, and go back to the file the
// same; a project window the file does not place stands in the middle of the screen.
TEST_F(MainFormTest, TheDesktopComesBackAsStoredAndIsStoredAgainUnchanged) {
    IniDocument project = readIniFile(directory / "sum.pro");
    project.setValue("FORMS", "SubSCIForm", "300 200 1");
    project.setValue("FORMS", "RAMForm", "100 120 250 400 2");
    writeIniFile(directory / "sum.pro", project);
    form->openProject(directory / "sum.pro");
    trigger("DebugStartClick");
    ASSERT_TRUE(form->debugger().inSession()) << messages.join("\n").toStdString();

    QWidget* sci = nullptr;
    QWidget* ram = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == "SubSCIForm") sci = window;
        if (window->objectName() == "TRAMForm") ram = window;
    }
    ASSERT_TRUE(sci && ram);
    EXPECT_TRUE(sci->isVisible());
    EXPECT_TRUE(sci->isMinimized());
    EXPECT_TRUE(ram->isMaximized());
    const QRect screen = form->projectWindow().screen()->availableGeometry();
    EXPECT_LE((form->projectWindow().geometry().center() - screen.center()).manhattanLength(), 2);

    trigger("DebugStartClick");
    project = readIniFile(directory / "sum.pro");
    EXPECT_EQ(project.value("FORMS", "SubSCIForm"), "300 200 1");
    EXPECT_EQ(project.value("FORMS", "RAMForm"), "100 120 250 400 2");
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
