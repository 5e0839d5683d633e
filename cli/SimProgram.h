#pragma once

#include "TInstruction.h"
#include "TParameterDescriptor.h"

#include <QList>
#include <QString>
#include <QStringList>

// The program `krol sim` runs: assembled from a source as `krol asm` assembles it, or read from
// a .bin file and checked as `krol disasm` checks it. Problems are printed as those commands
// print them.
class SimProgram
{
public:
    // Each returns ExitCode::Ok, or the exit status of the problem it printed.
    int loadSource(const QString& path, const QString& modulePath, const QString& includeDirectory);
    int loadBinary(const QString& path, const QString& modulePath);

    const QList<TInstruction>& instructions() const { return m_program; }
    const QString& path() const { return m_path; }
    bool fromSource() const { return m_fromSource; }
    // "FILE:LINE" of the instruction at the address; empty for a binary file or no instruction.
    QString location(int address) const;
    // The WAIT events the module description names (empty: the default events).
    const TParameterList& waitEvents() const { return m_waitEvents; }

    // Prints FILE: error: MESSAGE (FILE:LINE: when the address has a source line).
    void printError(int address, const QString& message) const;

private:
    bool checkSize();

    QString m_path;
    QList<TInstruction> m_program;
    QStringList m_files;
    TParameterList m_waitEvents;
    bool m_fromSource = false;
};
