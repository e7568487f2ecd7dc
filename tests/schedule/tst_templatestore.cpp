// Templates against real files in a temporary application directory and a real database file,
// read back over a separate connection.
#include "tests/schedule/tst_templatestore.h"

#include "app/database.h"
#include "app/paths.h"
#include "app/prompt.h"
#include "app/settings.h"
#include "schedule/daytables.h"
#include "schedule/templatestore.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

namespace {
const QString writeFailed = QStringLiteral("模板文件创建失败！请重命名文件。");
const QString copyFailed =
    QStringLiteral("把外部模板文件拷贝到本地文件夹失败，请尝试重命名外部模板文件后重新导入。");
const QString fellBack = QStringLiteral("指定的模板文件已被您删除了,已为您启用空时刻表。");

QSqlDatabase programDb()
{
    QSqlDatabase db;
    Database::connect(&db);
    return db;
}

QString q(const QString &name)
{
    return Database::quoteIdentifier(name);
}

void createDayTables(QSqlDatabase db, const QString &table)
{
    QSqlQuery query(db);
    QVERIFY(query.exec(DayTables::dayTableSql.arg(q(table))));
    QVERIFY(query.exec(DayTables::summaryTableSql.arg(q(DayTables::summaryTableName(table)))));
    QVERIFY(query.exec(DayTables::labelTableSql.arg(q(DayTables::labelTableName(table)))));
}

// Runs a store call the way the day view does: the messages it reports are shown, one box each.
template <typename Call> auto shown(Call call)
{
    UserMessages messages;
    const auto result = call(&messages);
    Prompt::show(nullptr, messages);
    return result;
}

// Creates the day's three tables and fills them from the template, as a new date does.
int newDay(QSqlDatabase db, const QString &dayName, const QString &templateName)
{
    createDayTables(db, dayName + templateName);
    return shown([&](UserMessages *m) {
        return TemplateStore::loadTemplateIntoDay(db, dayName, templateName, m);
    });
}

// The rows of a query over the check connection, each as "|"-joined values.
QStringList select(TestEnvironment &env, const QString &sql)
{
    QSqlQuery query(env.checkConnection());
    query.exec(sql);
    QStringList rows;
    while (query.next()) {
        QStringList values;
        for (int i = 0; i < query.record().count(); ++i)
            values << query.value(i).toString();
        rows << values.join('|');
    }
    return rows;
}

// A day's records as time|plan|label|result|planHeight|resultHeight; each must carry its
// position as id and manualIndex, the day's date and the kind of table.
QStringList recordsOf(TestEnvironment &env, const QString &table, const QString &date,
                      int isSchedule)
{
    const QStringList all =
        select(env, "select id, manualIndex, createDate, isSchedule, time, plan, label, result, "
                    "planHeight, resultHeight from " +
                        q(table) + " order by manualIndex");
    QStringList records;
    for (int i = 0; i < all.size(); ++i) {
        const QString head = QString("%1|%1|%2|%3|").arg(i).arg(date).arg(isSchedule);
        records << (all.at(i).startsWith(head) ? all.at(i).mid(head.size()) : "bad " + all.at(i));
    }
    return records;
}

// A day's summary items as type|name|detail|height.
QStringList itemsOf(TestEnvironment &env, const QString &table)
{
    return select(env, "select contentType, contentName, contentDetail, height from " +
                           q(DayTables::summaryTableName(table)) + " order by id");
}

// The summary settings of a day as textCount|scoreCount|text names|score names, and what the
// items say they must be.
QString summarySettings(const QString &table)
{
    const QString p = "summary_" + table;
    return QStringList{
        Settings::read(p + "_TextCount").toString(), Settings::read(p + "_ScoreCount").toString(),
        Settings::read(p + "_Text").toString(), Settings::read(p + "_Score").toString()}
        .join('|');
}

QString settingsFor(const QStringList &items)
{
    QStringList texts, scores;
    for (const QString &item : items)
        (item.startsWith("summaryText|") ? texts : scores) << item.section('|', 1, 1) + "；";
    return QString("%1|%2|%3|%4")
        .arg(texts.size())
        .arg(scores.size())
        .arg(texts.join(""), scores.join(""));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A template file as a person might write it: records directly under root, texts as CDATA.
QByteArray templateText(int records, int texts, int scores, const QString &afterRecords = {})
{
    QString xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n"
                  "  <template><name>x</name><isSchedule>Yes</isSchedule></template>\n";
    for (int i = 0; i < records; ++i)
        xml += QString("  <time>%1:00--%1:30</time><plan><![CDATA[p%2]]></plan>"
                       "<planHeight>100</planHeight><label><![CDATA[]]></label>"
                       "<result><![CDATA[]]></result><resultHeight>100</resultHeight>\n")
                   .arg(i % 24, 2, 10, QChar('0'))
                   .arg(i);
    xml += afterRecords + "  <summaryText>\n";
    for (int i = 0; i < texts; ++i)
        xml +=
            QString("    <文本%1><text><![CDATA[]]></text><height>100</height></文本%1>\n").arg(i);
    xml += "  </summaryText>\n  <summaryScore>\n";
    for (int i = 0; i < scores; ++i)
        xml += QString("    <打分%1><text><![CDATA[]]></text></打分%1>\n").arg(i);
    return (xml + "  </summaryScore>\n</root>\n").toUtf8();
}
} // namespace

void TestTemplateStore::builtInTemplatesFillADay_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<int>("isSchedule");

