#pragma once

#include "MotionPlan.h"
#include "SimParameters.h"

#include <cstdint>

// One motor of the virtual module: its parameters and its motion. The motion is a MotionPlan
// in closed form, so the state at any module millisecond is computed, not stepped; the axis
// only has work to do at its events (a phase ends, a switch changes, a move arrives), which
// nextEventMs() announces. Positions are steps, velocities steps per second, accelerations steps
// per second². The physical position counts from where the axis was at power-on: the reference
// switch is on at or left of 0, the limit switches at or beyond +-Sim::LimitTravel.
class VirtualAxis
{
public:
    // What happened at an event, for the interrupts.
    enum Event : uint8_t { Reached = 1, LeftSwitchOn = 2, RightSwitchOn = 4 };

    VirtualAxis();

    // At rest at physical 0 with the counter 0 at module millisecond ms; parameters take their
    // stored values.
    void powerOn(int64_t ms);

    // Lets module time run to ms, handling every event up to it. Reads and commands act at the
    // last millisecond the axis was advanced to.
    void advanceTo(int64_t ms);
    // The next millisecond with an event, -1 when none will come.
    int64_t nextEventMs() const { return m_next; }
    // Counts every change of course (a command, an event), for observers of the motion.
    uint64_t changes() const { return m_changes; }

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

    bool moving() const { return m_mode != Mode::Idle; }
    bool positionReached() const;
    bool referenceSwitch() const { return m_reference; }
    bool rightLimitSwitch() const { return m_right; }
    bool leftLimitSwitch() const { return m_left; }

    // The events since the last call.
    uint8_t takeEvents();

private:
    enum class Mode { Idle, Velocity, Position, SearchOut, SearchBack };
    static constexpr int ParameterCount = int(sizeof(Sim::AxisParameters) / sizeof(Sim::TParameterInfo));

    static int indexOf(int number);
    int32_t value(int number) const { return m_value[indexOf(number)]; }
    void setValue(int number, int32_t v) { m_value[indexOf(number)] = v; }
    MicroSteps position() const { return m_plan.positionAt(m_now); }
    void replan();
    void stopAt(MicroSteps position);
    void handleEvent(int64_t ms);
    void findNextEvent();
    int64_t firstSwitchChange(const TMotionPhase& p, int64_t from) const;

    int32_t m_value[ParameterCount];
    int32_t m_stored[ParameterCount];
    Mode m_mode = Mode::Idle;
    MotionPlan m_plan;
    int64_t m_now = 0;
    int64_t m_settle = -1;       // the millisecond the plan comes to rest, -1 never
    int64_t m_next = -1;
    int64_t m_offset = 0;        // physical position minus the counter, steps
    bool m_reference = true;
    bool m_left = false;
    bool m_right = false;
    uint8_t m_events = 0;
    uint64_t m_changes = 0;
};
