#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal whose device (path()) a serial-port client opens as it opens a real port,
// while this side reads and writes the other end. The line is raw (no echo, no line editing,
// every byte passed as it is), and the device stays usable while clients come and go.
class PseudoTerminal
{
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // False with *error when the system has no pseudo-terminal to give.
    bool open(QString* error);
    void close();
    bool isOpen() const { return m_master >= 0; }

    QString path() const { return m_path; }
    // The controlling side's descriptor, non-blocking; for poll().
    int fd() const { return m_master; }

    // Waits up to timeoutMs for bytes (a signal ends the wait early); true when some are there.
    bool waitForBytes(int timeoutMs) const;
    // Whatever has arrived, without waiting.
    QByteArray readAvailable();
    // Writes what the line takes now; returns false when bytes had to be dropped.
    bool write(const QByteArray& bytes);

private:
    int m_master = -1;
    int m_slave = -1;   // held open so that the line survives a client closing it
    QString m_path;
};