    QStringList hours;
    for (int h = 9; h <= 17; ++h)
        hours << QString("%1:00--%2:00").arg(h, 2, 10, QChar('0')).arg(h + 1, 2, 10, QChar('0'));
    QTest::newRow("time table") << QString("空时刻表") << hours << 0;
    QTest::newRow("task table") << QString("空任务表") << QStringList(QVector<QString>(6).toList())
                                << 1;
}

void TestTemplateStore::builtInTemplatesFillADay()
{
    QFETCH(QString, templateName);
    QFETCH(QStringList, times);
    QFETCH(int, isSchedule);

    TestEnvironment env;
    PromptScript prompts;
    QSqlDatabase db = programDb();
    QVERIFY(!QDir(Paths::templatesDir()).exists());

    // First use: the folder is empty, so the day falls back to the built-in time table and
    // both built-ins are written. The second day finds its template in place.
    QCOMPARE(newDay(db, "Day20241103", "空时刻表"), 9);
    QCOMPARE(prompts.messages(), QStringList{fellBack});
    QCOMPARE(TemplateStore::xmlTemplateNames(), (QStringList{"空任务表", "空时刻表"}));
    QVERIFY(QDir(Paths::excelTemplatesDir()).exists());
    prompts.clear();

    const QString table = "Day20241104" + templateName;
    QCOMPARE(newDay(db, "Day20241104", templateName), times.size());
    QCOMPARE(prompts.messages(), QStringList());
    QStringList expected;
    for (const QString &time : times)
        expected << time + "||||100|100";
    QCOMPARE(recordsOf(env, table, "2024-11-04", isSchedule), expected);
    const QStringList items{"summaryText|今日随笔||100", "summaryScore|今日整体评价||30"};
    QCOMPARE(itemsOf(env, table), items);
    QCOMPARE(summarySettings(table), settingsFor(items));
    // Texts are CDATA sections even when empty.
    const QByteArray file = readFile(TemplateStore::xmlTemplatePath(templateName));
    for (const char *element : {"plan", "label", "result", "text"})
        QVERIFY(file.contains(QByteArray("<") + element + "><![CDATA[]]></" + element + ">"));
}

void TestTemplateStore::limits_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("texts");
    QTest::addColumn<int>("scores");
    QTest::addColumn<int>("storedRecords");
    QTest::addColumn<int>("storedTexts");
    QTest::addColumn<int>("storedScores");
    QTest::addColumn<QStringList>("messageHeads");

    const QString records = "错误：每日计划不要超过50项。\n";
    const QString items = "错误：每日小结不能超过20项。\n";
    QTest::newRow("60 records") << 60 << 1 << 1 << 50 << 1 << 1 << QStringList{records};
    QTest::newRow("50 records, 20 items") << 50 << 14 << 6 << 50 << 14 << 6 << QStringList();
    QTest::newRow("15 texts and 6 scores") << 3 << 15 << 6 << 3 << 15 << 5 << QStringList{items};
    QTest::newRow("25 texts") << 3 << 25 << 2 << 3 << 20 << 0 << QStringList{items};
    QTest::newRow("both limits") << 51 << 21 << 0 << 50 << 20 << 0 << QStringList{records, items};
}

