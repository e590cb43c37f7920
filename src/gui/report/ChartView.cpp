#include "gui/report/ChartView.h"

#include "core/common/NumberText.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {

QString Number(double value) {
    return QString::fromStdString(NumberText::FormatGeneral(value));
}

// As the detail panels write them.
QString Fixed(double value, int decimals) {
    return QString::fromStdString(NumberText::FormatFixed(value, decimals));
}

} // namespace

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(tr("Psychrometric chart"));
    SetData({});
}

void ChartView::SetData(const CalcReport::ChartData& data) {
    m_chart.SetData(data);
    QStringList states;
    for (int i = 0; i < int(data.states.size()); ++i) {
        states << Describe(i, false).replace(QLatin1Char('\n'), QStringLiteral(", "));
    }
    setAccessibleDescription(states.join(QStringLiteral("; ")));
    update();
}

QString ChartView::StateText(int state) const {
    return Describe(state, m_detailsShown && m_detailsShown());
}

QString ChartView::Describe(int state, bool details) const {
    const auto& s = m_chart.Data().states.at(std::size_t(state));
    QStringList lines{QString::fromStdString(s.label),
                      tr("Dry bulb %1 °C, relative humidity %2 %").arg(Number(s.t), Number(s.rh))};
    if (details) {
        lines << tr("W %1 kg/kg, h %2 kJ/kg").arg(Fixed(s.air.W, 4), Fixed(s.air.h, 2));
        if (s.dewPoint) {
            lines << tr("Dew point %1 °C").arg(Fixed(s.air.DP, 2));
        }
        if (s.wetBulb) {
            lines << tr("Wet bulb %1 °C").arg(Fixed(*s.wetBulb, 2));
        }
    }
    return lines.join(QLatin1Char('\n'));
}

bool ChartView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int state = m_chart.StateAt(QRectF(rect()), help->pos());
        if (state < 0) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), StateText(state), this);
        }
        return true;
    }
    return QWidget::event(event);
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    m_chart.Paint(painter, QRectF(rect()));
}
