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
#include "shell/adc_window.h"
#include "shell/ascii_chart_window.h"
#include "shell/assembler_dialog.h"
#include "shell/editor_window.h"
#include "shell/environment_dialog.h"
#include "shell/find_dialog.h"
#include "shell/help_window.h"
#include "shell/project_window.h"
#include "shell/qt_text.h"
#include "shell/ram_view_window.h"
#include "shell/register_panel_widget.h"
#include "shell/rom_view_window.h"
#include "shell/rti_timer_window.h"
#include "shell/sci_window.h"
#include "shell/stack_view_window.h"
#include "shell/text_styles.h"
#include "shell/tool_icons.h"
#include "shell/window_placement.h"
#include "shell/xirq_window.h"

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
    // Our own assembler installed beside the program stands in until the user names one.
    if (settings_.assemblerPath.empty()) {
        const QString bundled = bundledAssemblerPath(setup_.programDirectory);
        if (!bundled.isEmpty()) {
            settings_.assemblerPath = bundled.toStdString();
            setup_.settingsStore->writeString(kAssemblerPathKey, settings_.assemblerPath);
        }
    }
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
    for (QWidget* window :
         std::initializer_list<QWidget*>{projectWindow_, ramForm_, romForm_, stackForm_, rtiForm_,
                                         xirqForm_, sciForm_, adcForm_, asciiForm_})
        makeToolWindowOf(*window, *editor_);
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
    for (QWidget* window : std::initializer_list<QWidget*>{
             ramForm_, romForm_, stackForm_, rtiForm_, xirqForm_, sciForm_, adcForm_, asciiForm_})
        delete window;
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
    const MemoryRangeLists& blocks = projectCommands_.project().cpu.rangeLists;
    ramForm_ = new TRAMForm(machine_, blocks, *display_, projectCommands_.project());
    romForm_ = new TROMForm(machine_, blocks, projectCommands_.project());
    stackForm_ = new TStackForm(machine_, *display_);
    rtiForm_ = new TSubRTIForm(machine_);
    xirqForm_ = new TIntrForm(machine_);
    sciForm_ = new TSubSCIForm(machine_);
    adcForm_ = new TSubADCForm(machine_);
    asciiForm_ = new TASCIIForm();
    // Queued: a window that reports its close is still visible until the close is done.
    connect(ramForm_, &TRAMForm::closed, this, &TMainForm::updateCommands, Qt::QueuedConnection);
    connect(romForm_, &TROMForm::closed, this, &TMainForm::updateCommands, Qt::QueuedConnection);
    connect(stackForm_, &TStackForm::closed, this, &TMainForm::updateCommands,
            Qt::QueuedConnection);
    connect(rtiForm_, &TSubRTIForm::closed, this, &TMainForm::updateCommands, Qt::QueuedConnection);
    connect(xirqForm_, &TIntrForm::closed, this, &TMainForm::updateCommands, Qt::QueuedConnection);
    connect(sciForm_, &TSubSCIForm::closed, this, &TMainForm::updateCommands, Qt::QueuedConnection);
    connect(adcForm_, &TSubADCForm::closed, this, &TMainForm::updateCommands, Qt::QueuedConnection);

    refreshTimer_ = new QTimer(this);
    refreshTimer_->setInterval(1000);
    connect(refreshTimer_, &QTimer::timeout, this, [this] {
        updateCycleAndTime(*context_);
        refreshPeripheralWindows();
    });
    host_.setRefreshTimerSwitch([this](bool active) {
        if (active)
            refreshTimer_->start();
        else
            refreshTimer_->stop();
    });
}

// The RTI & Timer, XIRQ and A/D windows follow the machine whether shown or not; the SCI
// window only while it is shown.
void TMainForm::refreshPeripheralWindows() {
    rtiForm_->refresh();
    xirqForm_->refresh();
    adcForm_->refresh();
    if (sciForm_->isVisible()) sciForm_->refresh();
}