void TestTemplateStore::limits()
{
    QFETCH(int, records);
    QFETCH(int, texts);
    QFETCH(int, scores);
    QFETCH(int, storedRecords);
    QFETCH(int, storedTexts);
    QFETCH(int, storedScores);
    QFETCH(QStringList, messageHeads);

    TestEnvironment env;
    PromptScript prompts;
    QSqlDatabase db = programDb();
    const QString path = TemplateStore::xmlTemplatePath("大模板");
    writeFile(path, templateText(records, texts, scores));

    QCOMPARE(newDay(db, "Day20240301", "大模板"), storedRecords);
    QCOMPARE(prompts.messages(), messageHeads.replaceInStrings(QRegExp("$"), path));
    const QStringList rows = recordsOf(env, "Day20240301大模板", "2024-03-01", 0);
    QCOMPARE(rows.size(), storedRecords);
    QCOMPARE(rows.last().section('|', 1, 1), QString("p%1").arg(storedRecords - 1));
    const QStringList items = itemsOf(env, "Day20240301大模板");
    QCOMPARE(items.size(), storedTexts + storedScores);
    for (int i = 0; i < items.size(); ++i)
        QVERIFY(items.at(i).startsWith(i < storedTexts ? "summaryText|" : "summaryScore|"));
    QCOMPARE(summarySettings("Day20240301大模板").section('|', 0, 1),
             QString("%1|%2").arg(storedTexts).arg(storedScores));
}

void TestTemplateStore::damagedTemplateKeepsRecordsReadBeforeIt_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("storedRecords");
    QTest::addColumn<QString>("messageHead");

    const QString unexpected = "错误：文件解析失败。\n";
    const QString broken = "错误：文件解析失败！\n";
    const QString third = "<time>11:00--12:00</time><plna>x</plna><planHeight>1</planHeight>";
    QTest::newRow("misspelled plan element") << templateText(2, 1, 1, third) << 2 << unexpected;
    QTest::newRow("misspelled empty element")
        << templateText(2, 1, 1, "<time>11:00--12:00</time><plna/>") << 2 << unexpected;
    QTest::newRow("field before any time")
        << QByteArray("<root><plan>x</plan><time>09:00--10:00</time></root>") << 0 << unexpected;
    QTest::newRow("mismatched tags")
        << templateText(2, 1, 1, "<time>11:00--12:00</time><plan><b>x</plan>") << 2 << broken;
    QTest::newRow("not xml at all") << QByteArray("plain words") << 0 << broken;
    // An unknown element that only wraps records is a wrapper like the built-ins' "line" ones.
    QTest::newRow("wrapper element") << QByteArray("<root><day>\n  <time>09:00--10:00</time>"
                                                   "<plan>a</plan><label/><result/>"
                                                   "<planHeight>120</planHeight><resultHeight>"
                                                   "90</resultHeight></day></root>")
                                     << 1 << QString();
}

void TestTemplateStore::damagedTemplateKeepsRecordsReadBeforeIt()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, storedRecords);
    QFETCH(QString, messageHead);

    TestEnvironment env;
    PromptScript prompts;
    QSqlDatabase db = programDb();
    const QString path = TemplateStore::xmlTemplatePath("坏模板");
    writeFile(path, xml);

    QCOMPARE(newDay(db, "Day20240301", "坏模板"), storedRecords);
    QCOMPARE(prompts.messages(),
             messageHead.isEmpty() ? QStringList() : QStringList{messageHead + path});
    const QStringList rows = recordsOf(env, "Day20240301坏模板", "2024-03-01", 0);
    QCOMPARE(rows.size(), storedRecords);
    if (storedRecords == 2)
        QCOMPARE(rows.last(), QString("01:00--01:30|p1|||100|100"));
}

