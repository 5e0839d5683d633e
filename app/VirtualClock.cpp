#include "VirtualClock.h"

#include "VirtualModule.h"

#include <algorithm>

VirtualClock::VirtualClock(VirtualModule* module, QObject* parent)
    : QObject(parent)
    , m_module(module)
{
    m_timer.setInterval(TickMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &VirtualClock::tick);
}

void VirtualClock::start()
{
    m_elapsed.start();
    m_passed = 0;
    m_timer.start();
}

void VirtualClock::stop()
{
    m_timer.stop();
}

void VirtualClock::tick()
{
    const qint64 now = m_elapsed.elapsed();
    const qint64 step = now - m_passed;
    if (step <= 0)
        return;
    m_passed = now;
    m_module->advance(std::min(step, MaxStepMs));
}
