#pragma once

#include <QByteArray>

// Finds frames in a stream of bytes that arrive in pieces of any size. The first byte of a
// frame is the address its receiver expects (the module address for requests, the reply address
// for replies). Bytes that can start no frame are dropped one at a time, so the reader falls
// back into step after noise; nine bytes that start with the address but do not add up, or add
// up but start with another address, are one frame that is reported as such.
class FrameReader
{
public:
    enum class Result { NeedMore, Frame, WrongChecksum, WrongAddress };

    explicit FrameReader(unsigned char address = 0) : m_address(address) {}

    void setAddress(unsigned char address) { m_address = address; }
    unsigned char address() const { return m_address; }

    void append(const QByteArray& bytes);
    // The next frame, if the bytes held make one; *frame receives its nine bytes (also for a
    // frame with the wrong checksum or address).
    Result next(QByteArray* frame);

    // Bytes held that are not yet part of a frame.
    int pending() const { return m_buffer.size() - m_start; }
    // Bytes dropped as noise since the last clear().
    qint64 skipped() const { return m_skipped; }
    void clear();

private:
    QByteArray m_buffer;
    int m_start = 0;   // bytes before it are consumed
    qint64 m_skipped = 0;
    unsigned char m_address;
};
