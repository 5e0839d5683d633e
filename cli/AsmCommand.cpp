#include "AsmCommand.h"

#include "CommandParser.h"
#include "ModuleOption.h"
#include "SourceAssembly.h"
#include "SubCommand.h"

#include <QFileInfo>

int runAsm(const QStringList& arguments)
{
    CommandParser parser(QStringLiteral("asm"),
                         QStringLiteral("Assembles a KROL source into a binary program file."));
    parser.addRequired(QStringLiteral("SOURCE"), QStringLiteral("The KROL source file (.kro)."));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write the program to FILE (default: the "
                                                   "source's base name with .bin)."),
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

    SourceAssembly assembly;
    if (!assembly.setSource(parser.positionalArguments().at(0)))
        return ExitCode::Usage;
    if (parser.isSet(module) && !assembly.setModule(parser.value(module)))
        return ExitCode::Usage;
    if (parser.isSet(include))
        assembly.setIncludeDirectory(parser.value(include));
    assembly.setAppendStop(!parser.isSet(noStop));

    const QString binPath = parser.isSet(output) ? QFileInfo(parser.value(output)).absoluteFilePath()
                                                 : assembly.defaultOutputPath();
    const QFileInfo binInfo(binPath);
    const QString symPath =
        binInfo.path() + QLatin1Char('/') + binInfo.completeBaseName() + QStringLiteral(".sym");
    // Outputs are checked before the work, and written only after it succeeded.
    if (!SourceAssembly::checkWritable(binPath)
        || (parser.isSet(sym) && !SourceAssembly::checkWritable(symPath)))
        return ExitCode::Usage;

    if (!assembly.run())
        return exitNow(ExitCode::Failed);
    if (!assembly.writeBinFile(binPath))
        return ExitCode::Usage;
    if (parser.isSet(sym) && !assembly.writeSymbolFile(symPath))
        return ExitCode::Usage;
    return exitNow(ExitCode::Ok);
}
