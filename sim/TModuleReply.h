#pragma once

#include <cstdint>

// The virtual module's answer. A ReadMem reply carries the stored word: Opcode, Type and Motor
// besides Value, which a link puts into the address, status and command fields.
struct TModuleReply
{
    uint8_t Status = 0;
    int32_t Value = 0;
    uint8_t Opcode = 0;
    uint8_t Type = 0;
    uint8_t Motor = 0;
    bool IsWord = false;         // true for a ReadMem reply
};
