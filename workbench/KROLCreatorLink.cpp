// Transfers, debugger and breakpoints come with the module link. Until then these slots do
// nothing, their actions are connected to nothing, and the debugger is never active.
#include "KROLCreator.h"

void KROLCreator::ActionDisassembleTriggered() {}
void KROLCreator::ActionDownloadTriggered() {}
void KROLCreator::ActionDebuggerTriggered() {}
void KROLCreator::ActionRemoveAllBreakpointsTriggered() {}
void KROLCreator::ActionDebuggerRunTriggered() {}
void KROLCreator::ActionDebuggerStopTriggered() {}
void KROLCreator::ActionDebuggerPauseTriggered() {}
void KROLCreator::ActionDebuggerStepTriggered() {}
void KROLCreator::ActionDebuggerAnimateTriggered() {}
void KROLCreator::AnimateNextStep() {}
void KROLCreator::BreakpointClick(int) {}

// The margin shows no breakpoint while the debugger is inactive.
void KROLCreator::GetBreakpointState(int, bool& BreakpointPossible, bool& BreakpointSet)
{
    BreakpointPossible = false;
    BreakpointSet = false;
}
