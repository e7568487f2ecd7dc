// The day view's actions without a window: which schedule a date shows, a new day made from
// its template, the save with its label and summary tables, and the drop. Real database file,
// read back over a separate connection.
#include "app/database.h"
#include "app/settings.h"
#include "schedule/dayactions.h"
#include "schedule/summarystore.h"
#include "schedule/templatestore.h"
#include "tests/support/testenvironment.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>
#include <sqlite3.h>

namespace {
const QDate day(2024, 11, 3); // a Sunday: saving it closes its week
const QString table = QStringLiteral("Day20241103空时刻表");

QString q(const QString &name)
{
    return Database::quoteIdentifier(name);
}

// The rows of a query over the check connection, each as "|"-joined values; "<failed>" when
// the query fails (a missing table).
QStringList rows(TestEnvironment &env, const QString &sql)
{
    QSqlQuery query(env.checkConnection());
    if (!query.exec(sql))
        return {"<failed>"};
    QStringList out;
    while (query.next()) {
        QStringList values;
        for (int i = 0; i < query.record().count(); ++i)
            values.append(query.value(i).toString());
        out.append(values.join('|'));
    }
    return out;
}

DayRecordEdit record(const QString &start, const QString &end, const QString &plan,
                     const QString &caption)
{
    DayRecordEdit r;
    r.timed = !start.isEmpty();
    r.start = start;
    r.end = end;
    r.plan = plan;
    r.result = plan + "!";
    r.planHeight = 120;
    r.resultHeight = 90;
    r.labelCaption = caption;
    return r;
}

// Edits of the first three of the built-in time table's nine timed records, and of its summary
// text and score.
DayEdits threeRecords()
{
    DayEdits edits;
    edits.records = {record("08:00", "09:30", "读书", "标签:学习"),
                     record("09:30", "10:00", "跑步", "标签:运动"),
                     record("10:00", "11:00", "it's", "类别标签")};
    edits.texts = {DaySummaryTextEdit{"<p>总结</p>", 150}};
    edits.scores = {7};
    return edits;
}
} // namespace

// A fresh world with the day made from the built-in time table.
struct NewDay {
    TestEnvironment env;
    QSqlDatabase db;
    DayActions actions{(Database::connect(&db), TemplateStore::createBuiltInTemplates(), db)};
    NewDay() { QCOMPARE(actions.openSchedule(table, nullptr), DayStore::HasContent); }
};

class TestDayActions : public QObject {
    Q_OBJECT

private slots:
    void scheduleOfDate_data()
    {
        QTest::addColumn<QStringList>("xmlTables"); // templates of day tables; "*" = with content
        QTest::addColumn<QStringList>("excelTemplates");
        QTest::addColumn<QString>("defaultTemplate");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("templateName");

        using S = DayActions::DateSchedule;
        QTest::newRow("nothing yet") << QStringList() << QStringList() << QString()
                                     << int(S::NewFromDefault) << QString("空时刻表");
        QTest::newRow("nothing, default none")
            << QStringList() << QStringList() << QString("无") << int(S::None) << QString("无");
        QTest::newRow("one schedule") << QStringList{"*周计划"} << QStringList() << QString()
                                      << int(S::Xml) << QString("周计划");
        QTest::newRow("a blank schedule counts as none")
            << QStringList{"周计划"} << QStringList() << QString("空任务表")
            << int(S::NewFromDefault) << QString("空任务表");
        QTest::newRow("one Excel schedule") << QStringList() << QStringList{"Excel_表"} << QString()
                                            << int(S::Excel) << QString("Excel_表");
        QTest::newRow("two schedules") << QStringList{"*a", "*b"} << QStringList() << QString()
                                       << int(S::Chooser) << QString();
        QTest::newRow("schedule and workbook") << QStringList{"*a"} << QStringList{"Excel_b"}
                                               << QString() << int(S::Chooser) << QString();
        // LIKE would take "_" for any character; another date's tables never count.
        QTest::newRow("other dates")
            << QStringList{"*../Day20241104x", "*../Day2024110x"} << QStringList() << QString("无")
            << int(S::None) << QString("无");
    }

