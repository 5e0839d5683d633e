#pragma once

#include "SimParameters.h"
#include "TMotionPhase.h"

#include <cstdint>
#include <vector>

// Finds a running program repeating itself: the same state, relative to the time and to the
// axes' positions, at the same place in the program and the same point of a millisecond, seen at
// two anchors (the ends of WAITs). Then whole periods can pass at once. An axis that ends a
// period where it began repeats exactly; one that drifts from period to period must not change a
// switch in any of them, and must never have been asked where it is (nor moved to a position,
// nor searched), since the answer would differ from period to period.
class PeriodSkipper
{
public:
    struct TAnchor
    {
        std::vector<int64_t> State;
        uint64_t Hash = 0;           // of State, filled by commit()
        int64_t Slot = 0;
        uint64_t Executed = 0;
        MicroSteps Position[Sim::AxisCount] = {};
        // Since the anchor before: the extremes of each axis and whether it was asked where it is.
        MicroSteps Low[Sim::AxisCount] = {}, High[Sim::AxisCount] = {};
        bool Absolute[Sim::AxisCount] = {};
        // Where each axis may go without changing a switch.
        MicroSteps RegionLow[Sim::AxisCount] = {}, RegionHigh[Sim::AxisCount] = {};
    };
    struct TSkip
    {
        int64_t Periods = 0;
        int64_t Slots = 0;           // per period
        uint64_t Instructions = 0;   // per period
        MicroSteps Drift[Sim::AxisCount] = {};
    };

    // The anchor to fill next (its storage is reused).
    TAnchor& next() { return m_ring[m_head]; }
    // Records the anchor filled through next(). Returns the whole periods that may pass at once,
    // leaving at least one to run within the slots and instructions left; none when the state
    // has not been seen before.
    TSkip commit(int64_t slotsLeft, uint64_t instructionsLeft);
    void clear() { m_count = 0; }

private:
    static constexpr int Capacity = 64;
    int64_t periods(const TAnchor& then, const TAnchor& now, int first, TSkip& skip) const;

    TAnchor m_ring[Capacity];
    int m_head = 0;
    int m_count = 0;
};
