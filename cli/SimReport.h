#pragma once

#include <QByteArray>
#include <QString>
#include <QTextStream>

#include <cstdint>

class SimProgram;
class SimRun;

// What `krol sim` says at the end of a run: how the run ended and the module's state, as text
// or as one JSON object (its keys are listed in docs/krol-sim.md), optionally with the speed.
class SimReport
{
public:
    SimReport(const SimRun& run, const SimProgram& program, int64_t timeLimitMs,
              uint64_t stepLimit);

    void printText(QTextStream& out, bool stats) const;
    QByteArray json(bool stats) const;

    // The message for standard error when the run did not reach the program's end; empty
    // otherwise.
    QString problem() const;
    int exitCode() const;
    // What ended the run in a word or two, for the mark on a chart: "end", "time limit", ...
    QString endMark() const;

private:
    QString resultText() const;
    QString faultText() const;

    const SimRun& m_run;
    const SimProgram& m_program;
    int64_t m_timeLimitMs;
    uint64_t m_stepLimit;
};
