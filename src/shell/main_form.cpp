#include "shell/main_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "debugger/cycle_time.h"
#include "project/desktop.h"
#include "shell/ascii_chart_window.h"
#include "shell/assembler_dialog.h"
#include "shell/editor_window.h"
#include "shell/environment_dialog.h"
#include "shell/find_dialog.h"
#include "shell/help_window.h"
#include "shell/project_window.h"
#include "shell/qt_text.h"
#include "shell/register_panel_widget.h"
#include "shell/session_windows.h"
#include "shell/text_styles.h"
#include "shell/tool_icons.h"
#include "shell/window_placement.h"

namespace tarnwick {

namespace {

std::unique_ptr<SettingsStore> withStore(std::unique_ptr<SettingsStore> store) {
    return store ? std::move(store) : std::make_unique<QtSettingsStore>();
}

}  // namespace

// What the debugger asks of the windows around it.
class TMainForm::Display : public DebugDisplay {
  public:
    explicit Display(TMainForm& form) : form_(form) {}
    void refresh(DebugViews views) override { form_.refreshViews(views); }
    bool isShown(DebugView view) const override { return form_.isShown(view); }
    void closeSessionWindows() override { form_.closeSessionWindows(); }
    void restoreDesktop() override { form_.restoreDesktop(); }
    void saveDesktop() override { form_.saveDesktop(); }
    std::string mainCaption() const override { return form_.windowTitle().toStdString(); }
    void setMainCaption(std::string_view caption) override { form_.setWindowTitle(qText(caption)); }

