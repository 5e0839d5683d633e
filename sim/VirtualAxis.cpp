#include "VirtualAxis.h"

#include <algorithm>
#include <cmath>

using namespace Sim;

namespace {

constexpr double StepSeconds = 0.001;

int32_t clampToInt32(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, I32Min, I32Max));
}

int32_t wrapToInt32(int64_t v)
{
    return int32_t(uint32_t(uint64_t(v)));
}

} // namespace

VirtualAxis::VirtualAxis()
{
    for (int i = 0; i < ParameterCount; ++i)
        m_stored[i] = AxisParameters[i].defaultValue;
    powerOn();
}

int VirtualAxis::indexOf(int number)
{
    for (int i = 0; i < ParameterCount; ++i) {
        if (AxisParameters[i].number == number)
            return i;
    }
    return 0;   // callers pass numbers of the table
}

void VirtualAxis::powerOn()
{
    for (int i = 0; i < ParameterCount; ++i)
        m_value[i] = m_stored[i];
    setValue(AxisPar::TargetPosition, 0);
    setValue(AxisPar::TargetVelocity, 0);
    m_mode = Mode::Idle;
    m_phys = 0.0;
    m_velocity = 0.0;
    m_offset = 0;
    m_events = 0;
}

int32_t VirtualAxis::actualPosition() const
{
    return wrapToInt32(std::llround(m_phys) - m_offset);
}

int32_t VirtualAxis::parameter(int number) const
{
    switch (number) {
    case AxisPar::ActualPosition: return actualPosition();
    case AxisPar::ActualVelocity: return clampToInt32(std::llround(m_velocity));
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
    case AxisPar::ActualPosition: m_offset = std::llround(m_phys) - v; break;
    case AxisPar::TargetVelocity: rotate(v); break;
    default: setValue(number, v); break;
    }
}

void VirtualAxis::store(int number)
{
    m_stored[indexOf(number)] = parameter(number);
}

void VirtualAxis::restore(int number)
{
    setValue(number, m_stored[indexOf(number)]);
}

void VirtualAxis::rotate(int32_t velocity)
{
    setValue(AxisPar::TargetVelocity, velocity);
    m_mode = Mode::Velocity;
}

void VirtualAxis::softStop()
{
    rotate(0);
}

void VirtualAxis::hardStop()
{
    m_velocity = 0.0;
    m_mode = Mode::Idle;
}

void VirtualAxis::moveTo(int64_t target)
{
    setValue(AxisPar::TargetPosition, wrapToInt32(target));
    m_mode = Mode::Position;
}

void VirtualAxis::startReferenceSearch()
{
    m_velocity = 0.0;
    m_mode = referenceSwitch() ? Mode::SearchBack : Mode::SearchOut;
}

void VirtualAxis::stopReferenceSearch()
{
    if (referenceSearchActive())
        hardStop();
}

bool VirtualAxis::positionReached() const
{
    return m_mode == Mode::Idle && m_velocity == 0.0 && actualPosition() == targetPosition();
}

uint8_t VirtualAxis::takeEvents()
{
    const uint8_t e = m_events;
    m_events = 0;
    return e;
}

// Ramps the velocity towards the wanted one by at most the maximum acceleration and moves by
// one step time.
void VirtualAxis::stepVelocity(double wanted, bool ramp)
{
    const double accel = value(AxisPar::MaxAcceleration);
    if (!ramp || accel <= 0.0) {
        m_velocity = wanted;
    } else {
        const double dv = accel * StepSeconds;
        if (m_velocity < wanted)
            m_velocity = std::min(wanted, m_velocity + dv);
        else
            m_velocity = std::max(wanted, m_velocity - dv);
    }
    m_phys += m_velocity * StepSeconds;
}

void VirtualAxis::stepPosition()
{
    const double vmax = value(AxisPar::MaxSpeed);
    const double target = double(int64_t(targetPosition()) + m_offset);
    const double distance = target - m_phys;
    if (distance == 0.0 && m_velocity == 0.0) {
        m_mode = Mode::Idle;
        m_events |= Reached;
        return;
    }
    // The fastest speed from which the axis still stops at the target, but never so slow that
    // the last fraction of a step takes for ever.
    const double accel = value(AxisPar::MaxAcceleration);
    double speed = vmax;
    if (accel > 0.0) {
        speed = std::min(vmax, std::sqrt(2.0 * accel * std::fabs(distance)));
        speed = std::max(speed, std::min(vmax, accel * StepSeconds));
    }
    const double before = m_phys;
    stepVelocity(distance >= 0.0 ? speed : -speed, true);
    const double moved = m_phys - before;
    const bool arrived = distance >= 0.0 ? moved >= distance : moved <= distance;
    if (arrived && vmax > 0.0) {
        m_phys = target;
        hardStop();
        m_events |= Reached;
    }
}

// Left towards the reference switch at the search speed, then right off it at the switch
// speed; where it goes off the counter becomes 0.
void VirtualAxis::stepSearch()
{
    if (m_mode == Mode::SearchOut) {
        stepVelocity(-double(value(AxisPar::ReferenceSearchSpeed)), false);
        if (referenceSwitch())
            m_mode = Mode::SearchBack;
        return;
    }
    stepVelocity(double(value(AxisPar::ReferenceSwitchSpeed)), false);
    if (!referenceSwitch()) {
        hardStop();
        m_offset = std::llround(m_phys);
        setValue(AxisPar::TargetPosition, 0);
    }
}

void VirtualAxis::checkLimits()
{
    if (m_velocity > 0.0 && rightLimitSwitch() && value(AxisPar::RightLimitDisable) == 0) {
        m_phys = LimitTravel;
        hardStop();
    } else if (m_velocity < 0.0 && leftLimitSwitch() && value(AxisPar::LeftLimitDisable) == 0) {
        m_phys = -LimitTravel;
        hardStop();
    }
}

void VirtualAxis::stepMs()
{
    const bool leftBefore = leftLimitSwitch();
    const bool rightBefore = rightLimitSwitch();
    switch (m_mode) {
    case Mode::Idle:
        if (m_velocity == 0.0)
            return;
        stepVelocity(0.0, true);
        break;
    case Mode::Velocity: {
        const double vmax = value(AxisPar::MaxSpeed);
        const double wanted = std::clamp<double>(value(AxisPar::TargetVelocity), -vmax, vmax);
        stepVelocity(wanted, true);
        if (wanted == 0.0 && m_velocity == 0.0)
            m_mode = Mode::Idle;
        break;
    }
    case Mode::Position:
        stepPosition();
        break;
    case Mode::SearchOut:
    case Mode::SearchBack:
        stepSearch();
        break;
    }
    checkLimits();
    if (leftLimitSwitch() && !leftBefore)
        m_events |= LeftSwitchOn;
    if (rightLimitSwitch() && !rightBefore)
        m_events |= RightSwitchOn;
}
