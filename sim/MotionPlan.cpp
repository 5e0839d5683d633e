#include "MotionPlan.h"

void MotionPlan::begin(int64_t ms, MicroSteps position, int64_t velocity)
{
    m_start = ms;
    m_position = position;
    m_velocity = velocity;
    m_count = 0;
}

MicroSteps MotionPlan::endPosition() const
{
    if (m_count == 0)
        return m_position;
    const TMotionPhase& p = m_phases[m_count - 1];
    return p.Length == TMotionPhase::Forever ? p.Position : p.positionAfter(p.Length);
}

int64_t MotionPlan::endVelocity() const
{
    if (m_count == 0)
        return m_velocity;
    const TMotionPhase& p = m_phases[m_count - 1];
    return p.Length == TMotionPhase::Forever ? p.First : p.velocityAfter(p.Length);
}

void MotionPlan::append(int64_t first, int64_t step, int64_t length)
{
    if (length <= 0 || m_count == Capacity)
        return;
    if (step != 0 && length != TMotionPhase::Forever) {
        // How many velocities keep the sign (or zero) of the first; the rest go into a phase of
        // their own.
        int64_t same = length;
        if (step > 0 && first <= 0)
            same = -first / step + 1;
        else if (step < 0 && first >= 0)
            same = first / -step + 1;
        if (same < length && first != 0) {
            append(first, step, same);
            append(first + same * step, step, length - same);
            return;
        }
    }
    TMotionPhase p;
    p.Start = endMs();
    p.Position = endPosition();
    p.First = first;
    p.Step = step;
    p.Length = length;
    m_phases[m_count++] = p;
}

void MotionPlan::rampAndHold(int64_t target, int64_t step)
{
    const int64_t from = endVelocity();
    if (step > 0 && from != target) {
        const int64_t distance = target > from ? target - from : from - target;
        const int64_t s = target > from ? step : -step;
        const int64_t full = distance / step;
        append(from + s, s, full);
        if (distance % step != 0)
            append(target, 0, 1);
    }
    append(target, 0, TMotionPhase::Forever);
}

int MotionPlan::phaseIndexAt(int64_t ms) const
{
    if (ms <= m_start)
        return -1;
    int i = 0;
    while (i + 1 < m_count && ms > m_phases[i].end())
        ++i;
    return i;
}

MicroSteps MotionPlan::positionAt(int64_t ms) const
{
    const int i = phaseIndexAt(ms);
    if (i < 0 || m_count == 0)
        return m_position;
    const TMotionPhase& p = m_phases[i];
    return p.positionAfter(ms - p.Start);
}

int64_t MotionPlan::velocityAt(int64_t ms) const
{
    const int i = phaseIndexAt(ms);
    if (i < 0 || m_count == 0)
        return m_velocity;
    const TMotionPhase& p = m_phases[i];
    return p.Length == TMotionPhase::Forever ? p.First : p.velocityAfter(ms - p.Start);
}
