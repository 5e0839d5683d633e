#include "StatusCommand.h"

#include "Command.h"
#include "CommandParser.h"
#include "ModuleCommands.h"
#include "ModuleSession.h"
#include "SubCommand.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

// GetStatus types: the status word, A, X.
enum : unsigned short { StatusWord = 1, StatusA = 2, StatusX = 3 };

QString stateName(int state)
{
    switch (state) {
    case 0: return QStringLiteral("stopped");
    case 1: return QStringLiteral("running");
    case 2: return QStringLiteral("halted");
    default: return QStringLiteral("unknown (%1)").arg(state);
    }
}

} // namespace

int runStatus(const QStringList& arguments)
{
    CommandParser parser(QStringLiteral("status"),
                         QStringLiteral("Prints the state of a module's program: state, program "
                                        "counter, A and X."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print one JSON object."));
    parser.addOption(json);
    int exitCode = ExitCode::Ok;
    const auto session = ModuleSession::connect(parser, arguments, &exitCode);
    if (!session)
        return exitCode;

    Command word, a, x;
    if (!session->request(ModuleCommand::GetStatus, StatusWord, 0, &word, QStringLiteral("GetStatus"))
        || !session->request(ModuleCommand::GetStatus, StatusA, 0, &a, QStringLiteral("GetStatus A"))
        || !session->request(ModuleCommand::GetStatus, StatusX, 0, &x, QStringLiteral("GetStatus X")))
        return ExitCode::Failed;
    const auto status = uint32_t(word.value());
    const int pc = int(status & 0xffff);
    const bool waiting = ((status >> 16) & 0xff) != 0;
    const QString state = stateName(int(status >> 24));

    if (parser.isSet(json)) {
        const QJsonObject o{{QStringLiteral("state"), state},
                            {QStringLiteral("pc"), pc},
                            {QStringLiteral("waiting"), waiting},
                            {QStringLiteral("a"), a.value()},
                            {QStringLiteral("x"), x.value()}};
        standardOutput() << QString::fromUtf8(QJsonDocument(o).toJson());
    } else {
        standardOutput() << "State:            " << state << (waiting ? ", waiting" : "") << "\n"
                         << "Program counter:  " << pc << "\n"
                         << "A:                " << a.value() << "\n"
                         << "X:                " << x.value() << "\n";
    }
    return ExitCode::Ok;
}
