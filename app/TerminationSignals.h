#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal in the event loop, so that the application
// quits the way it does when its window is closed: every workbench is asked about unsaved
// text first. The handler only writes a byte into a pipe; the rest runs in the event loop.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    // One instance per process; a second one installs nothing.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signal);

private slots:
    void readPipe();

private:
    static void handler(int signal);

    QSocketNotifier* m_notifier = nullptr;
};
