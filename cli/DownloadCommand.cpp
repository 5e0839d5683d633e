#include "DownloadCommand.h"

#include "CommandParser.h"
#include "ModuleOption.h"
#include "ModuleSession.h"
#include "ModuleTransfer.h"
#include "SimProgram.h"
#include "SubCommand.h"

int runDownload(const QStringList& arguments)
{
    CommandParser parser(QStringLiteral("download"),
                         QStringLiteral("Assembles a KROL source (or reads a binary program file) and "
                                        "stores the program in a module."));
    parser.addRequired(QStringLiteral("PROGRAM"),
                       QStringLiteral("A KROL source (.kro; - for standard input) or a binary program "
                                      "file (.bin)."));
    const QCommandLineOption module = ModuleOption::option();
    const QCommandLineOption include(QStringLiteral("I"), QStringLiteral("Look for include files in DIR first."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption noCheck(QStringLiteral("no-check"),
                                     QStringLiteral("Do not range-check a source against the module's "
                                                    "description."));
    parser.addOptions({module, include, noCheck});
    LinkOptions link(LinkOptions::ModuleLink);
    int exitCode = ExitCode::Ok;
    if (!link.parse(parser, arguments, &exitCode))
        return exitCode;

    const QString input = parser.positionalArguments().at(0);
    SimProgram program;
    exitCode = input.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive)
                   ? program.loadBinary(input, parser.value(module))
                   : program.loadSource(input, parser.value(module), parser.value(include),
                                        !parser.isSet(noCheck));
    if (exitCode != ExitCode::Ok)
        return exitCode;

    ModuleSession session(link);
    if (!session.open())
        return ExitCode::Failed;
    QList<TInstruction> list = program.instructions();
    if (!ModuleTransfer::download(session, &list))
        return ExitCode::Failed;
    standardOutput() << "Stored " << list.size() << " instructions in the module at address "
                     << session.address() << ".\n";
    return ExitCode::Ok;
}
