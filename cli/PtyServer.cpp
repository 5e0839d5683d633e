#include "PtyServer.h"

#include "Command.h"
#include "FrameCodec.h"
#include "ModuleCommands.h"
#include "StopSignals.h"
#include "VirtualConnection.h"

#include <algorithm>
#include <cerrno>

#include <sys/prctl.h>
#include <time.h>

namespace {

// Long enough to cost nothing while idle, short enough to notice a signal at once and let the
// module's own program run on in the meantime.
constexpr int IdleWaitMs = 5;

int64_t nowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

void sleepUntil(int64_t ns)
{
    // Absolute deadlines, so that the small delays of each sleep do not add up over a transfer.
    const timespec t{time_t(ns / 1000000000), long(ns % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR && !StopSignals::caught()) {
    }
}

} // namespace

PtyServer::PtyServer(VirtualConnection* connection, unsigned char moduleAddress, unsigned char replyAddress,
                     int baud)
    : m_connection(connection), m_reader(moduleAddress), m_replyAddress(replyAddress),
      m_byteNs(baud > 0 ? 10000000000LL / baud : 0)
{
    // The clock follows the wall clock here, not the requests.
    m_connection->setQuantumMs(0);
}

void PtyServer::advanceClock()
{
    const int64_t due = (nowNs() - m_startNs) / 1000000;
    VirtualModule& module = m_connection->module();
    if (due > module.timeMs())
        module.advance(due - module.timeMs());
}

int PtyServer::serve()
{
    // Wake-ups as exact as the system gives them: a frame at 115200 baud lasts 0.8 ms, and the
    // default slack of 50 microseconds per sleep would add up over a transfer.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    m_startNs = nowNs() - m_connection->module().timeMs() * 1000000;
    while (!StopSignals::caught()) {
        m_pty.waitForBytes(IdleWaitMs);
        advanceClock();
        const QByteArray bytes = m_pty.readAvailable();
        if (!bytes.isEmpty())
            received(bytes);
    }
    return StopSignals::caught();
}

void PtyServer::received(const QByteArray& bytes)
{
    const int64_t arrived = nowNs();
    m_receiveFree = std::max(arrived, m_receiveFree) + m_byteNs * bytes.size();
    m_reader.append(bytes);
    QByteArray frame;
    for (;;) {
        switch (m_reader.next(&frame)) {
        case FrameReader::Result::NeedMore:
            return;
        case FrameReader::Result::WrongAddress:
            break;   // another module's request
        case FrameReader::Result::Frame:
            answer(frame, true);
            break;
        case FrameReader::Result::WrongChecksum:
            answer(frame, false);
            break;
        }
    }
}

void PtyServer::answer(const QByteArray& frame, bool checksumOk)
{
    advanceClock();
    Command request = FrameCodec::decodeRequest(frame.constData());
    Command reply;
    if (checksumOk) {
        m_connection->processRequest(&request, &reply);
    } else {
        reply.setAddress(request.address());
        reply.setCommand(request.command());
        reply.setStatus(ReplyStatus::WrongChecksum);
    }
    const QByteArray out = FrameCodec::encodeReply(m_replyAddress, reply);
    if (m_byteNs > 0) {
        // One sleep per frame: the reply starts once the request is in and the line back is
        // free, and leaves when its last byte would have crossed. The module answers from its
        // state when the request arrived, a fraction of a millisecond early.
        m_sendFree = std::max(m_receiveFree, m_sendFree) + m_byteNs * out.size();
        sleepUntil(m_sendFree);
    }
    m_pty.write(out);
}
