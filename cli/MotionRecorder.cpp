#include "MotionRecorder.h"

#include "SimParameters.h"
#include "VirtualModule.h"

namespace {

enum : int8_t { Resting, Falling, Steady, Rising };

static_assert(Sim::AxisCount <= TMotionRow::MaxAxes, "a row holds every axis");

// The segment an axis is in from the previous millisecond to this one: the velocity rising,
// falling or steady. Only the sign of the change counts, so that rounding the velocity to whole
// steps per second never splits a segment.
int8_t phaseOf(int32_t before, int32_t now)
{
    if (now == before)
        return now == 0 ? Resting : Steady;
    return now > before ? Rising : Falling;
}

} // namespace

MotionRecorder::MotionRecorder(VirtualModule& module)
    : m_module(module)
{
    m_table.Axes = Sim::AxisCount;
    m_last = read(module.timeMs());
    for (int axis = 0; axis < Sim::AxisCount; ++axis)
        m_phase[axis] = m_last.Velocity[axis] == 0 ? Resting : Steady;
    keep(m_last);
    m_module.setMotionHook([this](int64_t ms) { sample(ms); });
}

MotionRecorder::~MotionRecorder()
{
    if (m_attached)
        m_module.setMotionHook(nullptr);
}

TMotionRow MotionRecorder::read(int64_t ms) const
{
    TMotionRow row;
    row.TimeMs = ms;
    for (int axis = 0; axis < Sim::AxisCount; ++axis) {
        row.Position[axis] = m_module.axisParameter(axis, Sim::AxisPar::ActualPosition);
        row.Velocity[axis] = m_module.axisParameter(axis, Sim::AxisPar::ActualVelocity);
    }
    return row;
}

void MotionRecorder::keep(const TMotionRow& row)
{
    if (!m_table.Rows.isEmpty() && m_table.Rows.constLast().TimeMs >= row.TimeMs)
        m_table.Rows.last() = row;
    else
        m_table.Rows.append(row);
}

void MotionRecorder::sample(int64_t ms)
{
    // Nothing is reported while every axis rests: the rest began at the last millisecond seen
    // and ended at the start of this one.
    if (ms - m_last.TimeMs > 1) {
        keep(m_last);
        m_last.TimeMs = ms - 1;
        keep(m_last);
        for (int axis = 0; axis < Sim::AxisCount; ++axis)
            m_phase[axis] = m_last.Velocity[axis] == 0 ? Resting : Steady;
    }
    const TMotionRow now = read(ms);
    bool changed = false;
    for (int axis = 0; axis < Sim::AxisCount; ++axis) {
        const int8_t phase = phaseOf(m_last.Velocity[axis], now.Velocity[axis]);
        changed = changed || phase != m_phase[axis];
        m_phase[axis] = phase;
    }
    // The previous millisecond ended a segment.
    if (changed)
        keep(m_last);
    m_last = now;
}

void MotionRecorder::finish(const QString& endMark)
{
    m_table.EndMs = m_module.timeMs();
    m_table.EndMark = endMark;
    if (m_last.TimeMs < m_table.EndMs)
        keep(m_last);
    keep(read(m_table.EndMs));
    m_module.setMotionHook(nullptr);
    m_attached = false;
}

QByteArray MotionRecorder::csv() const
{
    QByteArray out("time_ms");
    for (int axis = 0; axis < m_table.Axes; ++axis)
        out += ",axis" + QByteArray::number(axis) + "_position,axis" + QByteArray::number(axis)
               + "_velocity";
    out += '\n';
    for (const TMotionRow& row : m_table.Rows) {
        out += QByteArray::number(qint64(row.TimeMs));
        for (int axis = 0; axis < m_table.Axes; ++axis)
            out += ',' + QByteArray::number(row.Position[axis]) + ','
                   + QByteArray::number(row.Velocity[axis]);
        out += '\n';
    }
    return out;
}
