#pragma once

#include "SimParameters.h"

#include <cstdint>

// Error flags as JC/CALL test them and CLE clears them (CLE type t clears bit t-1).
namespace ErrorFlag {
enum : uint8_t { ETO = 1, EAL = 2, EDV = 4, EPO = 8, ESD = 16, All = 31 };
}

// What a program computes with: accumulator, X, the comparison operands of the last CALC or
// COMP (compared when a condition is tested), the error flags and the user variables.
struct TRegisters
{
    int32_t A = 0;
    int32_t X = 0;
    int32_t FlagLeft = 0;
    int32_t FlagRight = 0;
    uint8_t Errors = 0;
    int32_t Vars[Sim::UserVariableCount] = {};
};
