#pragma once

#include "core/weather/Year.h"

#include <QWidget>

#include <vector>

class QPainter;

// The year's load-duration curve: the hours sorted by total gain from the
// highest, against litres/day, with what 1, 2, ... units of each size remove
// drawn across it. The window and the report draw it alike.
struct DurationCurveData {
    std::vector<Weather::DurationPoint> points;
    std::vector<Weather::CapacityLine> lines;
};

void PaintDurationCurve(QPainter& painter, const QRectF& area, const DurationCurveData& data);

class DurationCurveView : public QWidget {
    Q_OBJECT

public:
    explicit DurationCurveView(QWidget* parent = nullptr);

    void SetData(DurationCurveData data);
    const DurationCurveData& Data() const { return m_data; }

    QSize sizeHint() const override { return {560, 320}; }
    QSize minimumSizeHint() const override { return {360, 220}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DurationCurveData m_data;
};
