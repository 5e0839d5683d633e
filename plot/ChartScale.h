#pragma once

#include <QString>
#include <QVector>

// One axis of a chart: a value range widened to round numbers, its tick values and the mapping
// of values onto pixels.
class ChartScale
{
public:
    // About `ticks` tick marks over min to max; an empty range is widened around its value.
    ChartScale(double min, double max, int ticks);

    double min() const { return m_min; }
    double max() const { return m_max; }
    const QVector<double>& ticks() const { return m_ticks; }
    // Where value lies between the pixels of min (from) and max (to).
    double map(double value, double from, double to) const;
    // A tick value as text: a whole number.
    static QString label(double value);

private:
    double m_min;
    double m_max;
    QVector<double> m_ticks;
};
