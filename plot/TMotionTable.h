#pragma once

#include <QString>
#include <QVector>

#include <cstdint>

// The axes' state at one module time: a row of `krol sim --csv`.
struct TMotionRow
{
    static constexpr int MaxAxes = 8;
    int64_t TimeMs = 0;
    int32_t Position[MaxAxes] = {};   // steps
    int32_t Velocity[MaxAxes] = {};   // steps per second
};

// The motion of a run: a row wherever a motion segment of an axis changes (starts, stops, or
// changes between accelerating, running steadily and braking), the first at the start and the
// last at the end. Between two rows every axis moves with constant acceleration.
struct TMotionTable
{
    int Axes = 0;
    QVector<TMotionRow> Rows;
    int64_t EndMs = 0;
    QString EndMark;      // what ended the run: "end", "time limit", ...
    QString Description;  // kept in the chart file (the SVG's description)
};
