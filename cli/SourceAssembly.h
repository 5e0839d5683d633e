#pragma once

#include "RangeCheck.h"
#include "TInstruction.h"
#include "TLabel.h"

#include <QList>
#include <QString>
#include <QStringList>

class Assembler;

// Assembles one source file headless with the workbench's engine, for the sub-commands that
// take sources. Problems are printed to standard error as they are found.
class SourceAssembly
{
public:
    SourceAssembly();
    ~SourceAssembly();

    // Checks the source can be read; a clear message otherwise.
    bool setSource(const QString& path);
    // Loads a module description; range checking is on from then.
    bool setModule(const QString& path);
    // Keeps the module's names (WAIT events) but checks no ranges.
    void setRangeChecking(bool on) { m_checkRanges = on; }
    void setIncludeDirectory(const QString& directory);
    void setAppendStop(bool on) { m_appendStop = on; }

    // The source's directory and base name (up to the first '.') with ".bin".
    QString defaultOutputPath() const;

    // Runs the assembly; errors are printed as FILE:LINE: error: MESSAGE.
    bool run();

    const QList<TInstruction>& program() const { return m_program; }
    // The labels in the order they were defined, names in upper case.
    const QList<TLabel>& labels() const;
    // The file each instruction came from (the file names the engine keeps only on the first
    // instruction of each file are carried forward here).
    QStringList instructionFiles() const;
    const QString& sourcePath() const { return m_argument; }
    const TRangeSettings& ranges() const { return m_ranges; }

    bool writeBinFile(const QString& path);
    bool writeSymbolFile(const QString& path);

    // True when path can be written: an existing writable file, or a new file in an existing
    // writable directory. Prints the reason otherwise. Creates nothing.
    static bool checkWritable(const QString& path);

private:
    QString displayName(const QString& engineName) const;

    Assembler* m_assembler;
    QString m_argument;      // the source as the user named it
    QString m_directory;     // absolute, with a trailing '/'
    QString m_name;          // bare file name
    QString m_text;
    QString m_includeDirectory;
    bool m_appendStop = true;
    bool m_checkRanges = false;
    QStringList m_commandList;
    TRangeSettings m_ranges;
    QList<TInstruction> m_program;
};
