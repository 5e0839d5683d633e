#pragma once

#include "Globals.h"

#include <cstdint>

// The numbers the virtual module answers to: parameters, banks, ports, interrupts, limits and
// time. docs/module-description.md lists the same numbering and modules/virtual.json publishes
// it; tst_simdescription keeps these tables equal to the description.
namespace Sim {

// Program memory and debugging.
constexpr int ProgramCapacity = ProgramMemoryWords;   // words, the end marker included
constexpr int MaxBreakpoints = 32;
constexpr int CallStackDepth = 16;

// Module time: every executed instruction takes 25 microseconds.
constexpr int MicrosPerInstruction = 25;
constexpr int InstructionsPerMs = 1000 / MicrosPerInstruction;
constexpr int TickMs = 10;              // the unit of WAIT values

constexpr int AxisCount = 3;
constexpr int UserVariableCount = 256;  // global bank 2, also reached by CALCV.., DJNZ, SIV/GIV/AIV
constexpr int CoordinateCount = 21;     // 0 to 20 per axis, each with an EEPROM copy
constexpr int CoordinateEepromMotor = 255;
constexpr int TimerCount = 3;

// Physical travel of a virtual axis, in steps from where it was at power-on: the reference
// switch is on at or left of 0, the limit switches at or beyond +-LimitTravel.
constexpr int LimitTravel = 10000000;

namespace AxisPar {
enum : int {
    TargetPosition = 0,
    ActualPosition = 1,
    TargetVelocity = 2,
    ActualVelocity = 3,
    MaxSpeed = 4,
    MaxAcceleration = 5,
    PositionReached = 8,
    ReferenceSwitch = 9,
    RightLimitSwitch = 10,
    LeftLimitSwitch = 11,
    RightLimitDisable = 12,
    LeftLimitDisable = 13,
    ReferenceSearchSpeed = 194,
    ReferenceSwitchSpeed = 195,
};
}

constexpr int GlobalBankCount = 4;
namespace GlobalBank {
enum : int { Module = 0, UserVariables = 2, Timers = 3 };
}
namespace GlobalPar {
enum : int {
    AutoStart = 77,     // bank 0
    TimerPeriod0 = 0,   // bank 3, 0 to 2, in ms; 0 switches the timer off
};
}

namespace IoBank {
enum : int { DigitalInputs = 0, AnalogInputs = 1, Outputs = 2 };
}
constexpr int IoBankCount = 3;
constexpr int DigitalInputCount = 8;
constexpr int AnalogInputCount = 8;
constexpr int OutputCount = 8;
constexpr int AnalogMax = 4095;
constexpr int PullUpPort = 0;           // SIO 0, 0: pull-up mask of the digital inputs
constexpr int PullUpMax = 255;

// Interrupt numbers. Position compare, stall and deviation have no source on a virtual module:
// EI/DI/VECT accept them, they never fire. 255 is the global switch of EI/DI.
namespace Irq {
enum : int {
    Timer0 = 0,
    PositionReached0 = 3,   // + axis
    StopLeft0 = 27,         // + 2 * axis
    StopRight0 = 28,        // + 2 * axis
    Input0 = 39,            // + input, on every edge
    Last = 46,
    Global = 255,
};
}

namespace WaitEvent {
enum : int { Ticks = 0, Pos = 1, RefSw = 2, LimSw = 3, Rfs = 4 };
}

enum Access : int { R = 1, W = 2, E = 4 };

struct TParameterInfo
{
    int number;
    const char* key;      // the description's key
    int64_t min;
    int64_t max;
    int access;
    int32_t defaultValue;
};

constexpr int64_t I32Min = -2147483648LL;
constexpr int64_t I32Max = 2147483647LL;
constexpr int64_t U32Max = 4294967295LL;
inline constexpr TParameterInfo AxisParameters[] = {
    {AxisPar::TargetPosition, "par::TargetPosition", I32Min, I32Max, R | W, 0},
    {AxisPar::ActualPosition, "par::ActualPosition", I32Min, I32Max, R | W, 0},
    {AxisPar::TargetVelocity, "par::TargetVelocity", I32Min, I32Max, R | W, 0},
    {AxisPar::ActualVelocity, "par::ActualVelocity", I32Min, I32Max, R, 0},
    {AxisPar::MaxSpeed, "par::MaxPositioningSpeed", 0, I32Max, R | W | E, 100000},
    {AxisPar::MaxAcceleration, "par::MaxAcceleration", 0, I32Max, R | W | E, 1000000},
    {AxisPar::PositionReached, "par::PositionReached", 0, 1, R, 1},
    {AxisPar::ReferenceSwitch, "par::ReferenceSwitch", 0, 1, R, 1},
    {AxisPar::RightLimitSwitch, "par::RightLimitSwitch", 0, 1, R, 0},
    {AxisPar::LeftLimitSwitch, "par::LeftLimitSwitch", 0, 1, R, 0},
    {AxisPar::RightLimitDisable, "par::RightLimitSwitchDisable", 0, 1, R | W | E, 0},
    {AxisPar::LeftLimitDisable, "par::LeftLimitSwitchDisable", 0, 1, R | W | E, 0},
    {AxisPar::ReferenceSearchSpeed, "par::ReferenceSearchSpeed", 0, I32Max, R | W | E, 10000},
    {AxisPar::ReferenceSwitchSpeed, "par::ReferenceSwitchSpeed", 0, I32Max, R | W | E, 1000},
};

inline constexpr TParameterInfo ModuleParameters[] = {   // global bank 0
    {GlobalPar::AutoStart, "par::auto start mode", 0, 1, R | W | E, 0},
};

inline constexpr TParameterInfo TimerParameters[] = {    // global bank 3
    {GlobalPar::TimerPeriod0 + 0, "par::Timer0Period", 0, I32Max, R | W | E, 0},
    {GlobalPar::TimerPeriod0 + 1, "par::Timer1Period", 0, I32Max, R | W | E, 0},
    {GlobalPar::TimerPeriod0 + 2, "par::Timer2Period", 0, I32Max, R | W | E, 0},
};

// Bank 2 holds the user variables 0 to 255 (32 bit, rwe); bank 1 has no parameters.

template <int N>
constexpr const TParameterInfo* FindInfo(const TParameterInfo (&table)[N], int number)
{
    for (const TParameterInfo& p : table) {
        if (p.number == number)
            return &p;
    }
    return nullptr;
}

// True when the value fits the info; a range above 2147483647 takes the value as unsigned.
constexpr bool InRange(const TParameterInfo& p, int32_t value)
{
    const int64_t v = p.max > I32Max ? int64_t(uint32_t(value)) : int64_t(value);
    return v >= p.min && v <= p.max;
}

} // namespace Sim
