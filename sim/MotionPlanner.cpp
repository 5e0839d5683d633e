#include "MotionPlanner.h"

#include <algorithm>

namespace {

int sign(MicroSteps v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

// Divisions that round up, for non-negative numerators and positive divisors.
int64_t ceilDiv(int64_t n, int64_t d) { return (n + d - 1) / d; }

} // namespace

MotionPlanner::MotionPlanner(int64_t maxSpeed, int64_t acceleration)
    : m_maxSpeed(std::max<int64_t>(0, maxSpeed)), m_accel(std::max<int64_t>(0, acceleration))
{
}

int64_t MotionPlanner::velocity(MotionPlan& plan, int64_t target) const
{
    target = std::clamp(target, -m_maxSpeed, m_maxSpeed);
    const int64_t from = plan.endVelocity();
    plan.rampAndHold(target, m_accel == 0 ? INT64_MAX : m_accel);
    if (target != 0)
        return -1;
    // The first millisecond with velocity 0: the last ramp step, or the next one.
    if (from == 0 || m_accel == 0)
        return plan.start() + 1;
    const int64_t distance = from > 0 ? from : -from;
    return plan.start() + ceilDiv(distance, m_accel);
}

// How far the axis goes, braking from v > 0 with the full acceleration, after this millisecond:
// the velocities v - a, v - 2a, ... while they are positive.
MicroSteps MotionPlanner::stoppingDistance(int64_t v) const
{
    if (v <= 0)
        return 0;
    const int64_t q = ceilDiv(v, m_accel) - 1;
    return MicroSteps(q) * v - MicroSteps(m_accel) * (MicroSteps(q) * (q + 1) / 2);
}

// The distance of `steps` milliseconds accelerating from v, then braking to rest.
MicroSteps MotionPlanner::accelerateAndStop(int64_t v, int64_t steps) const
{
    return MicroSteps(steps) * v + MicroSteps(m_accel) * (MicroSteps(steps) * (steps + 1) / 2)
        + stoppingDistance(v + steps * m_accel);
}

// Brakes from velocity v > 0 in the direction with the full acceleration, the positive
// velocities only. Returns the last velocity.
int64_t MotionPlanner::brake(MotionPlan& plan, int direction, int64_t v) const
{
    const int64_t steps = ceilDiv(v, m_accel) - 1;
    plan.append(direction * (v - m_accel), -direction * m_accel, steps);
    return v - steps * m_accel;
}

int64_t MotionPlanner::position(MotionPlan& plan, MicroSteps target) const
{
    if (m_accel == 0) {
        // No ramp: full speed at once, the remainder in the last millisecond.
        const MicroSteps d = target - plan.endPosition();
        const int s = sign(d);
        if (m_maxSpeed == 0 && d != 0) {
            plan.rest();
            return -1;
        }
        const MicroSteps distance = d * s;
        if (distance > 0) {
            plan.append(s * m_maxSpeed, 0, int64_t(distance / m_maxSpeed));
            plan.append(int64_t(s * (distance % m_maxSpeed)), 0, 1);
        }
        const int64_t end = plan.endMs();
        plan.rest();
        return end + 1;
    }
    for (;;) {
        const MicroSteps d = target - plan.endPosition();
        const int64_t velocity = plan.endVelocity();
        const int s = d != 0 ? sign(d) : velocity < 0 ? -1 : 1;
        const MicroSteps distance = d * s;
        const int64_t v = s * velocity;
        if (v < 0 || stoppingDistance(v) > distance || (m_maxSpeed == 0 && v != 0)) {
            // Moving away, or too fast to stop in time: brake to rest, then plan anew.
            const int dir = v < 0 ? -s : s;
            brake(plan, dir, v < 0 ? -v : v);
            if (target == plan.endPosition())
                break;
            plan.append(0, 0, 1);
            continue;
        }
        if (distance == 0 && v == 0)
            break;
        if (m_maxSpeed == 0) {
            plan.rest();
            return -1;
        }
        if (v > m_maxSpeed) {
            // Slow down to the maximum speed with the full acceleration; the last step goes to
            // the maximum speed itself when the axis can still stop from there.
            const int64_t steps = (v - m_maxSpeed - 1) / m_accel;
            plan.append(s * (v - m_accel), -s * m_accel, steps);
            const MicroSteps left = s * (target - plan.endPosition());
            const int64_t next = std::max<int64_t>(0, v - (steps + 1) * m_accel);
            plan.append(s * (left - m_maxSpeed >= stoppingDistance(m_maxSpeed) ? m_maxSpeed : next), 0, 1);
            continue;
        }
        profile(plan, s, v, distance);
        break;
    }
    const int64_t end = plan.endMs();
    plan.rest();
    return end + 1;
}

// From 0 <= v <= the maximum speed, with a distance it can stop within: accelerate, cruise,
// brake. Whole milliseconds rarely add up to the distance exactly; the rest goes into one
// millisecond at an intermediate velocity slipped into the braking ramp, between the two
// velocities it lies between, so no velocity change exceeds the acceleration.
void MotionPlanner::profile(MotionPlan& plan, int s, int64_t v, MicroSteps distance) const
{
    // The most milliseconds of full acceleration that still leave room to stop.
    const int64_t most = (m_maxSpeed - v) / m_accel;
    int64_t lo = 0, hi = most;
    while (lo < hi) {
        const int64_t mid = lo + (hi - lo + 1) / 2;
        if (accelerateAndStop(v, mid) <= distance)
            lo = mid;
        else
            hi = mid - 1;
    }
    int64_t peak = v + lo * m_accel;
    MicroSteps used = accelerateAndStop(v, lo);
    bool toMax = false;
    if (lo == most && peak < m_maxSpeed) {
        const MicroSteps withMax = used - stoppingDistance(peak) + m_maxSpeed + stoppingDistance(m_maxSpeed);
        if (withMax <= distance) {
            toMax = true;
            used = withMax;
            peak = m_maxSpeed;
        }
    }
    const MicroSteps rest = distance - used;
    const int64_t cruise = peak > 0 ? int64_t(rest / peak) : 0;
    const int64_t filler = peak > 0 ? int64_t(rest % peak) : int64_t(rest);
    // Braking velocities peak - a, peak - 2a, ..., all positive; the filler goes after those
    // above it.
    const int64_t ramp = peak > 0 ? ceilDiv(peak, m_accel) - 1 : 0;
    const int64_t before = filler > 0 && peak > filler ? std::min(ramp, ceilDiv(peak - filler, m_accel) - 1) : 0;

    plan.append(s * (v + m_accel), s * m_accel, lo);
    if (toMax)
        plan.append(s * m_maxSpeed, 0, 1);
    plan.append(s * peak, 0, cruise);
    plan.append(s * (peak - m_accel), -s * m_accel, before);
    if (filler > 0)
        plan.append(s * filler, 0, 1);
    plan.append(s * (peak - (before + 1) * m_accel), -s * m_accel, ramp - before);
}