void TestTemplateStore::dayWrittenAsTemplateFillsAnotherDay_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<int>("isSchedule");
    QTest::addColumn<QStringList>("rows");         // time|plan|label|result|planHeight|resultHeight
    QTest::addColumn<QStringList>("items");        // type|name|detail|height
    QTest::addColumn<QStringList>("expectedRows"); // empty: same as rows

    QTest::newRow("周计划")
        << QString("周计划") << 0
        << QStringList{"08:30--09:45|<p>读书</p>|学习|<p>读完第三章</p>|150|230",
                       "09:45--08:00||||100|100", "|<p>无时间</p>|||120|80"}
        << QStringList{"summaryText|今日随笔|<p>晴</p>|140", "summaryText|学习_记录||200",
                       "summaryScore|今日整体评价|7|30", "summaryScore|专注度|8|30"}
        << QStringList();
    QTest::newRow("texts and item names that look like the format")
        << QString("O'Neil 的 计划") << 0
        << QStringList{"07:00--07:30|<p>it&#39;s ]]> <b>&amp;</b> \"q\"</p>|it's a "
                       "'label'|]]]]><![CDATA[>|100|100"}
        << QStringList{"summaryText|text|<p>]]></p>|100", "summaryText|height|x|100",
                       "summaryText|summaryScore|y|100", "summaryScore|text|3|30"}
        << QStringList();
    // XML 1.0 cannot carry most control characters; they are dropped, the rest is kept.
    QTest::newRow("control characters") << QString("tpl") << 1
                                        << QStringList{"|a\x01"
                                                       "b\x0b"
                                                       "c|l\x1f||100|100"}
                                        << QStringList() << QStringList{"|abc|l||100|100"};
    QTest::newRow("no records, no summary")
        << QString("空白") << 0 << QStringList() << QStringList() << QStringList();
}

void TestTemplateStore::dayWrittenAsTemplateFillsAnotherDay()
{
    QFETCH(QString, templateName);
    QFETCH(int, isSchedule);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, items);
    QFETCH(QStringList, expectedRows);
    if (expectedRows.isEmpty())
        expectedRows = rows;

    TestEnvironment env;
    PromptScript prompts;
    QSqlDatabase db = programDb();
    const QString source = "Day20241103空时刻表";
    createDayTables(db, source);
    QSqlQuery query(db);
    query.prepare("insert into " + q(source) + " values(?,?,?,?,?,?,'2024-11-03',?,?,?)");
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList r = rows.at(i).split('|');
        for (const QVariant &v :
             QVariantList{i, i, r[0], r[1], r[2], r[3], r[4].toInt(), r[5].toInt(), isSchedule})
            query.addBindValue(v);
        QVERIFY(query.exec());
    }
    query.prepare("insert into " + q("summary_" + source) + " values(?,?,?,?,?)");
    for (int i = 0; i < items.size(); ++i) {
        const QStringList item = items.at(i).split('|');
        for (const QVariant &v : QVariantList{i, item[0], item[1], item[2], item[3].toInt()})
            query.addBindValue(v);
        QVERIFY(query.exec());
    }

    QVERIFY(TemplateStore::ensureTemplateDirs());
    QVERIFY(TemplateStore::saveAsTemplate(db, templateName, source));
    QVERIFY(TemplateStore::xmlTemplateNames().contains(templateName));
    QCOMPARE(QDir(Paths::templatesDir()).entryList(QDir::Hidden | QDir::Files).size(), 1);

    QCOMPARE(newDay(db, "Day20241110", templateName), expectedRows.size());
    QCOMPARE(prompts.messages(), QStringList());
    const QString copy = "Day20241110" + templateName;
    QCOMPARE(recordsOf(env, copy, "2024-11-10", isSchedule), expectedRows);
    QCOMPARE(itemsOf(env, copy), items);
    QCOMPARE(summarySettings(copy), settingsFor(items));
}

