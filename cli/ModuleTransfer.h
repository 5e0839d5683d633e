#pragma once

#include "TInstruction.h"

#include <QList>

class ModuleSession;

// Moves a program between a module and the process with the link held for the transfer alone
// and its progress shown. A failure is printed ("download failed: ..." or "read-back failed:
// ...", with the link's error when the module stopped answering) and the caller exits 1.
namespace ModuleTransfer {
bool download(ModuleSession& session, QList<TInstruction>* program);
// Fills *program from the module's program memory.
bool upload(ModuleSession& session, QList<TInstruction>* program);
}
