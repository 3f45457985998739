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
void Debugger::takeRegisterSnapshot() {}
void Debugger::setRegistersBlack() {
    context_.display.refresh(kRegisterPanel);
}
void Debugger::refreshLists() {
    breakpoints.refresh();
    counters.refresh();
    refreshWatches();
}
void Debugger::refreshWatches() {}
void Debugger::resetHitsAndCounts() {
    breakpoints.resetAllHits();
    counters.resetAll();
}
void Debugger::restoreWatches() {}
void Debugger::saveWatches() {}
void Debugger::clearLists() {
    breakpoints.clear();
    counters.clear();
}

}  // namespace tarnwick
