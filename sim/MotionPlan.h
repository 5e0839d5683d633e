#pragma once

#include "TMotionPhase.h"

#include <cstdint>

// The course of one axis from a millisecond on: the state there and the phases that follow,
// the last of them lasting for ever. States at later milliseconds are computed, never stepped,
// so any millisecond reads the same whether the clock got there in one jump or in many.
class MotionPlan
{
public:
    static constexpr int Capacity = 12;

    // A new course from ms, starting in the given state.
    void begin(int64_t ms, MicroSteps position, int64_t velocity);
    // Appends a phase that starts where the last one ends; nothing for length 0. Velocities that
    // change sign go into two phases, so each stays monotonic.
    void append(int64_t first, int64_t step, int64_t length);
    // Ramps from the last velocity to target by step per millisecond (the last step may be
    // smaller) and stays there for ever.
    void rampAndHold(int64_t target, int64_t step);
    // Stays at the last position for ever.
    void rest() { append(0, 0, TMotionPhase::Forever); }

    int64_t start() const { return m_start; }
    int64_t endMs() const { return m_count ? m_phases[m_count - 1].end() : m_start; }
    MicroSteps endPosition() const;
    int64_t endVelocity() const;

    // The state at ms (not before start()). phaseIndex() is the phase ms lies in, -1 at start().
    MicroSteps positionAt(int64_t ms) const;
    int64_t velocityAt(int64_t ms) const;
    int phaseIndexAt(int64_t ms) const;
    const TMotionPhase& phase(int i) const { return m_phases[i]; }
    int phaseCount() const { return m_count; }

private:
    int64_t m_start = 0;
    MicroSteps m_position = 0;
    int64_t m_velocity = 0;
    TMotionPhase m_phases[Capacity];
    int m_count = 0;
};
