#pragma once

#include <cstdint>

// Positions of a virtual axis in micro-steps (10^-6 step), wide enough for any run the clock
// allows; a 64-bit count would overflow after weeks of module time at full speed.
using MicroSteps = __int128;

// One piece of an axis's motion, in whole module milliseconds. In millisecond k of the phase
// (1 <= k <= Length) the axis moves with the velocity First + (k - 1) * Step, in milli-pps
// (10^-3 steps per second), which moves it by as many micro-steps in that millisecond. Velocities
// within a phase never change sign, so the position is monotonic in it; the position after k
// milliseconds has a closed form (positionAfter), exact in integers.
struct TMotionPhase
{
    static constexpr int64_t Forever = INT64_MAX;

    int64_t Start = 0;          // the millisecond before the phase's first one
    int64_t Length = Forever;   // milliseconds; Forever only with Step 0
    MicroSteps Position = 0;    // at Start
    int64_t First = 0;
    int64_t Step = 0;

    int64_t end() const { return Length == Forever ? Forever : Start + Length; }
    int64_t velocityAfter(int64_t k) const { return First + (k - 1) * Step; }
    MicroSteps positionAfter(int64_t k) const
    {
        return Position + MicroSteps(k) * First + MicroSteps(Step) * (MicroSteps(k) * (k - 1) / 2);
    }
    // The sign of every velocity in the phase (0: at rest throughout).
    int direction() const
    {
        const int64_t v = First != 0 ? First : Step;
        return v > 0 ? 1 : v < 0 ? -1 : 0;
    }
};
