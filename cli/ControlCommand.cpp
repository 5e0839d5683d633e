#include "ControlCommand.h"

#include "Command.h"
#include "CommandParser.h"
#include "ModuleCommands.h"
#include "ModuleSession.h"
#include "SubCommand.h"

#include <initializer_list>

namespace {

struct Step
{
    unsigned char command;
    const char* name;
};

int control(const QString& name, const QString& description, const QStringList& arguments,
            std::initializer_list<Step> steps)
{
    CommandParser parser(name, description);
    int exitCode = ExitCode::Ok;
    const auto session = ModuleSession::connect(parser, arguments, &exitCode);
    if (!session)
        return exitCode;
    Command reply;
    for (const Step& step : steps) {
        if (!session->request(step.command, 0, 0, &reply, QLatin1String(step.name)))
            return ExitCode::Failed;
    }
    return ExitCode::Ok;
}

} // namespace

int runRun(const QStringList& arguments)
{
    return control(QStringLiteral("run"),
                   QStringLiteral("Starts the program stored in the module from its beginning."), arguments,
                   {{ModuleCommand::ApplStop, "ApplStop"},
                    {ModuleCommand::ApplReset, "ApplReset"},
                    {ModuleCommand::ApplRun, "ApplRun"}});
}

int runStop(const QStringList& arguments)
{
    return control(QStringLiteral("stop"), QStringLiteral("Halts the program running in the module."),
                   arguments, {{ModuleCommand::ApplStop, "ApplStop"}});
}

int runContinue(const QStringList& arguments)
{
    return control(QStringLiteral("continue"),
                   QStringLiteral("Lets the module's program go on from where it halted."), arguments,
                   {{ModuleCommand::ApplRun, "ApplRun"}});
}
