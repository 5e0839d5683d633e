#pragma once

#include "TMotionTable.h"

#include <QByteArray>

#include <cstdint>

class VirtualModule;

// Records the axes of a running module as the rows of a TMotionTable: it watches every module
// millisecond in which an axis moves (VirtualModule::setMotionHook) and keeps only the rows
// where an axis changes its motion segment, so a long run stays small.
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
    void sample(int64_t ms);
    TMotionRow read(int64_t ms) const;
    void keep(const TMotionRow& row);

    VirtualModule& m_module;
    TMotionTable m_table;
    TMotionRow m_last;                       // the latest millisecond seen
    int8_t m_phase[TMotionRow::MaxAxes] = {};
    bool m_attached = true;
};
