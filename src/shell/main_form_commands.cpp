// The main window's command slots: each hands its command to the model that owns it.
#include <Qsci/qsciprinter.h>

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QToolBar>

#include "debugger/cycle_time.h"
#include "debugger/modify_breakpoint.h"
#include "debugger/stale_image.h"
#include "project/s19_build.h"
#include "shell/adc_window.h"
#include "shell/add_watch_dialog.h"
#include "shell/ascii_chart_window.h"
#include "shell/assembler_dialog.h"
#include "shell/benchmark_dialog.h"
#include "shell/building_dialog.h"
#include "shell/cpu_dialog.h"
#include "shell/editor_page.h"
#include "shell/editor_window.h"
#include "shell/environment_dialog.h"
#include "shell/find_dialog.h"
#include "shell/go_to_line_dialog.h"
#include "shell/help_window.h"
#include "shell/main_form.h"
#include "shell/modify_breakpoint_dialog.h"
#include "shell/modify_register_dialog.h"
#include "shell/project_window.h"
#include "shell/qt_text.h"
#include "shell/ram_view_window.h"
#include "shell/rom_view_window.h"
#include "shell/rti_timer_window.h"
#include "shell/run_to_cycle_dialog.h"
#include "shell/save_to_binary_dialog.h"
#include "shell/sci_window.h"
#include "shell/stack_view_window.h"
#include "shell/window_placement.h"
#include "shell/xirq_window.h"

namespace tarnwick {

namespace {

std::optional<std::filesystem::path> chosenPath(const QString& name) {
    if (name.isEmpty()) return std::nullopt;
    return std::filesystem::path(name.toStdString());
}

const QString kProjectFilter = "Project file (*.pro)";

// Debug Start's question about a program older than its sources, and the build it offers.
class StartQuestions : public StaleImageChoices {
  public:
    StartQuestions(QWidget* parent, std::function<bool()> build)
        : parent_(parent), build_(std::move(build)) {}

