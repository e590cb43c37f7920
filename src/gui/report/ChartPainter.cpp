#include "gui/report/ChartPainter.h"

#include "core/units/DehumUnits.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

using PsychroChart::kHighestDryBulb;
using PsychroChart::kLowestDryBulb;

// The humidity ratio the chart shows at least: the saturation line leaves the
// top near 32 degrees, above the units' envelope.
constexpr double kLeastW = 0.030;
constexpr double kWStep = 0.005;
constexpr double kTStep = 5;

const QColor kGrid(226, 226, 226);
const QColor kRhLine(120, 150, 205);
const QColor kWetBulbLine(165, 165, 165);
const QColor kSaturation(0, 60, 160);
const QColor kEnvelopeFill(0, 160, 120, 56);
const QColor kEnvelopeEdge(0, 120, 90);
const QColor kText(40, 40, 40);

QFont ChartFont(double pixels) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QString Wlabel(double W) {
    return QString::number(W, 'f', 3);
}

} // namespace

QColor ChartPainter::StateColour(std::size_t index) {
    static const QColor colours[] = {QColor(200, 0, 0), QColor(225, 115, 0), QColor(0, 90, 200)};
    return colours[index % std::size(colours)];
}

ChartPainter::ChartPainter() {
    SetData({});
}

void ChartPainter::SetData(const CalcReport::ChartData& data) {
    if (m_curves.saturation.empty() || m_curves.pressureKPa != data.pressureKPa) {
        m_curves = PsychroChart::ChartCurves(data.pressureKPa);
    }
    m_data = data;
    double highest = kLeastW;
    for (const auto& state : m_data.states) {
        if (std::isfinite(state.air.W)) {
            highest = std::max(highest, state.air.W * 1.08);
        }
    }
    m_wMax = std::ceil(highest / kWStep - 1e-9) * kWStep;
}

double ChartPainter::FontSize(const QRectF& area) const {
    return std::min(area.height() / 36, area.width() / 52);
}

QRectF ChartPainter::PlotArea(const QRectF& area) const {
    const double f = FontSize(area);
    // Two rows of names above the plot: the relative humidities leave the top
    // close together.
    return area.adjusted(6.2 * f, 2.5 * f, -2.8 * f, -3.4 * f);
}

QStringList ChartPainter::LegendKeys() const {
    // The envelope's key in two lines keeps the key narrow, clear of the
    // wet bulbs' names along saturation.
    return {QStringLiteral("HX units' operating envelope,"),
            QStringLiteral("wet bulb %1 to %2 °C")
                .arg(Dehum_Units::kEnvelopeLow)
                .arg(Dehum_Units::kEnvelopeHigh),
            QStringLiteral("Wet bulb (°C)"), QStringLiteral("Relative humidity"),
            QStringLiteral("Barometric pressure %1 kPa").arg(m_data.pressureKPa)};
}

ChartPainter::Layout ChartPainter::Arrange(const QRectF& area, const QPaintDevice* device) const {
    const double f = FontSize(area);
    const QRectF plot = PlotArea(area);
    const QFontMetricsF small(ChartFont(0.82 * f), device);
    Layout layout;
    double textWidth = 0;
    const QStringList keys = LegendKeys();
    for (const QString& text : keys) {
        textWidth = std::max(textWidth, small.horizontalAdvance(text));
    }
    layout.legend = QRectF(plot.left() + 0.5 * f, plot.top() + 0.5 * f,
                           1.6 * f + textWidth + 1.2 * f, 1.15 * f * double(keys.size()) + 0.5 * f);

    // Each relative humidity named where its line leaves the plot: at the
    // top in the first row that has room, at the right beside it.
    auto exitOf = [this](const PsychroChart::Line& l) {
        for (const auto& p : l) {
            if (p.W > m_wMax) {
                return PsychroChart::Point{p.t, m_wMax};
            }
        }
        return l.back();
    };
    auto free = [&layout](const QRectF& box) {
        return std::none_of(layout.labels.begin(), layout.labels.end(),
                            [&box](const ChartLabel& l) { return l.box.intersects(box); });
    };
    auto nameLine = [&](const PsychroChart::Line& l, const QString& text, const QColor& colour) {
        const QPointF at = Map(plot, exitOf(l));
        const double width = small.horizontalAdvance(text) + 0.3 * f;
        if (at.x() >= plot.right() - 1) {
            const QRectF box(at.x() + 0.2 * f, at.y() - 0.6 * f, width, 1.2 * f);
            if (free(box)) {
                layout.labels.push_back({text, box, colour});
            }
            return;
        }
        for (int row = 0; row < 2; ++row) {
            const QRectF box(at.x() - width / 2, at.y() - (1.25 + 1.2 * row) * f, width, 1.2 * f);
            if (free(box)) {
                layout.labels.push_back({text, box, colour});
                return;
            }
        }
    };
    nameLine(m_curves.saturation, QStringLiteral("100%"), kSaturation);
    for (auto it = m_curves.relativeHumidity.rbegin(); it != m_curves.relativeHumidity.rend();
         ++it) {
        nameLine(it->second, QString::number(it->first) + QLatin1Char('%'), kRhLine.darker(140));
    }
    // Each wet bulb where its line starts on saturation, to the left of it.
    for (const auto& [twb, l] : m_curves.wetBulb) {
        const QPointF at = Map(plot, l.front());
        const QRectF box(at.x() - 2.4 * f, at.y() - 1.3 * f, 2.2 * f, 1.2 * f);
        if (plot.contains(box) && !box.intersects(layout.legend) && free(box)) {
            layout.labels.push_back({QString::number(twb), box, kWetBulbLine.darker(150)});
        }
    }
    return layout;
}

