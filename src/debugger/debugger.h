#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_text.h"
#include "debugger/breakpoint_list.h"
#include "debugger/debug_context.h"
#include "debugger/execution_counters.h"
#include "debugger/register_panel.h"
#include "debugger/sci_terminal.h"
#include "debugger/watch_list.h"

namespace tarnwick {

// The last execution point shown: the file and its 1-based line (0 = none yet).
struct LASTEXEPOINT {
    std::filesystem::path file;
    int line = 0;
};

// The debug session and the run commands that drive the simulated program during it. Every
// command is a method without arguments, as the menu entries, tool buttons and shortcuts
// call it; what the windows show afterwards is read from the model.
class Debugger {
  public:
    explicit Debugger(DebugContext& context);
    Debugger(const Debugger&) = delete;
    Debugger& operator=(const Debugger&) = delete;

    // Debug Start/Stop: starts a session when none runs, stops the running one otherwise.
    void startOrStop();
    bool inSession() const { return inSession_; }
    const LASTEXEPOINT& lastExecutionPoint() const { return lastExecutionPoint_; }

    // The run commands.
    void traceInto();
    void stepOver();
    void stepOut();
    void run();
    void runToCursor();
    void runFreelyToCursor();
    // Runs until the cycle counter has reached the target at a line with code.
    void runFreelyToCycle(std::uint32_t target);
    // Skip to Cursor and Program Reset do nothing while another command runs; the machine's
    // own program reset (after an error inside a run) is `resetProgram`.
    void skipToCursor();
    void branchOpposite();
    void programReset();
    void showExecutionPointCommand();
    // Esc: asks the running loop to pause.
    void pause();

    // True from the start of a run command until its refresh is done.
    bool commandInProgress() const { return commandInProgress_; }
    // True while a long command has the run controls disabled.
    bool runControlsDisabled() const { return runControlsDisabled_; }

    // What the readers of the session's files offer the watch dialogs: the data symbols of
    // an assembly project, the scopes of a C project.
    const std::vector<std::string>& watchNames() const { return watchNames_; }
    const std::vector<std::string>& cScopes() const { return cScopes_; }

    // The lists of the session; their commands are called on them directly.
    BreakpointList breakpoints;
    ExecutionCounterList counters;
    WatchList watches;
    // The main window's register fields, with what the last command changed.
    RegisterPanel registers;
    // What the program transmitted through the SCI during the session, as a terminal
    // shows it.
    SciTerminal terminal;

  private:
    void resetProgram();
    void start();
    bool startAssembly();
    bool startS19();
    bool startC();
    bool loadImage(const std::filesystem::path& s19);
    void enterSession();
    bool showStartingPoint();
    void unlockModules();
    void stop();

    bool showExecutionPoint(std::uint16_t address);
    void clearExecutionPointMarker();
    bool writeTemporaryDisassembly(std::uint16_t address);
    bool openSource(const std::filesystem::path& file);
    bool openAndMarkModules();
    void markCodeLines(std::size_t module);
    void unmarkModules();
    std::filesystem::path moduleFile(std::size_t module) const;

    // The cursor line's address, when the line carries the code-line marker.
    std::optional<std::uint16_t> cursorAddress() const;
    template <typename Loop>
    void runningCommand(std::string_view status, bool disablesControls, Loop&& loop);
    void commonRefresh();
    void runStartUpCode();
    void showAnalysis();
    void setStatus(std::string_view text);
    void noteUnsimulatedWrite(const UnsimulatedRegister& entry, std::uint16_t address);
    void updateCycleAndTime();
    void resetCycleAndTime();
    void takeRegisterSnapshot();
    void setRegistersBlack();
    void refreshRegisters();
    void refreshLists();
    void refreshWatches();
    void resetHitsAndCounts();
    void restoreWatches();
    void saveWatches();
    void clearLists();

    DebugContext& context_;
    Machine& machine_;
    SourceEditor& editor_;
    bool inSession_ = false;
    bool commandInProgress_ = false;
    bool runControlsDisabled_ = false;
    std::string savedCaption_;
    LASTEXEPOINT lastExecutionPoint_;
    std::vector<std::string> watchNames_;
    std::vector<std::string> cScopes_;
    // The notes on unsimulated peripherals the program met since the status panel last
    // showed the analysis: shown in its place once.
    std::string notes_;
    // The image and the symbol or debug file are read into it at every start; it keeps its
    // memory from one start to the next.
    TextLines fileText_;
};

}  // namespace tarnwick
