// The statistics window over three years of saved days (four labels a day, one schedule each):
// the time from OK to the chart shown for the whole three-year range, next to a plain scan of
// every label table of those days, and the SQL statements OK runs.
#include "app/database.h"
#include "bench/support/benchtimer.h"
#include "statistics/statictisview.h"
#include "statistics/statisticsquery.h"
#include "statistics/weekcalendar.h"
#include "tests/statistics/labelseed.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/support/widgetfinder.h"

#include <QApplication>
#include <QChartView>
#include <QPushButton>
#include <QSqlDriver>
#include <QSqlQuery>
#include <cstdio>

extern "C" {
struct sqlite3;
int sqlite3_trace_v2(sqlite3 *, unsigned mask, int (*)(unsigned, void *, void *, void *), void *);
}

namespace {
const unsigned traceStatement = 0x01; // SQLITE_TRACE_STMT
int statements = 0;

int countStatement(unsigned, void *, void *, void *)
{
    ++statements;
    return 0;
}

void installStatementCounter(QSqlDatabase db)
{
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") == 0)
        sqlite3_trace_v2(*static_cast<sqlite3 *const *>(handle.data()), traceStatement,
                         countStatement, nullptr);
}

// What reading the days one statement at a time would cost at least: one select of every label
// table of the range, rows read and summed.
int plainScan(QSqlDatabase db, const QStringList &tables)
{
    int total = 0;
    for (const QString &table : tables) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        query.exec("select * from " + Database::quoteIdentifier(table));
        while (query.next())
            total += query.value(2).toInt();
    }
    return total;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestEnvironment env(QRect(0, 0, 1920, 1040), QDate(2025, 12, 31));
    PromptScript prompts;
    LogCapture quiet;
    QSqlDatabase db;
    Database::connect(&db);

    const QDate first(2023, 1, 1);
    const QDate last(2025, 12, 31);
    QStringList tables;
    QSqlQuery(db).exec("PRAGMA synchronous = OFF"); // seeding only
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        labelseed::saveDay(db, day, "工作=240;学习=90;运动=45;阅读=30");
        tables.append("labelDuration_" + labelseed::dayTableName(day, "空时刻表"));
    }

    QSqlQuery(db).exec("PRAGMA synchronous = FULL");

    statictisView view(nullptr, nullptr);
    view.show();
    QCoreApplication::processEvents();
    view.setDateRange(first.toString("yyyy.MM.dd"), last.toString("yyyy.MM.dd"));
    auto *ok = findByName<QPushButton>(&view, "okButton");

    const int runs = 7;
    plainScan(db, tables); // warm the page cache as OK's first run does for itself
    const double floor = medianMs(runs, nullptr, [&] { plainScan(db, tables); });
    const double okToChart = medianMs(runs, nullptr, [&] {
        ok->click();
        QCoreApplication::processEvents();
    });

    const double reading = medianMs(runs, nullptr, [&] {
        StatisticsQuery query(db);
        query.setRange(view.startDate(), view.endDate());
        query.load();
    });

    installStatementCounter(db);
    statements = 0;
    ok->click();
    const int okStatements = statements;

    // Reading day by day: a lookup and a select for each day of the first and last year, one
    // select per closed total in between (the middle year, its months and weeks).
    int partsWay = 0;
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        if (day.year() == first.year() || day.year() == last.year())
            partsWay += 2;
    }
    for (int year = first.year() + 1; year < last.year(); ++year) {
        partsWay += 1 + 12;
        for (int month = 1; month <= 12; ++month)
            partsWay += WeekCalendar::weekCountInMonth(year, month);
    }

    std::printf("statistics over %lld saved days (%s to %s), median of %d runs\n",
                static_cast<long long>(first.daysTo(last) + 1),
                qPrintable(first.toString("yyyy.MM.dd")), qPrintable(last.toString("yyyy.MM.dd")),
                runs);
    std::printf("%-52s %10.1f ms\n", "OK to chart shown (whole drill-down tree)", okToChart);
    std::printf("%-52s %10.1f ms\n", "  of which reading the range's tables", reading);
    std::printf("%-52s %10.1f ms\n", "floor: one select of every label table of the days", floor);
    std::printf("%-52s %10.2f x\n", "ratio", floor > 0 ? okToChart / floor : 0.0);
    std::printf("%-52s %10d\n", "SQL statements run by OK", okStatements);
    std::printf("%-52s %10d\n", "statements of a day-by-day reading (estimate)", partsWay);
    return 0;
}