  private:
    TMainForm& form_;
};

TMainForm::TMainForm(MainFormSetup setup, QWidget* parent)
    : QMainWindow(parent),
      setup_{withStore(std::move(setup.settingsStore)), setup.programDirectory,
             setup.sourceDirectory},
      host_(this),
      machine_(host_),
      settings_(loadSettings(*setup_.settingsStore)),
      projectUi_(this),
      projectCommands_(projectUi_, *setup_.settingsStore, settings_, machine_.memory),
      editor_(new TEditor()),
      display_(std::make_unique<Display>(*this)) {
    setObjectName("TMainForm");
    // Our own assembler installed beside the program stands in until the user names one, and
    // while the one named is gone. Only the first start records it: a name stays as chosen.
    const QString remembered = QString::fromStdString(settings_.assemblerPath);
    settings_.assemblerPath = assemblerAtStart(remembered, setup_.programDirectory).toStdString();
    if (remembered.isEmpty() && !settings_.assemblerPath.empty())
        setup_.settingsStore->writeString(kAssemblerPathKey, settings_.assemblerPath);
    setWindowTitle(qText(kProductName));
    context_ = std::make_unique<DebugContext>(
        DebugContext{machine_, projectCommands_.project(), sourceMap_, *editor_, host_, *display_});
    debugger_ = std::make_unique<Debugger>(*context_);
    errorLine_ = std::make_unique<ErrorLineMark>(*editor_);
    buildMessages_ = std::make_unique<BuildMessages>(*editor_, *errorLine_, host_);
    bookmarks_ = std::make_unique<Bookmarks>(*editor_, host_);
    projectWindow_ = new TProWindow(ProjectWindowModels{
        projectCommands_, *debugger_, debugger_->watches, *buildMessages_, *context_, settings_});
    // Until a saved desktop places it: room for the four columns of the breakpoint list.
    projectWindow_->resize(520, 360);

    connect(projectWindow_, &TProWindow::addWatchRequested, this, &TMainForm::addWatch);
    createToolWindows();
    makeToolWindowOf(*projectWindow_, *editor_);
    makeToolWindowOf(*asciiForm_, *editor_);
    for (const SessionWindowInstance& instance : sessionWindows_)
        makeToolWindowOf(*instance.window, *editor_);
    search_ = std::make_unique<TextSearch>(host_);

    registerPanel_ = new RegisterPanelWidget(this);
    registerPanel_->registerClicked = [this](PanelRegister) {
        if (debugger_->inSession() && !debugger_->commandInProgress()) DebugTMRClick();
    };
    setCentralWidget(registerPanel_);
    buildMenus();
    buildToolBar();
    action("Save1Click")
        ->setShortcut(saveShortcut(loadEditorOptions(*setup_.settingsStore).keyMapping));
    connectEditor();
    placeAtTopOfScreen();
    updateCommands();
}

TMainForm::~TMainForm() {
    for (const SessionWindowInstance& session : sessionWindows_) delete session.window;
    delete asciiForm_;
    delete projectWindow_;
    delete editor_;
    delete helpForm_.data();
}

// The editor window's own events: gutter clicks, its message panel, the end of the error-line
// mark and the program's entries of its pop-up menu.
void TMainForm::connectEditor() {
    applyEditorOptions(*editor_, loadEditorOptions(*setup_.settingsStore), settings_.colorSetting);
    editor_->setBookmarkChecks([this](int k) { return bookmarks_->isChecked(k); });
    connect(editor_, &TEditor::gutterClicked, this, [this](const auto& file, int line) {
        // A breakpoint set while a run is under way could be undone by the run's end.
        if (debugger_->inSession() && !debugger_->commandInProgress())
            debugger_->breakpoints.toggle(file, line);
    });
    connect(editor_, &TEditor::messageClicked, this, [this](int row) {
        buildMessages_->openLine(static_cast<std::size_t>(row), projectDirectory());
        projectWindow_->refreshMessages();
    });
    connect(editor_, &TEditor::errorMarkEnds, this, [this] { errorLine_->restore(); });
    connect(editor_, &TEditor::modifyBreakpointClicked, this, &TMainForm::DebugTMBClick);
    connect(editor_, &TEditor::toggleCounterClicked, this, &TMainForm::DebugTToggleCounterClick);
    connect(editor_, &TEditor::runToCursorClicked, this, &TMainForm::DebugRunToCursorClick);
    connect(editor_, &TEditor::runFreelyToCursorClicked, this,
            &TMainForm::DebugRunFreeToCursorClick);
    connect(editor_, &TEditor::toggleBookmarkClicked, this, [this] { bookmarks_->toggle(); });
    connect(editor_, &TEditor::gotoBookmarkClicked, this, [this](int k) { bookmarks_->goTo(k); });
}

// The memory views and the peripheral windows: opened from the View and SubSystems menus,
// listed in the Window menu while they are open, closed at the end of a session. While a
// program runs, a 1000 ms timer keeps the cycle, time and peripheral texts moving.
void TMainForm::createToolWindows() {
    const SessionWindowModels models{machine_, projectCommands_.project().cpu.rangeLists, *display_,
                                     projectCommands_.project(), debugger_->terminal};
    for (const SessionWindowKind& kind : sessionWindowKinds()) {
        SessionWindow* window = kind.create(models);
        sessionWindows_.push_back({&kind, window});
        // Queued: a window that reports its close is still visible until the close is done.
        // The peripheral windows show what another one connects (the terminal's input).
        connect(
            window, &SessionWindow::closed, this,
            [this] {
                updateCommands();
                refreshSessionWindows(kPeripheralWindows);
            },
            Qt::QueuedConnection);
    }
    asciiForm_ = new TASCIIForm();

    refreshTimer_ = new QTimer(this);
    refreshTimer_->setInterval(1000);
    connect(refreshTimer_, &QTimer::timeout, this, [this] {
        updateCycleAndTime(*context_);
        refreshSessionWindows(kPeripheralWindows);
    });
    host_.setRefreshTimerSwitch([this](bool active) {
        if (active)
            refreshTimer_->start();
        else
            refreshTimer_->stop();
    });
}

SessionWindow* TMainForm::sessionWindow(ToolWindow tool) const {
    for (const SessionWindowInstance& session : sessionWindows_)
        if (session.kind->tool == tool) return session.window;
    return nullptr;
}

void TMainForm::openSessionWindow(ToolWindow tool, bool opener) {
    SessionWindow* window = sessionWindow(tool);
    if (opener) window->showView();
    openToolWindow(*window);
    refreshSessionWindows(kPeripheralWindows);
}

// A window that is not shown is brought up to date when it is shown.
void TMainForm::refreshSessionWindows(DebugViews views) {
    for (const SessionWindowInstance& session : sessionWindows_)
        if ((views & session.kind->view) && session.window->isVisible()) session.window->refresh();
}

void TMainForm::openToolWindow(QWidget& window) {
    window.showNormal();
    window.raise();
    window.activateWindow();
    updateCommands();
}

ToolWindows TMainForm::openToolWindows() const {
    ToolWindows open = 0;
    for (const SessionWindowInstance& session : sessionWindows_)
        if (session.window->isVisible()) open |= toolWindowBit(session.kind->tool);
    return open;
}

bool TMainForm::isShown(DebugView view) const {
    for (const SessionWindowInstance& session : sessionWindows_)
        if (session.kind->view == view && session.window->isVisible()) return true;
    return false;
}

void TMainForm::closeSessionWindows() {
    for (const SessionWindowInstance& session : sessionWindows_) session.window->close();
    updateCommands();
}

void TMainForm::buildMenus() {
    for (const MenuTitle& title : menuTitles()) {
        QMenu* menu = menuBar()->addMenu(qText(title.caption));
        menus_[title.menu] = menu;
    }
    for (const CommandEntry& entry : commandMap()) {
        QMenu* menu = menus_.at(entry.menu);
        if (entry.isSeparator()) {
            QAction* separator = menu->addSeparator();
            actions_.emplace("separator" + std::to_string(actions_.size()), separator);
            continue;
        }
        QAction* action = menu->addAction(qText(entry.caption));
        action->setObjectName(qText(entry.handler));
        action->setShortcut(QKeySequence(qText(entry.shortcut)));
        // The editor and the project window are windows of their own: F7 pressed there
        // must reach the command as well.
        action->setShortcutContext(Qt::ApplicationShortcut);
        if (!entry.toolHint.empty()) action->setToolTip(qText(entry.toolHint));
        if (entry.window != ToolWindow::None) {
            const bool opener = entry.availability != Availability::WindowEntry;
            connect(action, &QAction::triggered, this,
                    [this, tool = entry.window, opener] { openSessionWindow(tool, opener); });
        } else if (const Handler handler = handlerFor(entry.handler)) {
            connect(action, &QAction::triggered, this, handler);
        }
        actions_.emplace(std::string(entry.handler), action);
    }
}

void TMainForm::buildToolBar() {
    QToolBar* bar = addToolBar("Tools");
    bar->setObjectName("ToolBar");
    bar->setMovable(false);
    showToolBarCaptions(*bar, settings_.toolBarTextOnly);
    for (const std::string_view handler : toolBar()) {
        if (handler.empty()) {
            bar->addSeparator();
            continue;
        }
        QAction* shared = action(handler);
        const CommandEntry* entry = findCommand(handler);
        auto* button = new QAction(toolIcon(handler), qText(entry->toolHint), bar);
        button->setToolTip(qText(entry->toolHint));
        button->setObjectName("Tool" + shared->objectName());
        connect(button, &QAction::triggered, shared, &QAction::trigger);
        connect(shared, &QAction::changed, button,
                [button, shared] { button->setEnabled(shared->isEnabled()); });
        bar->addAction(button);
    }
}

// By the frame, so that the title bar with the caption is on the screen; the editor fills the
// work area below.
void TMainForm::placeAtTopOfScreen() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // As high as either look of the tool buttons needs: a change of the look in Environment
    // Options then never pushes the strip over the editor below it.
    auto* bar = findChild<QToolBar*>(QStringLiteral("ToolBar"));
    int height = 0;
    for (const bool captionsOnly : {true, false}) {
        showToolBarCaptions(*bar, captionsOnly);
        bar->updateGeometry();
        layout()->activate();
        height = std::max(height, minimumSizeHint().height());
    }
    showToolBarCaptions(*bar, settings_.toolBarTextOnly);
    resize(width(), height);
    placeFrame(*this, QRect(screen.topLeft(), QSize(screen.width(), 0)));
    editor_->setWorkArea([this] { return workAreaBelow(*this); });
}