QPointF ChartPainter::Map(const QRectF& plot, PsychroChart::Point p) const {
    return {plot.left() +
                (p.t - kLowestDryBulb) / (kHighestDryBulb - kLowestDryBulb) * plot.width(),
            plot.bottom() - p.W / m_wMax * plot.height()};
}

int ChartPainter::StateAt(const QRectF& area, QPointF position) const {
    const QRectF plot = PlotArea(area);
    const double reach = std::max(0.9 * FontSize(area), 6.0);
    int nearest = -1;
    double best = reach;
    for (std::size_t i = 0; i < m_data.states.size(); ++i) {
        const auto& s = m_data.states[i];
        const QPointF at = Map(plot, {s.t, s.air.W});
        const double distance = std::hypot(at.x() - position.x(), at.y() - position.y());
        if (distance <= best) {
            best = distance;
            nearest = int(i);
        }
    }
    return nearest;
}

void ChartPainter::Paint(QPainter& painter, const QRectF& area) const {
    const double f = FontSize(area);
    const double line = std::max(f / 11, 0.6);
    const QRectF plot = PlotArea(area);
    const QFont font = ChartFont(f);
    const QFont small = ChartFont(0.82 * f);
    const QFontMetricsF metrics(font, painter.device());

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    // A line up to where it leaves the top, one point past it: what lies
    // further up is clipped anyway and only costs time to stroke.
    auto polyline = [this, &plot](const PsychroChart::Line& l) {
        QPolygonF points;
        points.reserve(qsizetype(l.size()));
        for (const auto& p : l) {
            points << Map(plot, p);
            if (p.W > m_wMax) {
                break;
            }
        }
        return points;
    };
    auto outline = [this, &plot](const PsychroChart::Line& l) {
        QPolygonF points;
        points.reserve(qsizetype(l.size()));
        for (const auto& p : l) {
            points << Map(plot, p);
        }
        return points;
    };

    // The grid and its scales.
    painter.setFont(font);
    for (double t = kLowestDryBulb; t <= kHighestDryBulb + 1e-9; t += kTStep) {
        const double x = Map(plot, {t, 0}).x();
        painter.setPen(QPen(kGrid, line));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(kText);
        painter.drawText(QRectF(x - 2 * f, plot.bottom() + 0.3 * f, 4 * f, 1.4 * f),
                         Qt::AlignHCenter | Qt::AlignTop, QString::number(t, 'f', 0));
    }
    const double wStep = m_wMax > 0.05 ? 2 * kWStep : kWStep;
    for (double W = 0; W <= m_wMax + 1e-12; W += wStep) {
        const double y = Map(plot, {0, W}).y();
        painter.setPen(QPen(kGrid, line));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(kText);
        painter.drawText(QRectF(plot.left() - 4.4 * f, y - 0.7 * f, 4 * f, 1.4 * f),
                         Qt::AlignRight | Qt::AlignVCenter, Wlabel(W));
    }
    painter.drawText(QRectF(plot.left(), plot.bottom() + 1.8 * f, plot.width(), 1.4 * f),
                     Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Dry bulb temperature (°C)"));
    painter.save();
    painter.translate(area.left() + 0.4 * f, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), 1.4 * f),
                     Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Humidity ratio (kg/kg)"));
    painter.restore();

    // The lines, kept inside the plot.
    painter.save();
    painter.setClipRect(plot, Qt::IntersectClip);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kEnvelopeFill);
    painter.drawPolygon(outline(m_curves.envelope));
    painter.setBrush(Qt::NoBrush);

    painter.setFont(small);
    for (const auto& [twb, l] : m_curves.wetBulb) {
        painter.setPen(QPen(kWetBulbLine, line));
        painter.drawPolyline(polyline(l));
    }
    painter.setPen(QPen(kRhLine, line));
    for (const auto& [rh, l] : m_curves.relativeHumidity) {
        painter.drawPolyline(polyline(l));
    }
    painter.setPen(QPen(kEnvelopeEdge, 2.2 * line));
    painter.drawPolyline(polyline(m_curves.envelopeLow));
    painter.drawPolyline(polyline(m_curves.envelopeHigh));
    painter.setPen(QPen(kSaturation, 2.4 * line));
    painter.drawPolyline(polyline(m_curves.saturation));
    painter.restore();

    // The key and the lines' names.
    const Layout layout = Arrange(area, painter.device());
    const QRectF& legend = layout.legend;
    const QStringList keys = LegendKeys();
    const double swatch = 1.6 * f;
    const double row = 1.15 * f;
    painter.setFont(small);
    for (const ChartLabel& label : layout.labels) {
        painter.setPen(label.colour);
        painter.drawText(label.box,
                         label.text.endsWith(QLatin1Char('%')) ? Qt::AlignCenter
                                                               : Qt::AlignRight | Qt::AlignBottom,
                         label.text);
    }

    // What the shading and the lines are, in the corner above saturation.
    painter.setPen(QPen(kGrid.darker(115), line));
    painter.setBrush(Qt::white);
    painter.drawRect(legend);
    const double textWidth = legend.width() - swatch - 1.2 * f;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const double y = legend.top() + 0.25 * f + row * double(i);
        const double mid = y + row / 2;
        const double x = legend.left() + 0.4 * f;
        painter.setBrush(Qt::NoBrush);
        switch (i) {
        case 0:
            // The envelope's swatch beside both of its lines.
            painter.setPen(Qt::NoPen);
            painter.setBrush(kEnvelopeFill);
            painter.drawRect(QRectF(x, mid - 0.35 * f, swatch - 0.4 * f, 0.7 * f + row));
            break;
        case 2:
            painter.setPen(QPen(kWetBulbLine, line));
            painter.drawLine(QPointF(x, mid), QPointF(x + swatch - 0.4 * f, mid));
            break;
        case 3:
            painter.setPen(QPen(kRhLine, line));
            painter.drawLine(QPointF(x, mid), QPointF(x + swatch - 0.4 * f, mid));
            break;
        default:
            break;
        }
        painter.setPen(kText);
        painter.drawText(QRectF(x + swatch, y, textWidth + 0.4 * f, row),
                         Qt::AlignLeft | Qt::AlignVCenter, keys[i]);
    }

    // The calculation's states.
    painter.setFont(font);
    const double radius = 0.42 * f;
    for (std::size_t i = 0; i < m_data.states.size(); ++i) {
        const auto& s = m_data.states[i];
        const QPointF at = Map(plot, {s.t, s.air.W});
        painter.setPen(QPen(Qt::white, line));
        painter.setBrush(StateColour(i));
        painter.drawEllipse(at, radius, radius);
        const QString label = QString::fromStdString(s.label);
        const double width = metrics.horizontalAdvance(label) + 0.2 * f;
        const bool left = at.x() + radius + width > plot.right();
        const QRectF box(left ? at.x() - radius - 0.2 * f - width : at.x() + radius + 0.2 * f,
                         at.y() - 1.5 * f, width, 1.3 * f);
        painter.setPen(StateColour(i).darker(130));
        painter.drawText(box, (left ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignBottom, label);
    }

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kText, line));
    painter.drawRect(plot);
    painter.restore();
}
