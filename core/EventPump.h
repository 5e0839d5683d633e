#pragma once

#include <QElapsedTimer>

// Keeps a long job responsive without paying for an event-loop pass on every line: Due() is
// asked once per line and says yes on the first call and then whenever the interval has passed
// since the last pass, so the window repaints and clicks are seen within about one interval.
class EventPump
{
public:
    explicit EventPump(int intervalMs = 10);

    // True when the caller should update its display and call Process() now.
    bool Due();

    // Processes pending events and starts a new interval.
    void Process();

private:
    static constexpr int LinesPerClockRead = 32;

    QElapsedTimer Clock;
    qint64 IntervalNs;
    int Countdown = 0;
};
