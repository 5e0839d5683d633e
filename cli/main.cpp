// krol: the command-line tool. It runs headless: the engine's dialogs are never shown.
#include "AsmCommand.h"
#include "DisasmCommand.h"
#include "PlotLibrary.h"
#include "SimCommand.h"
#include "SubCommand.h"

#include <QApplication>
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
    // No display is needed or wanted: the engine's dialogs are never shown, and the minimal
    // platform starts fastest.
    qputenv("QT_QPA_PLATFORM", "minimal");
    if (qEnvironmentVariableIsEmpty("KROL_DEBUG"))
        qInstallMessageHandler(quietMessages);
    // A chart needs a GUI application from the plot library; every other run does without.
    std::unique_ptr<QCoreApplication> app;
    if (PlotLibrary::requested(argc, argv)) {
        QString error;
        app.reset(PlotLibrary::makeApplication(argc, argv, &error));
        if (!app) {
            standardError() << "krol sim: cannot draw charts: " << error << "\n";
            return ExitCode::Usage;
        }
    } else {
        app = std::make_unique<QApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("krol"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KROL_VERSION));

    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
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
