// How the session and the run commands reach the lists, the register panel and the status
// texts.
#include "debugger/debugger.h"

namespace tarnwick {

void Debugger::showAnalysis() {}
void Debugger::updateCycleAndTime() {}
void Debugger::resetCycleAndTime() {}
void Debugger::takeRegisterSnapshot() {}
void Debugger::setRegistersBlack() {
    context_.display.refresh(kRegisterPanel);
}
void Debugger::refreshLists() {}
void Debugger::refreshWatches() {}
void Debugger::resetAllHits() {}
void Debugger::restoreWatches() {}
void Debugger::saveWatches() {}
void Debugger::clearLists() {}

}  // namespace tarnwick
