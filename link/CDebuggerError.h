#pragma once

#include <QString>

// The debugger's exception: thrown by value while the debugger is switched on, caught in the
// one place that shows its message and leaves the workbench usable.
class CDebuggerError
{
public:
    explicit CDebuggerError(const QString& message) : Message(message) {}

    QString Message;
};
