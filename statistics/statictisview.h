#ifndef ORVANE_STATISTICS_STATICTISVIEW_H
#define ORVANE_STATISTICS_STATICTISVIEW_H

#include <QChartGlobal>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class StatisticsQuery;
class DrilldownBarSeries;
class DrilldownChart;

QT_CHARTS_BEGIN_NAMESPACE
class QChartView;
QT_CHARTS_END_NAMESPACE

// Minutes per label over a chosen range as stacked bars: years drill down to months, months to
// weeks, weeks to days. The whole drill-down tree is read when OK is pressed, so clicking
// through it never touches the database.
class statictisView : public QWidget {
    Q_OBJECT

public:
    // `returnView` is the window the back button goes back to (the history view).
    explicit statictisView(QWidget *parent = nullptr, QWidget *returnView = nullptr);
    ~statictisView() override;

    // The range as two "yyyy.MM.dd" texts; the range label shows the start alone when both are
    // the same day, else start + "至" + end. The date dialog's statistics role calls this.
    void setDateRange(const QString &start, const QString &end);
    QString startDate() const { return m_startDate; }
    QString endDate() const { return m_endDate; }

    // The queries over the current range (minutes).
    int monthMinutesInRange(int year, int month);
    int yearMinutesInRange(int year);
    void fillMonthBarsOfYear(int year, const QStringList &categories, DrilldownBarSeries *series);
    void fillWeekBarsOfMonth(int year, int monthIndex, DrilldownBarSeries *series);
    void fillDayBarsOfWeek(int year, int monthIndex, int weekIndex, DrilldownBarSeries *series);
    void fillDayBarsOfMonth(int year, int month, DrilldownBarSeries *series);
    int weekCountInMonth(int year, int month);
    int daysInWeekOfMonth(int year, int month, int week);

    // The mouse button of the last press on the chart: bars drill down on a left click and go
    // back up on a right press.
    Qt::MouseButton lastPressedButton() const { return m_lastPressedButton; }

public slots:
    void onBackButtonClicked();
    void onOkButtonClicked();
    void onDateComboBoxIndexChanged(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildChart();
    DrilldownBarSeries *buildYearsSeries(DrilldownChart *chart, int startYear, int endYear);
    // A year's months, each mapped to its weeks and each week to its days.
    DrilldownBarSeries *buildMonthsSeries(DrilldownChart *chart, int year, int maximum,
                                          DrilldownBarSeries *parent = nullptr);
    void connectSeries(DrilldownChart *chart, DrilldownBarSeries *series,
                       DrilldownBarSeries *parentSeries);

    QSqlDatabase m_db;
    QWidget *m_returnView = nullptr;
    QString m_startDate;
    QString m_endDate;
    std::unique_ptr<StatisticsQuery> m_query;

    QPushButton *m_backButton = nullptr;
    QPushButton *m_titleButton = nullptr;
    QLabel *m_dateLabel = nullptr;
    QComboBox *m_dateComboBox = nullptr;
    QLabel *m_rangeLabel = nullptr;
    QPushButton *m_okButton = nullptr;
    QtCharts::QChartView *m_chartView = nullptr;
    Qt::MouseButton m_lastPressedButton = Qt::NoButton;
};

#endif