QAction* TMainForm::action(std::string_view handler) const {
    const auto found = actions_.find(handler);
    return found == actions_.end() ? nullptr : found->second;
}

ProgramState TMainForm::programState() const {
    if (!projectCommands_.isOpen()) return ProgramState::NoProject;
    if (!debugger_->inSession()) return ProgramState::ProjectOpen;
    return debugger_->runControlsDisabled() ? ProgramState::RunInProgress
                                            : ProgramState::DebugSession;
}

bool TMainForm::reachesCommand(const CommandEntry& entry) const {
    return entry.window != ToolWindow::None ? sessionWindow(entry.window) != nullptr
                                            : handlerFor(entry.handler) != nullptr;
}

void TMainForm::updateCommands() {
    const ShellState state{programState(), settings_.lastProject, openToolWindows()};
    const std::vector<CommandState> states = commandStates(state);
    const auto entries = commandMap();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].isSeparator()) continue;
        QAction* entryAction = action(entries[i].handler);
        entryAction->setText(qText(states[i].caption));
        entryAction->setVisible(states[i].visible);
        entryAction->setEnabled(states[i].enabled && reachesCommand(entries[i]));
    }
    for (const auto& [menu, widget] : menus_) widget->setEnabled(menuEnabled(menu, state));
    editor_->setDebugSessionActive(debugger_->inSession());
}

