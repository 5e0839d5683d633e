#include "UploadCommand.h"

#include "CommandParser.h"
#include "DisassemblerEngine.h"
#include "KROLConnectionInterface.h"
#include "ModuleOption.h"
#include "ModuleSession.h"
#include "OutputCheck.h"
#include "OutputFile.h"
#include "ProgramTransfer.h"
#include "SubCommand.h"
#include "TextOutput.h"
#include "TransferProgress.h"

#include <QFileInfo>

int runUpload(const QStringList& arguments)
{
    CommandParser parser(QStringLiteral("upload"),
                         QStringLiteral("Reads the program back from a module and writes it as KROL "
                                        "source text."));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write the text to FILE (default and -: standard output)."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption module = ModuleOption::option();
    parser.addOptions({output, module});
    LinkOptions link(LinkOptions::ModuleLink);
    int exitCode = ExitCode::Ok;
    if (!link.parse(parser, arguments, &exitCode))
        return exitCode;

    TParameterList waitEvents;   // empty: the module's default events
    if (parser.isSet(module)) {
        QStringList commandList;
        TRangeSettings ranges;
        QString problem;
        if (!ModuleOption::load(QFileInfo(parser.value(module)).absoluteFilePath(), &commandList, &ranges, &problem))
            return report(problem);
        waitEvents = ranges.WaitEventList;
    }
    const QString given = parser.value(output);
    const QString outputPath = !parser.isSet(output) || OutputFile::isStandardOutput(given)
                                   ? QStringLiteral("-")
                                   : QFileInfo(given).absoluteFilePath();
    OutputCheck outputs;
    outputs.addInput(parser.value(module), QStringLiteral("module description"));
    if (!outputs.addOutput(outputPath, QStringLiteral("output")))
        return ExitCode::Usage;

    ModuleSession session(link);
    if (!session.open())
        return ExitCode::Failed;
    QList<TInstruction> program;
    ProgramTransfer transfer(session.connection());
    transfer.SetInstructionList(&program);
    TransferProgress progress(&transfer, QStringLiteral("Reading back"));
    progress.setTotal(ProgramTransfer::MemoryWords);
    session.connection()->openInterface(KROLConnectionInterface::Exclusive);
    const bool ok = transfer.Upload(session.address());
    session.connection()->openInterface(KROLConnectionInterface::Normal);
    progress.finish();
    if (!ok) {
        QString reason = transfer.FailureReason();
        if (!transfer.IsLastReplyValid())
            reason += QStringLiteral(" (%1)").arg(session.linkError());
        return report(QStringLiteral("read-back failed: ") + reason, ExitCode::Failed);
    }
    if (program.isEmpty())
        standardError() << commandName() << ": the module's program memory is empty\n";

    DisassemblerEngine disassembler(waitEvents);
    QString text;
    if (!disassembler.Run(&program, &text)) {
        const CDisAsmError& e = disassembler.LastError();
        return report(QStringLiteral("the module's program cannot be written as text: %1 at address %2")
                          .arg(e.Message)
                          .arg(e.Address),
                      ExitCode::Failed);
    }
    return TextOutput::write(outputPath, text) ? ExitCode::Ok : ExitCode::Usage;
}
