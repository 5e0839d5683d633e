#include "StopSignals.h"

namespace {

volatile std::sig_atomic_t caughtSignal = 0;

extern "C" void recordSignal(int signal)
{
    if (caughtSignal == 0)
        caughtSignal = signal;
}

} // namespace

StopSignals::StopSignals()
{
    caughtSignal = 0;
    struct sigaction action = {};
    action.sa_handler = recordSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_oldInt);
    sigaction(SIGTERM, &action, &m_oldTerm);
}

StopSignals::~StopSignals()
{
    sigaction(SIGINT, &m_oldInt, nullptr);
    sigaction(SIGTERM, &m_oldTerm, nullptr);
}

int StopSignals::caught()
{
    return caughtSignal;
}

const char* StopSignals::name(int signal)
{
    return signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : "a signal";
}
