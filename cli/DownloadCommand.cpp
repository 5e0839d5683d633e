#include "DownloadCommand.h"

#include "CommandParser.h"
#include "KROLConnectionInterface.h"
#include "ModuleOption.h"
#include "ModuleSession.h"
#include "ProgramTransfer.h"
#include "SimProgram.h"
#include "SubCommand.h"
#include "TransferProgress.h"

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
    ProgramTransfer transfer(session.connection());
    transfer.SetInstructionList(&list);
    TransferProgress progress(&transfer, QStringLiteral("Downloading"));
    session.connection()->openInterface(KROLConnectionInterface::Exclusive);
    const bool ok = transfer.Download(session.address());
    session.connection()->openInterface(KROLConnectionInterface::Normal);
    progress.finish();
    if (!ok) {
        QString reason = transfer.FailureReason();
        if (!transfer.IsLastReplyValid())
            reason += QStringLiteral(" (%1)").arg(session.linkError());
        return report(QStringLiteral("download failed: ") + reason, ExitCode::Failed);
    }
    standardOutput() << "Stored " << list.size() << " instructions in the module at address "
                     << session.address() << ".\n";
    return ExitCode::Ok;
}
