#include "VirtualAxis.h"

#include "MotionPlanner.h"

#include <algorithm>

using namespace Sim;

namespace {

constexpr int64_t MicroPerStep = 1000000;
constexpr int64_t MilliPerPps = 1000;
constexpr MicroSteps LimitMicro = MicroSteps(LimitTravel) * MicroPerStep;

int32_t clampToInt32(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, I32Min, I32Max));
}

int32_t wrapToInt32(int64_t v)
{
    return int32_t(uint32_t(uint64_t(v)));
}

// Rounds half away from zero.
int64_t roundDiv(MicroSteps v, int64_t d)
{
    return int64_t(v >= 0 ? (v + d / 2) / d : -((-v + d / 2) / d));
}

// The first k in (from, to] at which the monotonic position of the phase has reached x (from
// below when direction > 0, from above when < 0); -1 when it does not within the phase.
int64_t firstReach(const TMotionPhase& p, int64_t from, int64_t to, MicroSteps x, int direction)
{
    const auto reached = [&](int64_t k) { return direction * (p.positionAfter(k) - x) >= 0; };
    if (p.Step == 0) {
        const MicroSteps gap = direction * (x - p.Position);
        const int64_t speed = p.First > 0 ? p.First : -p.First;
        const MicroSteps k = gap <= 0 ? 0 : (gap + speed - 1) / speed;
        const int64_t first = std::max<int64_t>(from + 1, int64_t(std::min<MicroSteps>(k, INT64_MAX)));
        return first <= to ? first : -1;
    }
    if (!reached(to))
        return -1;
    int64_t lo = from, hi = to;   // not reached at lo, reached at hi
    while (hi - lo > 1) {
        const int64_t mid = lo + (hi - lo) / 2;
        (reached(mid) ? hi : lo) = mid;
    }
    return hi;
}

// The first k in (from, to] with a velocity of the direction's sign. A phase's velocities keep
// one sign, so a 0 can only be its first or its last.
int64_t firstMoving(const TMotionPhase& p, int64_t from, int64_t to, int direction)
{
    for (int64_t k = from + 1; k <= to && k <= from + 2; ++k) {
        if (direction * p.velocityAfter(k) > 0)
            return k;
    }
    return -1;
}

} // namespace

VirtualAxis::VirtualAxis()
{
    for (int i = 0; i < ParameterCount; ++i)
        m_stored[i] = AxisParameters[i].defaultValue;
    powerOn(0);
}

int VirtualAxis::indexOf(int number)
{
    for (int i = 0; i < ParameterCount; ++i) {
        if (AxisParameters[i].number == number)
            return i;
    }
    return 0;   // callers pass numbers of the table
}

void VirtualAxis::powerOn(int64_t ms)
{
    for (int i = 0; i < ParameterCount; ++i)
        m_value[i] = m_stored[i];
    setValue(AxisPar::TargetPosition, 0);
    setValue(AxisPar::TargetVelocity, 0);
    m_now = ms;
    m_offset = 0;
    m_events = 0;
    m_reference = true;
    m_left = false;
    m_right = false;
    stopAt(0);
}

int32_t VirtualAxis::actualPosition() const
{
    return wrapToInt32(roundDiv(position(), MicroPerStep) - m_offset);
}

int32_t VirtualAxis::parameter(int number) const
{
    switch (number) {
    case AxisPar::ActualPosition: return actualPosition();
    case AxisPar::ActualVelocity: return clampToInt32(roundDiv(m_plan.velocityAt(m_now), MilliPerPps));
    case AxisPar::PositionReached: return positionReached() ? 1 : 0;
    case AxisPar::ReferenceSwitch: return referenceSwitch() ? 1 : 0;
    case AxisPar::RightLimitSwitch: return rightLimitSwitch() ? 1 : 0;
    case AxisPar::LeftLimitSwitch: return leftLimitSwitch() ? 1 : 0;
    default: return value(number);
    }
}

void VirtualAxis::setParameter(int number, int32_t v)
{
    switch (number) {
    case AxisPar::TargetPosition: moveTo(v); break;
    case AxisPar::ActualPosition:
        // Moves the counter, and with it the physical place of a running move's target.
        m_offset = roundDiv(position(), MicroPerStep) - v;
        replan();
        break;
    case AxisPar::TargetVelocity: rotate(v); break;
    default:
        // Speeds, acceleration and switch settings act on a motion under way at once.
        setValue(number, v);
        replan();
        break;
    }
}

void VirtualAxis::store(int number)
{
    m_stored[indexOf(number)] = parameter(number);
}

void VirtualAxis::restore(int number)
{
    setValue(number, m_stored[indexOf(number)]);
    replan();
}

void VirtualAxis::rotate(int32_t velocity)
{
    setValue(AxisPar::TargetVelocity, velocity);
    m_mode = Mode::Velocity;
    replan();
}

void VirtualAxis::softStop()
{
    rotate(0);
}

void VirtualAxis::hardStop()
{
    stopAt(position());
}

void VirtualAxis::moveTo(int64_t target)
{
    setValue(AxisPar::TargetPosition, wrapToInt32(target));
    m_mode = Mode::Position;
    replan();
}

void VirtualAxis::startReferenceSearch()
{
    // The search starts from standstill at once, without a ramp.
    m_plan.begin(m_now, position(), 0);
    m_mode = referenceSwitch() ? Mode::SearchBack : Mode::SearchOut;
    replan();
}

void VirtualAxis::stopReferenceSearch()
{
    if (referenceSearchActive())
        hardStop();
}

