#include "SimCommand.h"

#include "CommandParser.h"
#include "ModuleOption.h"
#include "MotionRecorder.h"
#include "OutputCheck.h"
#include "OutputFile.h"
#include "PlotLibrary.h"
#include "SimProgram.h"
#include "SimPtyCommand.h"
#include "SimReport.h"
#include "SimRun.h"
#include "StopSignals.h"
#include "SubCommand.h"
#include "TraceWriter.h"

#include <QBuffer>
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

QCommandLineOption option(const char* name, const char* description, const char* valueName = nullptr)
{
    QCommandLineOption o(QString::fromLatin1(name), QString::fromLatin1(description));
    if (valueName)
        o.setValueName(QString::fromLatin1(valueName));
    return o;
}

// Writes an output whole or not at all.
bool writeOutput(const QString& path, const QByteArray& data)
{
    QString error;
    if (OutputFile(path).write(data, &error))
        return true;
    report(QStringLiteral("cannot write '%1': %2").arg(path, error));
    return false;
}

bool writePlot(const MotionRecorder& motion, const QString& path)
{
    TMotionTable table = motion.table();
    // The numbers travel with the picture, so a chart can be checked against a fresh run.
    table.Description = QString::fromLatin1(motion.csv());
    QBuffer svg;
    svg.open(QIODevice::WriteOnly);
    QString error;
    if (!PlotLibrary::writeSvg(table, &svg, &error)) {
        report(QStringLiteral("cannot draw '%1': %2").arg(path, error));
        return false;
    }
    return writeOutput(path, svg.data());
}

} // namespace

int runSim(const QStringList& arguments)
{
    if (arguments.contains(QLatin1String("--pty")))
        return runSimPty(arguments);
    CommandParser parser(QStringLiteral("sim"),
                         QStringLiteral("Runs a KROL program on a fresh virtual module in module "
                                        "time and prints the module's final state."));
    parser.addRequired(QStringLiteral("PROGRAM"),
                       QStringLiteral("A KROL source (.kro; - for standard input) or a binary "
                                      "program file (.bin)."));
    const QCommandLineOption module = ModuleOption::option();
    const QCommandLineOption include = option("I", "Look for include files in DIR first.", "DIR");
    const QCommandLineOption time =
        option("time", "Stop after MS milliseconds of module time (default 60000).", "MS");
    const QCommandLineOption maxSteps =
        option("max-steps", "Stop after N executed instructions (default 100000000).", "N");
    const QCommandLineOption trace = option("trace", "Print a line for every executed instruction.");
    const QCommandLineOption json = option("json", "Print the final state as one JSON object.");
    const QCommandLineOption stats =
        option("stats", "Print the number of instructions, module time, wall time and speed.");
    const QCommandLineOption noCheck =
        option("no-check", "Do not range-check a source against the module's description.");
    const QCommandLineOption csv = option("csv",
                                          "Write the axes' position and velocity over module time "
                                          "to FILE, a row wherever a motion changes.",
                                          "FILE");
    const QCommandLineOption plot = option("plot",
                                           "Draw the axes' position and velocity over module time "
                                           "into FILE.svg, one chart per axis.",
                                           "FILE.svg");
    const QCommandLineOption pty = option("pty",
                                          "Serve a virtual module on a pseudo-terminal instead of "
                                          "running a program ('krol sim --pty --help' for its options).");
    parser.addOptions({module, include, time, maxSteps, trace, json, stats, noCheck, csv, plot, pty});

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
    // Outputs are checked before the run, and written after it.
    OutputCheck outputs;
    outputs.addInput(input, QStringLiteral("program"));
    outputs.addInput(modulePath, QStringLiteral("module description"));
    if ((parser.isSet(csv) && !outputs.addOutput(parser.value(csv), QStringLiteral("CSV file")))
        || (parser.isSet(plot) && !outputs.addOutput(parser.value(plot), QStringLiteral("chart"))))
        return ExitCode::Usage;
    SimProgram program;
    exitCode = input.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive)
                   ? program.loadBinary(input, modulePath)
                   : program.loadSource(input, modulePath, parser.value(include),
                                        !parser.isSet(noCheck));
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
    std::unique_ptr<MotionRecorder> motion;
    if (parser.isSet(csv) || parser.isSet(plot))
        motion = std::make_unique<MotionRecorder>(run.module());
    const StopSignals stopSignals;
    if (!run.run(timeLimit, quint64(stepLimit), &error)) {
        program.printError(-1, error);
        return ExitCode::Failed;
    }
    if (tracer && !tracer->flush())
        return report(QStringLiteral("cannot write to standard output: ") + tracer->errorString());

    const SimReport report(run, program, timeLimit, quint64(stepLimit));
    if (motion) {
        motion->finish(report.endMark());
        standardOutput().flush();   // "-" goes to standard output before the final state
        if ((parser.isSet(csv) && !writeOutput(parser.value(csv), motion->csv()))
            || (parser.isSet(plot) && !writePlot(*motion, parser.value(plot))))
            return ExitCode::Usage;
    }
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
