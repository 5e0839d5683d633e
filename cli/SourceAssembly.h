#pragma once

#include "RangeCheck.h"
#include "TInstruction.h"
#include "TLabel.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class AssemblerEngine;
class FileLines;
class SourceLines;

// Assembles one source file headless with the workbench's engine, for the sub-commands that
// take sources. Problems are printed to standard error as they are found.
class SourceAssembly
{
public:
    SourceAssembly();
    ~SourceAssembly();

    // Reads the source ("-": standard input, named "<stdin>" in messages); a clear message
    // when it cannot be read.
    bool setSource(const QString& path);
    bool fromStandardInput() const { return m_fromStandardInput; }
    // Loads a module description; range checking is on from then.
    bool setModule(const QString& path);
    // Keeps the module's names (WAIT events) but checks no ranges.
    void setRangeChecking(bool on) { m_checkRanges = on; }
    void setIncludeDirectory(const QString& directory);
    void setAppendStop(bool on) { m_appendStop = on; }

    // The source's directory and base name (up to the first '.') with ".bin".
    QString defaultOutputPath() const;

    // Runs the assembly, once; errors are printed as FILE:LINE: error: MESSAGE.
    bool run();

    // A copy of the program, for those that keep it beyond the assembly.
    QList<TInstruction> program() const;
    // The labels in the order they were defined, names in upper case.
    const QList<TLabel>& labels() const;
    // The file each instruction came from (the file names the engine keeps only on the first
    // instruction of each file are carried forward here).
    QStringList instructionFiles() const;
    const QString& sourcePath() const { return m_argument; }
    const TRangeSettings& ranges() const { return m_ranges; }

    // Each writes the whole file or reports why it could not; an earlier file is kept then.
    bool writeBinFile(const QString& path);
    bool writeSymbolFile(const QString& path);

    // "'PATH'", or "standard input" for "-": how messages name an input.
    static QString inputName(const QString& path);

private:
    static bool cannotRead(const QString& path, const QString& reason);
    QString displayName(const QString& engineName) const;
    static bool writeOutput(const QString& path, const QByteArray& data);

    AssemblerEngine* m_assembler;
    QString m_argument;      // the source as the user named it
    QString m_directory;     // absolute, with a trailing '/'
    QString m_name;          // bare file name
    // A file is read as the assembly goes; standard input is read whole first.
    std::unique_ptr<SourceLines> m_lines;
    FileLines* m_file = nullptr;   // m_lines when it reads a file
    QString m_includeDirectory;
    bool m_fromStandardInput = false;
    bool m_appendStop = true;
    bool m_checkRanges = false;
    QStringList m_commandList;
    TRangeSettings m_ranges;
};
