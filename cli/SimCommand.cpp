#include "SimCommand.h"

#include "CommandParser.h"
#include "ModuleOption.h"
#include "SimProgram.h"
#include "SimReport.h"
#include "MotionRecorder.h"
#include "PlotLibrary.h"
#include "SimRun.h"
#include "SourceAssembly.h"
#include "StopSignals.h"
#include "SubCommand.h"
#include "TraceWriter.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <functional>
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
    standardError() << "krol sim: invalid value '" << text << "' for --" << option.names().constFirst()
                    << ": a whole number of " << unit << " from 1 to " << max << " is needed\n"
                    << "Run 'krol sim --help' for usage.\n";
    standardError().flush();
    return false;
}

QCommandLineOption option(const char* name, const char* description, const char* valueName = nullptr)
{
    QCommandLineOption o(QString::fromLatin1(name), QString::fromLatin1(description));
    if (valueName)
        o.setValueName(QString::fromLatin1(valueName));
    return o;
}

// Writes a file whole or not at all.
bool writeFile(const QString& path, const std::function<bool(QIODevice*, QString*)>& write)
{
    QSaveFile file(path);
    QString error;
    if (file.open(QIODevice::WriteOnly) && write(&file, &error) && file.commit())
        return true;
    standardError() << "krol sim: cannot write '" << path << "': "
                    << (error.isEmpty() ? file.errorString() : error) << "\n";
    return false;
}

bool writeCsv(const MotionRecorder& motion, const QString& path)
{
    return writeFile(path, [&motion](QIODevice* device, QString*) {
        const QByteArray text = motion.csv();
        return device->write(text) == text.size();
    });
}

bool writePlot(const MotionRecorder& motion, const QString& path)
{
    TMotionTable table = motion.table();
    // The numbers travel with the picture, so a chart can be checked against a fresh run.
    table.Description = QString::fromLatin1(motion.csv());
    return writeFile(path, [&table](QIODevice* device, QString* error) {
        return PlotLibrary::writeSvg(table, device, error);
    });
}

} // namespace

int runSim(const QStringList& arguments)
{
    CommandParser parser(QStringLiteral("sim"),
                         QStringLiteral("Runs a KROL program on a fresh virtual module in module "
                                        "time and prints the module's final state."));
    parser.addRequired(QStringLiteral("PROGRAM"),
                       QStringLiteral("A KROL source (.kro) or a binary program file (.bin)."));
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
    parser.addOptions({module, include, time, maxSteps, trace, json, stats, noCheck, csv, plot});

    int exitCode = ExitCode::Ok;
    if (!parser.parseArguments(arguments, &exitCode))
        return exitCode;
    qint64 timeLimit = 0;
    qint64 stepLimit = 0;
    if (!readLimit(parser, time, DefaultTimeMs, MaxTimeMs, "milliseconds", &timeLimit)
        || !readLimit(parser, maxSteps, DefaultMaxSteps, MaxSteps, "instructions", &stepLimit))
        return ExitCode::Usage;

    for (const QCommandLineOption* output : {&csv, &plot}) {
        if (parser.isSet(*output) && !SourceAssembly::checkWritable(parser.value(*output)))
            return ExitCode::Usage;
    }

    const QString input = parser.positionalArguments().at(0);
    const QString modulePath = parser.value(module);
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
    if (tracer && !tracer->flush()) {
        standardError() << "krol sim: cannot write to standard output\n";
        return ExitCode::Usage;
    }

    const SimReport report(run, program, timeLimit, quint64(stepLimit));
    if (motion) {
        motion->finish(report.endMark());
        if ((parser.isSet(csv) && !writeCsv(*motion, parser.value(csv)))
            || (parser.isSet(plot) && !writePlot(*motion, parser.value(plot))))
            return ExitCode::Usage;
    }
    if (parser.isSet(json))
        standardOutput() << QString::fromUtf8(report.json(parser.isSet(stats)));
    else
        report.printText(standardOutput(), parser.isSet(stats));
    standardOutput().flush();
    if (standardOutput().status() != QTextStream::Ok) {
        standardError() << "krol sim: cannot write to standard output\n";
        return ExitCode::Usage;
    }
    const QString problem = report.problem();
    if (!problem.isEmpty())
        standardError() << problem << "\n";
    return report.exitCode();
}
