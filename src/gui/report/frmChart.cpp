#include "gui/report/frmChart.h"

#include "ui_frmChart.h"

#include "gui/common/Accessibility.h"
#include "gui/common/ScreenHelpers.h"
#include "gui/common/WindowPlacement.h"

#include <QKeyEvent>

frmChart::frmChart(QWidget* parent) : QWidget(parent, Qt::Window), m_ui(new Ui::frmChart) {
    InstallAccessibility();
    m_ui->setupUi(this);
    PressButtonsOnEnter(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &QWidget::close);
    Refresh();
}

frmChart::~frmChart() = default;

ChartView* frmChart::View() const {
    return m_ui->chart;
}

void frmChart::SetSource(Source source, std::function<bool()> detailsShown) {
    m_source = std::move(source);
    m_ui->chart->SetDetailsShown(std::move(detailsShown));
    Refresh();
}

void frmChart::Refresh() {
    const std::optional<CalcReport::ChartData> data =
        m_source ? m_source() : std::optional<CalcReport::ChartData>();
    // Before a run the lines alone, at the standard atmosphere the screens use.
    m_ui->chart->SetData(data.value_or(CalcReport::ChartData{}));
    m_ui->lblNote->setText(data ? tr("Rest the pointer on a point to see what it is.")
                                : tr("Press Calculate on the screen to plot its air here."));
}

void frmChart::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

frmChart* ShowChart(QWidget* screen) {
    auto* chart = screen->findChild<frmChart*>(QString(), Qt::FindDirectChildrenOnly);
    if (!chart) {
        chart = new frmChart(screen);
        PlaceOnScreen(chart);
    }
    chart->show();
    chart->raise();
    chart->activateWindow();
    return chart;
}
