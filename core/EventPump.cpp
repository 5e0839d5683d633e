#include "EventPump.h"

#include <QCoreApplication>

EventPump::EventPump(int intervalMs) : IntervalNs(qint64(intervalMs) * 1000000) {}

bool EventPump::Due()
{
    if (!Clock.isValid())
        return true;
    // Reading the clock costs more than the rest of a short line; look only now and then.
    if (--Countdown > 0)
        return false;
    Countdown = LinesPerClockRead;
    return Clock.nsecsElapsed() >= IntervalNs;
}

void EventPump::Process()
{
    QCoreApplication::processEvents();
    Clock.start();
    Countdown = LinesPerClockRead;
}
