// Bins and sums of the statistics over label tables written by the day view's save and by hand,
// checked against a plain per-day reading of the same tables.
#include "app/database.h"
#include "statistics/statisticsquery.h"
#include "tests/statistics/labelseed.h"
#include "tests/support/logcapture.h"
#include "tests/support/testenvironment.h"

#include <QRandomGenerator>
#include <QSqlQuery>
#include <QtTest>

namespace {

// "学习=60,0,30 运动=30,0,45": each bar set with its values in category order.
QString text(const LabelBars &bars)
{
    QStringList sets;
    for (int i = 0; i < bars.labels.size(); ++i) {
        QStringList values;
        for (int value : bars.values.at(i))
            values.append(QString::number(value));
        sets.append(bars.labels.at(i) + '=' + values.join(','));
    }
    return sets.join(' ');
}

QString text(const LabelList &list)
{
    QStringList entries;
    for (const LabelDuration &entry : list.entries())
        entries.append(entry.name + '=' + QString::number(entry.minutes));
    return entries.join(' ');
}

QVector<int> numbers(const QString &list)
{
    QVector<int> values;
    for (const QString &part : list.split(',', Qt::SkipEmptyParts))
        values.append(part.toInt());
    return values;
}

} // namespace

class TestStatisticsQuery : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    QSqlDatabase db;

    // Lines separated by "|": "2020.10.12 学习=60;运动=30" saves a day,
    // "2020.10.12..2020.10.18 学习=10" every day of a stretch, "2021.01.02@空任务表 运动=5" a
    // second template of a day, "table labelDuration_202010 运动=500" makes a table by hand.
    void seed(const QString &script)
    {
        for (const QString &line : script.split('|', Qt::SkipEmptyParts)) {
            const QString head = line.section(' ', 0, 0);
            const QString records = line.section(' ', 1);
            if (head == "table") {
                QVERIFY(
                    labelseed::makeTable(db, records.section(' ', 0, 0), records.section(' ', 1)));
                continue;
            }
            const QString templat = head.contains('@') ? head.section('@', 1) : "空时刻表";
            const QString days = head.section('@', 0, 0);
            const QDate first = QDate::fromString(days.section("..", 0, 0), "yyyy.MM.dd");
            const QDate last = days.contains("..")
                                   ? QDate::fromString(days.section("..", 1), "yyyy.MM.dd")
                                   : first;
            QVERIFY(first.isValid() && last.isValid());
            for (QDate day = first; day <= last; day = day.addDays(1))
                QVERIFY(labelseed::saveDay(db, day, records, templat));
        }
    }

    // The day's labels read the plain way: one lookup of its tables, one select per table.
    LabelList perDayReading(const QDate &date)
    {
        LabelList list;
        QSqlQuery tables(db);
        tables.exec(QStringLiteral("SELECT * FROM sqlite_master WHERE type='table' AND name like "
                                   "'labelDuration_Day%1%'")
                        .arg(date.toString("yyyyMMdd")));
        while (tables.next()) {
            QSqlQuery rows(db);
            rows.exec("select * from " + Database::quoteIdentifier(tables.value(2).toString()));
            while (rows.next())
                list.add(rows.value(1).toString(), rows.value(2).toInt());
        }
        if (list.isEmpty())
            list.add(QString(), 0);
        return list;
    }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        Database::connect(&db);
    }
    void cleanup()
    {
        db = QSqlDatabase();
        env.reset();
    }

    void bars_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>(
            "bins"); // years | months Y m,m | weeks Y M | days Y M | week Y M W
        QTest::addColumn<QString>("expected");

        QTest::newRow("one month: a bar per day, 0 where a label is missing")
            << "2020.10.11 学习=100|2020.10.12 学习=60;运动=30|2020.10.14 运动=45;学习=30|"
               "2020.10.15 学习=100"
            << "2020.10.12"
            << "2020.10.14"
            << "days 2020 10"
            << "学习=60,0,30 运动=30,0,45";
        QTest::newRow("month never closed: summed from its days, between partial months")
            << "2020.09.19 学习=100|2020.09.20 学习=10|2020.10.01..2020.10.30 运动=2|"
               "2020.11.10 学习=5|2020.11.11 学习=100"
            << "2020.09.20"
            << "2020.11.10"
            << "months 2020 9,10,11"
            << "学习=10,0,5 运动=0,60,0";
        QTest::newRow("closed month read from its table")
            << "2020.09.20 学习=10|2020.10.05 运动=2|table labelDuration_202010 运动=500;阅读=7"
            << "2020.09.20"
            << "2020.11.10"
            << "months 2020 9,10,11"
            << "学习=10,0,0 运动=0,500,0 阅读=0,7,0";
        QTest::newRow("first month from its days although closed")
            << "2020.09.25 学习=10|table labelDuration_202009 学习=999"
            << "2020.09.20"
            << "2020.10.05"
            << "months 2020 9,10"
            << "学习=10,0";
        QTest::newRow("weeks: closed from tables, the range's ends from days")
            << "2020.10.05..2020.10.11 学习=10|table labelDuration_202010week3 学习=999|"
               "2020.10.19..2020.10.21 学习=1"
            << "2020.10.07"
            << "2020.10.20"
            << "weeks 2020 10"
            << "学习=50,999,2";
        QTest::newRow("week whose Sunday was never saved: from its days")
            << "2020.10.12..2020.10.17 学习=10"
            << "2020.10.07"
            << "2020.10.20"
            << "weeks 2020 10"
            << "学习=0,60,0";
        QTest::newRow("empty label: no bar set")
            << "2020.10.12 =0;学习=30|table labelDuration_Day20201013手写 =45"
            << "2020.10.12"
            << "2020.10.13"
            << "days 2020 10"
            << "学习=30,0";
        QTest::newRow("first-seen order over bins, case kept apart")
            << "2020.10.12 B=1;A=2|2020.10.13 c=3;A=4;C=5"
            << "2020.10.12"
            << "2020.10.13"
            << "days 2020 10"
            << "B=1,0 A=2,4 c=0,3 C=0,5";
        QTest::newRow("week cut by the new year, two templates of a day")
            << "2020.12.31 学习=99|2021.01.01 学习=10|2021.01.02 学习=20|"
               "2021.01.02@空任务表 运动=5|2021.01.03 学习=99"
            << "2020.12.30"
            << "2021.01.02"
            << "week 2021 1 1"
            << "学习=10,20 运动=0,5";
        QTest::newRow("years: ends from days, the middle from its table")
            << "2019.12.30 学习=99|2019.12.31 学习=1|2020.06.01 学习=1000|"
               "table labelDuration_2020 学习=50;运动=7|2021.01.01 运动=3|2021.01.02 学习=100"
            << "2019.12.31"
            << "2021.01.01"
            << "years"
            << "学习=1,50,0 运动=0,7,3";
        QTest::newRow("middle year never closed: its months, closed or from days")
            << "2019.12.31 学习=1|2020.06.01 学习=1000|table labelDuration_202003 运动=7|"
               "2021.01.01 运动=3"
            << "2019.12.31"
            << "2021.01.01"
            << "years"
            << "学习=1,1000,0 运动=0,7,3";
        QTest::newRow("2020.12.30 to 2021.01.02: two years")
            << "2020.12.30 学习=60|2020.12.31 学习=30|2021.01.02 运动=90"
            << "2020.12.30"
            << "2021.01.02"
            << "years"
            << "学习=90,0 运动=0,90";
        QTest::newRow("apostrophes in labels and template names")
            << "2020.10.12@it's_mine 学习'=30|2020.10.12 it's=15"
            << "2020.10.12"
            << "2020.10.12"
            << "days 2020 10"
            << "学习'=30 it's=15";
    }

    void bars()
    {
        QFETCH(QString, script);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, bins);
        QFETCH(QString, expected);
        seed(script);
        StatisticsQuery query(db);
        query.setRange(start, end);
        const QStringList words = bins.split(' ');
        const int year = words.value(1).toInt();
        LabelBars result;
        if (words.at(0) == "years")
            result = query.yearBars();
        else if (words.at(0) == "months")
            result = query.monthBarsOfYear(year, numbers(words.at(2)));
        else if (words.at(0) == "weeks")
            result = query.weekBarsOfMonth(year, words.at(2).toInt());
        else if (words.at(0) == "week")
            result = query.dayBarsOfWeek(year, words.at(2).toInt(), words.at(3).toInt());
        else
            result = query.dayBarsOfMonth(year, words.at(2).toInt());
        QCOMPARE(text(result), expected);
    }

    void minutes_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month"); // 0: the year's minutes
        QTest::addColumn<int>("expected");

        const QString years = "2019.11.30 学习=100|2019.12.31 学习=1|2020.06.01 学习=1000|"
                              "2020.07.01 运动=5|2021.01.01 运动=3|2021.01.02 运动=100";
        QTest::newRow("middle year without its table: its months")
            << years << "2019.12.31"
            << "2021.01.01" << 2020 << 0 << 1005;
        QTest::newRow("middle year with its table")
            << years + "|table labelDuration_2020 学习=50;运动=7"
            << "2019.12.31"
            << "2021.01.01" << 2020 << 0 << 57;
        QTest::newRow("first year from the start day") << years << "2019.12.31"
                                                       << "2021.01.01" << 2019 << 0 << 1;
        QTest::newRow("last year to the end day") << years << "2019.12.31"
                                                  << "2021.01.01" << 2021 << 0 << 3;
        QTest::newRow("range inside one year")
            << "2020.03.05 学习=10|2020.03.06 学习=20|2020.04.30 学习=7|2020.05.01 学习=100"
            << "2020.03.06"
            << "2020.04.30" << 2020 << 0 << 27;
        QTest::newRow("month always from its days, table or not")
            << "2020.10.01..2020.10.31 学习=2|table labelDuration_202011 学习=500|"
               "2020.11.02 学习=4"
            << "2020.10.02"
            << "2020.12.31" << 2020 << 10 << 60;
        QTest::newRow("month wholly inside")
            << "2020.10.01..2020.10.31 学习=2|table labelDuration_202011 学习=500|"
               "2020.11.02 学习=4"
            << "2020.10.02"
            << "2020.12.31" << 2020 << 11 << 4;
    }

    void minutes()
    {
        QFETCH(QString, script);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, expected);
        seed(script);
        StatisticsQuery query(db);
        query.setRange(start, end);
        LogCapture log;
        if (month == 0) {
            QCOMPARE(query.yearMinutesInRange(year), expected);
        } else {
            QCOMPARE(query.monthMinutesInRange(year, month), expected);
            QVERIFY(log.contains(QString("sum duration is %1").arg(expected)));
        }
    }

    // Many schedules over a year, some with awkward names, read in batches: every day gives the
    // same labels in the same order as reading it table by table.
    void batchedReadingMatchesPerDayReading()
    {
        QRandomGenerator random(12);
        const QStringList labels{"学习", "运动", "Read", "read", "it's", ""};
        const QStringList templates{"空时刻表", "空任务表", "my 'plan'"};
        const QDate first(2021, 1, 1);
        int tables = 0;
        db.transaction();
        for (QDate day = first; day.year() == 2021; day = day.addDays(1)) {
            for (const QString &templat : templates) {
                if (random.bounded(3) == 0)
                    continue;
                QStringList records;
                for (int i = random.bounded(1, 5); i > 0; --i)
                    records.append(labels.at(random.bounded(labels.size())) + '=' +
                                   QString::number(random.bounded(200)));
                QVERIFY(labelseed::makeTable(
                    db, "labelDuration_" + labelseed::dayTableName(day, templat),
                    records.join(';')));
                ++tables;
            }
        }
        QVERIFY(db.commit());
        QVERIFY(tables > 600); // more than one batch
        // Names the per-day pattern also finds, and a table without the usual columns.
        QVERIFY(labelseed::makeTable(db, "LABELDURATION_DAY20210105x", "学习=7"));
        QVERIFY(labelseed::makeTable(db, "labelDurationXDay20210106", "运动=9"));
        QSqlQuery query(db);
        QVERIFY(query.exec("create table labelDuration_Day20210107odd(a, b, c)"));
        QVERIFY(query.exec("insert into labelDuration_Day20210107odd values(1, '散步', 40)"));

        LogCapture log;
        StatisticsQuery statistics(db);
        statistics.setRange("2021.01.01", "2021.12.31");
        statistics.load();
        // The odd table is read on its own; the rest in batches.
        QVERIFY(statistics.statementCount() < 10);
        for (QDate day = first; day.year() == 2021; day = day.addDays(1)) {
            QCOMPARE(text(statistics.dayBin(day.year(), day.month(), day.day())),
                     text(perDayReading(day)));
        }
        QVERIFY(text(statistics.dayBin(2021, 1, 7)).endsWith(" 散步=40"));
    }

    // Once read, the range is answered from memory; a new range (or the same one set again)
    // reads what was saved since.
    void answersFromMemoryUntilRangeIsSetAgain()
    {
        seed("2020.10.12 学习=10|2020.10.13 学习=20");
        StatisticsQuery query(db);
        query.setRange("2020.10.01", "2020.11.30");
        QCOMPARE(query.monthMinutesInRange(2020, 10), 30);
        const int statements = query.statementCount();
        QVERIFY(statements > 0);
        query.weekBarsOfMonth(2020, 10);
        query.monthBarsOfYear(2020, {10, 11});
        QCOMPARE(query.statementCount(), statements);

        seed("2020.10.14 学习=5");
        query.setRange("2020.10.01", "2020.11.30");
        QCOMPARE(query.monthMinutesInRange(2020, 10), 35);
    }

    void logLines()
    {
        seed("2020.10.12 学习=10");
        StatisticsQuery query(db);
        query.setRange("2020.10.01", "2020.12.31");
        LogCapture log;
        QCOMPARE(text(query.monthBarsOfYear(2020, {10, 11, 12})), QString("学习=10,0,0"));
        QVERIFY(log.contains("labelDurationStructListList.size() final is 3"));
        QVERIFY(log.contains("labelDuration_202011 was never closed, read from its parts"));
    }
};

QTEST_GUILESS_MAIN(TestStatisticsQuery)
#include "tst_statisticsquery.moc"
