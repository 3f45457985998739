#include "shell/project_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "debugger/build_messages.h"
#include "debugger/debugger.h"
#include "debugger/debugger_fixture.h"
#include "debugger/error_line_mark.h"
#include "debugger/watch_list.h"
#include "project/desktop.h"
#include "project/project_commands.h"
#include "project/settings.h"
#include "shell/modify_breakpoint_dialog.h"

namespace tarnwick {
namespace {

using testing::DebuggerTest;
using testing::writeText;

class SilentProjectUi : public ProjectUi {
  public:
    std::vector<std::string> messages;

    void showError(std::string_view text) override { messages.emplace_back(text); }
    void showInformation(std::string_view text) override { messages.emplace_back(text); }
    bool askYesNo(std::string_view) override { return true; }
    std::optional<ProjectFormat> chooseFormat() override { return std::nullopt; }
    bool editAsm11Options(Asm11Options&) override { return false; }
    bool editS19Start(std::string&) override { return false; }
    bool editCpuConfiguration(CpuConfiguration&) override { return false; }
};

class NullSettingsStore : public SettingsStore {
  public:
    bool programKeyExists() const override { return true; }
    std::optional<std::string> readString(SettingKey) const override { return std::nullopt; }
    std::optional<int> readInt(SettingKey) const override { return std::nullopt; }
    std::optional<bool> readBool(SettingKey) const override { return std::nullopt; }
    void writeString(SettingKey, std::string_view) override {}
    void writeInt(SettingKey, int) override {}
    void writeBool(SettingKey, bool) override {}
};

// The window over a real debugger, watch list, build messages and project commands; the
// project demo.pro lists main.asm (open in the editor) and a file that does not exist.
class ProjectWindowTest : public DebuggerTest {
  protected:
    SilentProjectUi projectUi;
    NullSettingsStore store;
    Settings settings;
    std::unique_ptr<AddressSpace> projectMemory = std::make_unique<AddressSpace>();
    ProjectCommands commands{projectUi, store, settings, *projectMemory};
    Debugger debugger{context};
    WatchList watches{context};
    ErrorLineMark errorLine{editor};
    BuildMessages messages{editor, errorLine, host};
    TProWindow window{{commands, debugger, watches, messages, context, settings}};

    ProjectWindowTest() {
        writeText(directory / "demo.pro",
                  "[PROJECT]\nFormat=ASM11\n[FILES]\nCount=2\nFile0=main.asm\nFile1=gone.asm\n");
        commands.open(directory / "demo.pro");
        window.refreshFiles();
    }

    template <typename Widget>
    Widget* child(const char* name) {
        Widget* widget = window.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    static QStringList rowTexts(const QTreeWidget* list) {
        QStringList rows;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList columns;
            for (int c = 0; c < list->columnCount(); ++c) columns << list->topLevelItem(i)->text(c);
            rows << columns.join('|');
        }
        return rows;
    }

    static QStringList lineTexts(const QListWidget* list) {
        QStringList lines;
        for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
        return lines;
    }

    // A breakpoint on the loop line, a counter on the start line and a two-byte watch.
    void fillDebuggerLists() {
        debugger.breakpoints.toggle(mainFile, kLoopLine);
        debugger.counters.toggle(mainFile, kStartLine);
        load(0x0040, {0x12, 0xAB});
        watches.add(WatchRow{"count", 0x0040, "ByteHex", 2, ""});
        window.refresh(kBreakpointList | kWatchList | kCounterList);
    }

