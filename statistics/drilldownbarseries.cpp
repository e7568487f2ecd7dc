#include "statistics/drilldownbarseries.h"

#include "statistics/drilldownchart.h"
#include "statistics/statictisview.h"

#include <QLabel>

using namespace QtCharts;

DrilldownBarSeries::DrilldownBarSeries(const QStringList &categories, int maxValue,
                                       DrilldownChart *chart, statictisView *view)
    : QStackedBarSeries(chart), m_categories(categories), m_maxValue(maxValue), m_chart(chart),
      m_view(view)
{
}

DrilldownBarSeries::~DrilldownBarSeries()
{
    // The labels live on the view, which outlasts every chart.
    delete m_nameLabel;
    delete m_hoursLabel;
}

void DrilldownBarSeries::setDrilldownSeries(int index, DrilldownBarSeries *series)
{
    m_drilldownSeries[index] = series;
}

DrilldownBarSeries *DrilldownBarSeries::drilldownSeries(int index) const
{
    return m_drilldownSeries.value(index, nullptr);
}

void DrilldownBarSeries::onBarHovered(bool status, int index, QBarSet *barset)
{
    if (status) {
        m_hoveredIndex = index;
        m_hoveredBarSet = barset;
        return;
    }
    removeHoverLabels();
}

void DrilldownBarSeries::removeHoverLabels()
{
    for (QLabel *label : {m_nameLabel.data(), m_hoursLabel.data()}) {
        if (label) {
            label->hide();
            label->deleteLater();
        }
    }
    m_nameLabel = nullptr;
    m_hoursLabel = nullptr;
}

void DrilldownBarSeries::showHoverLabels()
{
    if (!m_view || !m_hoveredBarSet || m_hoveredIndex < 0 ||
        m_hoveredIndex >= m_hoveredBarSet->count())
        return;
    // A new segment may be entered before the old one reported leaving.
    removeHoverLabels();
    const QString style = QStringLiteral("color: %1").arg(m_hoveredBarSet->color().name());
    const double hours = m_hoveredBarSet->at(m_hoveredIndex) / 60.0;
    const int x = m_view->width() / 2 - 28;

    m_nameLabel = new QLabel(m_hoveredBarSet->label(), m_view);
    m_nameLabel->setObjectName(QStringLiteral("hoverNameLabel"));
    m_nameLabel->setGeometry(x, 100, 200, 25);
    m_hoursLabel = new QLabel(QStringLiteral("%1小时").arg(hours, 0, 'g', 6), m_view);
    m_hoursLabel->setObjectName(QStringLiteral("hoverHoursLabel"));
    m_hoursLabel->setGeometry(x, 120, 200, 25);
    for (QLabel *label : {m_nameLabel.data(), m_hoursLabel.data()}) {
        label->setStyleSheet(style);
        label->show();
    }
}
