#pragma once

#include <QString>
#include <QStringList>

class VirtualModule;

// Runs one case of a script file (tests/cases/sim-requests.cases, sim-runs.cases; their first
// lines give the format) on a fresh virtual module. A step that does not hold fails the
// current test, naming the step with what the module did instead.
void RunSimScript(const QStringList& body, const QStringList& results);

// Downloads the words ("MNEMONIC TYPE MOTOR VALUE; ..." as in a script's "load" step) and the
// end marker; true when every one was stored.
bool LoadProgram(VirtualModule& m, const QString& words);

// What a probe such as "a", "var/3" or "ap/0/1" reads of the module (the script files list them).
QString SimProbe(const VirtualModule& m, const QString& what);
