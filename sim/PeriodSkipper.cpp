#include "PeriodSkipper.h"

#include <algorithm>

PeriodSkipper::TSkip PeriodSkipper::commit(int64_t slotsLeft, uint64_t instructionsLeft)
{
    TSkip skip;
    const int now = m_head;
    TAnchor& a = m_ring[now];
    uint64_t hash = 1469598103934665603ull;
    for (int64_t v : a.State)
        hash = (hash ^ uint64_t(v)) * 1099511628211ull;
    a.Hash = hash;
    for (int back = 1; back <= m_count; ++back) {
        const int i = (now - back + Capacity) % Capacity;
        if (m_ring[i].Hash != hash || m_ring[i].State != a.State)
            continue;
        skip.Slots = a.Slot - m_ring[i].Slot;
        skip.Instructions = a.Executed - m_ring[i].Executed;
        if (skip.Slots > 0 && skip.Instructions > 0) {
            skip.Periods = std::min<int64_t>(slotsLeft / skip.Slots,
                                             int64_t(std::min<uint64_t>(instructionsLeft / skip.Instructions, INT64_MAX)))
                - 1;
            skip.Periods = periods(m_ring[i], a, (i + 1) % Capacity, skip);
        }
        break;
    }
    if (skip.Periods <= 0) {
        skip.Periods = 0;
        m_head = (m_head + 1) % Capacity;
        m_count = std::min(m_count + 1, Capacity - 1);
    }
    return skip;
}

// Limits skip.Periods so that every axis stays within its switch region; the anchors from
// `first` up to `now` cover the period.
int64_t PeriodSkipper::periods(const TAnchor& then, const TAnchor& now, int first, TSkip& skip) const
{
    int64_t n = skip.Periods;
    for (int axis = 0; axis < Sim::AxisCount && n > 0; ++axis) {
        MicroSteps low = now.Low[axis], high = now.High[axis];
        bool absolute = false;
        for (int i = first;; i = (i + 1) % Capacity) {
            low = std::min(low, m_ring[i].Low[axis]);
            high = std::max(high, m_ring[i].High[axis]);
            absolute = absolute || m_ring[i].Absolute[axis];
            if (i == m_head)
                break;
        }
        const MicroSteps d = now.Position[axis] - then.Position[axis];
        skip.Drift[axis] = d;
        // An axis back where it was repeats exactly, switches and all.
        if (d == 0)
            continue;
        const MicroSteps regionLow = now.RegionLow[axis], regionHigh = now.RegionHigh[axis];
        if (low < regionLow || high > regionHigh || absolute)
            return 0;
        // The periods to come span [low, high] moved on by d each.
        if (d > 0)
            n = int64_t(std::min<MicroSteps>(n, (regionHigh - high) / d));
        else if (d < 0)
            n = int64_t(std::min<MicroSteps>(n, (low - regionLow) / -d));
    }
    return n;
}
