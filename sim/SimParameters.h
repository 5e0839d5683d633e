#pragma once

#include <cstdint>

// The numbers the virtual module answers to: parameters, banks, ports, interrupts, limits and
// time. docs/module-description.md defines the numbering and modules/virtual.json publishes it;
// tst_simdescription keeps these tables equal to the description.
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
constexpr int UserVariableCount = 16;   // global bank 2, also reached by CALCV.., DJNZ, SIV/GIV/AIV
constexpr int ScratchCount = 8;         // global bank 3
constexpr int CoordinateCount = 21;     // 0 to 20 per axis, each with an EEPROM copy
constexpr int CoordinateEepromMotor = 255;
constexpr int TimerCount = 3;

namespace AxisPar {
enum : int {
    TargetPosition = 0,
    ActualPosition = 1,
    ActualVelocity = 2,
    MaxVelocity = 3,
    TargetVelocity = 4,
    MaxAcceleration = 5,
    PositionReached = 6,
    ReferenceSwitch = 7,
    RightLimitSwitch = 8,
    LeftLimitSwitch = 9,
    RightLimitDisable = 10,
    LeftLimitDisable = 11,
    ReferenceSearchMode = 12,
    ReferenceSearchVelocity = 13,
    ReferenceSwitchPosition = 14,   // where the switches sit, in steps from the power-on place
    RightLimitPosition = 15,
    LeftLimitPosition = 16,
    UserData = 20,
};
}

// Reference search modes (axis parameter 12): which switch is the reference.
namespace RefMode {
enum : int { ReferenceSwitch = 0, LeftLimit = 1, RightLimit = 2 };
}

constexpr int GlobalBankCount = 4;
namespace GlobalBank {
enum : int { Module = 0, InterruptSetup = 1, UserVariables = 2, Scratch = 3 };
}
namespace GlobalPar {
enum : int {
    BaudRate = 65,          // bank 0
    SerialAddress = 66,
    AutoStart = 77,
    TickTimer = 81,
    TimerPeriod0 = 0,       // bank 1, in ms; 0 switches the timer off
    InputTrigger0 = 39,     // bank 1, 39 to 46: 0 off, 1 rising, 2 falling, 3 both edges
};
}

namespace IoBank {
enum : int { DigitalInputs = 0, AnalogInputs = 1, Outputs = 2 };
}
constexpr int IoBankCount = 3;
constexpr int DigitalInputCount = 8;
constexpr int AnalogInputCount = 4;
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
    Input0 = 39,            // + input
    Last = 46,
    Global = 255,
};
}

namespace WaitEvent {
enum : int { Ticks = 0, Pos = 1, RefSw = 2, LimSw = 3, Rfs = 4 };
}

enum Access : int { R = 1, W = 2, E = 4 };

struct TParameterSpec
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
constexpr int32_t MaxVelocityLimit = 1000000;