void TestTemplateStore::saveAsIsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("itemName");
    QTest::addColumn<QString>("message");

    const QString item = "今日随笔";
    const QString badItem = "模板文件创建失败！每日小结项目“%1”的名称不能写入模板，请修改该名称。";
    QTest::newRow("existing name") << QString("周计划") << item << writeFailed;
    QTest::newRow("the none choice") << QString("无") << item << writeFailed;
    QTest::newRow("leaves the folder") << QString("../周计划") << item << writeFailed;
    QTest::newRow("an Excel template's name") << QString("Excel_a") << item << writeFailed;
    QTest::newRow("item name with a blank")
        << QString("新模板") << QString("今日 随笔") << badItem.arg("今日 随笔");
    QTest::newRow("item name starting with a digit")
        << QString("新模板") << QString("1号") << badItem.arg("1号");
    // Without a summary table, or without the day itself, nothing is written and nothing said.
    QTest::newRow("no summary table") << QString("x") << QString() << QString();
    QTest::newRow("no day table") << QString("y") << QString() << QString();
}

void TestTemplateStore::saveAsIsRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, itemName);
    QFETCH(QString, message);

    TestEnvironment env;
    PromptScript prompts;
    QSqlDatabase db = programDb();
    const QString source = "Day20241103空时刻表";
    QSqlQuery query(db);
    if (name == "x")
        QVERIFY(query.exec(DayTables::dayTableSql.arg(q(source))));
    if (!itemName.isEmpty()) {
        createDayTables(db, source);
        QVERIFY(query.exec("insert into " + q(source) +
                           " values(0,0,'09:00--10:00','<p>a</p>','','','2024-11-03',100,100,0)"));
        query.prepare("insert into " + q("summary_" + source) +
                      " values(0,'summaryText',?,'',100)");
        query.addBindValue(itemName);
        QVERIFY(query.exec());
    }

    TemplateStore::ensureTemplateDirs();
    const QByteArray existing = "<root><template><name>old</name></template></root>";
    writeFile(TemplateStore::xmlTemplatePath("周计划"), existing);
    writeFile(TemplateStore::excelTemplatePath("Excel_a"), "PK");
    const auto list = [](const QString &dir) {
        return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden);
    };
    const QStringList before = list(env.appDir());
    const QStringList templatesBefore = list(Paths::templatesDir());

    LogCapture log;
    QVERIFY(!shown(
        [&](UserMessages *m) { return TemplateStore::saveAsTemplate(db, name, source, m); }));
    QCOMPARE(prompts.messages(), message.isEmpty() ? QStringList() : QStringList{message});
    const QString logged = itemName.isEmpty()
                               ? QString("generate_templateXml_query %1 failed")
                                     .arg(name == "x" ? "summary" : "schedule")
                               : TemplateStore::xmlTemplatePath(name) + " file open failed!";
    QVERIFY(!log.startingWith(logged).isEmpty());
    QCOMPARE(readFile(TemplateStore::xmlTemplatePath("周计划")), existing);
    QCOMPARE(list(env.appDir()), before);
    QCOMPARE(list(Paths::templatesDir()), templatesBefore);
}

void TestTemplateStore::exportAddsSuffixAndCanBeImported()
{
    TestEnvironment env;
    PromptScript prompts;
    QSqlDatabase db = programDb();
    QVERIFY(TemplateStore::createBuiltInTemplates());
    QCOMPARE(newDay(db, "Day20241103", "空任务表"), 6);

    const QString outside = env.workDir() + "/导出/mine";
    QDir().mkpath(env.workDir() + "/导出");
    QCOMPARE(TemplateStore::exportTemplate(db, outside, "Day20241103空任务表"), outside + ".xml");
    // A second export to the same name must not replace the first.
    QCOMPARE(shown([&](UserMessages *m) {
                 return TemplateStore::exportTemplate(db, outside + ".xml", "Day20241103空任务表",
                                                      m);
             }),
             QString());
    QCOMPARE(prompts.messages(), QStringList{writeFailed});

    const TemplateStore::ImportResult imported =
        TemplateStore::importTemplateFile(outside + ".xml");
    QCOMPARE(imported.kind, TemplateStore::ImportResult::Xml);
    QCOMPARE(imported.name, QString("mine"));
    QCOMPARE(newDay(db, "Day20241104", "mine"), 6);
    QCOMPARE(recordsOf(env, "Day20241104mine", "2024-11-04", 1).first(), QString("||||100|100"));
}

