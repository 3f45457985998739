// How the session and the run commands reach the lists, the register panel and the status
// texts.
#include "debugger/cycle_time.h"
#include "debugger/debugger.h"
#include "debugger/instruction_analysis.h"

namespace tarnwick {

void Debugger::showAnalysis() {
    setStatus(analysisText(machine_, machine_.pc));
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
