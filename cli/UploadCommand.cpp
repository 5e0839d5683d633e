#include "UploadCommand.h"

#include "CommandParser.h"
#include "DisassemblerEngine.h"
#include "ModuleOption.h"
#include "ModuleSession.h"
#include "ModuleTransfer.h"
#include "OutputCheck.h"
#include "OutputFile.h"
#include "SubCommand.h"
#include "TextOutput.h"

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
    QString problem;
    if (!ModuleOption::loadWaitEvents(parser.value(module), &waitEvents, &problem))
        return report(problem);
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
    if (!ModuleTransfer::upload(session, &program))
        return ExitCode::Failed;
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
