#pragma once

#include <csignal>

// Catches SIGINT and SIGTERM while it lives, so a long `krol sim` run can stop where it is and
// still report. The handler only records the signal; the run loop asks caught() between slices.
class StopSignals
{
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal that arrived first, 0 for none.
    static int caught();
    // "SIGINT" or "SIGTERM".
    static const char* name(int signal);

private:
    struct sigaction m_oldInt;
    struct sigaction m_oldTerm;
};
