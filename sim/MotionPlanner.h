#pragma once

#include "MotionPlan.h"

#include <cstdint>

// Plans the course of an axis from the state where its plan begins, in whole milliseconds:
// from one millisecond to the next the velocity changes by at most the acceleration (so a move
// never asks more of a motor than the maximum acceleration), and a move comes to rest exactly
// on its target. Units as in TMotionPhase; the acceleration in milli-pps per millisecond
// (which is pps/s), 0 for no ramp.
class MotionPlanner
{
public:
    MotionPlanner(int64_t maxSpeed, int64_t acceleration);

    // Ramps to the velocity (limited to the maximum speed) and holds it. Returns the first
    // millisecond at rest when the velocity is 0, else -1.
    int64_t velocity(MotionPlan& plan, int64_t target) const;
    // Moves to the position: accelerates, cruises at most at the maximum speed and decelerates
    // onto the target. Returns the millisecond from which the axis is at rest on the target, -1
    // when it never gets there (a maximum speed of 0).
    int64_t position(MotionPlan& plan, MicroSteps target) const;

private:
    MicroSteps stoppingDistance(int64_t v) const;
    MicroSteps accelerateAndStop(int64_t v, int64_t steps) const;
    int64_t brake(MotionPlan& plan, int direction, int64_t v) const;
    void profile(MotionPlan& plan, int direction, int64_t v, MicroSteps distance) const;

    int64_t m_maxSpeed;
    int64_t m_accel;
};
