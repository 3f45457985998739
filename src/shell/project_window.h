#pragma once

#include <QKeySequence>
#include <QList>
#include <QWidget>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "debugger/debug_context.h"
#include "debugger/watch_dialogs.h"

class QLabel;
class QListWidget;
class QMenu;
class QTabWidget;
class QTreeWidget;

namespace tarnwick {

class BuildMessages;
class Debugger;
class ProjectCommands;
class WatchList;
struct Settings;

// The models the project window shows and hands its commands to.
struct ProjectWindowModels {
    ProjectCommands& projectCommands;
    Debugger& debugger;
    WatchList& watches;
    BuildMessages& messages;
    DebugContext& context;
    const Settings& settings;  // the jump targets of the build messages and F12
};

// The project window: the project's files, the last build's messages and the breakpoint,
// watch and counter lists of the debugger, one page each. It keeps no data of its own: every
// page is read from its model, and every command goes to the model with the selected row.
// Its close box does nothing; the window can only be minimised.
class TProWindow : public QWidget {
    Q_OBJECT

  public:
    explicit TProWindow(ProjectWindowModels models, QWidget* parent = nullptr);

    // Rereads the breakpoint, watch and counter pages named among the views.
    void refresh(DebugViews views);
    // Rereads the caption and the Files page from the open project.
    void refreshFiles();
    // Rereads the Messages page and its three counters.
    void refreshMessages();

    // After a build: reads its error file into the Messages page and goes to the first
    // message the preference names.
    void loadBuildMessages(const std::filesystem::path& errorFile);
    // The project was closed: empty Files and Messages pages, caption "Project", counters 0,
    // the Files page in front, normal size.
    void reset();
    // A project was opened: the Files page in front with the focus on its list, normal size.
    void showFiles();

    // The active page by the name the desktop stores ("TabFiles", ... "TabCounter").
    std::string activePageName() const;
    // Brings the named page to the front; other names change nothing.
    void showPage(std::string_view name);

    // The line selected on the Files page, for Project|Remove from Project.
    std::optional<std::size_t> selectedFile() const;

  public slots:
    // Double-click or Enter on the Files page: opens the file in the editor.
    void ListDblClick();
    // Double-click or Enter on the Messages page: goes to the message's source line.
    void MessageListDblClick();
    // F12: the next warning or error.
    void SearchNextErrorClick();
    // Window|Project.
    void WindowProjectClick();

    void BreakDeleteClick();
    void BreakDeleteAllClick();
    void BreakViewSourceClick();
    void BreakPropertiesClick();

    void WatchAddClick();
    void WatchDeleteClick();
    void WatchDeleteAllClick();

    void CounterDeleteClick();
    void CounterDeleteAllClick();
    void CounterResetClick();
    void CounterViewSourceClick();

  signals:
    // The Watches page's "Add Watch..." asks the main window for the dialog of this kind.
    void addWatchRequested(tarnwick::WatchDialogKind kind);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* makeFilesPage();
    QWidget* makeMessagesPage();
    QWidget* makeBreakpointPage();
    QWidget* makeWatchesPage();
    QWidget* makeCounterPage();
    // A pop-up entry whose shortcut works while its list has the focus.
    void addCommand(QWidget* list, QMenu* menu, const QString& caption,
                    const QList<QKeySequence>& shortcuts, void (TProWindow::*command)());
    void removeSelectedFile();

    ProjectCommands& projectCommands_;
    Debugger& debugger_;
    WatchList& watches_;
    BuildMessages& messages_;
    DebugContext& context_;
    const Settings& settings_;

    QTabWidget* pages_;
    QListWidget* fileList_ = nullptr;
    QListWidget* messageList_ = nullptr;
    QLabel* errorCount_ = nullptr;
    QLabel* warningCount_ = nullptr;
    QLabel* hintCount_ = nullptr;
    QTreeWidget* breakpointList_ = nullptr;
    QTreeWidget* watchList_ = nullptr;
    QTreeWidget* counterList_ = nullptr;
};

}  // namespace tarnwick