    void scheduleOfDate()
    {
        QFETCH(QStringList, xmlTables);
        QFETCH(QStringList, excelTemplates);
        QFETCH(QString, defaultTemplate);
        QFETCH(int, kind);
        QFETCH(QString, templateName);

        TestEnvironment env;
        QSqlDatabase db;
        QVERIFY(Database::connect(&db));
        if (!defaultTemplate.isEmpty())
            TemplateStore::setDefaultTemplate(defaultTemplate);
        DayStore store(db);
        QSqlQuery query(db);
        for (QString name : xmlTables) {
            const bool content = name.startsWith('*');
            name.remove(0, content ? 1 : 0);
            const QString dayTable =
                name.startsWith("../") ? name.mid(3) : QStringLiteral("Day20241103") + name;
            QVERIFY(store.createTables(dayTable));
            QVERIFY(query.exec("insert into " + q(dayTable) + " values(0,0,'','" +
                               (content ? "计划" : "") + "','','','2024-11-03',100,100,1)"));
        }
        for (const QString &name : excelTemplates)
            QVERIFY(query.exec("create table " + q("Excel_Day20241103" + name) +
                               "(id int PRIMARY KEY, path TEXT)"));

        const DayActions::DateSchedule choice = DayActions(db).scheduleOfDate(day);
        QCOMPARE(int(choice.kind), kind);
        QCOMPARE(choice.templateName, templateName);
    }