void TestTemplateStore::import_data()
{
    QTest::addColumn<QString>("chosen"); // relative to the working directory, or "<app>/..."
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stored"); // relative to MyTemplates; empty: nothing copied
    QTest::addColumn<bool>("refused");

    using R = TemplateStore::ImportResult;
    QTest::newRow("outside workbook") << "outside/a.xlsx" << int(R::Excel) << "Excel_a"
                                      << "Excel/Excel_a.xlsx" << false;
    QTest::newRow("outside xml") << "outside/周计划.xml" << int(R::Xml) << "周计划"
                                 << "周计划.xml" << false;
    QTest::newRow("xml already in place")
        << "<app>/MyTemplates/b.xml" << int(R::Xml) << "b" << QString() << false;
    QTest::newRow("workbook already in place")
        << "<app>/MyTemplates/Excel/c.xlsx" << int(R::Excel) << "c" << QString() << false;
    QTest::newRow("name taken") << "outside/空时刻表.xml" << int(R::Failed) << QString()
                                << QString() << true;
    QTest::newRow("file gone") << "outside/gone.xml" << int(R::Failed) << QString() << QString()
                               << true;
    QTest::newRow("cancelled") << QString() << int(R::Nothing) << QString() << QString() << false;
}

void TestTemplateStore::import()
{
    QFETCH(QString, chosen);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(QString, stored);
    QFETCH(bool, refused);

    TestEnvironment env;
    PromptScript prompts;
    QVERIFY(TemplateStore::createBuiltInTemplates());
    const QByteArray builtIn = readFile(TemplateStore::xmlTemplatePath("空时刻表"));
    for (const QString file : {"outside/a.xlsx", "outside/周计划.xml", "outside/空时刻表.xml"})
        writeFile(env.workDir() + "/" + file, QByteArray("content of ") + file.toUtf8());
    writeFile(Paths::templatesDir() + "/b.xml", "b");
    writeFile(Paths::excelTemplatesDir() + "/c.xlsx", "c");
    const auto files = [] {
        return QDir(Paths::templatesDir()).entryList(QDir::Files) +
               QDir(Paths::excelTemplatesDir()).entryList(QDir::Files);
    };
    const int before = files().size();
    QString path = chosen;
    if (path.startsWith("<app>"))
        path.replace("<app>", env.appDir());
    else if (!path.isEmpty())
        path = env.workDir() + "/" + path;

    const TemplateStore::ImportResult result =
        shown([&](UserMessages *m) { return TemplateStore::importTemplateFile(path, m); });
    QCOMPARE(int(result.kind), kind);
    QCOMPARE(result.name, name);
    QCOMPARE(prompts.messages(), refused ? QStringList{copyFailed} : QStringList());
    QCOMPARE(readFile(TemplateStore::xmlTemplatePath("空时刻表")), builtIn);
    const bool excel = kind == TemplateStore::ImportResult::Excel;
    if (excel || kind == TemplateStore::ImportResult::Xml) {
        QCOMPARE(TemplateStore::isExcelTemplate(name), excel);
        QVERIFY((excel ? TemplateStore::excelTemplateNames() : TemplateStore::xmlTemplateNames())
                    .contains(name));
    }
    // The editor opens the template in the Excel folder, never the outside file.
    if (excel)
        QCOMPARE(QFileInfo(result.editorPath).absoluteFilePath(),
                 QFileInfo(TemplateStore::excelTemplatePath(name)).absoluteFilePath());
    QCOMPARE(files().size() - before, stored.isEmpty() ? 0 : 1);
    if (!stored.isEmpty())
        QCOMPARE(readFile(Paths::templatesDir() + "/" + stored), readFile(path));
}