    // Shortcuts act only in the active window on the focused list.
    void focus(QWidget* list) {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        list->setFocus();
    }
};

TEST_F(ProjectWindowTest, PagesCarryTheDesktopNamesInTabOrder) {
    auto* pages = child<QTabWidget>("ProPages");
    const QStringList captions{"Files", "Messages", "Breakpoint List", "Watches", "Counter List"};
    ASSERT_EQ(pages->count(), 5);
    for (int i = 0; i < pages->count(); ++i) {
        const std::string name(kProjectTabs[static_cast<std::size_t>(i)]);
        EXPECT_EQ(pages->widget(i)->objectName().toStdString(), name);
        EXPECT_EQ(pages->tabText(i), captions[i]);
        window.showPage(name);
        EXPECT_EQ(pages->currentIndex(), i);
        EXPECT_EQ(window.activePageName(), name);
    }
    window.showPage("TabNothing");
    EXPECT_EQ(window.activePageName(), "TabCounter");
}

TEST_F(ProjectWindowTest, DebuggerPagesShowTheModelsRowsAfterRefresh) {
    fillDebuggerLists();

    auto* breakpoints = child<QTreeWidget>("BreakList");
    auto* watchList = child<QTreeWidget>("WatchList");
    auto* counters = child<QTreeWidget>("CounterList");
    EXPECT_EQ(breakpoints->headerItem()->text(3), "Hit");
    EXPECT_EQ(counters->headerItem()->text(3), "Pass");
    EXPECT_EQ(watchList->headerItem()->text(4), "Value");
    EXPECT_EQ(rowTexts(breakpoints), QStringList{"main.asm|4|8002|0 of 1"});
    EXPECT_EQ(rowTexts(counters), QStringList{"main.asm|3|8000|0"});
    EXPECT_EQ(rowTexts(watchList), QStringList{"count|0040|ByteHex|2|0:12,1:AB"});
    // The value gets the width the other columns leave.
    window.showPage("TabWatches");
    window.resize(520, 360);
    window.show();
    QCoreApplication::processEvents();
    const QHeaderView* columns = watchList->header();
    EXPECT_EQ(columns->sectionPosition(4) + columns->sectionSize(4), columns->width());
    EXPECT_GT(columns->sectionSize(4), columns->sectionSize(0) + columns->sectionSize(2));

    // A refresh shows what the models hold now, and only the lists it names.
    machine->memory[kLoop].hit = 2;
    machine->memory[kLoop].hitCount = 3;
    machine->memory[kStart].executionCount = 1234;
    debugger.breakpoints.refresh();
    debugger.counters.refresh();
    window.refresh(kBreakpointList);
    EXPECT_EQ(rowTexts(breakpoints), QStringList{"main.asm|4|8002|2 of 3"});
    EXPECT_EQ(rowTexts(counters), QStringList{"main.asm|3|8000|0"});
    window.refresh(kCounterList);
    EXPECT_EQ(rowTexts(counters), QStringList{"main.asm|3|8000|1,234"});
}

TEST_F(ProjectWindowTest, CommandsWithoutASelectedLineAskForOne) {
    fillDebuggerLists();
    writeText(directory / "tarnwick.err", "plain line\n");
    window.loadBuildMessages(directory / "tarnwick.err");
    child<QListWidget>("MessageList")->clearSelection();
    child<QListWidget>("List")->clearSelection();

    const struct {
        const char* command;
        void (TProWindow::*slot)();
    } commands[] = {
        {"BreakDeleteClick", &TProWindow::BreakDeleteClick},
        {"BreakViewSourceClick", &TProWindow::BreakViewSourceClick},
        {"BreakPropertiesClick", &TProWindow::BreakPropertiesClick},
        {"WatchDeleteClick", &TProWindow::WatchDeleteClick},
        {"CounterDeleteClick", &TProWindow::CounterDeleteClick},
        {"CounterResetClick", &TProWindow::CounterResetClick},
        {"CounterViewSourceClick", &TProWindow::CounterViewSourceClick},
        {"ListDblClick", &TProWindow::ListDblClick},
        {"MessageListDblClick", &TProWindow::MessageListDblClick},
    };
    for (const auto& command : commands) {
        host.messages.clear();
        (window.*command.slot)();
        ASSERT_EQ(host.messages.size(), 1u) << command.command;
        EXPECT_EQ(host.messages[0].kind, testing::FakeHost::Message::Information)
            << command.command;
        EXPECT_EQ(host.messages[0].text, kNoItemSelected) << command.command;
    }
    // Nothing was deleted on the way.
    EXPECT_EQ(debugger.breakpoints.rows().size(), 1u);
    EXPECT_EQ(debugger.counters.rows().size(), 1u);
    EXPECT_EQ(watches.rows().size(), 1u);
}

TEST_F(ProjectWindowTest, KeysAndClicksReachTheListCommands) {
    // The main menu's Paste, application-wide as in the IDE, shares Ctrl+V with View Source.
    QWidget mainMenu;
    for (const Qt::Key key : {Qt::Key_V}) {
        auto* action = new QAction(&mainMenu);
        action->setShortcut(QKeySequence(Qt::CTRL | key));
        action->setShortcutContext(Qt::ApplicationShortcut);
        mainMenu.addAction(action);
    }
    mainMenu.show();
    fillDebuggerLists();
    debugger.breakpoints.toggle(mainFile, kDoneLine);
    window.refresh(kBreakpointList);
    auto* breakpoints = child<QTreeWidget>("BreakList");
    auto* counters = child<QTreeWidget>("CounterList");

    // Enter and Ctrl+V view the source: the caret goes to the row's line.
    window.showPage("TabBreakpoint");
    focus(breakpoints);
    breakpoints->setCurrentItem(breakpoints->topLevelItem(1));
    QTest::keyClick(breakpoints, Qt::Key_Return);
    EXPECT_EQ(editor.caretLine(), kDoneLine);
    window.showPage("TabCounter");
    focus(counters);
    counters->setCurrentItem(counters->topLevelItem(0));
    QTest::keyClick(counters, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor.caretLine(), kStartLine);

    // Ctrl+E opens Modify Breakpoint on the selected row.
    window.showPage("TabBreakpoint");
    focus(breakpoints);
    breakpoints->setCurrentItem(breakpoints->topLevelItem(0));
    QString shownLine;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<TMBreakDlg*>(QApplication::activeModalWidget())) {
            shownLine = dialog->findChild<QLabel*>("LLine")->text();
            dialog->reject();
        }
    });
    QTest::keyClick(breakpoints, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(shownLine, "4");

    // Del deletes the selected row, its marker with it; Ctrl+D the next one chosen.
    focus(breakpoints);
    breakpoints->setCurrentItem(breakpoints->topLevelItem(0));
    QTest::keyClick(breakpoints, Qt::Key_Delete);
    EXPECT_EQ(rowTexts(breakpoints), QStringList{"main.asm|6|8005|0 of 1"});
    EXPECT_FALSE(editor.markers(mainFile, kLoopLine) & kBreakpointMarker);
    breakpoints->setCurrentItem(breakpoints->topLevelItem(0));
    QTest::keyClick(breakpoints, Qt::Key_D, Qt::ControlModifier);
    EXPECT_TRUE(debugger.breakpoints.rows().empty());
    EXPECT_EQ(breakpoints->topLevelItemCount(), 0);

    // A click on the "Filename" header of a list with rows.
    debugger.breakpoints.toggle(mainFile, kLoopLine);
    host.messages.clear();
    QHeaderView* header = breakpoints->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Sorting is not available yet...");
}

