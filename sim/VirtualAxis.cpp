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
    return -1;
}

void VirtualAxis::powerOn()
{
    for (int i = 0; i < ParameterCount; ++i)
        m_value[i] = m_stored[i];
    m_value[IndexTargetPosition] = 0;
    m_value[indexOf(AxisPar::TargetVelocity)] = 0;
    m_mode = Mode::Idle;
    m_phys = 0.0;
    m_velocity = 0.0;
    m_offset = 0;
}

int32_t VirtualAxis::actualPosition() const
{
    return int32_t(uint32_t(uint64_t(std::llround(m_phys) - m_offset)));
}

int32_t VirtualAxis::parameter(int number) const
{
    switch (number) {
    case AxisPar::ActualPosition:
        return actualPosition();
    case AxisPar::ActualVelocity:
        return clampToInt32(std::llround(m_velocity));
    case AxisPar::PositionReached:
        return positionReached() ? 1 : 0;
    case AxisPar::ReferenceSwitch:
        return referenceSwitch() ? 1 : 0;
    case AxisPar::RightLimitSwitch:
        return rightLimitSwitch() ? 1 : 0;
    case AxisPar::LeftLimitSwitch:
        return leftLimitSwitch() ? 1 : 0;
    default: {
        const int i = indexOf(number);
        return i < 0 ? 0 : m_value[i];
    }
    }
}

void VirtualAxis::setParameter(int number, int32_t v)
{
    switch (number) {
    case AxisPar::TargetPosition:
        moveTo(v);
        return;
    case AxisPar::ActualPosition:
        m_offset = std::llround(m_phys) - v;
        return;
    case AxisPar::TargetVelocity:
        rotate(v);
        return;
    default: {
        const int i = indexOf(number);
        if (i >= 0)
            m_value[i] = v;
    }
    }
}

void VirtualAxis::store(int number)
{
    const int i = indexOf(number);
    if (i >= 0)
        m_stored[i] = parameter(number);
}

void VirtualAxis::restore(int number)
{
    const int i = indexOf(number);
    if (i >= 0)
        m_value[i] = m_stored[i];
}

void VirtualAxis::rotate(int32_t velocity)
{
    m_value[indexOf(AxisPar::TargetVelocity)] = velocity;
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
    m_value[IndexTargetPosition] = int32_t(uint32_t(uint64_t(target)));
    m_mode = Mode::Position;
}

void VirtualAxis::startReferenceSearch()
{
    m_mode = referenceSwitch() ? Mode::SearchRight : Mode::SearchLeft;
}

void VirtualAxis::stopReferenceSearch()
{
    if (referenceSearchActive())
        hardStop();
}

bool VirtualAxis::referenceSearchActive() const
{
    return m_mode == Mode::SearchLeft || m_mode == Mode::SearchRight;
}

bool VirtualAxis::positionReached() const
{
    return m_mode == Mode::Idle && m_velocity == 0.0 && actualPosition() == targetPosition();
}

// Ramps the velocity towards the wanted one by at most the maximum acceleration (0: at once)
// and moves by one step time.
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
    const double vmax = value(AxisPar::MaxSpeed);
    switch (m_mode) {
    case Mode::Idle:
        if (m_velocity == 0.0)
            return;
        stepVelocity(0.0, true);
        break;
    case Mode::Velocity: {
        const double wanted = std::clamp<double>(value(AxisPar::TargetVelocity), -vmax, vmax);
        stepVelocity(wanted, true);
        if (wanted == 0.0 && m_velocity == 0.0)
            m_mode = Mode::Idle;
        break;
    }
    case Mode::Position: {
        const double target = double(int64_t(targetPosition()) + m_offset);
        const double distance = target - m_phys;
        if (distance == 0.0 && m_velocity == 0.0) {
            m_mode = Mode::Idle;
            return;
        }
        const double accel = value(AxisPar::MaxAcceleration);
        // Fastest speed from which the axis still stops at the target, but never so slow
        // that the last fraction of a step takes for ever.
        double speed = vmax;
        if (accel > 0.0) {
            speed = std::min(vmax, std::sqrt(2.0 * accel * std::fabs(distance)));
            speed = std::max(speed, std::min(vmax, accel * StepSeconds));
        }
        const double before = m_phys;
        stepVelocity(distance >= 0.0 ? speed : -speed, true);
        const double moved = m_phys - before;
        if ((distance >= 0.0 && moved >= distance) || (distance <= 0.0 && moved <= distance)) {
            if (vmax > 0.0) {
                m_phys = target;
                hardStop();
                return;
            }
        }
        break;
    }
    case Mode::SearchLeft:
        stepVelocity(-double(value(AxisPar::ReferenceSearchSpeed)), false);
        if (referenceSwitch())
            m_mode = Mode::SearchRight;
        break;
    case Mode::SearchRight:
        stepVelocity(double(value(AxisPar::ReferenceSwitchSpeed)), false);
        if (!referenceSwitch()) {
            hardStop();
            m_offset = std::llround(m_phys);
            m_value[IndexTargetPosition] = 0;
            return;
        }
        break;
    }
    checkLimits();
}
