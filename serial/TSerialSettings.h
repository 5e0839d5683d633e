#pragma once

#include <QString>

// How a serial module is reached: the port, its speed, the address the module puts into byte 0
// of its replies (the host's address) and how long a reply may take.
struct TSerialSettings
{
    static constexpr int DefaultBaud = 115200;
    static constexpr unsigned char DefaultModuleAddress = 1;
    static constexpr unsigned char DefaultReplyAddress = 2;
    // A reply of 9 bytes takes under 10 ms even at 9600 baud; USB adapters add a few ms more.
    static constexpr int DefaultTimeoutMs = 250;

    QString Port;
    int Baud = DefaultBaud;
    unsigned char ReplyAddress = DefaultReplyAddress;
    int TimeoutMs = DefaultTimeoutMs;
};