TEST_F(ProjectWindowTest, DeletingTheSelectedRowLeavesNoRowSelected) {
    fillDebuggerLists();
    debugger.breakpoints.toggle(mainFile, kDoneLine);
    window.refresh(kBreakpointList);
    auto* breakpoints = child<QTreeWidget>("BreakList");
    breakpoints->setCurrentItem(breakpoints->topLevelItem(0));

    window.BreakDeleteClick();
    host.messages.clear();
    window.BreakDeleteClick();  // a second Del must not take the row that moved up

    EXPECT_EQ(debugger.breakpoints.rows().size(), 1u);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, kNoItemSelected);
}

TEST_F(ProjectWindowTest, FilesPageOpensAndRemovesTheSelectedFile) {
    auto* files = child<QListWidget>("List");
    EXPECT_EQ(window.windowTitle().toStdString(), (directory / "demo.pro").string());
    EXPECT_EQ(lineTexts(files), (QStringList{"main.asm", "gone.asm"}));
    EXPECT_EQ(window.selectedFile(), std::optional<std::size_t>(0));

    editor.open(utilFile);
    window.ListDblClick();
    EXPECT_EQ(editor.activeFile(), mainFile);

    files->setCurrentRow(1);
    window.ListDblClick();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, testing::FakeHost::Message::Error);
    EXPECT_EQ(host.messages[0].text, "The file cannot be found");

    window.showFiles();
    focus(files);
    files->setCurrentRow(1);
    QTest::keyClick(files, Qt::Key_Delete);
    EXPECT_EQ(commands.project().files, std::vector<std::string>{"main.asm"});
    EXPECT_EQ(lineTexts(files), QStringList{"main.asm"});
    EXPECT_NE(testing::readText(directory / "demo.pro").find("Count=1"), std::string::npos);
}

TEST_F(ProjectWindowTest, BuildMessagesFillTheMessagesPageAndF12WalksThem) {
    settings.goToNextWarning = JumpTargets::ErrorOnly;
    writeText(directory / "tarnwick.err",
              "WRN main.asm [2] Unused label\n"
              "ERR* main.asm [4] Undefined symbol\n"
              "ERR* main.asm [6] Branch out of range\n");
    window.loadBuildMessages(directory / "tarnwick.err");

    auto* list = child<QListWidget>("MessageList");
    EXPECT_EQ(window.activePageName(), "TabMessages");
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(child<QLabel>("LErrors")->text(), "Errors=2");
    EXPECT_EQ(child<QLabel>("LWarnings")->text(), "Warnings=1");
    EXPECT_EQ(child<QLabel>("LHints")->text(), "Hints=0");
    EXPECT_EQ(list->currentRow(), 1);  // the first error, not the warning before it
    EXPECT_EQ(editor.caretLine(), kLoopLine);

    window.SearchNextErrorClick();
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_EQ(editor.caretLine(), kDoneLine);

    // A line chosen by the user is the one Enter goes to.
    focus(list);
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(editor.caretLine(), 1);
}

TEST_F(ProjectWindowTest, ResetEmptiesFilesAndMessagesAndShowsTheFilesPage) {
    writeText(directory / "tarnwick.err", "ERR* main.asm [4] Undefined symbol\n");
    window.loadBuildMessages(directory / "tarnwick.err");
    commands.close();
    window.reset();

    EXPECT_EQ(window.windowTitle(), "Project");
    EXPECT_EQ(child<QListWidget>("List")->count(), 0);
    EXPECT_EQ(child<QListWidget>("MessageList")->count(), 0);
    EXPECT_EQ(child<QLabel>("LErrors")->text(), "Errors=0");
    EXPECT_EQ(window.activePageName(), "TabFiles");
}

TEST_F(ProjectWindowTest, CloseBoxLeavesTheWindowOpen) {
    window.show();
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace tarnwick
