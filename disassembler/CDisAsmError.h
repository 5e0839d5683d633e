#pragma once

#include <QString>

// Thrown by the disassembler's stages; DoDisAsm is the only place that catches it.
class CDisAsmError
{
public:
    CDisAsmError() = default;
    CDisAsmError(int address, const QString& message) : Address(address), Message(message) {}

    int Address = 0;   // index of the instruction being disassembled
    QString Message;
};
