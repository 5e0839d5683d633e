#include "DisasmCommand.h"

#include "BinaryFile.h"
#include "CommandParser.h"
#include "DisassemblerEngine.h"
#include "HeaderTime.h"
#include "InputFile.h"
#include "ModuleOption.h"
#include "OutputCheck.h"
#include "OutputFile.h"
#include "SourceAssembly.h"
#include "SubCommand.h"
#include "TextOutput.h"

#include <QFileInfo>

namespace {

// Problems with the file's contents, as the assembler reports its errors: FILE: error: MESSAGE.
int contentError(const QString& file, const QString& message)
{
    standardError() << file << ": error: " << message << "\n";
    standardError().flush();
    return ExitCode::Failed;
}

} // namespace

int runDisasm(const QStringList& arguments)
{
    CommandParser parser(QStringLiteral("disasm"),
                         QStringLiteral("Turns a binary program file back into KROL source text."));
    parser.addRequired(QStringLiteral("FILE"),
                       QStringLiteral("The binary program file (.bin); - for standard input."));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write the text to FILE (default and -: "
                                                   "standard output)."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption module = ModuleOption::option();
    parser.addOptions({output, module});

    int exitCode = ExitCode::Ok;
    if (!parser.parseArguments(arguments, &exitCode))
        return exitCode;

    // Inputs and outputs are checked before the work; the output is written only after it.
    QString problem;
    if (!HeaderTime::checkEnvironment(&problem))
        return report(problem);
    const QString input = parser.positionalArguments().at(0);
    QByteArray data;
    if (!InputFile::read(input, InputFile::BinaryLimit, &data, &problem))
        return report(QStringLiteral("cannot read %1: %2").arg(SourceAssembly::inputName(input), problem));

    TParameterList waitEvents;   // empty: the module's default events
    const QString modulePath =
        parser.isSet(module) ? QFileInfo(parser.value(module)).absoluteFilePath() : QString();
    if (!ModuleOption::loadWaitEvents(modulePath, &waitEvents, &problem))
        return report(problem);

    const QString given = parser.value(output);
    const QString outputPath = !parser.isSet(output) || OutputFile::isStandardOutput(given)
                                   ? QStringLiteral("-")
                                   : QFileInfo(given).absoluteFilePath();
    OutputCheck outputs;
    outputs.addInput(InputFile::isStandardInput(input) ? QString() : input,
                     QStringLiteral("program file"));
    outputs.addInput(modulePath, QStringLiteral("module description"));
    if (!outputs.addOutput(outputPath, QStringLiteral("output")))
        return ExitCode::Usage;

    QList<TInstruction> program;
    QString error;
    const QString shownInput = InputFile::isStandardInput(input) ? QStringLiteral("<stdin>") : input;
    if (!BinaryFile::Decode(data, &program, &error))
        return contentError(shownInput, error);

    DisassemblerEngine disassembler(waitEvents);
    QString text;
    if (!disassembler.Run(&program, &text)) {
        const CDisAsmError& e = disassembler.LastError();
        return contentError(shownInput, e.Message + QStringLiteral(" at address ") + QString::number(e.Address));
    }
    return TextOutput::write(outputPath, text) ? ExitCode::Ok : ExitCode::Usage;
}
