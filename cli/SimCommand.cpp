#include "SimCommand.h"

#include "CommandParser.h"
#include "ModuleOption.h"
#include "SimProgram.h"
#include "SimReport.h"
#include "SimRun.h"
#include "SubCommand.h"
#include "TraceWriter.h"

#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace {

constexpr qint64 DefaultTimeMs = 60000;
constexpr qint64 DefaultMaxSteps = 100000000;
constexpr qint64 MaxTimeMs = 1000000000000;       // about 31 years of module time
constexpr qint64 MaxSteps = 1000000000000000000;

// A limit given on the command line: a whole number from 1 to max.
bool readLimit(const CommandParser& parser, const QCommandLineOption& option, qint64 fallback,
               qint64 max, const char* unit, qint64* value)
{
    *value = fallback;
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const QString text = parser.value(option);
    *value = text.toLongLong(&ok);
    if (ok && *value >= 1 && *value <= max)
        return true;
    report(QStringLiteral("invalid value '%1' for --%2: a whole number of %3 from 1 to %4 is needed\n"
                          "Run 'krol sim --help' for usage.")
               .arg(text, option.names().constFirst(), QLatin1String(unit))
               .arg(max));
    return false;
}

} // namespace

int runSim(const QStringList& arguments)
{
    CommandParser parser(QStringLiteral("sim"),
                         QStringLiteral("Runs a KROL program on a fresh virtual module in module "
                                        "time and prints the module's final state."));
    parser.addRequired(QStringLiteral("PROGRAM"),
                       QStringLiteral("A KROL source (.kro; - for standard input) or a binary "
                                      "program file (.bin)."));
    const QCommandLineOption module = ModuleOption::option();
    const QCommandLineOption include(QStringLiteral("I"),
                                     QStringLiteral("Look for include files in DIR first."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption time(QStringLiteral("time"),
                                  QStringLiteral("Stop after MS milliseconds of module time "
                                                 "(default 60000)."),
                                  QStringLiteral("MS"));
    const QCommandLineOption maxSteps(QStringLiteral("max-steps"),
                                      QStringLiteral("Stop after N executed instructions "
                                                     "(default 100000000)."),
                                      QStringLiteral("N"));
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Print a line for every executed instruction."));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Print the final state as one JSON object."));
    const QCommandLineOption stats(QStringLiteral("stats"),
                                   QStringLiteral("Print the number of instructions, module time, "
                                                  "wall time and speed."));
    parser.addOptions({module, include, time, maxSteps, trace, json, stats});

    int exitCode = ExitCode::Ok;
    if (!parser.parseArguments(arguments, &exitCode))
        return exitCode;
    qint64 timeLimit = 0;
    qint64 stepLimit = 0;
    if (!readLimit(parser, time, DefaultTimeMs, MaxTimeMs, "milliseconds", &timeLimit)
        || !readLimit(parser, maxSteps, DefaultMaxSteps, MaxSteps, "instructions", &stepLimit))
        return ExitCode::Usage;

    const QString input = parser.positionalArguments().at(0);
    const QString modulePath = parser.value(module);
    SimProgram program;
    exitCode = input.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive)
                   ? program.loadBinary(input, modulePath)
                   : program.loadSource(input, modulePath, parser.value(include));
    if (exitCode != ExitCode::Ok)
        return exitCode;

    SimRun run;
    QString error;
    if (!run.download(program.instructions(), &error)) {
        program.printError(-1, QStringLiteral("download failed: ") + error);
        return ExitCode::Failed;
    }
    std::unique_ptr<TraceWriter> tracer;
    if (parser.isSet(trace)) {
        standardOutput().flush();
        tracer = std::make_unique<TraceWriter>(program, stdout);
        run.module().setTraceHook([&tracer](const TTraceStep& step) { tracer->write(step); });
    }
    if (!run.run(timeLimit, quint64(stepLimit), &error)) {
        program.printError(-1, error);
        return ExitCode::Failed;
    }
    if (tracer && !tracer->flush())
        return report(QStringLiteral("cannot write to standard output: ") + tracer->errorString());

    const SimReport report(run, program, timeLimit, quint64(stepLimit));
    if (parser.isSet(json))
        standardOutput() << QString::fromUtf8(report.json(parser.isSet(stats)));
    else
        report.printText(standardOutput(), parser.isSet(stats));
    standardOutput().flush();
    if (standardOutput().status() != QTextStream::Ok)
        return ::report(QStringLiteral("cannot write to standard output: ")
                      + standardOutput().device()->errorString());
    const QString problem = report.problem();
    if (!problem.isEmpty())
        standardError() << problem << "\n";
    return report.exitCode();
}