void TMainForm::refreshViews(DebugViews views) {
    if (views & kRegisterPanel) {
        // Also after the register editor, which changes the registers without a command.
        debugger_->registers.refresh(machine_);
        registerPanel_->show(debugger_->registers);
    }
    refreshSessionWindows(views);
    if (views & kWatchValues) debugger_->watches.refresh();
    if (views & kControls) updateCommands();
    projectWindow_->refresh(views);
}

std::filesystem::path TMainForm::projectDirectory() const {
    return projectCommands_.project().directory;
}

void TMainForm::restoreDesktop() {
    const DesktopReadResult read = readDesktop(projectCommands_.project().path);
    if (!read.ok()) host_.showError(read.error);
    // Positions are those of the window's inside, which it has before the window manager
    // gives it a frame: placing by the frame's corner would move the window by the frame's
    // width at every session.
    const auto place = [](QWidget& window, const WindowPlacement& placement) {
        const QSize size = placement.width && placement.height
                               ? QSize(*placement.width, *placement.height)
                               : window.size();
        window.setGeometry(QRect(QPoint(placement.left, placement.top), size));
    };
    const auto showInState = [](QWidget& window, WindowState state) {
        if (state == WindowState::Maximized)
            window.showMaximized();
        else if (state == WindowState::Minimized)
            window.showMinimized();
        else
            window.showNormal();
    };
    const auto centre = [](QWidget& window) {
        const QScreen* screen =
            window.screen() ? window.screen() : QGuiApplication::primaryScreen();
        if (!screen) return;
        QRect frame = window.geometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.setGeometry(frame);
    };
    for (const auto& [window, widget, session] : desktopWindows()) {
        const std::optional<WindowPlacement>& placement = read.desktop[window];
        if (!placement) {
            // A window the desktop does not name comes centred next time; the project window
            // stays shown.
            if (window == DesktopWindow::Editor) continue;
            centre(*widget);
            if (session) widget->hide();
            continue;
        }
        place(*widget, *placement);
        if (session) session->showView();
        showInState(*widget, placement->state);
    }
    if (read.desktop.projectTab) projectWindow_->showPage(*read.desktop.projectTab);
    // A terminal restored after the SCI window has attached the receiver since.
    refreshSessionWindows(kPeripheralWindows);
    updateCommands();
}

// The windows the desktop keeps, in the order of its table.
std::vector<TMainForm::DesktopPlace> TMainForm::desktopWindows() const {
    std::vector<DesktopPlace> places{{DesktopWindow::Project, projectWindow_, nullptr}};
    for (const SessionWindowInstance& session : sessionWindows_)
        places.push_back({session.kind->desktop, session.window, session.window});
    places.push_back({DesktopWindow::Editor, editor_, nullptr});
    return places;
}

void TMainForm::saveDesktop() {
    Desktop desktop;
    // A maximized or minimized window keeps the place and size it has when shown normal.
    const auto placement = [](const QWidget& window, bool sized) {
        const QRect normal = window.isMaximized() || window.isMinimized() ? window.normalGeometry()
                                                                          : window.geometry();
        WindowPlacement place{normal.x(), normal.y(), std::nullopt, std::nullopt,
                              WindowState::Normal};
        if (sized) {
            place.height = normal.height();
            place.width = normal.width();
        }
        if (window.isMaximized()) place.state = WindowState::Maximized;
        if (window.isMinimized()) place.state = WindowState::Minimized;
        return place;
    };
    for (const auto& [window, widget, session] : desktopWindows()) {
        const bool present = window == DesktopWindow::Editor
                                 ? editor_->isVisible() && editor_->activeFile().has_value()
                                 : widget->isVisible();
        if (present)
            desktop[window] =
                placement(*widget, kDesktopWindowKeys[static_cast<std::size_t>(window)].sized);
    }
    desktop.projectTab = projectWindow_->activePageName();
    try {
        tarnwick::saveDesktop(projectCommands_.project().path, desktop, settings_.autosaveDesktop);
    } catch (const std::exception& error) {
        host_.showError(error.what());
    }
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (debugger_->inSession()) {
        host_.showError("Debug session in progress - Debug|Stop");
        event->ignore();
        return;
    }
    if (!host_.warnYesNo("Do you want to quit Tarnwick ?") || !editor_->Close2Click()) {
        event->ignore();
        return;
    }
    // Every other window goes with the main window (the ASCII chart and the help among them),
    // and the program ends with it.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this) window->hide();
    event->accept();
    QCoreApplication::quit();
}

}  // namespace tarnwick