    // A new day gets its three tables and the template's rows together; a second open finds it.
    void openScheduleMakesTheDayOnce()
    {
        TestEnvironment env;
        QSqlDatabase db;
        QVERIFY(Database::connect(&db));
        QVERIFY(TemplateStore::createBuiltInTemplates());
        DayActions actions(db);
        UserMessages messages;
        bool created = false;
        QCOMPARE(actions.openSchedule(table, &messages, &created), DayStore::HasContent);
        QVERIFY(created);
        QVERIFY(messages.isEmpty());
        QCOMPARE(rows(env, "select count(*) from " + q(table)), QStringList{"9"});
        QCOMPARE(rows(env, "select count(*) from " + q("summary_" + table)), QStringList{"2"});
        QCOMPARE(rows(env, "select count(*) from " + q("labelDuration_" + table)),
                 QStringList{"0"});
        QCOMPARE(actions.openSchedule(table, &messages, &created), DayStore::Empty);
        QVERIFY(!created);

        // A template that is gone falls back to the built-in time table, and says so.
        QCOMPARE(actions.openSchedule("Day20241104gone", &messages, &created),
                 DayStore::HasContent);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().text, QString("指定的模板文件已被您删除了,已为您启用空时刻表。"));
    }

    // A template row that cannot be written fails the new day as a whole: no tables, and the
    // person is told, instead of a day with some of its records missing.
    void openScheduleWithARefusedRowMakesNothing()
    {
        TestEnvironment env;
        QSqlDatabase db;
        QVERIFY(Database::connect(&db));
        QVERIFY(TemplateStore::createBuiltInTemplates());
        sqlite3 *handle = *static_cast<sqlite3 *const *>(db.driver()->handle().constData());
        QVERIFY(handle);
        // Inserts into the day table itself are refused; its summary and label tables are not.
        auto refuseDayRows = [](void *, int action, const char *table, const char *, const char *,
                                const char *) {
            return action == SQLITE_INSERT && table && QString::fromUtf8(table) == ::table
                       ? SQLITE_DENY
                       : SQLITE_OK;
        };
        sqlite3_set_authorizer(handle, refuseDayRows, nullptr);
        UserMessages messages;
        bool created = false;
        const DayStore::TableState state = DayActions(db).openSchedule(table, &messages, &created);
        sqlite3_set_authorizer(handle, nullptr, nullptr);
        QCOMPARE(state, DayStore::TableCreateFailure);
        QVERIFY(!created);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().text, DayActions::dayCreateFailedMessage);
        QCOMPARE(rows(env, "select count(*) from sqlite_master where name like '%" + table + "'"),
                 QStringList{"0"});
        // Once rows can be written again the day is made whole.
        QCOMPARE(DayActions(db).openSchedule(table, &messages, &created), DayStore::HasContent);
        QCOMPARE(rows(env, "select count(*) from " + q(table)), QStringList{"9"});
    }

    void saveDayWritesRecordsLabelsTotalsAndSummary()
    {
        NewDay w;
        QSqlDatabase &db = w.db;
        TestEnvironment &env = w.env;
        DayActions &actions = w.actions;
        DayStore store(db);
        QVERIFY(store.writeLabel(table, 0, "学习") && store.writeLabel(table, 1, "运动"));

        QVERIFY(actions.saveDay(table, day, threeRecords()));
        QCOMPARE(
            rows(env, "select manualIndex, time, plan, result, planHeight, resultHeight from " +
                          q(table) + " where manualIndex < 3 order by manualIndex"),
            (QStringList{"0|08:00--09:30|读书|读书!|120|90", "1|09:30--10:00|跑步|跑步!|120|90",
                         "2|10:00--11:00|it&#39;s|it&#39;s!|120|90"}));
        QCOMPARE(rows(env, "select labelName, labelDuration from " + q("labelDuration_" + table) +
                               " where id < 4 order by id"),
                 (QStringList{"学习|90", "运动|30", "|0", "|0"}));
        // The Sunday closes its week.
        QCOMPARE(rows(env, "select labelName, labelDuration from labelDuration_202411week1 where "
                           "labelName != ''"),
                 (QStringList{"学习|90", "运动|30"}));
        QCOMPARE(rows(env, "select contentDetail, height from " + q("summary_" + table) +
                               " order by id"),
                 (QStringList{"<p>总结</p>|150", "7|30"}));
    }

    // Any failing statement leaves the whole day as it was: records, labels, totals, summary.
    void failedSaveChangesNothing_data()
    {
        QTest::addColumn<QString>("failingTable");
        QTest::newRow("summary") << "summary_" + table;
        QTest::newRow("records") << table;
    }

    void failedSaveChangesNothing()
    {
        QFETCH(QString, failingTable);
        NewDay w;
        QSqlDatabase &db = w.db;
        TestEnvironment &env = w.env;
        DayActions &actions = w.actions;
        QSqlQuery query(db);
        QVERIFY(query.exec("create trigger fail before update on " + q(failingTable) +
                           " begin select raise(abort, 'disk full'); end"));
        const QString everything = "select * from " + q(table) + " union all select " +
                                   "id, contentType, contentName, contentDetail, height, " +
                                   "null, null, null, null, null from " + q("summary_" + table);
        const QStringList before = rows(env, everything);

        QVERIFY(!actions.saveDay(table, day, threeRecords()));
        QCOMPARE(rows(env, everything), before);
        QCOMPARE(rows(env, "select count(*) from " + q("labelDuration_" + table)),
                 QStringList{"0"});
        QCOMPARE(rows(env, "select count(*) from labelDuration_202411week1"),
                 QStringList{"<failed>"});
    }

    // A settings file that lost the summary's keys: what the view shows (the table's items) is
    // saved, and the keys are written again.
    void saveWithoutSummaryKeysStoresTheItemsShown()
    {
        NewDay w;
        QSqlDatabase &db = w.db;
        TestEnvironment &env = w.env;
        DayActions &actions = w.actions;
        const QString summaryTable = "summary_" + table;
        SummaryStore::removeKeys(summaryTable);

        QVERIFY(actions.saveDay(table, day, threeRecords()));
        QCOMPARE(rows(env, "select contentDetail from " + q(summaryTable) + " order by id"),
                 (QStringList{"<p>总结</p>", "7"}));
        QCOMPARE(Settings::read(summaryTable + SummaryStore::textCountSuffix).toInt(), 1);
        QCOMPARE(Settings::read(summaryTable + SummaryStore::scoreCountSuffix).toInt(), 1);
        QCOMPARE(SummaryStore(db, table).readNames(SummaryStore::Texts) +
                     SummaryStore(db, table).readNames(SummaryStore::Scores),
                 rows(env, "select group_concat(contentName || '；', '') from " + q(summaryTable))
                     .first());
    }

    void dropScheduleRemovesTablesKeysAndTotals()
    {
        NewDay w;
        TestEnvironment &env = w.env;
        DayActions &actions = w.actions;
        QVERIFY(actions.saveDay(table, day, threeRecords()));
        const QString keys = "summary_" + table + SummaryStore::textCountSuffix;
        QVERIFY(Settings::read(keys).isValid());

        QVERIFY(actions.dropSchedule(table, day));
        for (const QString &name : {table, "summary_" + table, "labelDuration_" + table})
            QCOMPARE(rows(env, "select count(*) from " + q(name)), QStringList{"<failed>"});
        QVERIFY(!Settings::read(keys).isValid());
        // The closed week no longer counts the dropped day.
        QCOMPARE(
            rows(env, "select count(*) from labelDuration_202411week1 where labelDuration > 0"),
            QStringList{"0"});
    }
};

QTEST_GUILESS_MAIN(TestDayActions)
#include "tst_dayactions.moc"
