#include "SourceAssembly.h"

#include "Assembler.h"
#include "BinaryFile.h"
#include "InputFile.h"
#include "ModuleOption.h"
#include "OutputFile.h"
#include "SubCommand.h"

#include <QDir>
#include <QFileInfo>

SourceAssembly::SourceAssembly()
    : m_assembler(new Assembler)
{
    m_assembler->SetHeadless(true);
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
    if (!InputFile::readText(path, &m_text, &reason)) {
        report(QStringLiteral("cannot read %1: %2").arg(inputName(path), reason));
        return false;
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
    QString errorFile;
    const auto connection = QObject::connect(
        m_assembler, &Assembler::Throwback,
        [&errorFile](int, const QString& fileName, int) { errorFile = fileName; });
    bool failed = false;
    m_assembler->DoAsm(m_text, m_appendStop, false, false, m_checkRanges, m_includeDirectory,
                       failed);
    QObject::disconnect(connection);
    if (failed) {
        const CAsmError& e = m_assembler->LastError();
        standardError() << displayName(errorFile) << ':' << e.Line << ": error: " << e.Message
                        << "\n";
        standardError().flush();
        return false;
    }
    m_assembler->GetAsmResult(&m_program);
    return true;
}

QString SourceAssembly::displayName(const QString& engineName) const
{
    // The engine names the main file by its bare name and include files by the path under
    // which they were found.
    return engineName == m_name ? m_argument : QDir::cleanPath(engineName);
}

const QList<TLabel>& SourceAssembly::labels() const
{
    return m_assembler->Labels();
}

QStringList SourceAssembly::instructionFiles() const
{
    QStringList files;
    files.reserve(m_program.size());
    QString current = m_argument;
    for (const TInstruction& ins : m_program) {
        if (!ins.FileName.isEmpty())
            current = displayName(ins.FileName);
        files.append(current);
    }
    return files;
}

bool SourceAssembly::writeBinFile(const QString& path)
{
    return writeOutput(path, BinaryFile::Encode(m_program));
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
