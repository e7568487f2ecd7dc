// The search index against the real database file: texts found where and when they were
// written, the short-text fallback, literal characters, and the index kept by every store
// agreeing with one built from scratch.
#include "app/database.h"
#include "app/sql.h"
#include "schedule/dayactions.h"
#include "schedule/daystore.h"
#include "schedule/summarystore.h"
#include "schedule/templatestore.h"
#include "search/searchindex.h"
#include "search/searchquery.h"
#include "tasklist/taskstore.h"
#include "tests/support/testenvironment.h"
#include "undo/deletions.h"

#include <QFile>
#include <QSqlQuery>
#include <QtTest>

namespace {
const QDate oldDay(2023, 12, 5); // three years before the test's today
const QString oldTable = QStringLiteral("Day20231205空时刻表");
const QString newTable = QStringLiteral("Day20261206晨间");
const QString excelRegistry = QStringLiteral("Excel_Day20261201周计划");

// What the fake workbook reader gives for each path.
QHash<QString, QList<ExcelCellText>> &workbooks()
{
    static QHash<QString, QList<ExcelCellText>> books;
    return books;
}

DayRecordEdit record(const QString &start, const QString &end, const QString &plan,
                     const QString &result)
{
    DayRecordEdit r;
    r.timed = true;
    r.start = start;
    r.end = end;
    r.plan = plan;
    r.result = result;
    r.labelCaption = QStringLiteral("类别标签");
    return r;
}

QString html(const QString &body)
{
    return QStringLiteral("<!DOCTYPE HTML><html><head><style type=\"text/css\">p { white-space: "
                          "pre-wrap; }</style></head><body style=\" font-family:'Noto Sans'; "
                          "\"><p>") +
           body + QStringLiteral("</p></body></html>");
}

QString hitText(const SearchHit &hit)
{
    return hit.dateText() + QLatin1Char('|') + hit.placeText();
}

QStringList hitTexts(const QList<SearchHit> &hits)
{
    QStringList out;
    for (const SearchHit &hit : hits)
        out.append(hitText(hit));
    return out;
}
} // namespace

// A database with a little of everything: two tasks, a day three years ago, a recent day, and an
// Excel schedule, indexed from the start.
struct Planner {
    TestEnvironment env;
    QSqlDatabase db;
    Planner()
    {
        SearchIndex::setExcelReader([](const QString &path) { return workbooks().value(path); });
        Database::connect(&db);
        TemplateStore::createBuiltInTemplates();
        TaskStore tasks(db);
        tasks.ensureTable();
        SearchIndex(db).ensure();

        addTask(0,
                html(QStringLiteral("Renew the <span style=\" font-weight:600;\">passport"
                                    "</span> before March")),
                QStringLiteral("证件；"));
        addTask(1, html(QStringLiteral("给妈妈买生日礼物")), QString());

        DayActions actions(db);
        actions.openSchedule(oldTable, nullptr);
        DayEdits edits;
        edits.records = {
            record("09:00", "10:00", html("今天上午写了一份季度报告"), html("done")),
            record("10:00", "11:00", html("It's 50% done, a_b"), html("<b>bold</b> result")),
        };
        edits.texts = {DaySummaryTextEdit{html(QStringLiteral("湖边散步，心情很好")), 100}};
        edits.scores = {8};
        actions.saveDay(oldTable, oldDay, edits);
        DayStore(db).writeLabel(oldTable, 1, QStringLiteral("学习"));

        DayStore store(db);
        store.createTables(newTable);
        store.addRecord(newTable, -1, false, true, QTime(7, 0), QTime(7, 30));
        store.updateRecord(newTable, 0, "07:00--07:30", html(QStringLiteral("晨跑五公里")),
                           html(QStringLiteral("报告已交")), 100, 100);
        SummaryStore(db, newTable).applyItems(QStringLiteral("晨间感想；"), QString());

        workbooks().insert(
            QStringLiteral("ExcelDB/Day20261201周计划.xlsx"),
            {{0, 0, QStringLiteral("周一")}, {2, 1, QStringLiteral("复习线性代数")}});
        QDir().mkpath(QStringLiteral("ExcelDB"));
        QFile copy(QStringLiteral("ExcelDB/Day20261201周计划.xlsx"));
        copy.open(QIODevice::WriteOnly);
        copy.close();
        Sql::run(db, "create table \"Excel_Day20261201周计划\"(id int PRIMARY KEY, path TEXT)",
                 "create");
        Sql::run(db,
                 "insert into \"Excel_Day20261201周计划\" values(0, "
                 "'ExcelDB/Day20261201周计划.xlsx')",
                 "insert");
        SearchIndex(db).reindexExcelFile(excelRegistry);
    }
    ~Planner() { SearchIndex::setExcelReader({}); }

