#include "MotionRecorder.h"

#include "SimParameters.h"
#include "VirtualModule.h"

static_assert(Sim::AxisCount <= TMotionRow::MaxAxes, "a row holds every axis");

MotionRecorder::MotionRecorder(VirtualModule& module)
    : m_module(module)
{
    m_table.Axes = Sim::AxisCount;
    keep(read(module.timeMs()));
    m_module.setSegmentHook([this](int64_t ms) { keep(read(ms)); });
}

MotionRecorder::~MotionRecorder()
{
    if (m_attached)
        m_module.setSegmentHook(nullptr);
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

void MotionRecorder::finish(const QString& endMark)
{
    m_table.EndMs = m_module.timeMs();
    m_table.EndMark = endMark;
    keep(read(m_table.EndMs));
    m_module.setSegmentHook(nullptr);
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
