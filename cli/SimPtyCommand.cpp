#include "SimPtyCommand.h"

#include "CommandParser.h"
#include "KROLModuleInterface.h"
#include "LinkOptions.h"
#include "ModuleOption.h"
#include "PtyServer.h"
#include "SimProgram.h"
#include "StopSignals.h"
#include "SubCommand.h"
#include "VirtualModuleBuilder.h"

#include <memory>

int runSimPty(const QStringList& arguments)
{
    CommandParser parser(QStringLiteral("sim"),
                         QStringLiteral("Serves a virtual module on a pseudo-terminal, in real time, "
                                        "with the frames of the serial link. Prints the device's path "
                                        "on the first line and runs until interrupted."));
    const QCommandLineOption pty(QStringLiteral("pty"), QStringLiteral("Serve on a pseudo-terminal."));
    const QCommandLineOption module = ModuleOption::option();
    LinkOptions link(LinkOptions::PtyServer);
    parser.addOptions({pty, module});
    link.addTo(parser);
    int exitCode = ExitCode::Ok;
    if (!parser.parseArguments(arguments, &exitCode))
        return exitCode;
    if (!link.read(parser))
        return ExitCode::Usage;

    QString error;
    const QString description = parser.isSet(module) ? parser.value(module) : SimProgram::DefaultModule;
    std::unique_ptr<KROLModuleInterface> virtualModule(VirtualModuleBuilder::createFromFile(description, &error));
    if (!virtualModule)
        return report(error);
    PtyServer server(VirtualModuleBuilder::connectionOf(virtualModule.get()), link.moduleAddress(),
                     link.settings().ReplyAddress, link.settings().Baud);
    // Signals are caught before anyone learns the path, so an early one still ends cleanly.
    const StopSignals stopSignals;
    if (!server.open(&error))
        return report(error, ExitCode::Failed);
    standardOutput() << server.path() << Qt::endl;
    standardError() << commandName() << ": serving a virtual module at address " << link.moduleAddress()
                    << " on " << server.path() << "; Ctrl-C ends" << Qt::endl;
    server.serve();
    return ExitCode::Ok;
}
