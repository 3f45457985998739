#pragma once

#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "core/machine.h"
#include "debugger/bookmarks.h"
#include "debugger/build_messages.h"
#include "debugger/command_map.h"
#include "debugger/debugger.h"
#include "debugger/error_line_mark.h"
#include "debugger/watch_dialogs.h"
#include "project/desktop.h"
#include "project/project_commands.h"
#include "project/settings.h"
#include "shell/qt_host.h"
#include "shell/qt_project_ui.h"
#include "shell/qt_settings_store.h"

class QAction;
class QMenu;
class QTimer;

namespace tarnwick {

class RegisterPanelWidget;
class TEditor;
class TProWindow;
class SessionWindow;
struct SessionWindowKind;
class TASCIIForm;
class THelpForm;
class TextSearch;

// Where the main window finds what it does not own: the settings store, and the directory
// of the help file and the bundled tools.
struct MainFormSetup {
    // The preferences and the editor options; the user's QSettings when null.
    std::unique_ptr<SettingsStore> settingsStore;
    QString programDirectory;
    QString sourceDirectory;  // the source tree, for the help when run from the build tree
};

// The program's frame: a strip at the top of the screen with the menu bar, the tool bar and
// the register panel. Menus and tool buttons are built from the command map; every entry
// calls the slot of the same name, which hands the command to its model. The editor and the
// project window are top-level windows of their own.
class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    explicit TMainForm(MainFormSetup setup, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Opens a project given on the command line, or the last one.
    void openProject(const std::filesystem::path& projectFile);

    // The project the settings recorded last; empty before any was opened.
    const std::string& lastProject() const { return settings_.lastProject; }

    QAction* action(std::string_view handler) const;
    TEditor& editor() { return *editor_; }
    TProWindow& projectWindow() { return *projectWindow_; }
    Debugger& debugger() { return *debugger_; }
    ProjectCommands& projectCommands() { return projectCommands_; }
    RegisterPanelWidget& registerPanel() { return *registerPanel_; }
    QtHost& host() { return host_; }
    Machine& machine() { return machine_; }
    ProgramState programState() const;
    // Brings menus, tool buttons and the caption up to the program state.
    void updateCommands();

    // The command of a menu entry or tool button, by the handler name of the command map;
    // null for a name without one.
    using Handler = void (TMainForm::*)();
    static Handler handlerFor(std::string_view name);

  public slots:
    void FileNewClick();
    void FileOpenClick();
    void Save1Click();
    void SaveAsClick();
    void FileSaveAllClick();
    void Close1Click();
    void Close2Click();
    void FilePrintClick();
    void Exit1Click();
    void Undo1Click();
    void Redo1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void Delete1Click();
    void Select1Click();
    void Find1Click();
    void Replace1Click();
    void SearchAgain1Click();
    void GotoLineNumber1Click();
    void SearchNextErrorClick();
    void ViewASCIIClick();
    void ProjectNewClick();
    void ProjectOpenClick();
    void ProjectCloseClick();
    void ProjectAddClick();
    void ProjectRemoveClick();
    void ProjectBuildClick();
    void ProjectSavetoBINaryClick();
    void ProjectOptionsClick();
    void ProjectLastClick();
    void DebugStartClick();
    void DebugRunClick();
    void DebugStepOverClick();
    void DebugTraceIntoClick();
    void DebugStepOutClick();
    void DebugRunToCursorClick();
    void DebugRunFreeToCursorClick();
    void DebugPCtoCursorClick();
    void DebugShowExecutionPointClick();
    void DebugProgramPauseClick();
    void DebugProgramResetClick();
    void DebugBranchOppositeClick();
    void DebugRuntoCycleClick();
    void DebugRCycleClick();
    void DebugRTimeClick();
    void DebugRCTClick();
    void DebugTToggleBreakpointClick();
    void DebugTMBClick();
    void DebugTDelAllBreakpointsClick();
    void DebugTAddWatchClick();
    // The hidden "Edit Watch..." entry: watches are not edited, the entry does nothing.
    void DebugTEditWatchClick() {}
    void DebugTDelAllWatchesClick();
    void DebugTToggleCounterClick();
    void DebugTMRClick();
    void DebugTDelAllCountersClick();
    void CfgCPUClick();
    void CfgEnvironmentClick();
    void CfgASMCClick();
    void WindowProjectClick();
    void BenchNonIOClick();
    void HelpContentsClick();
    void About1Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    class Display;

    // A session window and the entry of the table it was made from.
    struct SessionWindowInstance {
        const SessionWindowKind* kind;
        SessionWindow* window;
    };
    // A window the desktop places: the project window, a session window, the editor.
    struct DesktopPlace {
        DesktopWindow key;
        QWidget* widget;
        SessionWindow* session;  // null for the project window and the editor
    };

    void connectEditor();
    void createToolWindows();
    SessionWindow* sessionWindow(ToolWindow tool) const;
    // Whether a menu entry opens a window or finds its command; one that does not stays
    // disabled.
    bool reachesCommand(const CommandEntry& entry) const;
    // The View or SubSystems entry (opener) or the Window entry of a session window.
    void openSessionWindow(ToolWindow tool, bool opener);
    void refreshSessionWindows(DebugViews views);
    ToolWindows openToolWindows() const;
    bool isShown(DebugView view) const;
    void closeSessionWindows();
    void openToolWindow(QWidget& window);
    void buildMenus();
    void buildToolBar();
    void placeAtTopOfScreen();
    void afterProjectCommand();
    void refreshViews(DebugViews views);
    void restoreDesktop();
    std::vector<DesktopPlace> desktopWindows() const;
    void saveDesktop();
    // Project|Build; true unless the assembler reported errors.
    bool buildProject();
    void buildS19Project();
    void runCommand(void (Debugger::*command)());
    void addWatch(WatchDialogKind kind);
    std::filesystem::path projectDirectory() const;

    MainFormSetup setup_;
    QtHost host_;
    Machine machine_;
    Settings settings_;
    QtProjectUi projectUi_;
    ProjectCommands projectCommands_;
    SourceMap sourceMap_;
    TEditor* editor_;
    std::unique_ptr<Display> display_;
    std::unique_ptr<DebugContext> context_;
    std::unique_ptr<Debugger> debugger_;
    std::unique_ptr<ErrorLineMark> errorLine_;
    std::unique_ptr<BuildMessages> buildMessages_;
    std::unique_ptr<Bookmarks> bookmarks_;
    TProWindow* projectWindow_;
    std::vector<SessionWindowInstance> sessionWindows_;  // in the order of the desktop
    TASCIIForm* asciiForm_ = nullptr;
    QTimer* refreshTimer_ = nullptr;
    RegisterPanelWidget* registerPanel_;
    QPointer<THelpForm> helpForm_;
    std::unique_ptr<TextSearch> search_;
    std::map<std::string, QAction*, std::less<>> actions_;
    std::map<Menu, QMenu*> menus_;
};

}  // namespace tarnwick