    void addTask(int id, const QString &content, const QString &label)
    {
        TaskStore tasks(db);
        tasks.insert(id);
        TaskRecord task;
        task.id = id;
        task.manualIndex = id;
        task.content = content;
        task.label = label;
        task.importance = QStringLiteral("重要");
        tasks.saveAll({task});
    }

    QList<SearchHit> find(const QString &text) { return SearchQuery(db).find(text); }

    // The index as the stores left it, next to one built from the data alone.
    void compareWithRebuild()
    {
        SearchIndex index(db);
        QVERIFY(index.isCurrent());
        bool ok = false;
        const QList<SearchDocument> kept = index.documents(&ok);
        QVERIFY(ok);
        QVERIFY(index.rebuild());
        const QList<SearchDocument> built = index.documents(&ok);
        QVERIFY(ok);
        QCOMPARE(kept.size(), built.size());
        for (int i = 0; i < kept.size(); ++i) {
            const SearchDocument &a = kept.at(i);
            const SearchDocument &b = built.at(i);
            QVERIFY2(a == b, qPrintable(QStringLiteral("%1 %2 %3 '%4' <> %5 %6 %7 '%8'")
                                            .arg(a.source)
                                            .arg(a.ref)
                                            .arg(a.field)
                                            .arg(a.body, b.source)
                                            .arg(b.ref)
                                            .arg(b.field)
                                            .arg(b.body)));
        }
    }
};

