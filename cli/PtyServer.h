#pragma once

#include "FrameReader.h"
#include "PseudoTerminal.h"

#include <QString>

#include <cstdint>

class VirtualConnection;

// Serves a virtual module on a pseudo-terminal with the serial link's frames, in real time:
// the module's clock follows the wall clock, and with a baud rate each frame takes the time its
// ten bits per byte take on a line (a request is answered once it would have arrived whole, a
// reply is written when its last byte would have crossed). Frames for other addresses are left
// to the modules they are for; one with the module's address and a wrong checksum gets status 1.
class PtyServer
{
public:
    PtyServer(VirtualConnection* connection, unsigned char moduleAddress, unsigned char replyAddress,
              int baud);

    bool open(QString* error) { return m_pty.open(error); }
    QString path() const { return m_pty.path(); }

    // Answers requests until SIGINT or SIGTERM (StopSignals) arrives; returns that signal.
    int serve();

private:
    void advanceClock();
    void received(const QByteArray& bytes);
    void answer(const QByteArray& frame, bool checksumOk);

    VirtualConnection* m_connection;
    PseudoTerminal m_pty;
    FrameReader m_reader;
    unsigned char m_replyAddress;
    int64_t m_byteNs;           // one byte on the line; 0 unpaced
    int64_t m_startNs = 0;      // wall clock of module time 0
    int64_t m_receiveFree = 0;  // when the line from the host is free again
    int64_t m_sendFree = 0;     // when the line to the host is free again
};
