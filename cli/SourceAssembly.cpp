#include "SourceAssembly.h"

#include "Assembler.h"
#include "ModuleOption.h"
#include "SubCommand.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

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
    m_argument = path;
    const QFileInfo info(path);
    QFile file(path);
    if (!info.exists()) {
        standardError() << "krol: cannot read '" << path << "': no such file\n";
        return false;
    }
    if (info.isDir() || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        standardError() << "krol: cannot read '" << path << "': "
                        << (info.isDir() ? QStringLiteral("is a directory") : file.errorString())
                        << "\n";
        return false;
    }
    QTextStream in(&file);
    m_text = in.readAll();
    m_directory = info.absolutePath() + QLatin1Char('/');
    m_name = info.fileName();
    return true;
}

bool SourceAssembly::setModule(const QString& path)
{
    QString error;
    if (!ModuleOption::load(path, &m_commandList, &m_ranges, &error)) {
        standardError() << "krol: " << error << "\n";
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
    m_assembler->CreateBinFile(path);
    if (QFileInfo(path).size() != qint64(m_program.size()) * 8) {
        standardError() << "krol: cannot write '" << path << "'\n";
        return false;
    }
    return true;
}

bool SourceAssembly::writeSymbolFile(const QString& path)
{
    QFile::remove(path);
    m_assembler->CreateSymbolFile(path);
    if (!QFileInfo::exists(path)) {
        standardError() << "krol: cannot write '" << path << "'\n";
        return false;
    }
    return true;
}

bool SourceAssembly::checkWritable(const QString& path)
{
    const QFileInfo info(path);
    QString reason;
    if (info.isDir())
        reason = QStringLiteral("is a directory");
    else if (info.exists() && !info.isWritable())
        reason = QStringLiteral("permission denied");
    else if (!info.exists()) {
        const QFileInfo dir(info.absolutePath());
        if (!dir.isDir())
            reason = QStringLiteral("no such directory");
        else if (!dir.isWritable())
            reason = QStringLiteral("permission denied");
    }
    if (reason.isEmpty())
        return true;
    standardError() << "krol: cannot write '" << path << "': " << reason << "\n";
    standardError().flush();
    return false;
}