void TestTemplateStore::deleteKeepsDaysAndBuiltInComesBack()
{
    TestEnvironment env;
    PromptScript prompts;
    QSqlDatabase db = programDb();
    QCOMPARE(TemplateStore::defaultTemplate(), QString("空时刻表"));
    TemplateStore::setDefaultTemplate("无");
    QCOMPARE(Settings::read("defaultTemplate").toString(), QString("无"));
    QCOMPARE(TemplateStore::defaultTemplate(), QString("无"));

    QVERIFY(TemplateStore::createBuiltInTemplates());
    writeFile(TemplateStore::excelTemplatePath("Excel_a"), "PK");
    QCOMPARE(newDay(db, "Day20241103", "空时刻表"), 9);
    QVERIFY(TemplateStore::deleteTemplate("空时刻表"));
    QVERIFY(TemplateStore::deleteTemplate("Excel_a"));
    QVERIFY(!TemplateStore::deleteTemplate("Excel_a"));
    QVERIFY(!TemplateStore::deleteTemplate("无"));
    QCOMPARE(TemplateStore::xmlTemplateNames(), QStringList{"空任务表"});
    QCOMPARE(TemplateStore::excelTemplateNames(), QStringList());
    QCOMPARE(recordsOf(env, "Day20241103空时刻表", "2024-11-03", 0).size(), 9);
    QCOMPARE(prompts.messages(), QStringList());

    QCOMPARE(newDay(db, "Day20241104", "空时刻表"), 9);
    QCOMPARE(prompts.messages(), QStringList{fellBack});
    QVERIFY(TemplateStore::xmlTemplateNames().contains("空时刻表"));
}

void TestTemplateStore::excelSchedule_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<bool>("workbook");
    QTest::newRow("plain") << QString("Excel_a") << true;
    QTest::newRow("apostrophe and blank") << QString("Excel_it's 周表") << true;
    QTest::newRow("workbook missing") << QString("Excel_gone") << false;
}

void TestTemplateStore::excelSchedule()
{
    QFETCH(QString, templateName);
    QFETCH(bool, workbook);
    TestEnvironment env;
    QSqlDatabase db = programDb();
    TemplateStore::ensureTemplateDirs();
    const QString registry = "Excel_Day20241103" + templateName;
    LogCapture log;
    if (!workbook) {
        QCOMPARE(TemplateStore::openExcelSchedule(db, "Day20241103", templateName), QString());
        QVERIFY(log.contains("excel table not exist!"));
        QVERIFY(!db.tables().contains(registry));
        QVERIFY(!TemplateStore::dropExcelSchedule(db, "Day20241103", templateName));
        QVERIFY(!log.startingWith("deleteSomeDayCurrentTemplate() failed!").isEmpty());
        return;
    }
    writeFile(TemplateStore::excelTemplatePath(templateName), "workbook");
    const QString copy = "ExcelDB/Day20241103" + templateName + ".xlsx";
    QCOMPARE(TemplateStore::excelCopyPath("Day20241103", templateName), copy);
    QCOMPARE(TemplateStore::openExcelSchedule(db, "Day20241103", templateName), copy);
    QCOMPARE(readFile(env.workDir() + "/" + copy), QByteArray("workbook"));
    QCOMPARE(select(env, "select id, path from " + q(registry)), QStringList{"0|" + copy});

    // The date's copy is its own: opening again neither re-copies nor adds a row.
    writeFile(env.workDir() + "/" + copy, "edited");
    QCOMPARE(TemplateStore::openExcelSchedule(db, "Day20241103", templateName), copy);
    QCOMPARE(readFile(env.workDir() + "/" + copy), QByteArray("edited"));
    QCOMPARE(select(env, "select id, path from " + q(registry)), QStringList{"0|" + copy});

    QVERIFY(TemplateStore::dropExcelSchedule(db, "Day20241103", templateName));
    QVERIFY(log.contains("delete_table_template is drop table " + q(registry)));
    QVERIFY(!QFile::exists(env.workDir() + "/" + copy));
    QVERIFY(!db.tables().contains(registry));
    QCOMPARE(readFile(TemplateStore::excelTemplatePath(templateName)), QByteArray("workbook"));
}
