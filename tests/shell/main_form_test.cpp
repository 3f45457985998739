#include "shell/main_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <chrono>
#include <filesystem>

#include "integration/tool_run.h"
#include "project/ini_file.h"
#include "project/settings.h"
#include "project/temp_directory.h"
#include "shell/editor_page.h"
#include "shell/editor_window.h"
#include "shell/project_window.h"
#include "shell/ram_view_window.h"
#include "shell/register_panel_widget.h"
#include "shell/stack_view_window.h"

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
        QtSettingsStore store(settings);
        store.writeString(kAssemblerPathKey, ASM11_PATH);
        store.writeBool(kAutosaveDesktopKey, true);
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
    template <typename Window>
    static Window* topLevel(const char* name) {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == name) return qobject_cast<Window*>(window);
        return nullptr;
    }

    testing::TempDirectory directory;
    std::unique_ptr<TMainForm> form;
    QStringList messages;
    bool answer = true;
};

// A menu entry or tool button whose handler name finds no command would do nothing.
TEST(MainFormCommandsTest, EveryEntryOfTheCommandMapReachesACommand) {
    for (const CommandEntry& entry : commandMap())
        if (!entry.isSeparator())
            EXPECT_NE(TMainForm::handlerFor(entry.handler), nullptr) << entry.handler;
    for (const std::string_view handler : toolBar())
        if (!handler.empty()) EXPECT_NE(TMainForm::handlerFor(handler), nullptr) << handler;
    EXPECT_EQ(TMainForm::handlerFor("FileNewClik"), nullptr);
}

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

TEST_F(MainFormTest, ClosingTheProjectHidesTheBuildMessages) {
    testing::writeText(directory / "sum.asm", "        NOPE\n");
    form->openProject(directory / "sum.pro");
    ASSERT_TRUE(form->editor().open(directory / "sum.asm"));
    trigger("ProjectBuildClick");
    ASSERT_FALSE(form->editor().messagePanel()->isHidden()) << messages.join("\n").toStdString();
    trigger("ProjectCloseClick");
    EXPECT_TRUE(form->editor().messagePanel()->isHidden());
}

// Every tool button shows a glyph, from the icon theme or our own, with its caption as hint.
TEST_F(MainFormTest, ToolButtonsShowGlyphsWithTheirCaptionsAsHints) {
    auto* bar = form->findChild<QToolBar*>("ToolBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonIconOnly);
    for (const std::string_view handler : toolBar()) {
        if (handler.empty()) continue;
        const QString name = "Tool" + QString::fromUtf8(handler.data(), handler.size());
        auto* button = form->findChild<QAction*>(name);
        ASSERT_NE(button, nullptr) << handler;
        EXPECT_FALSE(button->icon().pixmap(24).isNull()) << handler;
        EXPECT_EQ(button->toolTip().toStdString(), findCommand(handler)->toolHint);
    }
}

// Debug Start with a source newer than the program asks first: Cancel does nothing, No starts
// with the old program, Yes builds and starts unless the build reported errors.
TEST_F(MainFormTest, AProgramOlderThanItsSourcesIsBuiltFirstOnYes) {
    const auto answerNextQuestion = [](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), "The program is older than its sources. Build it first?");
            box->button(button)->click();
        });
    };
    const fs::path image = directory / "sum.s19";
    const auto imageIsOld = [&] {
        return fs::last_write_time(image) < fs::last_write_time(directory / "sum.asm");
    };
    fs::last_write_time(image, fs::last_write_time(directory / "sum.asm") - std::chrono::hours(1));
    form->openProject(directory / "sum.pro");

    answerNextQuestion(QMessageBox::Cancel);
    trigger("DebugStartClick");
    EXPECT_FALSE(form->debugger().inSession());

    answerNextQuestion(QMessageBox::No);
    trigger("DebugStartClick");
    EXPECT_TRUE(form->debugger().inSession());
    EXPECT_TRUE(imageIsOld());
    trigger("DebugStartClick");

    answerNextQuestion(QMessageBox::Yes);
    trigger("DebugStartClick");
    EXPECT_TRUE(form->debugger().inSession()) << messages.join("\n").toStdString();
    EXPECT_FALSE(imageIsOld());
    trigger("DebugStartClick");

    // A build with errors leaves the session unstarted and its messages shown.
    testing::writeText(directory / "sum.asm", "        NOPE\n");
    answerNextQuestion(QMessageBox::Yes);
    trigger("DebugStartClick");
    EXPECT_FALSE(form->debugger().inSession());
    EXPECT_EQ(form->projectWindow().findChild<QLabel*>("LErrors")->text(), "Errors=1");
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

    // Stop hands the keyboard to the page, its caret on the last execution point.
    QApplication::setActiveWindow(form.get());
    form->setFocus();
    trigger("DebugStartClick");
    EXPECT_FALSE(form->debugger().inSession());
    EXPECT_FALSE(editor.activePage()->isReadOnly());
    EXPECT_FALSE(editor.markers(source, 37) & kBreakpointMarker);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), page);
    EXPECT_EQ(editor.caretLine(), 37);
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

