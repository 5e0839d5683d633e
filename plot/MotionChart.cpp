#include "MotionChart.h"

#include "ChartScale.h"

#include <QIODevice>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace {

constexpr double Left = 100, Right = 100, Top = 44, Bottom = 56;
constexpr int TimeTicks = 10, ValueTicks = 6;
const QColor PositionColour(31, 94, 170);
const QColor VelocityColour(214, 110, 20);
const QColor EndColour(190, 30, 45);
const QColor GridColour(225, 225, 225);

QFont font(int pixels, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// Text centred on a point, turned by angle degrees around it.
void drawCentred(QPainter& painter, const QPointF& at, const QString& text, double angle = 0)
{
    painter.save();
    painter.translate(at);
    painter.rotate(angle);
    painter.drawText(QRectF(-200, -10, 400, 20), Qt::AlignCenter, text);
    painter.restore();
}

// The position between two rows is a parabola (constant acceleration): a quadratic curve whose
// control point lies where the starting velocity would have reached at half the time.
double controlPosition(const TMotionRow& from, const TMotionRow& to, int axis)
{
    return from.Position[axis] + double(from.Velocity[axis]) * double(to.TimeMs - from.TimeMs) / 2000.0;
}

// The far point of that curve between its ends (where its slope is 0), or its start when it has
// none, so that the scale holds the whole curve but not the control point beyond it.
double curveExtreme(double p0, double c, double p1)
{
    const double d = p0 - 2 * c + p1;
    const double s = d != 0 ? (p0 - c) / d : -1;
    return s > 0 && s < 1 ? (1 - s) * (1 - s) * p0 + 2 * s * (1 - s) * c + s * s * p1 : p0;
}

} // namespace

MotionChart::MotionChart(const TMotionTable& table)
    : m_table(table)
{
}

bool MotionChart::writeSvg(QIODevice* device, QString* error) const
{
    const int height = ChartHeight * std::max(1, m_table.Axes);
    QSvgGenerator svg;
    svg.setOutputDevice(device);
    svg.setSize(QSize(Width, height));
    svg.setViewBox(QRect(0, 0, Width, height));
    svg.setTitle(QStringLiteral("Motion of the axes"));
    svg.setDescription(m_table.Description);
    QPainter painter;
    if (!painter.begin(&svg)) {
        *error = device->errorString();
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(0, 0, Width, height), Qt::white);
    for (int axis = 0; axis < m_table.Axes; ++axis) {
        const QRectF area(Left, axis * ChartHeight + Top, Width - Left - Right,
                          ChartHeight - Top - Bottom);
        drawChart(painter, axis, area);
    }
    return painter.end();
}

void MotionChart::drawChart(QPainter& painter, int axis, const QRectF& area) const
{
    const QVector<TMotionRow>& rows = m_table.Rows;
    double pMin = 0, pMax = 0, vMin = 0, vMax = 0;
    for (int i = 0; i < rows.size(); ++i) {
        const double p = rows[i].Position[axis];
        pMin = i == 0 ? p : std::min(pMin, p);
        pMax = i == 0 ? p : std::max(pMax, p);
        vMin = std::min<double>(vMin, rows[i].Velocity[axis]);
        vMax = std::max<double>(vMax, rows[i].Velocity[axis]);
        if (i > 0) {
            // Positions are whole steps: a fraction past one is the curve's approximation.
            const double e = std::round(curveExtreme(
                rows[i - 1].Position[axis], controlPosition(rows[i - 1], rows[i], axis), p));
            pMin = std::min(pMin, e);
            pMax = std::max(pMax, e);
        }
    }
    const ChartScale time(0, double(std::max<int64_t>(m_table.EndMs, 1)), TimeTicks);
    const ChartScale position(pMin, pMax, ValueTicks);
    const ChartScale velocity(vMin, vMax, ValueTicks);
    auto x = [&](double ms) { return time.map(ms, area.left(), area.right()); };
    auto yp = [&](double p) { return position.map(p, area.bottom(), area.top()); };
    auto yv = [&](double v) { return velocity.map(v, area.bottom(), area.top()); };

    // Grid and scales.
    painter.setFont(font(11));
    for (double t : time.ticks()) {
        painter.setPen(GridColour);
        painter.drawLine(QPointF(x(t), area.top()), QPointF(x(t), area.bottom()));
        painter.setPen(Qt::black);
        drawCentred(painter, QPointF(x(t), area.bottom() + 12), ChartScale::label(t));
    }
    for (double p : position.ticks()) {
        painter.setPen(GridColour);
        painter.drawLine(QPointF(area.left(), yp(p)), QPointF(area.right(), yp(p)));
        painter.setPen(PositionColour);
        painter.drawText(QRectF(0, yp(p) - 8, area.left() - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                         ChartScale::label(p));
    }
    painter.setPen(VelocityColour);
    for (double v : velocity.ticks())
        painter.drawText(QRectF(area.right() + 6, yv(v) - 8, Right - 6, 16),
                         Qt::AlignLeft | Qt::AlignVCenter, ChartScale::label(v));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);

    // Titles and units.
    painter.setFont(font(14, true));
    painter.drawText(QRectF(area.left(), area.top() - Top + 6, area.width(), 24),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Axis %1").arg(axis));
    painter.setFont(font(12));
    drawCentred(painter, QPointF(area.center().x(), area.bottom() + 32),
                QStringLiteral("module time (ms)"));
    painter.setPen(PositionColour);
    drawCentred(painter, QPointF(22, area.center().y()), QStringLiteral("position (steps)"), -90);
    painter.setPen(VelocityColour);
    drawCentred(painter, QPointF(area.right() + Right - 18, area.center().y()),
                QStringLiteral("velocity (steps/s)"), 90);

    // The curves.
    if (!rows.isEmpty()) {
        QPainterPath pathP(QPointF(x(rows[0].TimeMs), yp(rows[0].Position[axis])));
        QPainterPath pathV(QPointF(x(rows[0].TimeMs), yv(rows[0].Velocity[axis])));
        for (int i = 1; i < rows.size(); ++i) {
            const TMotionRow& a = rows[i - 1];
            const TMotionRow& b = rows[i];
            pathP.quadTo(QPointF(x((a.TimeMs + b.TimeMs) / 2.0), yp(controlPosition(a, b, axis))),
                         QPointF(x(b.TimeMs), yp(b.Position[axis])));
            pathV.lineTo(QPointF(x(b.TimeMs), yv(b.Velocity[axis])));
        }
        painter.save();
        painter.setClipRect(area.adjusted(-2, -2, 2, 2));
        painter.setPen(QPen(VelocityColour, 1.6));
        painter.drawPath(pathV);
        painter.setPen(QPen(PositionColour, 2.2));
        painter.drawPath(pathP);
        painter.restore();
    }
    drawEndMark(painter, area, x(double(m_table.EndMs)));
}

void MotionChart::drawEndMark(QPainter& painter, const QRectF& area, double x) const
{
    painter.setPen(QPen(EndColour, 1.4, Qt::DashLine));
    painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    painter.setFont(font(11, true));
    const QString text = QStringLiteral("%1 at %2 ms").arg(m_table.EndMark).arg(m_table.EndMs);
    // The mark's label stands above the chart, right-aligned at the line.
    painter.drawText(QRectF(x - 300, area.top() - 20, 300, 18), Qt::AlignRight | Qt::AlignBottom,
                     text);
}
