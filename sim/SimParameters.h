#pragma once

#include <cstdint>

// The numbers the virtual module answers to: parameters, banks, ports, interrupts, limits and
// time. modules/virtual.json publishes the same numbers to the host; a test keeps them equal.
namespace Sim {

// Program memory and debugging.
constexpr int ProgramCapacity = 2048;   // words, the end marker included
constexpr int MaxBreakpoints = 32;
constexpr int CallStackDepth = 16;

// Module time: every executed instruction takes 25 microseconds.
constexpr int MicrosPerInstruction = 25;
constexpr int InstructionsPerMs = 1000 / MicrosPerInstruction;
constexpr int TickMs = 10;              // the unit of WAIT values

constexpr int AxisCount = 3;
constexpr int UserVariableCount = 256;  // global bank 2, also reached by CALCV.. and SIV/GIV/AIV
constexpr int CoordinateCount = 21;     // 0 to 20 per axis
constexpr int TimerCount = 3;

// Physical travel of a virtual axis, in steps from where it was at power-on: the reference
// switch is active at or left of 0, the limit switches at or beyond +-LimitTravel.
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
    TimerPeriod0 = 0,   // bank 3, in ms; 0 switches the timer off
    TimerPeriod1 = 1,
    TimerPeriod2 = 2,
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

// Interrupt numbers: the timers fire; the others up to 46 are accepted by EI/DI/VECT but have no
// source on a virtual module. 255 is the global switch of EI/DI.
namespace Irq {
enum : int { Timer0 = 0, Timer1 = 1, Timer2 = 2, Last = 46, Global = 255 };
}

namespace WaitEvent {
enum : int { Ticks = 0, Pos = 1, RefSw = 2, LimSw = 3, Rfs = 4 };
}

enum Access : int { R = 1, W = 2, E = 4 };

struct TParameterSpec
{
    int number;
    const char* key;      // the description's key without "par::"
    const char* name;
    const char* unit;
    int64_t min;
    int64_t max;
    int access;
    int32_t defaultValue;
};

constexpr int64_t I32Min = -2147483648LL;
constexpr int64_t I32Max = 2147483647LL;

inline constexpr TParameterSpec AxisParameters[] = {
    {AxisPar::TargetPosition, "TargetPosition", "Target position", "steps", I32Min, I32Max, R | W, 0},
    {AxisPar::ActualPosition, "ActualPosition", "Actual position", "steps", I32Min, I32Max, R | W, 0},
    {AxisPar::TargetVelocity, "TargetVelocity", "Target velocity", "pps", I32Min, I32Max, R | W, 0},
    {AxisPar::ActualVelocity, "ActualVelocity", "Actual velocity", "pps", I32Min, I32Max, R, 0},
    {AxisPar::MaxSpeed, "MaxPositioningSpeed", "Maximum positioning speed", "pps", 0, I32Max, R | W | E, 100000},
    {AxisPar::MaxAcceleration, "MaxAcceleration", "Maximum acceleration", "pps/s", 0, I32Max, R | W | E, 1000000},
    {AxisPar::PositionReached, "PositionReached", "Position reached", "", 0, 1, R, 1},
    {AxisPar::ReferenceSwitch, "ReferenceSwitch", "Reference switch", "", 0, 1, R, 0},
    {AxisPar::RightLimitSwitch, "RightLimitSwitch", "Right limit switch", "", 0, 1, R, 0},
    {AxisPar::LeftLimitSwitch, "LeftLimitSwitch", "Left limit switch", "", 0, 1, R, 0},
    {AxisPar::RightLimitDisable, "RightLimitSwitchDisable", "Right limit switch disable", "", 0, 1, R | W | E, 0},
    {AxisPar::LeftLimitDisable, "LeftLimitSwitchDisable", "Left limit switch disable", "", 0, 1, R | W | E, 0},
    {AxisPar::ReferenceSearchSpeed, "ReferenceSearchSpeed", "Reference search speed", "pps", 0, I32Max, R | W | E, 10000},
    {AxisPar::ReferenceSwitchSpeed, "ReferenceSwitchSpeed", "Reference switch speed", "pps", 0, I32Max, R | W | E, 1000},
};

inline constexpr TParameterSpec ModuleParameters[] = {   // global bank 0
    {GlobalPar::AutoStart, "auto start mode", "Auto start", "", 0, 1, R | W | E, 0},
};

inline constexpr TParameterSpec TimerParameters[] = {    // global bank 3
    {GlobalPar::TimerPeriod0, "Timer0Period", "Timer 0 period", "ms", 0, I32Max, R | W | E, 0},
    {GlobalPar::TimerPeriod1, "Timer1Period", "Timer 1 period", "ms", 0, I32Max, R | W | E, 0},
    {GlobalPar::TimerPeriod2, "Timer2Period", "Timer 2 period", "ms", 0, I32Max, R | W | E, 0},
};

// Spec of an axis parameter, or nullptr when the module has none with that number.
inline const TParameterSpec* FindAxisParameter(int number)
{
    for (const TParameterSpec& p : AxisParameters) {
        if (p.number == number)
            return &p;
    }
    return nullptr;
}

} // namespace Sim