void TMainForm::openToolWindow(QWidget& window) {
    window.showNormal();
    window.raise();
    window.activateWindow();
    updateCommands();
}

ToolWindows TMainForm::openToolWindows() const {
    ToolWindows open = 0;
    if (ramForm_ && ramForm_->isVisible()) open |= toolWindowBit(ToolWindow::Ram);
    if (romForm_ && romForm_->isVisible()) open |= toolWindowBit(ToolWindow::Rom);
    if (stackForm_ && stackForm_->isVisible()) open |= toolWindowBit(ToolWindow::Stack);
    if (rtiForm_ && rtiForm_->isVisible()) open |= toolWindowBit(ToolWindow::RtiTimer);
    if (xirqForm_ && xirqForm_->isVisible()) open |= toolWindowBit(ToolWindow::Interrupts);
    if (sciForm_ && sciForm_->isVisible()) open |= toolWindowBit(ToolWindow::Sci);
    if (adcForm_ && adcForm_->isVisible()) open |= toolWindowBit(ToolWindow::AdcPortE);
    return open;
}

bool TMainForm::isShown(DebugView view) const {
    switch (view) {
        case kRamView:
            return ramForm_->isVisible();
        case kRomView:
            return romForm_->isVisible();
        case kStackView:
            return stackForm_->isVisible();
        default:
            return false;
    }
}

void TMainForm::closeSessionWindows() {
    for (QWidget* window : std::initializer_list<QWidget*>{ramForm_, romForm_, stackForm_, rtiForm_,
                                                           xirqForm_, sciForm_, adcForm_})
        window->close();
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
        // An entry without a command stays disabled.
        if (const Handler handler = handlerFor(entry.handler))
            connect(action, &QAction::triggered, this, handler);
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

void TMainForm::updateCommands() {
    const ShellState state{programState(), settings_.lastProject, openToolWindows()};
    const std::vector<CommandState> states = commandStates(state);
    const auto entries = commandMap();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].isSeparator()) continue;
        QAction* entryAction = action(entries[i].handler);
        entryAction->setText(qText(states[i].caption));
        entryAction->setVisible(states[i].visible);
        entryAction->setEnabled(states[i].enabled && handlerFor(entries[i].handler));
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
    if ((views & kRamView) && ramForm_->isVisible()) ramForm_->refresh();
    if ((views & kRomView) && romForm_->isVisible()) romForm_->refresh();
    if ((views & kStackView) && stackForm_->isVisible()) stackForm_->refresh();
    if (views & kPeripheralWindows) refreshPeripheralWindows();
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
    for (const auto& [window, widget] : desktopWindows()) {
        const std::optional<WindowPlacement>& placement = read.desktop[window];
        if (!placement) {
            // A window the desktop does not name comes centred next time; the project window
            // stays shown.
            if (window == DesktopWindow::Editor) continue;
            centre(*widget);
            if (window != DesktopWindow::Project) widget->hide();
            continue;
        }
        place(*widget, *placement);
        if (window == DesktopWindow::Ram) ramForm_->showView();
        if (window == DesktopWindow::Rom) romForm_->showView();
        if (window == DesktopWindow::Stack) stackForm_->showView();
        showInState(*widget, placement->state);
    }
    if (read.desktop.projectTab) projectWindow_->showPage(*read.desktop.projectTab);
    updateCommands();
}

// The windows the desktop keeps, in the order of its table.
std::vector<std::pair<DesktopWindow, QWidget*>> TMainForm::desktopWindows() const {
    return {{DesktopWindow::Project, projectWindow_}, {DesktopWindow::Ram, ramForm_},
            {DesktopWindow::Rom, romForm_},           {DesktopWindow::Stack, stackForm_},
            {DesktopWindow::Interrupts, xirqForm_},   {DesktopWindow::SubRti, rtiForm_},
            {DesktopWindow::SubSci, sciForm_},        {DesktopWindow::SubAdc, adcForm_},
            {DesktopWindow::Editor, editor_}};
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
    for (const auto& [window, widget] : desktopWindows()) {
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
