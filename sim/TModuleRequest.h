#pragma once

#include <cstdint>

// One request to the virtual module, as the fields of a frame carry it.
struct TModuleRequest
{
    uint8_t Command = 0;
    uint16_t Type = 0;
    uint8_t MotorBank = 0;
    int32_t Value = 0;
    bool ChecksumValid = true;   // a link that carries a checksum reports a wrong one here
};
