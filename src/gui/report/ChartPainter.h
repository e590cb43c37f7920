#pragma once

#include "core/psychrometrics/ChartCurves.h"
#include "core/report/CalcReport.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;
class QPaintDevice;

// A line's name on the chart and the box it is written in.
struct ChartLabel {
    QString text;
    QRectF box;
    QColor colour;
};

// Draws the psychrometric chart of one calculation into any painter: a window,
// a PDF page or a printer. Every length follows the size of the area it is
// given, so the chart reads the same on screen and on paper, and it is drawn
// as lines and text, never as a picture.
class ChartPainter {
public:
    ChartPainter();

    // The states to plot and the pressure to draw the lines at.
    void SetData(const CalcReport::ChartData& data);
    const CalcReport::ChartData& Data() const { return m_data; }

    void Paint(QPainter& painter, const QRectF& area) const;

    // Where the plot lies inside the area, and the highest humidity ratio it
    // shows; dry bulbs run over the calculations' whole range.
    QRectF PlotArea(const QRectF& area) const;
    double HighestW() const { return m_wMax; }

    // Where the key stands and the lines' names go on a device like that one:
    // each relative humidity where its line leaves the plot, each wet bulb
    // where its line starts on saturation inside it; none on another or on
    // the key.
    struct Layout {
        QRectF legend;
        QList<ChartLabel> labels;
    };
    Layout Arrange(const QRectF& area, const QPaintDevice* device) const;

    // The state drawn at that position of the area, or -1.
    int StateAt(const QRectF& area, QPointF position) const;

    // The colour each state's mark is filled with, in the order of the states.
    static QColor StateColour(std::size_t index);

private:
    QPointF Map(const QRectF& plot, PsychroChart::Point p) const;
    QStringList LegendKeys() const;
    double FontSize(const QRectF& area) const;

    CalcReport::ChartData m_data;
    PsychroChart::Curves m_curves;
    double m_wMax = 0;
};
