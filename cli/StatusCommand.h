#pragma once

#include <QStringList>

// krol status [--json] --port DEVICE|--sim ...: state, program counter, A and X of a module.
int runStatus(const QStringList& arguments);
