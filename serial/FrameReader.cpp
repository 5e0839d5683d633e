#include "FrameReader.h"

#include "FrameCodec.h"

void FrameReader::append(const QByteArray& bytes)
{
    // Consumed bytes are dropped only once they are the larger part, so each byte is moved a
    // bounded number of times.
    if (m_start > 0 && m_start >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
    m_buffer.append(bytes);
}

FrameReader::Result FrameReader::next(QByteArray* frame)
{
    using FrameCodec::FrameSize;
    while (m_buffer.size() - m_start >= FrameSize) {
        const char* at = m_buffer.constData() + m_start;
        const bool sums = FrameCodec::checksumMatches(at);
        const bool ours = static_cast<unsigned char>(at[0]) == m_address;
        if (!sums && !ours) {
            ++m_start;
            ++m_skipped;
            continue;
        }
        if (frame)
            *frame = QByteArray(at, FrameSize);
        m_start += FrameSize;
        return !sums ? Result::WrongChecksum : ours ? Result::Frame : Result::WrongAddress;
    }
    return Result::NeedMore;
}

void FrameReader::clear()
{
    m_buffer.clear();
    m_start = 0;
    m_skipped = 0;
}
