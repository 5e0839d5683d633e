#include "SimProgram.h"

#include "BinaryFile.h"
#include "CDisAsmError.h"
#include "InstructionWriter.h"
#include "ModuleOption.h"
#include "ProgramTransfer.h"
#include "SourceAssembly.h"
#include "SubCommand.h"

#include <QFileInfo>

int SimProgram::loadSource(const QString& path, const QString& modulePath,
                           const QString& includeDirectory)
{
    SourceAssembly assembly;
    m_fromSource = true;
    if (!assembly.setSource(path) || (!modulePath.isEmpty() && !assembly.setModule(modulePath)))
        return ExitCode::Usage;
    if (!includeDirectory.isEmpty())
        assembly.setIncludeDirectory(includeDirectory);
    if (!assembly.run())
        return ExitCode::Failed;
    m_path = assembly.sourcePath();
    m_program = assembly.program();
    m_files = assembly.instructionFiles();
    m_waitEvents = assembly.ranges().WaitEventList;
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