// Modify RAM writes behind the stack view and the watches: both show the new byte at once.
TEST_F(MainFormTest, ModifyRamShowsInTheStackViewAndTheWatches) {
    form->openProject(directory / "sum.pro");
    trigger("DebugStartClick");
    ASSERT_TRUE(form->debugger().inSession()) << messages.join("\n").toStdString();
    form->debugger().watches.add(WatchRow{"TOTAL", 0x0000, "ByteHex", 1, ""});
    trigger("ViewStackIXIYClick");
    trigger("ViewRAMClick");
    auto* ram = topLevel<TRAMForm>("TRAMForm");
    auto* stack = topLevel<TStackForm>("TStackForm");
    ASSERT_TRUE(ram && stack);
    ASSERT_EQ(form->machine().sp, 0x0000);
    const QString before = form->debugger().watches.rows().front().value.c_str();

    ram->list()->setCurrentRow(0);  // 0000-000F
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("EAddr0")->setText("5A");
        dialog->findChild<QPushButton*>("OKBtn")->click();
    });
    ram->ListDblClick();

    EXPECT_EQ(stack->cellLabel(0, 12)->text(), "0000: 5A");
    const std::string value = form->debugger().watches.rows().front().value;
    EXPECT_NE(QString::fromStdString(value), before);
    EXPECT_NE(value.find("5A"), std::string::npos) << value;
    auto* rows = form->projectWindow().findChild<QTreeWidget*>("WatchList");
    ASSERT_EQ(rows->topLevelItemCount(), 1);
    EXPECT_EQ(rows->topLevelItem(0)->text(4).toStdString(), value);
}

// The strip stands by its frame at the top left, as wide as the screen; the editor opened
// maximised fills the work area below it; the project window and the tool windows are tools
// of the editor, which the window manager keeps above it, and the fixed-size ones cannot be
// maximised.
TEST_F(MainFormTest, NothingHidesTheStrip) {
    form->show();
    QCoreApplication::processEvents();
    const QRect screen = form->screen()->availableGeometry();
    EXPECT_EQ(form->frameGeometry().topLeft(), screen.topLeft());
    // As wide as the screen, unless the menus and the panel need more.
    const int frameSides = form->frameGeometry().width() - form->width();
    EXPECT_EQ(form->frameGeometry().width(),
              std::max(screen.width(), form->minimumSizeHint().width() + frameSides));

    form->openProject(directory / "sum.pro");
    trigger("DebugStartClick");
    ASSERT_TRUE(form->debugger().inSession()) << messages.join("\n").toStdString();
    const QRect editor = form->editor().frameGeometry();
    EXPECT_FALSE(form->editor().isMaximized());
    EXPECT_GT(editor.top(), form->frameGeometry().bottom());
    EXPECT_EQ(editor.bottom(), screen.bottom());
    EXPECT_EQ(editor.width(), screen.width());

    for (const char* name : {"TProWindow", "TRAMForm", "TStackForm", "SubSCIForm", "IntrForm"}) {
        auto* window = topLevel<QWidget>(name);
        ASSERT_NE(window, nullptr) << name;
        EXPECT_EQ(window->windowType(), Qt::Tool) << name;
        EXPECT_EQ(window->parentWidget(), &form->editor()) << name;
    }
    // The fixed-size windows name their buttons, without the maximise button; the others
    // have the window manager's usual ones.
    for (const char* fixed : {"SubSCIForm", "IntrForm"}) {
        const Qt::WindowFlags flags = topLevel<QWidget>(fixed)->windowFlags();
        EXPECT_TRUE(flags & Qt::CustomizeWindowHint) << fixed;
        EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint) << fixed;
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint) << fixed;
    }
    EXPECT_FALSE(topLevel<QWidget>("TRAMForm")->windowFlags() & Qt::CustomizeWindowHint);
}

TEST_F(MainFormTest, TheHelpWindowOpensWithinTheScreen) {
    form->show();
    trigger("HelpContentsClick");
    auto* help = topLevel<QWidget>("THelpForm");
    ASSERT_NE(help, nullptr);
    QCoreApplication::processEvents();
    EXPECT_TRUE(help->isVisible());
    // On the screen and below the main window, which would hide its title bar.
    EXPECT_TRUE(help->screen()->availableGeometry().contains(help->frameGeometry()))
        << help->frameGeometry().width() << "x" << help->frameGeometry().height();
    EXPECT_GT(help->frameGeometry().top(), form->frameGeometry().bottom());
}

QStringList qtWarnings;

// Ctrl+C and Ctrl+S are also Edit Copy and File Save: in the RAM view they copy and save the
// view, without the toolkit's complaint about an ambiguous shortcut.
TEST_F(MainFormTest, TheRamViewsOwnKeysComeBeforeTheMenus) {
    form->show();
    form->openProject(directory / "sum.pro");
    trigger("DebugStartClick");
    trigger("ViewRAMClick");
    auto* ram = topLevel<TRAMForm>("TRAMForm");
    ASSERT_NE(ram, nullptr);
    const fs::path saved = directory / "ram.txt";
    ram->setSaveFileChooser([&](QWidget*, const QString&, const QString&) {
        return QString::fromStdString(saved.string());
    });
    QApplication::setActiveWindow(ram);
    ram->list()->setFocus();
    QGuiApplication::clipboard()->clear();
    qtWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { qtWarnings << text; });
    QTest::keyClick(ram->list(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(ram->list(), Qt::Key_S, Qt::ControlModifier);
    qInstallMessageHandler(previous);

    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("0000: "));
    EXPECT_TRUE(fs::exists(saved));
    EXPECT_TRUE(qtWarnings.filter("Ambiguous").isEmpty()) << qtWarnings.join("\n").toStdString();
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
    trigger("ViewASCIIClick");
    trigger("HelpContentsClick");
    EXPECT_TRUE(form->close());
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
}

}  // namespace
}  // namespace tarnwick
