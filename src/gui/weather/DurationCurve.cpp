#include "gui/weather/DurationCurve.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

QColor SizeColour(int size) {
    switch (size) {
    case 100:
        return {0, 90, 200};
    case 160:
        return {0, 140, 60};
    default:
        return {190, 40, 40};
    }
}

// A round step for an axis running up to span, about `marks` of them.
double AxisStep(double span, int marks) {
    if (!(span > 0))
        return 1;
    const double raw = span / marks;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 5.0, 10.0}) {
        if (raw <= f * magnitude)
            return f * magnitude;
    }
    return 10 * magnitude;
}

} // namespace

void PaintDurationCurve(QPainter& painter, const QRectF& area, const DurationCurveData& data) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    QFont font = painter.font();
    font.setPixelSize(std::max(8, int(area.height() / 34)));
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double text = metrics.height();
    const QRectF plot = area.adjusted(text * 4.5, text, -text * 6.5, -text * 2.8);
    if (data.points.empty() || plot.width() <= 0 || plot.height() <= 0) {
        painter.restore();
        return;
    }

    double hours = 0;
    double top = 0;
    double bottom = 0;
    for (const Weather::DurationPoint& p : data.points) {
        hours = std::max(hours, p.hours);
        top = std::max(top, p.total);
        bottom = std::min(bottom, p.total);
    }
    for (const Weather::CapacityLine& line : data.lines)
        top = std::max(top, line.litresPerDay);
    if (!(top > bottom))
        top = bottom + 1;
    if (!(hours > 0))
        hours = 1;
    const auto x = [&](double h) { return plot.left() + plot.width() * h / hours; };
    const auto y = [&](double v) {
        return plot.bottom() - plot.height() * (v - bottom) / (top - bottom);
    };

    // The grid and its figures.
    painter.setPen(QPen(QColor(220, 220, 220), 0));
    const double hourStep = AxisStep(hours, 8);
    for (double h = 0; h <= hours + 1e-9; h += hourStep) {
        painter.drawLine(QPointF(x(h), plot.top()), QPointF(x(h), plot.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x(h) - text * 3, plot.bottom() + 2, text * 6, text),
                         Qt::AlignHCenter | Qt::AlignTop, QString::number(h));
        painter.setPen(QPen(QColor(220, 220, 220), 0));
    }
    const double loadStep = AxisStep(top - bottom, 6);
    for (double v = std::ceil(bottom / loadStep) * loadStep; v <= top + 1e-9; v += loadStep) {
        painter.drawLine(QPointF(plot.left(), y(v)), QPointF(plot.right(), y(v)));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(area.left(), y(v) - text / 2, plot.left() - area.left() - 4, text),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
        painter.setPen(QPen(QColor(220, 220, 220), 0));
    }
    painter.setPen(QPen(Qt::black, 0));
    painter.drawRect(plot);
    painter.drawText(QRectF(plot.left(), plot.bottom() + text * 1.3, plot.width(), text * 1.4),
                     Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("Hours in the year at or above the total moisture gain"));
    painter.save();
    painter.translate(area.left() + 2, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), text),
                     Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("Total moisture gain (litres/day)"));
    painter.restore();

    // The units' capacities across, named at the right where there is room.
    painter.setClipRect(area);
    std::vector<double> labelled;
    for (const Weather::CapacityLine& line : data.lines) {
        const QColor colour = SizeColour(line.size);
        painter.setPen(QPen(colour, 1, Qt::DashLine));
        const double at = y(line.litresPerDay);
        painter.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
        const bool room = std::none_of(labelled.begin(), labelled.end(),
                                       [&](double y0) { return std::abs(at - y0) < text; });
        if (room) {
            painter.setPen(colour);
            painter.drawText(
                QRectF(plot.right() + 4, at - text / 2, area.right() - plot.right() - 4, text),
                Qt::AlignLeft | Qt::AlignVCenter,
                QStringLiteral("%1 \u00d7 HX %2").arg(line.units).arg(line.size));
            labelled.push_back(at);
        }
    }

    // The curve itself, a step down at each point.
    QPainterPath curve;
    curve.moveTo(x(0), y(data.points.front().total));
    for (const Weather::DurationPoint& p : data.points)
        curve.lineTo(x(p.hours), y(p.total));
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(Qt::NoBrush);
    painter.setClipRect(plot);
    painter.drawPath(curve);
    painter.restore();
}

DurationCurveView::DurationCurveView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DurationCurveView::SetData(DurationCurveData data) {
    m_data = std::move(data);
    update();
}

void DurationCurveView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintDurationCurve(painter, rect(), m_data);
}
