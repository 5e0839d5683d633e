#pragma once

#include <QStringList>
#include <QTextStream>

// Exit statuses shared by every sub-command.
namespace ExitCode {
enum : int {
    Ok = 0,
    Failed = 1,   // assembler errors, bad file contents, module errors
    Usage = 2,    // bad options, unreadable or unwritable files
    Limit = 3,    // a simulation ended by a limit
};
}

// One `krol` sub-command: its name, a line for `krol --help`, and its entry point, which
// receives the arguments after the sub-command's name.
struct SubCommand
{
    const char* name;
    const char* summary;
    int (*run)(const QStringList& arguments);
};

QTextStream& standardOutput();
QTextStream& standardError();

// "krol asm", "krol disasm", ...: the running sub-command, which starts its messages.
void setCommandName(const QString& name);
const QString& commandName();
// Prints "krol COMMAND: MESSAGE" to standard error and returns the exit status given.
int report(const QString& message, int exitCode = ExitCode::Usage);

// Flushes the output and ends the process with the status at once: freeing a large program
// word by word only costs time. Sanitizer builds return normally, so leaks are still found.
int exitNow(int exitCode);
