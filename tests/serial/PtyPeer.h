#pragma once

#include "Command.h"
#include "FrameCodec.h"
#include "FrameReader.h"
#include "PseudoTerminal.h"

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <thread>

// A module on a pseudo-terminal that answers as a test tells it: well, late, garbled, short,
// with a wrong checksum or address, not at all, or by closing the line. It answers each request
// with the request's value plus one, from its own thread, so that the link under
// test can wait for it synchronously.
class PtyPeer
{
public:
    enum Mode { Good, Late, Garbled, Short, WrongChecksum, WrongAddress, Silent, Close };

    static constexpr unsigned char ModuleAddress = 1;
    static constexpr unsigned char ReplyAddress = 2;

    ~PtyPeer() { stop(); }

    bool start(QString* error)
    {
        if (!m_pty.open(error))
            return false;
        m_path = m_pty.path();
        m_thread = std::thread([this] { serve(); });
        return true;
    }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        m_pty.close();
    }

    QString path() const { return m_path; }
    void setMode(Mode mode) { m_mode = mode; }
    void setLateMs(int ms) { m_lateMs = ms; }
    int requests() const { return m_requests; }

private:
    void serve()
    {
        FrameReader reader(ModuleAddress);
        while (!m_stop) {
            if (!m_pty.waitForBytes(5))
                continue;
            reader.append(m_pty.readAvailable());
            QByteArray frame;
            while (reader.next(&frame) == FrameReader::Result::Frame) {
                ++m_requests;
                if (!answer(frame))
                    return;
            }
        }
    }

    bool answer(const QByteArray& frame)
    {
        const Command request = FrameCodec::decodeRequest(frame.constData());
        Command reply;
        reply.setAddress(request.address());
        reply.setCommand(request.command());
        // Instructions are taken as program words being stored, the rest as done.
        reply.setStatus(request.command() < 128 ? 101 : 100);
        reply.setValue(request.value() + 1);
        QByteArray out = FrameCodec::encodeReply(ReplyAddress, reply);
        switch (m_mode.load()) {
        case Good: break;
        case Late: std::this_thread::sleep_for(std::chrono::milliseconds(m_lateMs)); break;
        case Garbled: out = QByteArray::fromHex("ff13ff7f00ffa5ff3c"); break;
        case Short: out.truncate(5); break;
        case WrongChecksum: out[8] = char(out.at(8) ^ 0x40); break;
        case WrongAddress: out = FrameCodec::encodeReply(ReplyAddress + 1, reply); break;
        case Silent: return true;
        case Close: m_pty.close(); return false;
        }
        m_pty.write(out);
        return true;
    }

    PseudoTerminal m_pty;
    QString m_path;   // kept here: the peer's thread may close the line
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_mode{Good};
    std::atomic<int> m_lateMs{100};
    std::atomic<int> m_requests{0};
};
