#pragma once

#include "TMotionTable.h"

#include <QString>

class QIODevice;
class QPainter;
class QRectF;

// Draws the motion of a run: one chart per axis, position (steps, left scale) and velocity
// (steps/s, right scale) over module time (ms), with a mark where the run ended.
class MotionChart
{
public:
    explicit MotionChart(const TMotionTable& table);

    // Writes the charts as SVG; false with *error when the device could not take them.
    bool writeSvg(QIODevice* device, QString* error) const;

    static constexpr int Width = 960;
    static constexpr int ChartHeight = 300;

private:
    void drawChart(QPainter& painter, int axis, const QRectF& area) const;
    void drawEndMark(QPainter& painter, const QRectF& area, double x) const;

    const TMotionTable& m_table;
};
