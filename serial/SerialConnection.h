#pragma once

#include "FrameReader.h"
#include "KROLConnectionInterface.h"
#include "TSerialSettings.h"

#include <QElapsedTimer>
#include <QSerialPort>

// A module on a serial port. Requests are synchronous: each goes out as a frame and waits up to
// the time-out for the reply frame. A reply that is late, short, garbled, from another address
// or with a wrong checksum leaves the reply record invalid and lastError() says which; bytes
// still arriving from it are dropped before the next request, which starts afresh. A port that
// goes away is closed and opened again at the next request, so a module that is plugged in again
// answers again.
class SerialConnection : public KROLConnectionInterface
{
    Q_OBJECT

public:
    explicit SerialConnection(const TSerialSettings& settings, QObject* parent = nullptr);
    ~SerialConnection() override;

    const TSerialSettings& settings() const { return m_settings; }
    void setTimeoutMs(int ms) { m_settings.TimeoutMs = ms < 1 ? 1 : ms; }
    // For a window that asks the module many times a second: after a request that got no
    // answer, requests within this time fail at once with the same reason instead of each
    // waiting out the time-out. 0 (the default) tries every request.
    void setQuietMs(int ms) { m_quietMs = ms < 0 ? 0 : ms; }

    // Opens the port; false with *error (naming the port and the fix) when it cannot.
    bool open(QString* error = nullptr);
    void close();
    bool isOpen() const { return m_port.isOpen(); }

    // Why the last reply was not valid; empty after an answered request.
    QString lastError() const { return m_lastError; }
    // Whether the last request was answered.
    bool answering() const { return m_answering; }
    int openMode() const { return m_openMode; }

    void openInterface(int mode) override;
    void processRequest(Command* request, Command* reply) override;

signals:
    // The module stopped answering (false) or answers again (true).
    void answeringChanged(bool answering);

private:
    FrameReader::Result awaitReply(QByteArray* frame);
    bool portFailed() const;
    void fail(const QString& message);

    TSerialSettings m_settings;
    QSerialPort m_port;
    FrameReader m_reader;
    QString m_lastError;
    bool m_answering = false;
    int m_openMode = Normal;
    int m_quietMs = 0;
    QElapsedTimer m_sinceFailure;
};