inline constexpr TParameterSpec AxisParameters[] = {
    {AxisPar::TargetPosition, "par::TargetPosition", I32Min, I32Max, R | W, 0},
    {AxisPar::ActualPosition, "par::ActualPosition", I32Min, I32Max, R | W, 0},
    {AxisPar::ActualVelocity, "par::ActualVelocity", -MaxVelocityLimit, MaxVelocityLimit, R, 0},
    {AxisPar::MaxVelocity, "par::MaxVelocity", 0, MaxVelocityLimit, R | W | E, 100000},
    {AxisPar::TargetVelocity, "par::TargetVelocity", -MaxVelocityLimit, MaxVelocityLimit, R | W, 0},
    {AxisPar::MaxAcceleration, "par::MaxAcceleration", 1, 10000000, R | W | E, 1000000},
    {AxisPar::PositionReached, "par::PositionReached", 0, 1, R, 1},
    {AxisPar::ReferenceSwitch, "par::ReferenceSwitch", 0, 1, R, 1},
    {AxisPar::RightLimitSwitch, "par::RightLimitSwitch", 0, 1, R, 0},
    {AxisPar::LeftLimitSwitch, "par::LeftLimitSwitch", 0, 1, R, 0},
    {AxisPar::RightLimitDisable, "par::RightLimitDisable", 0, 1, R | W | E, 0},
    {AxisPar::LeftLimitDisable, "par::LeftLimitDisable", 0, 1, R | W | E, 0},
    {AxisPar::ReferenceSearchMode, "par::ReferenceSearchMode", 0, 2, R | W | E, RefMode::ReferenceSwitch},
    {AxisPar::ReferenceSearchVelocity, "par::ReferenceSearchVelocity", 1, MaxVelocityLimit, R | W | E, 10000},
    {AxisPar::ReferenceSwitchPosition, "par::ReferenceSwitchPosition", I32Min, I32Max, R | W | E, 0},
    {AxisPar::RightLimitPosition, "par::RightLimitPosition", I32Min, I32Max, R | W | E, 10000000},
    {AxisPar::LeftLimitPosition, "par::LeftLimitPosition", I32Min, I32Max, R | W | E, -10000000},
    {AxisPar::UserData, "par::UserData", 0, U32Max, R | W | E, 0},
};

inline constexpr TParameterSpec ModuleParameters[] = {   // global bank 0
    {GlobalPar::BaudRate, "par::serial baud rate", 0, 7, R | W | E, 0},
    {GlobalPar::SerialAddress, "par::serial address", 1, 255, R | W | E, 1},
    {GlobalPar::AutoStart, "par::auto start mode", 0, 1, R | W | E, 0},
    {GlobalPar::TickTimer, "par::tick timer", 0, U32Max, R, 0},
};

inline constexpr TParameterSpec InterruptSetupParameters[] = {   // global bank 1
    {GlobalPar::TimerPeriod0 + 0, "par::timer0 period", 0, I32Max, R | W | E, 0},
    {GlobalPar::TimerPeriod0 + 1, "par::timer1 period", 0, I32Max, R | W | E, 0},
    {GlobalPar::TimerPeriod0 + 2, "par::timer2 period", 0, I32Max, R | W | E, 0},
    {GlobalPar::InputTrigger0 + 0, "par::input0 trigger", 0, 3, R | W | E, 0},
    {GlobalPar::InputTrigger0 + 1, "par::input1 trigger", 0, 3, R | W | E, 0},
    {GlobalPar::InputTrigger0 + 2, "par::input2 trigger", 0, 3, R | W | E, 0},
    {GlobalPar::InputTrigger0 + 3, "par::input3 trigger", 0, 3, R | W | E, 0},
    {GlobalPar::InputTrigger0 + 4, "par::input4 trigger", 0, 3, R | W | E, 0},
    {GlobalPar::InputTrigger0 + 5, "par::input5 trigger", 0, 3, R | W | E, 0},
    {GlobalPar::InputTrigger0 + 6, "par::input6 trigger", 0, 3, R | W | E, 0},
    {GlobalPar::InputTrigger0 + 7, "par::input7 trigger", 0, 3, R | W | E, 0},
};

// Bank 2 holds the user variables 0 to 15 (32 bit, rwe), bank 3 the scratch registers 0 to 7
// (32 bit, rw, lost at a power cycle).

template <int N>
constexpr const TParameterSpec* FindSpec(const TParameterSpec (&table)[N], int number)
{
    for (const TParameterSpec& p : table) {
        if (p.number == number)
            return &p;
    }
    return nullptr;
}

// True when the value fits the spec; a range above 2147483647 takes the value as unsigned.
constexpr bool InRange(const TParameterSpec& p, int32_t value)
{
    const int64_t v = p.max > I32Max ? int64_t(uint32_t(value)) : int64_t(value);
    return v >= p.min && v <= p.max;
}

} // namespace Sim
