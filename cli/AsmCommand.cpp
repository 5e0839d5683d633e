#include "AsmCommand.h"

#include "CommandParser.h"
#include "HeaderTime.h"
#include "ModuleOption.h"
#include "OutputCheck.h"
#include "OutputFile.h"
#include "SourceAssembly.h"
#include "SubCommand.h"

#include <QFileInfo>

int runAsm(const QStringList& arguments)
{
    CommandParser parser(QStringLiteral("asm"),
                         QStringLiteral("Assembles a KROL source into a binary program file."));
    parser.addRequired(QStringLiteral("SOURCE"),
                       QStringLiteral("The KROL source file (.kro); - for standard input."));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write the program to FILE (default: the "
                                                   "source's base name with .bin); - for "
                                                   "standard output."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption sym(QStringLiteral("sym"),
                                 QStringLiteral("Also write the symbol file (.sym) beside the "
                                                "program file."));
    const QCommandLineOption noStop(QStringLiteral("no-stop"),
                                    QStringLiteral("Do not append a final STOP."));
    const QCommandLineOption include(QStringLiteral("I"),
                                     QStringLiteral("Look for include files in DIR first."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption module = ModuleOption::option();
    parser.addOptions({output, sym, noStop, include, module});

    int exitCode = ExitCode::Ok;
    if (!parser.parseArguments(arguments, &exitCode))
        return exitCode;
    QString problem;
    if (parser.isSet(sym) && !HeaderTime::checkEnvironment(&problem))
        return report(problem);

    const QString source = parser.positionalArguments().at(0);
    SourceAssembly assembly;
    if (!assembly.setSource(source))
        return ExitCode::Usage;
    const QString modulePath =
        parser.isSet(module) ? QFileInfo(parser.value(module)).absoluteFilePath() : QString();
    if (!modulePath.isEmpty() && !assembly.setModule(modulePath))
        return ExitCode::Usage;
    if (parser.isSet(include))
        assembly.setIncludeDirectory(parser.value(include));
    assembly.setAppendStop(!parser.isSet(noStop));

    if (!parser.isSet(output) && assembly.fromStandardInput())
        return report(QStringLiteral("a source from standard input needs -o FILE"));
    const QString given = parser.value(output);
    const QString binPath = !parser.isSet(output)               ? assembly.defaultOutputPath()
                            : OutputFile::isStandardOutput(given) ? given
                                                                  : QFileInfo(given).absoluteFilePath();
    // Outputs are checked before the work, and written only after it succeeded.
    OutputCheck outputs;
    outputs.addInput(assembly.fromStandardInput() ? QString() : source, QStringLiteral("source"));
    outputs.addInput(modulePath, QStringLiteral("module description"));
    if (!outputs.addOutput(binPath, QStringLiteral("program file")))
        return ExitCode::Usage;
    QString symPath;
    if (parser.isSet(sym)) {
        // The symbol file lies beside the program file, so there has to be one.
        if (!OutputFile(binPath).isRegular())
            return report(QStringLiteral("--sym needs the program written to a file, not to '%1'")
                              .arg(binPath));
        const QFileInfo binInfo(binPath);
        symPath = binInfo.path() + QLatin1Char('/') + binInfo.completeBaseName()
                  + QStringLiteral(".sym");
        if (!outputs.addOutput(symPath, QStringLiteral("symbol file")))
            return ExitCode::Usage;
    }

    if (!assembly.run())
        return exitNow(ExitCode::Failed);
    if (!assembly.writeBinFile(binPath))
        return ExitCode::Usage;
    if (!symPath.isEmpty() && !assembly.writeSymbolFile(symPath))
        return ExitCode::Usage;
    return exitNow(ExitCode::Ok);
}
