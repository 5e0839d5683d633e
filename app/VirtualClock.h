#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class VirtualModule;

// Lets a virtual module's time follow the real clock while the application runs: a timer
// advances the module by the milliseconds that passed since its last tick.
class VirtualClock : public QObject
{
    Q_OBJECT

public:
    static constexpr int TickMs = 10;
    // A longer gap (the machine slept, a debugger held the process) passes as this much, so
    // the module does not race through minutes of program at once.
    static constexpr qint64 MaxStepMs = 1000;

    explicit VirtualClock(VirtualModule* module, QObject* parent = nullptr);

    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }

private slots:
    void tick();

private:
    VirtualModule* m_module;
    QTimer m_timer;
    QElapsedTimer m_elapsed;
    qint64 m_passed = 0;   // real milliseconds already given to the module
};
