#include "ChartScale.h"

#include <QString>

#include <cmath>

namespace {

// 1, 2 or 5 times a power of ten, at least step.
double roundStep(double step)
{
    const double power = std::pow(10.0, std::floor(std::log10(step)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= step)
            return factor * power;
    }
    return 10.0 * power;
}

} // namespace

ChartScale::ChartScale(double min, double max, int ticks)
{
    if (max <= min) {
        const double spread = std::max(1.0, std::fabs(min) * 0.1);
        min -= spread;
        max += spread;
    }
    const double step = std::max(1.0, roundStep((max - min) / std::max(1, ticks)));
    m_min = std::floor(min / step) * step;
    m_max = std::ceil(max / step) * step;
    for (double v = m_min; v <= m_max + step / 2; v += step)
        m_ticks.append(v);
}

double ChartScale::map(double value, double from, double to) const
{
    return from + (value - m_min) / (m_max - m_min) * (to - from);
}

QString ChartScale::label(double value)
{
    return QString::number(qint64(std::llround(value)));
}
