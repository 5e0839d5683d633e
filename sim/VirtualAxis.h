#pragma once

#include "SimParameters.h"

#include <cstdint>

// One motor of the virtual module: its parameters and a motion model stepped once per module
// millisecond. Positions are steps, velocities steps per second, accelerations steps per second².
// The physical position counts from where the axis was at power-on: the reference switch is on
// at or left of 0, the limit switches at or beyond +-Sim::LimitTravel.
class VirtualAxis
{
public:
    // What happened during a step, for the interrupts.
    enum Event : uint8_t { Reached = 1, LeftSwitchOn = 2, RightSwitchOn = 4 };

    VirtualAxis();

    // At rest at physical 0 with the counter 0; parameters take their stored values.
    void powerOn();

    int32_t parameter(int number) const;
    // For the writable parameters; the caller has checked number, access and range.
    void setParameter(int number, int32_t value);
    void store(int number);
    void restore(int number);

    void rotate(int32_t velocity);
    void softStop();
    void hardStop();
    void moveTo(int64_t target);
    int32_t targetPosition() const { return value(Sim::AxisPar::TargetPosition); }
    int32_t actualPosition() const;
    bool inPositionMode() const { return m_mode == Mode::Position; }

    void startReferenceSearch();
    void stopReferenceSearch();
    bool referenceSearchActive() const { return m_mode == Mode::SearchOut || m_mode == Mode::SearchBack; }

    bool moving() const { return m_mode != Mode::Idle || m_velocity != 0.0; }
    bool positionReached() const;
    bool referenceSwitch() const { return m_phys <= 0.0; }
    bool rightLimitSwitch() const { return m_phys >= Sim::LimitTravel; }
    bool leftLimitSwitch() const { return m_phys <= -Sim::LimitTravel; }

    void stepMs();
    // The events since the last call.
    uint8_t takeEvents();

private:
    enum class Mode { Idle, Velocity, Position, SearchOut, SearchBack };
    static constexpr int ParameterCount = int(sizeof(Sim::AxisParameters) / sizeof(Sim::TParameterInfo));

    static int indexOf(int number);
    int32_t value(int number) const { return m_value[indexOf(number)]; }
    void setValue(int number, int32_t v) { m_value[indexOf(number)] = v; }
    void stepVelocity(double wanted, bool ramp);
    void stepPosition();
    void stepSearch();
    void checkLimits();

    int32_t m_value[ParameterCount];
    int32_t m_stored[ParameterCount];
    Mode m_mode = Mode::Idle;
    double m_phys = 0.0;         // physical position, steps
    double m_velocity = 0.0;     // steps per second
    int64_t m_offset = 0;        // physical position minus the counter
    uint8_t m_events = 0;
};
