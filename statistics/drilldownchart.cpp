#include "statistics/drilldownchart.h"

#include "statistics/drilldownbarseries.h"
#include "statistics/statictisview.h"

using namespace QtCharts;

DrilldownChart::DrilldownChart(QGraphicsItem *parent, Qt::WindowFlags wFlags)
    : QChart(QChart::ChartTypeCartesian, parent, wFlags), m_axisX(new QBarCategoryAxis),
      m_axisY(new QValueAxis)
{
    addAxis(m_axisX, Qt::AlignBottom);
    addAxis(m_axisY, Qt::AlignLeft);
    setAcceptHoverEvents(true);
}

void DrilldownChart::showSeries(DrilldownBarSeries *series)
{
    if (!series || series == m_currentSeries)
        return;
    if (m_currentSeries) {
        removeSeries(m_currentSeries);
        // Removing hands the series back; it stays with the chart for the next visit.
        m_currentSeries->setParent(this);
    }
    m_currentSeries = series;
    m_axisX->setCategories(series->categories());
    addSeries(series);
    series->attachAxis(m_axisX);
    series->attachAxis(m_axisY);
    m_axisY->setRange(0, series->maxValue());
    setTitle(series->name());
}

void DrilldownChart::handleClicked(int index, QBarSet *barset)
{
    Q_UNUSED(barset)
    auto *series = qobject_cast<DrilldownBarSeries *>(sender());
    if (!series || series != m_currentSeries)
        return;
    if (series->view() && series->view()->lastPressedButton() != Qt::LeftButton)
        return;
    showSeries(series->drilldownSeries(index));
}
