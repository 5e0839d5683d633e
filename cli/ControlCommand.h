#pragma once

#include <QStringList>

// The module's own program, outside the debugger, as the workbench's KROL menu controls it:
// krol run (stop, reset, run from the start), krol stop, krol continue (run from where it
// halted). Each takes --port DEVICE|--sim and the link options.
int runRun(const QStringList& arguments);
int runStop(const QStringList& arguments);
int runContinue(const QStringList& arguments);
