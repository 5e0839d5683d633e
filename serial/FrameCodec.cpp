#include "FrameCodec.h"

#include "Command.h"

namespace FrameCodec {

namespace {

QByteArray frame(unsigned char b0, unsigned char b1, unsigned char b2, unsigned char b3, int value)
{
    const auto v = uint32_t(value);
    QByteArray f(FrameSize, '\0');
    f[0] = char(b0);
    f[1] = char(b1);
    f[2] = char(b2);
    f[3] = char(b3);
    f[4] = char(v >> 24);
    f[5] = char(v >> 16);
    f[6] = char(v >> 8);
    f[7] = char(v);
    f[8] = char(checksum(f.constData()));
    return f;
}

int valueOf(const char* f)
{
    const auto b = reinterpret_cast<const unsigned char*>(f);
    return int(uint32_t(b[4]) << 24 | uint32_t(b[5]) << 16 | uint32_t(b[6]) << 8 | uint32_t(b[7]));
}

} // namespace

unsigned char checksum(const char* bytes)
{
    unsigned sum = 0;
    for (int i = 0; i < FrameSize - 1; ++i)
        sum += static_cast<unsigned char>(bytes[i]);
    return static_cast<unsigned char>(sum);
}

bool checksumMatches(const char* f)
{
    return checksum(f) == static_cast<unsigned char>(f[FrameSize - 1]);
}

QByteArray encodeRequest(const Command& request)
{
    // The type travels as one byte: no module request has a wider one.
    return frame(request.address(), request.command(), static_cast<unsigned char>(request.type()),
                 request.motorBank(), request.value());
}

QByteArray encodeReply(unsigned char replyAddress, const Command& reply)
{
    return frame(replyAddress, reply.address(), reply.status(), reply.command(), reply.value());
}

Command decodeRequest(const char* f)
{
    const auto b = reinterpret_cast<const unsigned char*>(f);
    return Command(b[0], b[1], b[2], b[3], valueOf(f), false, 0);
}

Command decodeReply(const char* f)
{
    const auto b = reinterpret_cast<const unsigned char*>(f);
    Command reply;
    reply.setAddress(b[1]);
    reply.setStatus(b[2]);
    reply.setCommand(b[3]);
    reply.setValue(valueOf(f));
    reply.setValid(true);
    return reply;
}

} // namespace FrameCodec
