// krol: the command-line tool. It uses the engines directly and links no GUI library.
#include "AsmCommand.h"
#include "ControlCommand.h"
#include "DisasmCommand.h"
#include "DownloadCommand.h"
#include "PlotLibrary.h"
#include "SimCommand.h"
#include "StatusCommand.h"
#include "SubCommand.h"
#include "UploadCommand.h"

#include <QByteArray>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

const SubCommand commands[] = {
    {"asm", "Assemble a KROL source into a .bin file", runAsm},
    {"disasm", "Turn a .bin file back into KROL source text", runDisasm},
    {"sim", "Run a program on a virtual module and print its final state", runSim},
    {"download", "Store a program in a module", runDownload},
    {"upload", "Read a module's program back as KROL source text", runUpload},
    {"run", "Start the module's program from its beginning", runRun},
    {"stop", "Halt the module's program", runStop},
    {"continue", "Let the module's program go on from where it halted", runContinue},
    {"status", "Print the state, program counter, A and X of a module", runStatus},
};

void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    // Engine and platform diagnostics are for developers; users see our own messages only.
    if (type != QtCriticalMsg && type != QtFatalMsg)
        return;
    standardError() << message << Qt::endl;
}

void printUsage(QTextStream& out)
{
    out << "Usage: krol COMMAND [OPTIONS] [ARGUMENTS]\n\n"
        << "The KROL toolchain on the command line.\n\nCommands:\n";
    for (const SubCommand& c : commands)
        out << "  " << QString::fromLatin1(c.name).leftJustified(10) << c.summary << "\n";
    out << "\nRun 'krol COMMAND --help' for a command's options.\n";
    out.flush();
}

} // namespace

int exitNow(int exitCode)
{
    standardOutput().flush();
    standardError().flush();
#ifndef KROL_SANITIZE
    std::fflush(nullptr);
    std::_Exit(exitCode);
#endif
    return exitCode;
}

QTextStream& standardOutput()
{
    static QTextStream out(stdout);
    return out;
}

QTextStream& standardError()
{
    static QTextStream err(stderr);
    return err;
}

namespace {
QString& currentCommand()
{
    static QString name = QStringLiteral("krol");
    return name;
}
} // namespace

void setCommandName(const QString& name)
{
    currentCommand() = QStringLiteral("krol ") + name;
}

const QString& commandName()
{
    return currentCommand();
}

int report(const QString& message, int exitCode)
{
    standardError() << currentCommand() << ": " << message << "\n";
    standardError().flush();
    return exitCode;
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("KROL_DEBUG"))
        qInstallMessageHandler(quietMessages);
    // Qt sees the program name only, so options of its own (-platform, -style, ...) stay ours to
    // parse and refuse.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    // A chart needs a GUI application from the plot library; every other run does without.
    std::unique_ptr<QCoreApplication> app;
    if (PlotLibrary::requested(argc, argv)) {
        QString error;
        app.reset(PlotLibrary::makeApplication(qtArgc, qtArgv, &error));
        if (!app) {
            standardError() << "krol sim: cannot draw charts: " << error << "\n";
            return ExitCode::Usage;
        }
    } else {
        app = std::make_unique<QCoreApplication>(qtArgc, qtArgv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("krol"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KROL_VERSION));

    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (args.isEmpty()) {
        printUsage(standardError());
        return ExitCode::Usage;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h")
        || name == QLatin1String("help")) {
        printUsage(standardOutput());
        return ExitCode::Ok;
    }
    if (name == QLatin1String("--version") || name == QLatin1String("-v")) {
        standardOutput() << "krol " << KROL_VERSION << Qt::endl;
        return ExitCode::Ok;
    }
    for (const SubCommand& c : commands) {
        if (name == QLatin1String(c.name)) {
            setCommandName(name);
            return exitNow(c.run(args));
        }
    }
    standardError() << "krol: unknown command '" << name << "'\n";
    printUsage(standardError());
    return ExitCode::Usage;
}
