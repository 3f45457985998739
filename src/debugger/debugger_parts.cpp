// How the session and the run commands reach the lists, the register panel and the status
// texts.
#include "debugger/cycle_time.h"
#include "debugger/debugger.h"
#include "debugger/instruction_analysis.h"
#include "peripherals/unsimulated_registers.h"

namespace tarnwick {

// A note the last command raised takes the analysis' place until the next command.
void Debugger::showAnalysis() {
    if (notes_.empty()) {
        setStatus(analysisText(machine_, machine_.pc));
        return;
    }
    setStatus(notes_);
    notes_.clear();
}

// Shown at once (a run shows it at its next event pump) and again in the analysis' place when
// the command ends.
void Debugger::noteUnsimulatedWrite(const UnsimulatedRegister& entry, std::uint16_t address) {
    if (!notes_.empty()) notes_ += "  ";
    notes_ += "Note: " + unsimulatedWriteText(entry, address);
    setStatus(notes_);
}

void Debugger::updateCycleAndTime() {
    tarnwick::updateCycleAndTime(context_);
}

void Debugger::resetCycleAndTime() {
    tarnwick::resetCycleAndTime(context_);
}

void Debugger::takeRegisterSnapshot() {
    registers.takeSnapshot(machine_);
}

// Every caller shows the registers afresh as it sets them black.
void Debugger::setRegistersBlack() {
    registers.refresh(machine_);
    registers.setFieldsBlack(machine_);
    context_.display.refresh(kRegisterPanel);
}

void Debugger::refreshRegisters() {
    registers.refresh(machine_);
    context_.display.refresh(kRegisterPanel);
}

void Debugger::refreshLists() {
    breakpoints.refresh();
    counters.refresh();
    refreshWatches();
}

void Debugger::refreshWatches() {
    watches.refresh();
}

void Debugger::resetHitsAndCounts() {
    breakpoints.resetAllHits();
    counters.resetAll();
}

void Debugger::restoreWatches() {
    watches.restore();
}

void Debugger::saveWatches() {
    watches.save();
}

void Debugger::clearLists() {
    breakpoints.clear();
    counters.clear();
    watches.clear();
}

}  // namespace tarnwick
