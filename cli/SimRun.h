#pragma once

#include "TInstruction.h"
#include "VirtualConnection.h"

#include <QList>
#include <QString>

#include <cstdint>

// One `krol sim` run on a fresh virtual module: the program goes in through the module protocol
// as a real download sends it, starts with ApplRun, and runs in module time as fast as the
// machine allows until it ends or a limit is reached.
class SimRun
{
public:
    enum class Result { Ended, TimeLimit, StepLimit, Fault, Interrupted };

    SimRun();

    VirtualModule& module() { return m_connection.module(); }
    const VirtualModule& module() const { return m_connection.module(); }

    // True when the module stored the whole program; *error says why not.
    bool download(const QList<TInstruction>& program, QString* error);
    // Starts the program and runs it; false with *error when the module refused to start it.
    // A SIGINT or SIGTERM (StopSignals) ends the run where it is.
    bool run(int64_t timeLimitMs, uint64_t stepLimit, QString* error);

    Result result() const { return m_result; }
    // The signal that interrupted the run (Result::Interrupted).
    int signal() const { return m_signal; }
    uint64_t instructions() const { return m_instructions; }
    double wallSeconds() const { return m_wallSeconds; }
    double cpuSeconds() const { return m_cpuSeconds; }

private:
    VirtualConnection m_connection;
    Result m_result = Result::Ended;
    int m_signal = 0;
    uint64_t m_instructions = 0;
    double m_wallSeconds = 0;
    double m_cpuSeconds = 0;
};