bool VirtualAxis::positionReached() const
{
    return m_mode == Mode::Idle && actualPosition() == targetPosition();
}

uint8_t VirtualAxis::takeEvents()
{
    const uint8_t e = m_events;
    m_events = 0;
    return e;
}

// A new course from the current millisecond, for the mode and the parameters as they are now.
void VirtualAxis::replan()
{
    const MicroSteps p = position();
    m_plan.begin(m_now, p, m_plan.velocityAt(m_now));
    m_settle = -1;
    const MotionPlanner planner(int64_t(value(AxisPar::MaxSpeed)) * MilliPerPps,
                                value(AxisPar::MaxAcceleration));
    switch (m_mode) {
    case Mode::Idle:
        m_plan.rest();
        break;
    case Mode::Velocity:
        m_settle = planner.velocity(m_plan, int64_t(value(AxisPar::TargetVelocity)) * MilliPerPps);
        break;
    case Mode::Position:
        m_settle = planner.position(m_plan, (MicroSteps(targetPosition()) + m_offset) * MicroPerStep);
        break;
    case Mode::SearchOut:
        m_plan.append(-int64_t(value(AxisPar::ReferenceSearchSpeed)) * MilliPerPps, 0, TMotionPhase::Forever);
        break;
    case Mode::SearchBack:
        m_plan.append(int64_t(value(AxisPar::ReferenceSwitchSpeed)) * MilliPerPps, 0, TMotionPhase::Forever);
        break;
    }
    findNextEvent();
    ++m_changes;
}

// Stops at once (no ramp) at the position, in the current millisecond.
void VirtualAxis::stopAt(MicroSteps position)
{
    m_plan.begin(m_now, position, 0);
    m_plan.rest();
    m_mode = Mode::Idle;
    m_settle = -1;
    findNextEvent();
    ++m_changes;
}

void VirtualAxis::advanceTo(int64_t ms)
{
    while (m_next >= 0 && m_next <= ms)
        handleEvent(m_next);
    m_now = std::max(m_now, ms);
}

// Switches first, since a limit switch stops whatever the axis was doing; then the reference
// search, then the end of the course.
void VirtualAxis::handleEvent(int64_t ms)
{
    m_now = ms;
    const MicroSteps p = position();
    const int64_t v = m_plan.velocityAt(ms);
    const bool left = p <= -LimitMicro;
    const bool right = p >= LimitMicro;
    if (left && !m_left)
        m_events |= LeftSwitchOn;
    if (right && !m_right)
        m_events |= RightSwitchOn;
    m_reference = p <= 0;
    m_left = left;
    m_right = right;
    if (v > 0 && right && value(AxisPar::RightLimitDisable) == 0) {
        stopAt(LimitMicro);
    } else if (v < 0 && left && value(AxisPar::LeftLimitDisable) == 0) {
        stopAt(-LimitMicro);
    } else if (m_mode == Mode::SearchOut && m_reference) {
        m_mode = Mode::SearchBack;
        replan();
    } else if (m_mode == Mode::SearchBack && !m_reference) {
        // Off the switch: here the counter becomes 0.
        m_offset = roundDiv(p, MicroPerStep);
        setValue(AxisPar::TargetPosition, 0);
        stopAt(p);
    } else {
        if (ms == m_settle) {
            if (m_mode == Mode::Position)
                m_events |= Reached;
            m_mode = Mode::Idle;
            m_settle = -1;
        }
        findNextEvent();
        ++m_changes;
    }
}

void VirtualAxis::findNextEvent()
{
    int64_t next = m_settle > m_now ? m_settle : TMotionPhase::Forever;
    const int i = m_plan.phaseIndexAt(m_now + 1);
    if (i >= 0 && i < m_plan.phaseCount()) {
        const TMotionPhase& p = m_plan.phase(i);
        if (p.end() > m_now)
            next = std::min(next, p.end());
        const int64_t change = firstSwitchChange(p, m_now);
        if (change >= 0)
            next = std::min(next, change);
    }
    m_next = next == TMotionPhase::Forever ? -1 : next;
}

// The first millisecond after from at which the phase changes a switch or runs into a limit
// switch that is on; -1 for none.
int64_t VirtualAxis::firstSwitchChange(const TMotionPhase& p, int64_t from) const
{
    const int dir = p.direction();
    if (dir == 0)
        return -1;
    const int64_t k0 = std::max<int64_t>(0, from - p.Start);
    const int64_t k1 = p.Length;
    int64_t best = -1;
    const auto consider = [&best](int64_t k) {
        if (k >= 0 && (best < 0 || k < best))
            best = k;
    };
    if (dir > 0) {
        if (m_reference)
            consider(firstReach(p, k0, k1, 1, dir));
        if (m_left)
            consider(firstReach(p, k0, k1, -LimitMicro + 1, dir));
        if (!m_right)
            consider(firstReach(p, k0, k1, LimitMicro, dir));
        else if (value(AxisPar::RightLimitDisable) == 0)
            consider(firstMoving(p, k0, k1, dir));
    } else {
        if (!m_reference)
            consider(firstReach(p, k0, k1, 0, dir));
        if (m_right)
            consider(firstReach(p, k0, k1, LimitMicro - 1, dir));
        if (!m_left)
            consider(firstReach(p, k0, k1, -LimitMicro, dir));
        else if (value(AxisPar::LeftLimitDisable) == 0)
            consider(firstMoving(p, k0, k1, dir));
    }
    return best < 0 ? -1 : p.Start + best;
}
