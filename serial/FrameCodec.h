#pragma once

#include <QByteArray>

class Command;

// The 9-byte frames of the serial link. A request is: module address, command, type (low 8
// bits), motor/bank, value (4 bytes, most significant first), checksum. A reply is: reply
// address (the host's), module address, status, command, value, checksum. The checksum is the
// sum of the 8 bytes before it, modulo 256.
namespace FrameCodec {

constexpr int FrameSize = 9;

unsigned char checksum(const char* bytes);
bool checksumMatches(const char* frame);

QByteArray encodeRequest(const Command& request);
QByteArray encodeReply(unsigned char replyAddress, const Command& reply);

// The request in a frame (valid; its checksum is not looked at).
Command decodeRequest(const char* frame);
// The reply in a frame: address() is the module-address byte, status() and command() the next
// two, valid (its checksum and reply address are not looked at).
Command decodeReply(const char* frame);

} // namespace FrameCodec