class TestSearchIndex : public QObject {
    Q_OBJECT

private slots:
    void foundWhereWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("task content") << "passport" << QStringList{"清单|任务内容"};
        QTest::newRow("task label") << "证件" << QStringList{"清单|任务标签"};
        QTest::newRow("plan three years ago")
            << "季度报告" << QStringList{"2023.12.05|记录计划（空时刻表）"};
        QTest::newRow("result") << "bold result" << QStringList{"2023.12.05|记录结果（空时刻表）"};
        QTest::newRow("record label") << "学习" << QStringList{"2023.12.05|记录标签（空时刻表）"};
        QTest::newRow("record time")
            << "07:00--07:30" << QStringList{"2026.12.06|记录时刻（晨间）"};
        QTest::newRow("summary text")
            << "湖边散步" << QStringList{"2023.12.05|小结内容（空时刻表）"};
        QTest::newRow("summary name") << "晨间感想" << QStringList{"2026.12.06|小结项目（晨间）"};
        QTest::newRow("excel cell") << "线性代数" << QStringList{"2026.12.01|Excel B3（周计划）"};
        QTest::newRow("newest first")
            << "报告"
            << QStringList{"2026.12.06|记录结果（晨间）", "2023.12.05|记录计划（空时刻表）"};
        QTest::newRow("tasks before days")
            << "re" << QStringList{"清单|任务内容", "2023.12.05|记录结果（空时刻表）"};
    }
    void foundWhereWritten()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        Planner planner;
        QCOMPARE(hitTexts(planner.find(text)), expected);
    }

    // Substrings of any length, any case; the markup around the text is never matched.
    void matching_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("hits");
        QTest::newRow("chinese in mid sentence") << "写了一份" << 1;
        QTest::newRow("two chinese characters") << "报告" << 2;
        QTest::newRow("one chinese character") << "晨" << 2;
        QTest::newRow("latin any case") << "PASSPORT" << 1;
        QTest::newRow("short latin any case") << "IT" << 1;
        QTest::newRow("blanks around") << "  生日礼物 " << 1;
        QTest::newRow("markup span") << "span" << 0;
        QTest::newRow("markup font") << "font" << 0;
        QTest::newRow("markup style") << "weight" << 0;
        QTest::newRow("entity of the apostrophe") << "#39" << 0;
        QTest::newRow("apostrophe") << "It's" << 1;
        QTest::newRow("lone apostrophe") << "'" << 1;
        QTest::newRow("percent literally") << "50%" << 1;
        QTest::newRow("percent alone") << "%" << 1;
        QTest::newRow("percent is no wildcard") << "5%d" << 0;
        QTest::newRow("underscore literally") << "a_b" << 1;
        QTest::newRow("underscore is no wildcard") << "e_b" << 0;
        QTest::newRow("double quote") << "\"" << 0;
        QTest::newRow("fts syntax as text") << "a OR b" << 0;
        QTest::newRow("empty") << "   " << 0;
        QTest::newRow("not written") << "火星" << 0;
    }
    void matching()
    {
        QFETCH(QString, text);
        QFETCH(int, hits);
        Planner planner;
        bool ok = false;
        QCOMPARE(SearchQuery(planner.db).find(text, 100, &ok).size(), hits);
        QVERIFY(ok);
    }

    void hitDetails()
    {
        Planner planner;
        const QList<SearchHit> hits = planner.find(QStringLiteral("季度"));
        QCOMPARE(hits.size(), 1);
        const SearchHit &hit = hits.first();
        QCOMPARE(hit.date(), oldDay);
        QCOMPARE(hit.dayTable(), oldTable);
        QCOMPARE(hit.templateName(), QStringLiteral("空时刻表"));
        QCOMPARE(hit.doc.ref, 0);
        QCOMPARE(hit.doc.body.mid(hit.matchStart, hit.matchLength), QStringLiteral("季度"));

        const QList<SearchHit> tasks = planner.find(QStringLiteral("生日"));
        QCOMPARE(tasks.size(), 1);
        QVERIFY(tasks.first().isTask());
        QCOMPARE(SearchQuery(planner.db).taskPosition(tasks.first().doc.ref), 1);
        QCOMPARE(planner.find(QStringLiteral("re")).size(), 2);
        QCOMPARE(SearchQuery(planner.db).find(QStringLiteral("re"), 1).size(), 1);
    }

    void snippets_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("match");
        QTest::newRow("short body whole") << "abc def" << 4 << 3 << "abc def"
                                          << "def";
        QTest::newRow("cut both ends") << QString(40, 'x') + "KEY" + QString(40, 'y') << 40 << 3
                                       << "…" + QString(5, 'x') + "KEY" + QString(5, 'y') + "…"
                                       << "KEY";
        QTest::newRow("lines joined") << "one\ntwo\nsix" << 4 << 3 << "one two six"
                                      << "two";
        QTest::newRow("match unknown") << "plain" << -1 << 0 << "plain"
                                       << "";
    }
    void snippets()
    {
        QFETCH(QString, body);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, text);
        QFETCH(QString, match);
        const SearchSnippet snippet = SearchQuery::snippet(body, start, length, 5);
        QCOMPARE(snippet.text, text);
        QCOMPARE(snippet.text.mid(snippet.matchStart, snippet.matchLength),
                 match.isEmpty() ? QString() : match);
    }

    // Each change through the stores leaves the index as a rebuild from the data would make it.
    void followsChanges_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("task saved") << 0;
        QTest::newRow("task label saved") << 1;
        QTest::newRow("first task deleted") << 2;
        QTest::newRow("record added above") << 3;
        QTest::newRow("record deleted") << 4;
        QTest::newRow("records merged") << 5;
        QTest::newRow("day saved") << 6;
        QTest::newRow("summary items changed") << 7;
        QTest::newRow("schedule dropped") << 8;
        QTest::newRow("excel schedule dropped") << 9;
        QTest::newRow("excel cells saved") << 10;
        QTest::newRow("deleted task taken back") << 11;
        QTest::newRow("failed save rolled back") << 12;
        QTest::newRow("deleted record taken back") << 13;
        QTest::newRow("dropped schedule taken back") << 14;
        QTest::newRow("dropped excel schedule taken back") << 15;
    }
    void followsChanges()
    {
        QFETCH(int, change);
        Planner planner;
        QSqlDatabase &db = planner.db;
        TaskStore tasks(db);
        DayStore store(db);
        switch (change) {
        case 0: {
            TaskRecord task = tasks.selectAt(1).first();
            task.content = html(QStringLiteral("买一束花"));
            QVERIFY(tasks.saveAll({task}));
            QCOMPARE(planner.find(QStringLiteral("生日")).size(), 0);
            QCOMPARE(planner.find(QStringLiteral("一束花")).size(), 1);
            break;
        }
        case 1:
            QVERIFY(tasks.saveLabel(1, QStringLiteral("家庭；")));
            QCOMPARE(planner.find(QStringLiteral("家庭")).size(), 1);
            break;
        case 2:
            QCOMPARE(tasks.remove(0), TaskStore::DeleteResult::Deleted);
            QCOMPARE(planner.find(QStringLiteral("passport")).size(), 0);
            QCOMPARE(SearchQuery(db).taskPosition(planner.find("生日").first().doc.ref), 0);
            break;
        case 3:
            QVERIFY(store.addRecord(oldTable, 0, true, false));
            QCOMPARE(planner.find(QStringLiteral("季度")).first().doc.ref, 1);
            break;
        case 4:
            QVERIFY(store.deleteRecord(oldTable, 0));
            QCOMPARE(planner.find(QStringLiteral("季度")).size(), 0);
            QCOMPARE(planner.find(QStringLiteral("50%")).first().doc.ref, 0);
            break;
        case 5:
            QVERIFY(store.mergeRecords(oldTable, 0, 1, 3, DayStore::KeepBoth, QTime(9, 0),
                                       QTime(11, 0)));
            QCOMPARE(hitTexts(planner.find(QStringLiteral("季度"))),
                     QStringList{"2023.12.05|记录计划（空时刻表）"});
            QVERIFY(planner.find(QStringLiteral("季度")).first().doc.body.contains("50% done"));
            break;
        case 6: {
            DayEdits edits;
            edits.records = {record("09:00", "10:00", html("改写的计划"), html("done"))};
            edits.texts = {DaySummaryTextEdit{html(QString()), 100}};
            QVERIFY(DayActions(db).saveDay(oldTable, oldDay, edits));
            QCOMPARE(planner.find(QStringLiteral("季度")).size(), 0);
            QCOMPARE(planner.find(QStringLiteral("湖边")).size(), 0);
            break;
        }
        case 7:
            QVERIFY(SummaryStore(db, oldTable).applyItems(QStringLiteral("旅行笔记；"), QString()));
            QCOMPARE(planner.find(QStringLiteral("湖边")).size(), 0);
            QCOMPARE(planner.find(QStringLiteral("旅行笔记")).size(), 1);
            break;
        case 8:
            QVERIFY(DayActions(db).dropSchedule(oldTable, oldDay));
            QCOMPARE(planner.find(QStringLiteral("季度")).size(), 0);
            QCOMPARE(planner.find(QStringLiteral("湖边")).size(), 0);
            break;
        case 9:
            QVERIFY(TemplateStore::dropExcelSchedule(db, QStringLiteral("Day20261201"),
                                                     QStringLiteral("周计划")));
            QCOMPARE(planner.find(QStringLiteral("线性代数")).size(), 0);
            break;
        case 10:
            workbooks()[QStringLiteral("ExcelDB/Day20261201周计划.xlsx")] = {
                {0, 0, QStringLiteral("周一")}, {4, 2, QStringLiteral("整理书架")}};
            QVERIFY(SearchIndex(db).reindexExcel(
                excelRegistry, workbooks().value("ExcelDB/Day20261201周计划.xlsx")));
            QCOMPARE(planner.find(QStringLiteral("线性代数")).size(), 0);
            QCOMPARE(hitTexts(planner.find(QStringLiteral("书架"))),
                     QStringList{"2026.12.01|Excel C5（周计划）"});
            break;
        case 11: {
            // Taken back as the task list's Ctrl+Z does: read before the delete, then restored.
            UndoEntry entry;
            QVERIFY(Deletions::task(db, 0, &entry));
            QCOMPARE(tasks.remove(0), TaskStore::DeleteResult::Deleted);
            QVERIFY(entry.restore(nullptr));
            QCOMPARE(planner.find(QStringLiteral("passport")).size(), 1);
            break;
        }
        case 13: {
            UndoEntry entry;
            QVERIFY(Deletions::record(db, oldTable, oldDay, 0, &entry));
            QVERIFY(DayActions(db).deleteRecord(oldTable, oldDay, 0));
            QCOMPARE(planner.find(QStringLiteral("季度")).size(), 0);
            QVERIFY(entry.restore(nullptr));
            QCOMPARE(hitTexts(planner.find(QStringLiteral("季度"))),
                     QStringList{"2023.12.05|记录计划（空时刻表）"});
            break;
        }
        case 14: {
            UndoEntry entry;
            QVERIFY(Deletions::schedule(db, oldDay, QStringLiteral("空时刻表"), false, &entry));
            QVERIFY(DayActions(db).dropSchedule(oldTable, oldDay));
            QVERIFY(entry.restore(nullptr));
            QCOMPARE(planner.find(QStringLiteral("季度")).size(), 1);
            QCOMPARE(planner.find(QStringLiteral("湖边")).size(), 1);
            break;
        }
        case 15: {
            UndoEntry entry;
            QVERIFY(Deletions::schedule(db, QDate(2026, 12, 1), QStringLiteral("周计划"), true,
                                        &entry));
            QVERIFY(TemplateStore::dropExcelSchedule(db, QStringLiteral("Day20261201"),
                                                     QStringLiteral("周计划")));
            QVERIFY(entry.restore(nullptr));
            QCOMPARE(planner.find(QStringLiteral("线性代数")).size(), 1);
            break;
        }
        case 12: {
            // The second row takes the first one's text: the unique content fails the save and
            // nothing of it, in the tasks or the index, stays.
            TaskRecord first = tasks.selectAt(0).first();
            TaskRecord second = tasks.selectAt(1).first();
            first.content = html(QStringLiteral("新的内容"));
            second.content = first.content;
            QVERIFY(!tasks.saveAll({first, second}));
            QCOMPARE(planner.find(QStringLiteral("新的内容")).size(), 0);
            QCOMPARE(planner.find(QStringLiteral("passport")).size(), 1);
            break;
        }
        default:
            QFAIL("unknown change");
        }
        planner.compareWithRebuild();
    }

    // A backup of the database file brought back: its own index matches its own data.
    void restoredBackup()
    {
        Planner planner;
        const QString backup = planner.env.workDir() + QStringLiteral("/backup.db");
        QVERIFY(QFile::copy(planner.env.databaseFile(), backup));
        QCOMPARE(TaskStore(planner.db).remove(0), TaskStore::DeleteResult::Deleted);
        QVERIFY(DayStore(planner.db).deleteRecord(oldTable, 0));
        TestEnvironment::dropProgramConnection();
        QVERIFY(QFile::remove(planner.env.databaseFile()));
        QVERIFY(QFile::copy(backup, planner.env.databaseFile()));
        QVERIFY(Database::connect(&planner.db));
        bool rebuilt = true;
        QVERIFY(SearchIndex(planner.db).ensure(&rebuilt));
        QVERIFY(!rebuilt);
        QCOMPARE(planner.find(QStringLiteral("passport")).size(), 1);
        QCOMPARE(planner.find(QStringLiteral("季度")).size(), 1);
        planner.compareWithRebuild();
    }

    // Missing, stale or broken: ensure() builds it again; a broken index never fails a save.
    void rebuiltWhenNeeded_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("saveFails");
        QTest::newRow("index missing") << "drop table search_fts" << false;
        QTest::newRow("other version") << "update search_meta set value = '0'" << false;
        QTest::newRow("index cannot follow")
            << "create trigger search_broken before update on search_doc begin select "
               "raise(abort, 'broken'); end"
            << false;
    }
    void rebuiltWhenNeeded()
    {
        QFETCH(QString, damage);
        QFETCH(bool, saveFails);
        Planner planner;
        QVERIFY(Sql::run(planner.db, damage, "damage"));
        TaskStore tasks(planner.db);
        TaskRecord task = tasks.selectAt(1).first();
        task.content = html(QStringLiteral("预约牙医"));
        QCOMPARE(tasks.saveAll({task}), !saveFails);
        QVERIFY(!SearchIndex(planner.db).isCurrent());
        bool rebuilt = false;
        QVERIFY(SearchIndex(planner.db).ensure(&rebuilt));
        QVERIFY(rebuilt);
        QCOMPARE(hitTexts(planner.find(QStringLiteral("牙医"))), QStringList{"清单|任务内容"});
        planner.compareWithRebuild();
    }
};

QTEST_GUILESS_MAIN(TestSearchIndex)
#include "tst_searchindex.moc"
