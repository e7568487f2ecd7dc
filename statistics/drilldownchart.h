#ifndef ORVANE_STATISTICS_DRILLDOWNCHART_H
#define ORVANE_STATISTICS_DRILLDOWNCHART_H

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QValueAxis>

class DrilldownBarSeries;

// A bar chart that shows one series of a drill-down tree at a time. Every series of the tree
// belongs to the chart, shown or not, and goes with it.
class DrilldownChart : public QtCharts::QChart {
    Q_OBJECT

public:
    explicit DrilldownChart(QGraphicsItem *parent = nullptr,
                            Qt::WindowFlags wFlags = Qt::WindowFlags());

    void showSeries(DrilldownBarSeries *series);
    DrilldownBarSeries *currentSeries() const { return m_currentSeries; }
    QtCharts::QBarCategoryAxis *categoryAxis() const { return m_axisX; }
    QtCharts::QValueAxis *valueAxis() const { return m_axisY; }

public slots:
    // A left click on a bar of the sending series shows the series mapped to that bar.
    void handleClicked(int index, QtCharts::QBarSet *barset);

private:
    DrilldownBarSeries *m_currentSeries = nullptr;
    QtCharts::QBarCategoryAxis *m_axisX = nullptr;
    QtCharts::QValueAxis *m_axisY = nullptr;
};

#endif
