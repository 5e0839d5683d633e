#pragma once

#include "TInstruction.h"
#include "TParameterDescriptor.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The program `krol sim` runs: assembled from a source as `krol asm` assembles it, or read from
// a .bin file and checked as `krol disasm` checks it. Problems are printed as those commands
// print them.
class SimProgram
{
public:
    // The description a source is range-checked against when no other is given.
    static const QString DefaultModule;

    // Each returns ExitCode::Ok, or the exit status of the problem it printed. A source is
    // range-checked against modulePath (DefaultModule when empty) unless checkRanges is false.
    int loadSource(const QString& path, const QString& modulePath, const QString& includeDirectory,
                   bool checkRanges);
    int loadBinary(const QString& path, const QString& modulePath);

    const QList<TInstruction>& instructions() const { return m_program; }
    const QString& path() const { return m_path; }
    bool fromSource() const { return m_fromSource; }
    // "FILE:LINE" of the instruction at the address; empty for a binary file or no instruction.
    QString location(int address) const;
    // The source's label at the address as it is written there; empty for none or a binary.
    QString label(int address) const { return m_labels.value(address); }
    // The WAIT events the module description names (empty: the default events).
    const TParameterList& waitEvents() const { return m_waitEvents; }

    // Prints FILE: error: MESSAGE (FILE:LINE: when the address has a source line).
    void printError(int address, const QString& message) const;

private:
    bool checkSize();

    QString m_path;
    QList<TInstruction> m_program;
    QStringList m_files;
    QHash<int, QString> m_labels;
    TParameterList m_waitEvents;
    bool m_fromSource = false;
};
