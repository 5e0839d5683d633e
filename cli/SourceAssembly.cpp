#include "SourceAssembly.h"

#include "AssemblerEngine.h"
#include "BinaryFile.h"
#include "FileLines.h"
#include "StringLines.h"
#include "InputFile.h"
#include "ModuleOption.h"
#include "OutputFile.h"
#include "SubCommand.h"

#include <QDir>
#include <QFileInfo>

SourceAssembly::SourceAssembly()
    : m_assembler(new AssemblerEngine)
{
    m_ranges.CommandList = &m_commandList;
    m_ranges.WaitEventList = DefaultWaitEventList();
}

SourceAssembly::~SourceAssembly()
{
    delete m_assembler;
}

bool SourceAssembly::setSource(const QString& path)
{
    QString reason;
    if (InputFile::isStandardInput(path)) {
        QString text;
        if (!InputFile::readText(path, &text, &reason))
            return cannotRead(path, reason);
        m_lines.reset(new StringLines(text));
    } else {
        auto file = new FileLines;
        m_lines.reset(file);
        if (!file->open(path, &reason))
            return cannotRead(path, reason);
        m_file = file;
    }
    if (InputFile::isStandardInput(path)) {
        // Include files are looked for from the current folder.
        m_fromStandardInput = true;
        m_argument = QStringLiteral("<stdin>");
        m_directory = QDir::currentPath() + QLatin1Char('/');
        m_name = m_argument;
        return true;
    }
    const QFileInfo info(path);
    m_argument = path;
    m_directory = info.absolutePath() + QLatin1Char('/');
    m_name = info.fileName();
    return true;
}

bool SourceAssembly::cannotRead(const QString& path, const QString& reason)
{
    report(QStringLiteral("cannot read %1: %2").arg(inputName(path), reason));
    return false;
}

QString SourceAssembly::inputName(const QString& path)
{
    return InputFile::isStandardInput(path) ? QStringLiteral("standard input")
                                            : QLatin1Char('\'') + path + QLatin1Char('\'');
}

bool SourceAssembly::setModule(const QString& path)
{
    QString error;
    if (!ModuleOption::load(path, &m_commandList, &m_ranges, &error)) {
        report(error);
        return false;
    }
    m_ranges.CommandList = &m_commandList;
    m_checkRanges = true;
    return true;
}

void SourceAssembly::setIncludeDirectory(const QString& directory)
{
    m_includeDirectory = QFileInfo(directory).absoluteFilePath();
}

QString SourceAssembly::defaultOutputPath() const
{
    return m_directory + m_name.section(QLatin1Char('.'), 0, 0) + QStringLiteral(".bin");
}

bool SourceAssembly::run()
{
    m_assembler->SetSourceFile(m_directory, m_name, -1);
    m_assembler->SetRanges(m_ranges);
    const bool assembled =
        m_assembler->Run(*m_lines, m_appendStop, false, false, m_checkRanges, m_includeDirectory);
    // A source that could not be read to its end is the fault, whatever the assembly made of it.
    if (m_file && !m_file->error().isEmpty())
        return cannotRead(m_argument, m_file->error());
    if (!assembled) {
        // The file is the one Throwback would name: where the assembler was when it failed.
        const CAsmError& e = m_assembler->LastError();
        standardError() << displayName(e.FileName) << ':' << e.Line << ": error: " << e.Message
                        << "\n";
        standardError().flush();
        return false;
    }
    return true;
}

QString SourceAssembly::displayName(const QString& engineName) const
{
    // The engine names the main file by its bare name and include files by the path under
    // which they were found.
    return engineName == m_name ? m_argument : QDir::cleanPath(engineName);
}

QList<TInstruction> SourceAssembly::program() const
{
    QList<TInstruction> program;
    m_assembler->GetAsmResult(&program);
    return program;
}

const QList<TLabel>& SourceAssembly::labels() const
{
    return m_assembler->Labels();
}

QStringList SourceAssembly::instructionFiles() const
{
    QStringList files;
    const QVector<TInstruction>& program = m_assembler->Program();
    files.reserve(program.size());
    QString current = m_argument;
    for (const TInstruction& ins : program) {
        if (!ins.FileName.isEmpty())
            current = displayName(ins.FileName);
        files.append(current);
    }
    return files;
}

bool SourceAssembly::writeBinFile(const QString& path)
{
    return writeOutput(path, BinaryFile::Encode(m_assembler->Program()));
}

bool SourceAssembly::writeSymbolFile(const QString& path)
{
    return writeOutput(path, m_assembler->SymbolFileText(path));
}

bool SourceAssembly::writeOutput(const QString& path, const QByteArray& data)
{
    QString reason;
    if (OutputFile(path).write(data, &reason))
        return true;
    report(QStringLiteral("cannot write '%1': %2").arg(path, reason));
    return false;
}
