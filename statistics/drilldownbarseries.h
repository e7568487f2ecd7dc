#ifndef ORVANE_STATISTICS_DRILLDOWNBARSERIES_H
#define ORVANE_STATISTICS_DRILLDOWNBARSERIES_H

#include <QBarSet>
#include <QLabel>
#include <QMap>
#include <QPointer>
#include <QStackedBarSeries>
#include <QStringList>

class DrilldownChart;

class statictisView;

// One level of the drill-down tree: stacked bars (one bar set per label) over its categories,
// the series each bar opens, and the hover labels of the segment under the mouse.
class DrilldownBarSeries : public QtCharts::QStackedBarSeries {
    Q_OBJECT

public:
    // The chart owns the series; `view` holds the hover labels.
    DrilldownBarSeries(const QStringList &categories, int maxValue, DrilldownChart *chart,
                       statictisView *view);
    ~DrilldownBarSeries() override;

    void setDrilldownSeries(int index, DrilldownBarSeries *series);
    // The series shown when bar `index` is clicked; null when there is none.
    DrilldownBarSeries *drilldownSeries(int index) const;
    QStringList categories() const { return m_categories; }
    int maxValue() const { return m_maxValue; }
    statictisView *view() const { return m_view; }

    // The two labels shown while a segment is hovered; null when none is.
    QLabel *nameLabel() const { return m_nameLabel; }
    QLabel *hoursLabel() const { return m_hoursLabel; }

public slots:
    void onBarHovered(bool status, int index, QtCharts::QBarSet *barset);
    void showHoverLabels();

private:
    void removeHoverLabels();

    QMap<int, DrilldownBarSeries *> m_drilldownSeries;
    QStringList m_categories;
    int m_maxValue = 0;
    DrilldownChart *m_chart = nullptr;
    statictisView *m_view = nullptr;
    int m_hoveredIndex = -1;
    QPointer<QtCharts::QBarSet> m_hoveredBarSet;
    QPointer<QLabel> m_nameLabel;
    QPointer<QLabel> m_hoursLabel;
};

#endif