    BuildFirstAnswer askBuildFirst(std::string_view question) override {
        const auto answer = QMessageBox::question(
            parent_, QLatin1String(kProgramName), qText(question),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
        if (answer == QMessageBox::Yes) return BuildFirstAnswer::Yes;
        if (answer == QMessageBox::No) return BuildFirstAnswer::No;
        return BuildFirstAnswer::Cancel;
    }
    bool build() override { return build_(); }

  private:
    QWidget* parent_;
    std::function<bool()> build_;
};

}  // namespace

// ---- File and Edit: the editor window does the work ----

void TMainForm::FileNewClick() {
    editor_->FileNewClick();
}
void TMainForm::FileOpenClick() {
    editor_->FileOpenClick();
}
void TMainForm::Save1Click() {
    editor_->Save1Click();
}
void TMainForm::SaveAsClick() {
    editor_->SaveAsClick();
}
void TMainForm::FileSaveAllClick() {
    editor_->FileSaveAllClick();
}
void TMainForm::Close1Click() {
    editor_->Close1Click();
}
void TMainForm::Close2Click() {
    editor_->Close2Click();
}
void TMainForm::FilePrintClick() {
    EditorPage* page = editor_->activePage();
    if (!page) return;
    QsciPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) printer.printRange(page);
}

void TMainForm::Exit1Click() {
    close();
}

void TMainForm::Undo1Click() {
    if (EditorPage* page = editor_->activePage()) page->undo();
}
void TMainForm::Redo1Click() {
    if (EditorPage* page = editor_->activePage()) page->redo();
}
void TMainForm::Cut1Click() {
    if (EditorPage* page = editor_->activePage()) page->cutSelection();
}
void TMainForm::Copy1Click() {
    if (EditorPage* page = editor_->activePage()) page->copySelection();
}
void TMainForm::Paste1Click() {
    if (EditorPage* page = editor_->activePage()) page->paste();
}
void TMainForm::Delete1Click() {
    if (EditorPage* page = editor_->activePage()) page->removeSelectedText();
}
void TMainForm::Select1Click() {
    if (EditorPage* page = editor_->activePage()) page->selectAll();
}

void TMainForm::Find1Click() {
    findInEditor(*editor_, *search_);
}
void TMainForm::Replace1Click() {
    replaceInEditor(*editor_, *search_);
}
void TMainForm::SearchAgain1Click() {
    searchAgainInEditor(*editor_, *search_);
}
void TMainForm::GotoLineNumber1Click() {
    goToLineNumber(*editor_);
}

void TMainForm::SearchNextErrorClick() {
    projectWindow_->SearchNextErrorClick();
}

// ---- View, SubSystems and Window: the tool windows ----

void TMainForm::ViewRAMClick() {
    ramForm_->showView();
    openToolWindow(*ramForm_);
}
void TMainForm::ViewROMClick() {
    romForm_->showView();
    openToolWindow(*romForm_);
}
void TMainForm::ViewStackIXIYClick() {
    stackForm_->showView();
    openToolWindow(*stackForm_);
}
void TMainForm::ViewASCIIClick() {
    openToolWindow(*asciiForm_);
}
void TMainForm::SubRTIClick() {
    openToolWindow(*rtiForm_);
}
void TMainForm::SubInterruptsClick() {
    openToolWindow(*xirqForm_);
}
void TMainForm::SubSCIClick() {
    openToolWindow(*sciForm_);
}
void TMainForm::SubADCClick() {
    openToolWindow(*adcForm_);
}
void TMainForm::WindowRAMClick() {
    openToolWindow(*ramForm_);
}
void TMainForm::WindowROMClick() {
    openToolWindow(*romForm_);
}
void TMainForm::WindowStackIXIYClick() {
    openToolWindow(*stackForm_);
}
void TMainForm::WindowSubRTIClick() {
    openToolWindow(*rtiForm_);
}
void TMainForm::WindowSubInterruptsClick() {
    openToolWindow(*xirqForm_);
}
void TMainForm::WindowSubSCIClick() {
    openToolWindow(*sciForm_);
}
void TMainForm::WindowSubADCClick() {
    openToolWindow(*adcForm_);
}

// ---- Project ----

void TMainForm::afterProjectCommand() {
    if (projectCommands_.isOpen()) {
        projectWindow_->refreshFiles();
        projectWindow_->show();
    } else {
        projectWindow_->reset();
        buildMessages_->clear();
        editor_->hideMessagePanel();
    }
    editor_->setNewFileDirectory(projectCommands_.isOpen() ? projectDirectory()
                                                           : std::filesystem::path());
    setWindowTitle(QString::fromStdString(projectCommands_.mainCaption()));
    updateCommands();
}

void TMainForm::openProject(const std::filesystem::path& projectFile) {
    projectCommands_.open(projectFile);
    afterProjectCommand();
}

void TMainForm::ProjectNewClick() {
    // The project commands ask before an existing file is overwritten: the dialog must not.
    projectCommands_.newProject(
        chosenPath(QFileDialog::getSaveFileName(this, "New project", QString(), kProjectFilter,
                                                nullptr, QFileDialog::DontConfirmOverwrite)));
    afterProjectCommand();
}

void TMainForm::ProjectOpenClick() {
    projectCommands_.open(
        chosenPath(QFileDialog::getOpenFileName(this, "Open project", QString(), kProjectFilter)));
    afterProjectCommand();
}

void TMainForm::ProjectCloseClick() {
    projectCommands_.close();
    afterProjectCommand();
}

void TMainForm::ProjectAddClick() {
    const QStringList filters = {"Assembler file (*.asm)", "S19 file (*.s19)",
                                 "ICC dbg file (*.dbg)", "Any file (*)"};
    QString selected = filters[static_cast<int>(projectCommands_.addDialogFilter()) - 1];
    const QString chosen = QFileDialog::getOpenFileName(
        this, "Add to project", QString::fromStdString(projectCommands_.addDialogDirectory()),
        filters.join(";;"), &selected);
    projectCommands_.addFile(chosenPath(chosen));
    afterProjectCommand();
}

void TMainForm::ProjectRemoveClick() {
    projectCommands_.removeFile(projectWindow_->selectedFile());
    afterProjectCommand();
}

void TMainForm::ProjectOptionsClick() {
    projectCommands_.options();
    afterProjectCommand();
}

void TMainForm::ProjectLastClick() {
    projectCommands_.openLast();
    afterProjectCommand();
}

void TMainForm::ProjectBuildClick() {
    buildProject();
}

bool TMainForm::buildProject() {
    const bool saved = editor_->offerToSaveAll();
    const Project& project = projectCommands_.project();
    switch (project.format) {
        case ProjectFormat::Asm11: {
            const AssemblerBuildRequest request{project.path,
                                                project.files.empty() ? "" : project.files[0],
                                                settings_.assemblerPath, project.asm11Options};
            const BuildMessageHooks hooks{[this] { editor_->hideMessagePanel(); },
                                          [this] {
                                              buildMessages_->clear();
                                              projectWindow_->refreshMessages();
                                          },
                                          [this](const std::filesystem::path& errorFile) {
                                              projectWindow_->loadBuildMessages(errorFile);
                                          }};
            buildAssemblerProject(request, saved, projectUi_, hooks, this);
            return buildMessages_->errorCount() == 0;
        }
        case ProjectFormat::S19:
            if (saved) buildS19Project();
            break;
        case ProjectFormat::Icc11:
            if (saved) host_.showInformation("No build needed, you can start debugging now");
            break;
        case ProjectFormat::None:
            host_.showError(kNoFormatText);
            break;
    }
    return true;
}

void TMainForm::buildS19Project() {
    Project& project = projectCommands_.project();
    const S19Project s19{project.files.empty() ? "" : project.files[0], project.directory,
                         project.s19Start};
    const auto confirm = [this](std::string_view question) {
        return QMessageBox::question(this, "Tarnwick",
                                     QString::fromStdString(std::string(question)),
                                     QMessageBox::Yes | QMessageBox::Cancel) == QMessageBox::Yes;
    };
    const S19CommandResult result = tarnwick::buildS19Project(machine_, project.cpu, sourceMap_,
                                                              s19, confirm, currentLocalTime());
    if (result.outcome == S19CommandResult::Failed) host_.showError(result.error);
    if (result.outcome == S19CommandResult::Done) {
        // A page of the listing still shows the disassembly it replaced.
        editor_->reload(result.written);
        editor_->open(result.written);
    }
}

void TMainForm::ProjectSavetoBINaryClick() {
    Project& project = projectCommands_.project();
    const S19Project s19{project.files.empty() ? "" : project.files[0], project.directory,
                         project.s19Start};
    const S19CommandResult result = saveProjectToBinary(machine_, project.cpu, sourceMap_, s19,
                                                        project.path, epromDialog(this));
    if (result.outcome == S19CommandResult::Failed) host_.showError(result.error);
}

// ---- Debug ----

void TMainForm::runCommand(void (Debugger::*command)()) {
    (debugger_.get()->*command)();
    updateCommands();
}

void TMainForm::DebugStartClick() {
    if (!debugger_->inSession() && !debugger_->commandInProgress()) {
        StartQuestions questions(this, [this] { return buildProject(); });
        if (!readyToStart(projectCommands_.project(), *editor_, questions)) return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    runCommand(&Debugger::startOrStop);
    QGuiApplication::restoreOverrideCursor();
    projectWindow_->refresh(kBreakpointList | kWatchList | kCounterList);
}
void TMainForm::DebugRunClick() {
    runCommand(&Debugger::run);
}
void TMainForm::DebugStepOverClick() {
    runCommand(&Debugger::stepOver);
}
void TMainForm::DebugTraceIntoClick() {
    runCommand(&Debugger::traceInto);
}
void TMainForm::DebugStepOutClick() {
    runCommand(&Debugger::stepOut);
}
void TMainForm::DebugRunToCursorClick() {
    runCommand(&Debugger::runToCursor);
}
void TMainForm::DebugRunFreeToCursorClick() {
    runCommand(&Debugger::runFreelyToCursor);
}
void TMainForm::DebugPCtoCursorClick() {
    runCommand(&Debugger::skipToCursor);
}
void TMainForm::DebugShowExecutionPointClick() {
    runCommand(&Debugger::showExecutionPointCommand);
}
void TMainForm::DebugProgramPauseClick() {
    debugger_->pause();
}
void TMainForm::DebugProgramResetClick() {
    runCommand(&Debugger::programReset);
}
void TMainForm::DebugBranchOppositeClick() {
    runCommand(&Debugger::branchOpposite);
}
void TMainForm::DebugRuntoCycleClick() {
    if (debugger_->commandInProgress()) return;
    // Cancel runs nothing: the dialog's answer decides whether the program runs at all.
    if (const auto target = askRunToCycleTarget(machine_.cycleCounter, host_, this)) {
        debugger_->runFreelyToCycle(*target);
        updateCommands();
    }
}

void TMainForm::DebugRCycleClick() {
    resetCycle(*context_);
}
void TMainForm::DebugRTimeClick() {
    resetTime(*context_);
}
void TMainForm::DebugRCTClick() {
    resetCycleAndTime(*context_);
}

// ---- Debug Tools ----

void TMainForm::DebugTToggleBreakpointClick() {
    debugger_->breakpoints.toggleAtCaret();
}
void TMainForm::DebugTMBClick() {
    TMBreakDlg::showFor(ModifyBreakpoint::forCaretLine(*context_, debugger_->breakpoints), this);
}
void TMainForm::DebugTDelAllBreakpointsClick() {
    debugger_->breakpoints.deleteAll();
}
void TMainForm::DebugTAddWatchClick() {
    addWatch(addWatchFromMenu(projectCommands_.project(), host_));
}

void TMainForm::addWatch(WatchDialogKind kind) {
    showAddWatchDialog(kind, *context_, debugger_->watches, debugger_->cScopes(), this);
}

void TMainForm::DebugTDelAllWatchesClick() {
    debugger_->watches.deleteAll();
}
void TMainForm::DebugTToggleCounterClick() {
    debugger_->counters.toggleAtCaret();
}
void TMainForm::DebugTMRClick() {
    // The registers belong to the command in progress until it ends.
    if (debugger_->commandInProgress()) return;
    showModifyRegister(machine_, context_->display, this);
}

void TMainForm::DebugTDelAllCountersClick() {
    debugger_->counters.deleteAll();
}

// ---- Configure, Window, Help ----

void TMainForm::CfgCPUClick() {
    configureCpu(projectCommands_.project(), machine_.memory, projectUi_);
}

void TMainForm::CfgEnvironmentClick() {
    showEnvironmentOptions(
        EnvironmentTargets{settings_, *setup_.settingsStore, *editor_, host_, action("Save1Click"),
                           findChild<QToolBar*>(QStringLiteral("ToolBar"))},
        this);
}

void TMainForm::BenchNonIOClick() {
    showInstructionBenchmark(machine_, this);
}

void TMainForm::CfgASMCClick() {
    TASMCDlg dialog(settings_, *setup_.settingsStore, setup_.programDirectory, this);
    dialog.exec();
}

void TMainForm::WindowProjectClick() {
    projectWindow_->WindowProjectClick();
}

void TMainForm::HelpContentsClick() {
    if (!helpForm_) {
        helpForm_ = new THelpForm(findHelpFile(setup_.programDirectory, setup_.sourceDirectory));
        placeFrame(*helpForm_, centredFrame(workAreaBelow(*this), QSize(760, 680)));
    }
    helpForm_->show();
    helpForm_->raise();
    helpForm_->activateWindow();
}

void TMainForm::About1Click() {
    QMessageBox::about(this, "About Tarnwick",
                       "Tarnwick 1.00\n\nA development environment and cycle-exact simulator "
                       "for the Motorola 68HC11.");
}

}  // namespace tarnwick
