#include "AssemblerEngine.h"

#include "ModuleCommands.h"
#include "StringLines.h"

#include <QDebug>

AssemblerEngine::AssemblerEngine(QObject* parent) : QObject(parent)
{
    // Until a module's lists arrive, WAIT translation knows the default events.
    m_ranges.WaitEventList = DefaultWaitEventList();
}

void AssemblerEngine::SetSourceFile(const QString& path, const QString& name, int index)
{
    m_mainPath = path;
    m_mainName = name;
    m_mainIndex = index;
}

void AssemblerEngine::SetRanges(QStringList* commandList, int velocityParameter,
                                int numberOfAxes, const QList<TParameterList>& axisParameterLists,
                                const QList<TParameterList>& globalParameterLists,
                                const TParameterList& interruptList,
                                const TParameterList& waitEventList,
                                const QList<TParameterList>& ioPortLists,
                                const TParameterList& pullUpList,
                                const TParameterList& coordinateList, bool coordinateEepromFlag,
                                bool multiAxisFlag)
{
    TRangeSettings r;
    r.CommandList = commandList;
    r.VelocityParameter = velocityParameter;
    r.NumberOfAxes = numberOfAxes;
    r.AxisParameterLists = axisParameterLists;
    r.GlobalParameterLists = globalParameterLists;
    r.InterruptList = interruptList;
    r.WaitEventList = waitEventList;
    r.IoPortLists = ioPortLists;
    r.PullUpList = pullUpList;
    r.CoordinateList = coordinateList;
    r.CoordinateEepromFlag = coordinateEepromFlag;
    r.MultiAxisFlag = multiAxisFlag;
    SetRanges(r);
}

void AssemblerEngine::SetRanges(const TRangeSettings& ranges)
{
    m_ranges = ranges;
    m_ranges.HasSupportedOpcodes = false;
    if (m_ranges.WaitEventList.isEmpty()) {
        qDebug() << "void Assembler::SetRanges(QStringList*, int, int, QList<TParameterList>, "
                    "QList<TParameterList>, TParameterList, TParameterList, "
                    "QList<TParameterList>, TParameterList, TParameterList, bool, bool)"
                 << "xml has supported wait cmds, loading default";
        m_ranges.WaitEventList = DefaultWaitEventList();
    }
}

bool AssemblerEngine::Run(const QString& source, bool appendStop, bool writeBinFile,
                          bool writeSymbolFile, bool checkRanges, const QString& includePath)
{
    StringLines lines(source);
    return Run(lines, appendStop, writeBinFile, writeSymbolFile, checkRanges, includePath);
}

bool AssemblerEngine::Run(SourceLines& source, bool appendStop, bool writeBinFile,
                          bool writeSymbolFile, bool checkRanges, const QString& includePath)
{
    m_appendStop = appendStop;
    m_writeBinFile = writeBinFile;
    m_writeSymbolFile = writeSymbolFile;
    m_checkRanges = checkRanges;
    m_includePath = includePath;

    m_labels.clear();
    m_labelIndex.clear();
    m_constants.clear();
    m_constantIndex.clear();
    m_instructionCounter = 0;
    m_program.clear();
    // An instruction line takes some 20 characters or more. Room for that many spares the
    // program the copies of growing in the usual case; room never written costs no memory.
    m_program.reserve(int(qMin<qint64>(source.sizeHint() / 20, 1 << 22)));
    m_includeStack.clear();
    m_includeSet.clear();
    m_includeCount.clear();
    m_lastError = CAsmError();

    if (m_checkRanges)
        CacheSupportedOpcodes(&m_ranges);

    m_newFile = true;
    m_currentFileName = m_mainName;
    m_currentFileIndex = m_mainIndex;

    bool ok = true;
    try {
        emit PassStarted(1);
        AssemblePass1(source);

        emit PassStarted(2);
        ResolveLabels();

        if (m_program.isEmpty()) {
            m_currentFileName = m_mainName;
            m_currentFileIndex = m_mainIndex;
            throw CAsmError(QStringLiteral("Program does not contain any instructions"),
                            m_totalLines, m_mainName, m_mainIndex);
        }

        if (m_appendStop && m_program.last().Opcode != Opcode::STOP) {
            TInstruction stop;
            stop.Opcode = Opcode::STOP;
            stop.Line = m_totalLines + 1;
            stop.FileIndex = m_mainIndex;
            m_program.append(stop);
        }

        if (!m_mainName.isEmpty()) {
            const QString base = m_mainPath + m_mainName.section(QLatin1Char('.'), 0, 0);
            if (m_writeBinFile)
                CreateBinFile(base + QStringLiteral(".bin"));
            if (m_writeSymbolFile)
                CreateSymbolFile(base + QStringLiteral(".sym"));
        }
    } catch (const CAsmError& e) {
        m_lastError = e;
        m_lastError.FileName = m_currentFileName;
        m_lastError.FileIndex = m_currentFileIndex;
        m_program.clear();
        ok = false;
    }
    // Outside an assembly the command list is read afresh.
    m_ranges.HasSupportedOpcodes = false;
    return ok;
}

void AssemblerEngine::GetAsmResult(QList<TInstruction>* target) const
{
    target->clear();
    target->reserve(m_program.size());
    for (const TInstruction& ins : m_program)
        target->append(ins);
}

double AssemblerEngine::Evaluate(const QString& expression, int line)
{
    return evaluate(QStringView(expression), line);
}

double AssemblerEngine::evaluate(QStringView expression, int line)
{
    return m_eval.eval(expression, m_constants, line, m_currentFileName, m_currentFileIndex,
                       &m_constantIndex);
}

void AssemblerEngine::CheckRanges(TInstruction instruction)
{
    CheckInstructionRanges(m_ranges, instruction);
}

void AssemblerEngine::fail(const QString& message, int line) const
{
    throw CAsmError(message, line, m_currentFileName, m_currentFileIndex);
}
