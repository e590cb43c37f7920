#pragma once

#include "gui/report/ChartPainter.h"

#include <QWidget>

#include <functional>

// The psychrometric chart on screen. Resting the pointer on a plotted state
// shows what it is; its moist-air properties only while the details are
// revealed, as on the calculation screens.
class ChartView : public QWidget {
    Q_OBJECT

public:
    explicit ChartView(QWidget* parent = nullptr);

    void SetData(const CalcReport::ChartData& data);
    const ChartPainter& Chart() const { return m_chart; }

    // Asked each time a state's properties are shown.
    void SetDetailsShown(std::function<bool()> shown) { m_detailsShown = std::move(shown); }

    // What the pointer resting on that state shows.
    QString StateText(int state) const;

    QSize sizeHint() const override { return {720, 480}; }
    // Small enough for a small screen, large enough that the lines' names,
    // sized to the chart, stay at a legible 8 pixels.
    QSize minimumSizeHint() const override { return {520, 360}; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString Describe(int state, bool details) const;

    ChartPainter m_chart;
    std::function<bool()> m_detailsShown;
};
