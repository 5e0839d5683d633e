#include "SimProgram.h"

#include "BinaryFile.h"
#include "CDisAsmError.h"
#include "InstructionWriter.h"
#include "ModuleOption.h"
#include "ProgramTransfer.h"
#include "SourceAssembly.h"
#include "SubCommand.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

const QString SimProgram::DefaultModule = QStringLiteral(":/modules/virtual.json");

namespace {

// How each label is written where it is defined (upper case name to spelling), so the trace
// shows "CSUB outer" as the source has it. Labels stand at the start of a line before ':'.
QHash<QString, QString> labelSpellings(const QStringList& files)
{
    QHash<QString, QString> spellings;
    QSet<QString> seen;
    for (const QString& name : files) {
        if (seen.contains(name))
            continue;
        seen.insert(name);
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        QTextStream in(&file);
        QString line;
        while (in.readLineInto(&line)) {
            const int colon = line.indexOf(QLatin1Char(':'));
            const int comment = line.indexOf(QLatin1String("//"));
            if (colon <= 0 || (comment >= 0 && comment < colon))
                continue;
            const QString label = line.left(colon).trimmed();
            const QString key = label.toUpper();
            if (!label.isEmpty() && !spellings.contains(key))
                spellings.insert(key, label);
        }
    }
    return spellings;
}

} // namespace

int SimProgram::loadSource(const QString& path, const QString& modulePath,
                           const QString& includeDirectory, bool checkRanges)
{
    SourceAssembly assembly;
    m_fromSource = true;
    const QString module = modulePath.isEmpty() && checkRanges ? DefaultModule : modulePath;
    if (!assembly.setSource(path) || (!module.isEmpty() && !assembly.setModule(module)))
        return ExitCode::Usage;
    assembly.setRangeChecking(checkRanges);
    if (!includeDirectory.isEmpty())
        assembly.setIncludeDirectory(includeDirectory);
    if (!assembly.run())
        return ExitCode::Failed;
    m_path = assembly.sourcePath();
    m_program = assembly.program();
    m_files = assembly.instructionFiles();
    m_waitEvents = assembly.ranges().WaitEventList;
    // The first label of an address names it, as the symbol file lists them.
    const QHash<QString, QString> spellings = labelSpellings(m_files);
    for (const TLabel& l : assembly.labels()) {
        if (!m_labels.contains(l.Address))
            m_labels.insert(l.Address, spellings.value(l.Name, l.Name));
    }
    return checkSize() ? ExitCode::Ok : ExitCode::Failed;
}

int SimProgram::loadBinary(const QString& path, const QString& modulePath)
{
    m_path = path;
    if (!modulePath.isEmpty()) {
        QStringList commandList;
        TRangeSettings ranges;
        QString error;
        if (!ModuleOption::load(QFileInfo(modulePath).absoluteFilePath(), &commandList, &ranges,
                                &error))
            return report(error);
        m_waitEvents = ranges.WaitEventList;
    }

    QString error;
    const BinaryFile::ReadStatus status = BinaryFile::Read(path, &m_program, &error);
    if (status == BinaryFile::ReadStatus::CannotRead)
        return report(QStringLiteral("cannot read '%1': %2").arg(path, error));
    if (status == BinaryFile::ReadStatus::BadFormat) {
        printError(-1, error);
        return ExitCode::Failed;
    }
    // Every word must be one the disassembler can write, as for `krol disasm`.
    const InstructionWriter writer(m_waitEvents);
    InstructionWriter::Buffer line;
    for (int address = 0; address < m_program.size(); ++address) {
        try {
            line.clear();
            writer.Append(address, m_program.at(address), line);
        } catch (const CDisAsmError& e) {
            printError(-1, e.Message + QStringLiteral(" at address ") + QString::number(e.Address));
            return ExitCode::Failed;
        }
    }
    return checkSize() ? ExitCode::Ok : ExitCode::Failed;
}

bool SimProgram::checkSize()
{
    // The module keeps one word for the end marker.
    const int capacity = ProgramTransfer::MemoryWords - 1;
    if (m_program.size() <= capacity)
        return true;
    printError(-1, QStringLiteral("the program has %1 instructions; the module holds at most %2")
                       .arg(m_program.size())
                       .arg(capacity));
    return false;
}

QString SimProgram::location(int address) const
{
    if (address < 0 || address >= m_files.size())
        return QString();
    return m_files.at(address) + QLatin1Char(':') + QString::number(m_program.at(address).Line);
}

void SimProgram::printError(int address, const QString& message) const
{
    const QString where = location(address);
    standardError() << (where.isEmpty() ? m_path : where) << ": error: " << message << "\n";
    standardError().flush();
}
