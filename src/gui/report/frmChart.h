#pragma once

#include "core/report/CalcReport.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class frmChart;
}
class ChartView;

// The psychrometric chart of one calculation screen: the room and the other
// air of its last completed run against the units' envelope. Opened from its
// screen, destroyed when closed.
class frmChart : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("accessibleRole", "Window")

public:
    explicit frmChart(QWidget* parent);
    ~frmChart() override;

    // Where the states come from: the screen's last completed run, none before
    // one; and whether their moist-air properties may be shown, the screen's
    // details lock. Plots the states at once.
    using Source = std::function<std::optional<CalcReport::ChartData>()>;
    void SetSource(Source source, std::function<bool()> detailsShown);

    // Plots the source's states as they now stand.
    void Refresh();

    ChartView* View() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::frmChart> m_ui;
    Source m_source;
};

// The chart window of that screen, opened or brought forward: one per screen.
frmChart* ShowChart(QWidget* screen);
