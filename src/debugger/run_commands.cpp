// The Debug menu's commands that drive the program during a session, and the refresh that
// brings every view up to date after each of them.
#include "base/number_text.h"
#include "core/interrupts.h"
#include "core/run_loops.h"
#include "debugger/branch_opposite.h"
#include "debugger/debugger.h"
#include "project/symbol_file.h"

namespace tarnwick {

namespace {

// Clears a flag on every way out of the scope.
class FlagClearer {
  public:
    explicit FlagClearer(bool& flag) : flag_(flag) {}
    FlagClearer(const FlagClearer&) = delete;
    FlagClearer& operator=(const FlagClearer&) = delete;
    ~FlagClearer() { flag_ = false; }

  private:
    bool& flag_;
};

}  // namespace

std::optional<std::uint16_t> Debugger::cursorAddress() const {
    const auto file = editor_.activeFile();
    const int line = editor_.caretLine();
    if (!file || line < 0 || !(editor_.markers(*file, line) & kCodeLineMarker)) return std::nullopt;
    return addressOfSourceLine(machine_, context_.sourceMap, context_.project.directory,
                               file->string(), static_cast<std::uint16_t>(line + 1));
}

template <typename Loop>
void Debugger::runningCommand(std::string_view status, bool disablesControls, Loop&& loop) {
    if (commandInProgress_) return;
    commandInProgress_ = true;
    const FlagClearer inProgress(commandInProgress_);
    setStatus(status);
    if (disablesControls) {
        runControlsDisabled_ = true;
        context_.display.refresh(kControls);
    }
    takeRegisterSnapshot();
    {
        const FlagClearer controls(runControlsDisabled_);
        loop();
    }
    commonRefresh();
    if (disablesControls) context_.display.refresh(kControls);
    showAnalysis();
}

void Debugger::traceInto() {
    runningCommand("Tracing Into... (ESC to pause)", false,
                   [this] { tarnwick::traceInto(machine_); });
}

void Debugger::stepOver() {
    runningCommand("Stepping Over... (ESC to pause)", false,
                   [this] { tarnwick::stepOver(machine_); });
}

void Debugger::stepOut() {
    if (context_.project.format != ProjectFormat::Icc11) {
        runningCommand("Stepping Out... (ESC to pause)", true,
                       [this] { tarnwick::stepOut(machine_); });
        return;
    }
    if (commandInProgress_) return;
    // A C function keeps its return address in its frame: the slot says where, relative
    // to SP (bit 15 set) or to IX.
    const std::uint16_t slot = machine_.memory[machine_.pc].returnSlot;
    if (slot == 0) {
        context_.host.showError("No return address info, cannot stepping out");
        return;
    }
    const std::uint16_t location = (slot & 0x8000)
                                       ? static_cast<std::uint16_t>(machine_.sp + (slot - 0x8000))
                                       : static_cast<std::uint16_t>(machine_.ix + slot);
    std::uint16_t returnAddress = 0;
    try {
        returnAddress = machine_.read16(location);
    } catch (const InstructionAbandoned&) {
        // The user chose the program reset, which has shown its result; its requests are
        // for a run loop, and none runs.
        machine_.requests = {};
        return;
    }
    runningCommand("Stepping Out to PC=" + hexText(returnAddress, 4) + " ... (ESC to pause)", true,
                   [this, returnAddress] { runToAddress(machine_, returnAddress); });
}

void Debugger::run() {
    runningCommand("Running... (ESC to pause)", true, [this] { tarnwick::run(machine_); });
}

void Debugger::runToCursor() {
    const auto target = cursorAddress();
    if (!target) return;
    runningCommand("Running to cursor... (ESC to pause)", true,
                   [this, target] { runToAddress(machine_, *target); });
}

void Debugger::runFreelyToCursor() {
    const auto target = cursorAddress();
    if (!target) return;
    runningCommand("Running free to cursor... (ESC to pause)", true,
                   [this, target] { runFreelyToAddress(machine_, *target); });
}

void Debugger::runFreelyToCycle(std::uint32_t target) {
    if (commandInProgress_) return;
    runningCommand("Running free to cycle... (ESC to pause)", true,
                   [this, target] { runToCycle(machine_, target); });
}

void Debugger::skipToCursor() {
    if (commandInProgress_) return;
    const auto target = cursorAddress();
    if (!target) return;
    takeRegisterSnapshot();
    machine_.pc = *target;
    commonRefresh();
    showAnalysis();
}

void Debugger::branchOpposite() {
    if (commandInProgress_) return;
    const auto target = branchOppositeTarget(machine_);
    if (!target) return;
    commandInProgress_ = true;
    const FlagClearer inProgress(commandInProgress_);
    takeRegisterSnapshot();
    machine_.pc = *target;
    commonRefresh();
    showAnalysis();
}

// The C start-up code runs to the first line of C as a command of its own, so that Esc can
// pause it and no other run command starts in its event pumps; inside a command (a program
// reset chosen in a warning) it is part of that command.
void Debugger::runStartUpCode() {
    const bool outerCommand = commandInProgress_;
    commandInProgress_ = true;
    traceIntoPlain(machine_);
    commandInProgress_ = outerCommand;
}

void Debugger::programReset() {
    if (!commandInProgress_) resetProgram();
}

void Debugger::resetProgram() {
    machineReset(machine_);
    setRegistersBlack();
    resetHitsAndCounts();
    if (context_.project.format == ProjectFormat::Icc11) {
        takeRegisterSnapshot();
        runStartUpCode();
        commonRefresh();
    } else {
        // Every view of the machine starts over with it, the peripheral windows included.
        context_.display.refresh(kRamView | kStackView | kWatchList | kBreakpointList |
                                 kCounterList | kPeripheralWindows);
        refreshWatches();
        resetCycleAndTime();
        clearExecutionPointMarker();
        showExecutionPoint(machine_.pc);
    }
    showAnalysis();
}

void Debugger::showExecutionPointCommand() {
    const AddressRecord& record = machine_.memory[machine_.pc];
    if (record.line == 0) {
        context_.host.showError("No Execution Point");
        return;
    }
    if (!editor_.open(moduleFile(record.module))) return;
    editor_.centreLine(record.line - 1);
    editor_.moveCaret(record.line - 1);
}

void Debugger::pause() {
    if (!commandInProgress_) return;
    machine_.requests.pause = true;
    machine_.requestStop();
}

void Debugger::commonRefresh() {
    refreshRegisters();
    updateCycleAndTime();
    clearExecutionPointMarker();
    showExecutionPoint(machine_.pc);
    refreshLists();
    context_.display.refresh(kRamView | kStackView | kBreakpointList | kWatchList | kCounterList |
                             kPeripheralWindows);
}

void Debugger::setStatus(std::string_view text) {
    editor_.setStatusText(kStatusPanel, text);
}

}  // namespace tarnwick
