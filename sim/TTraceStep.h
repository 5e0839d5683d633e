#pragma once

#include <cstdint>

// One executed instruction, as a trace reports it: where it was, the word, and the registers
// after it.
struct TTraceStep
{
    int64_t TimeMs = 0;
    int Address = 0;
    uint8_t Opcode = 0;
    uint8_t Type = 0;
    uint8_t Motor = 0;
    int32_t Value = 0;
    int32_t A = 0;
    int32_t X = 0;
};
