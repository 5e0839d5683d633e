#pragma once

#include "TMotionTable.h"

#include <QByteArray>

#include <cstdint>

class VirtualModule;

// Records the axes of a running module as the rows of a TMotionTable: a row wherever the module
// reports a change of a motion segment (VirtualModule::setSegmentHook), so a long run stays
// small and nothing is sampled while the axes keep their course.
class MotionRecorder
{
public:
    // Starts with a row at the module's present time; attaches itself to the module.
    explicit MotionRecorder(VirtualModule& module);
    ~MotionRecorder();
    MotionRecorder(const MotionRecorder&) = delete;
    MotionRecorder& operator=(const MotionRecorder&) = delete;

    // Adds the row of the module's present time and detaches; endMark says what ended the run.
    void finish(const QString& endMark);

    const TMotionTable& table() const { return m_table; }
    // time_ms, then position and velocity of each axis, one line per row.
    QByteArray csv() const;

private:
    TMotionRow read(int64_t ms) const;
    void keep(const TMotionRow& row);

    VirtualModule& m_module;
    TMotionTable m_table;
    bool m_attached = true;
};
