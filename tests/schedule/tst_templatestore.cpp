// Templates against real files in a temporary application directory and a real database file,
// read back over a separate connection.
#include "tests/schedule/tst_templatestore.h"

#include "app/database.h"
#include "app/paths.h"
#include "app/settings.h"
#include "schedule/daytables.h"
#include "schedule/templatestore.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QtTest>

namespace {
const QString writeFailed = QStringLiteral("模板文件创建失败！请重命名文件。");
const QString copyFailed =
    QStringLiteral("把外部模板文件拷贝到本地文件夹失败，请尝试重命名外部模板文件后重新导入。");

struct Row {
    QString time, plan, label, result, createDate;
    int planHeight = 0, resultHeight = 0, isSchedule = -1;
    bool operator==(const Row &o) const
    {
        return time == o.time && plan == o.plan && label == o.label && result == o.result &&
               planHeight == o.planHeight && resultHeight == o.resultHeight;
    }
};

struct Item {
    QString type, name, detail;
    int height = 0;
    bool operator==(const Item &o) const
    {
        return type == o.type && name == o.name && detail == o.detail && height == o.height;
    }
};

QSqlDatabase programDb()
{
    QSqlDatabase db;
    Database::connect(&db);
    return db;
}

void createDayTables(QSqlDatabase db, const QString &table)
{
    QSqlQuery query(db);
    QVERIFY(query.exec(DayTables::dayTableSql.arg(Database::quoteIdentifier(table))));
    QVERIFY(query.exec(DayTables::summaryTableSql.arg(
        Database::quoteIdentifier(DayTables::summaryTableName(table)))));
    QVERIFY(query.exec(
        DayTables::labelTableSql.arg(Database::quoteIdentifier(DayTables::labelTableName(table)))));
}

// Creates the day's three tables and fills them from the template, as a new date does.
int newDay(QSqlDatabase db, const QString &dayName, const QString &templateName)
{
    createDayTables(db, dayName + templateName);
    return TemplateStore::loadTemplateIntoDay(db, dayName, templateName);
}

QList<Row> rowsOf(TestEnvironment &env, const QString &table)
{
    QSqlQuery query(env.checkConnection());
    query.exec("select * from " + Database::quoteIdentifier(table) + " order by manualIndex");
    QList<Row> rows;
    int expected = 0;
    while (query.next()) {
        if (query.value(0).toInt() != expected || query.value(1).toInt() != expected)
            qWarning("id or manualIndex out of step at %d", expected);
        ++expected;
        Row row;
        row.time = query.value(2).toString();
        row.plan = query.value(3).toString();
        row.label = query.value(4).toString();
        row.result = query.value(5).toString();
        row.createDate = query.value(6).toString();
        row.planHeight = query.value(7).toInt();
        row.resultHeight = query.value(8).toInt();
        row.isSchedule = query.value(9).toInt();
        rows.append(row);
    }
    return rows;
}

QList<Item> itemsOf(TestEnvironment &env, const QString &dayTable)
{
    QSqlQuery query(env.checkConnection());
    query.exec("select * from " + Database::quoteIdentifier(DayTables::summaryTableName(dayTable)) +
               " order by id");
    QList<Item> items;
    while (query.next())
        items.append({query.value(1).toString(), query.value(2).toString(),
                      query.value(3).toString(), query.value(4).toInt()});
    return items;
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
    xml += afterRecords;
    xml += "  <summaryText>\n";
    for (int i = 0; i < texts; ++i)
        xml +=
            QString("    <文本%1><text><![CDATA[]]></text><height>100</height></文本%1>\n").arg(i);
    xml += "  </summaryText>\n  <summaryScore>\n";
    for (int i = 0; i < scores; ++i)
        xml += QString("    <打分%1><text><![CDATA[]]></text></打分%1>\n").arg(i);
    xml += "  </summaryScore>\n</root>\n";
    return xml.toUtf8();
}
} // namespace

Q_DECLARE_METATYPE(QList<Row>)
Q_DECLARE_METATYPE(QList<Item>)

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
    QCOMPARE(prompts.messages(), QStringList{"指定的模板文件已被您删除了,已为您启用空时刻表。"});
    QCOMPARE(TemplateStore::xmlTemplateNames(), (QStringList{"空任务表", "空时刻表"}));
    QVERIFY(QDir(Paths::excelTemplatesDir()).exists());
    prompts.clear();

    const QString table = "Day20241104" + templateName;
    QCOMPARE(newDay(db, "Day20241104", templateName), times.size());
    QCOMPARE(prompts.messages(), QStringList());

    const QList<Row> rows = rowsOf(env, table);
    QStringList stored;
    for (const Row &row : rows) {
        stored << row.time;
        QCOMPARE(row.plan, QString());
        QCOMPARE(row.label, QString());
        QCOMPARE(row.result, QString());
        QCOMPARE(row.createDate, QString("2024-11-04"));
        QCOMPARE(row.planHeight, 100);
        QCOMPARE(row.resultHeight, 100);
        QCOMPARE(row.isSchedule, isSchedule);
    }
    QCOMPARE(stored, times);
    QCOMPARE(itemsOf(env, table), (QList<Item>{{"summaryText", "今日随笔", "", 100},
                                               {"summaryScore", "今日整体评价", "", 30}}));
    const QString p = "summary_" + table;
    QCOMPARE(Settings::read(p + "_TextCount").toInt(), 1);
    QCOMPARE(Settings::read(p + "_ScoreCount").toInt(), 1);
    QCOMPARE(Settings::read(p + "_Text").toString(), QString("今日随笔；"));
    QCOMPARE(Settings::read(p + "_Score").toString(), QString("今日整体评价；"));
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
    QStringList expected;
    for (const QString &head : messageHeads)
        expected << head + path;
    QCOMPARE(prompts.messages(), expected);

    const QList<Row> rows = rowsOf(env, "Day20240301大模板");
    QCOMPARE(rows.size(), storedRecords);
    QCOMPARE(rows.last().plan, QString("p%1").arg(storedRecords - 1));
    const QList<Item> items = itemsOf(env, "Day20240301大模板");
    QCOMPARE(items.size(), storedTexts + storedScores);
    const QString p = "summary_Day20240301大模板";
    QCOMPARE(Settings::read(p + "_TextCount").toInt(), storedTexts);
    QCOMPARE(Settings::read(p + "_ScoreCount").toInt(), storedScores);
    for (int i = 0; i < items.size(); ++i)
        QCOMPARE(items.at(i).type, QString(i < storedTexts ? "summaryText" : "summaryScore"));
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
    QCOMPARE(rowsOf(env, "Day20240301坏模板").size(), storedRecords);
}

void TestTemplateStore::dayWrittenAsTemplateFillsAnotherDay_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<int>("isSchedule");
    QTest::addColumn<QList<Row>>("rows");
    QTest::addColumn<QList<Item>>("items");
    QTest::addColumn<QList<Row>>("expectedRows"); // empty: same as rows

    const QList<Row> plain = {
        {"08:30--09:45", "<p>读书</p>", "学习", "<p>读完第三章</p>", "", 150, 230, 0},
        {"09:45--08:00", "", "", "", "", 100, 100, 0},
        {"", "<p>无时间</p>", "", "", "", 120, 80, 0}};
    const QList<Item> plainItems = {{"summaryText", "今日随笔", "<p>晴</p>", 140},
                                    {"summaryText", "学习_记录", "", 200},
                                    {"summaryScore", "今日整体评价", "7", 30},
                                    {"summaryScore", "专注度", "8", 30}};
    QTest::newRow("周计划") << QString("周计划") << 0 << plain << plainItems << QList<Row>();

    const QList<Row> special = {{"07:00--07:30", "<p>it&#39;s ]]> <b>&amp;</b> \"q\"</p>",
                                 "it's a 'label'", "]]]]><![CDATA[>", "", 100, 100, 0}};
    const QList<Item> specialItems = {{"summaryText", "text", "<p>]]></p>", 100},
                                      {"summaryText", "height", "x", 100},
                                      {"summaryText", "summaryScore", "y", 100},
                                      {"summaryScore", "text", "3", 30}};
    QTest::newRow("texts and item names that look like the format")
        << QString("O'Neil 的 计划") << 0 << special << specialItems << QList<Row>();

    // XML 1.0 cannot carry most control characters; they are dropped, the rest is kept.
    QTest::newRow("control characters")
        << QString("tpl") << 1
        << QList<Row>{{"",
                       "a\x01"
                       "b\x0b"
                       "c",
                       "l\x1f", "", "", 100, 100, 1}}
        << QList<Item>() << QList<Row>{{"", "abc", "l", "", "", 100, 100, 1}};

    QTest::newRow("no records, no summary")
        << QString("空白") << 0 << QList<Row>() << QList<Item>() << QList<Row>();
}

void TestTemplateStore::dayWrittenAsTemplateFillsAnotherDay()
{
    QFETCH(QString, templateName);
    QFETCH(int, isSchedule);
    QFETCH(QList<Row>, rows);
    QFETCH(QList<Item>, items);
    QFETCH(QList<Row>, expectedRows);
    if (expectedRows.isEmpty())
        expectedRows = rows;

    TestEnvironment env;
    PromptScript prompts;
    QSqlDatabase db = programDb();
    const QString source = "Day20241103空时刻表";
    createDayTables(db, source);
    QSqlQuery query(db);
    query.prepare("insert into " + Database::quoteIdentifier(source) +
                  " values(?,?,?,?,?,?,?,?,?,?)");
    for (int i = 0; i < rows.size(); ++i) {
        const Row &r = rows.at(i);
        for (const QVariant &v : QVariantList{i, i, r.time, r.plan, r.label, r.result, "2024-11-03",
                                              r.planHeight, r.resultHeight, isSchedule})
            query.addBindValue(v);
        QVERIFY(query.exec());
    }
    query.prepare("insert into " + Database::quoteIdentifier("summary_" + source) +
                  " values(?,?,?,?,?)");
    for (int i = 0; i < items.size(); ++i) {
        for (const QVariant &v : QVariantList{i, items.at(i).type, items.at(i).name,
                                              items.at(i).detail, items.at(i).height})
            query.addBindValue(v);
        QVERIFY(query.exec());
    }

    QVERIFY(TemplateStore::ensureTemplateDirs());
    QVERIFY(TemplateStore::saveAsTemplate(db, templateName, source));
    QCOMPARE(prompts.messages(), QStringList());
    QVERIFY(TemplateStore::xmlTemplateNames().contains(templateName));
    QVERIFY(QDir(Paths::templatesDir()).entryList(QDir::Hidden | QDir::Files).size() == 1);

    QCOMPARE(newDay(db, "Day20241110", templateName), expectedRows.size());
    QCOMPARE(prompts.messages(), QStringList());
    const QString copy = "Day20241110" + templateName;
    const QList<Row> read = rowsOf(env, copy);
    QCOMPARE(read, expectedRows);
    for (const Row &row : read) {
        QCOMPARE(row.createDate, QString("2024-11-10"));
        QCOMPARE(row.isSchedule, isSchedule);
    }
    QCOMPARE(itemsOf(env, copy), items);

    QStringList texts, scores;
    for (const Item &item : items)
        (item.type == "summaryText" ? texts : scores) << item.name + "；";
    const QString p = "summary_" + copy;
    QCOMPARE(Settings::read(p + "_Text").toString(), texts.join(QString()));
    QCOMPARE(Settings::read(p + "_Score").toString(), scores.join(QString()));
    QCOMPARE(Settings::read(p + "_TextCount").toInt(), texts.size());
    QCOMPARE(Settings::read(p + "_ScoreCount").toInt(), scores.size());
}

void TestTemplateStore::saveAsIsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("itemName");
    QTest::addColumn<QString>("message");

    QTest::newRow("existing name") << QString("周计划") << QString("今日随笔") << writeFailed;
    QTest::newRow("the none choice") << QString("无") << QString("今日随笔") << writeFailed;
    QTest::newRow("leaves the folder")
        << QString("../周计划") << QString("今日随笔") << writeFailed;
    QTest::newRow("an Excel template's name")
        << QString("Excel_a") << QString("今日随笔") << writeFailed;
    QTest::newRow("item name with a blank")
        << QString("新模板") << QString("今日 随笔")
        << QString("模板文件创建失败！每日小结项目“今日 随笔”的名称不能写入模板，请修改该名称。");
    QTest::newRow("item name starting with a digit")
        << QString("新模板") << QString("1号")
        << QString("模板文件创建失败！每日小结项目“1号”的名称不能写入模板，请修改该名称。");
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
    createDayTables(db, source);
    QSqlQuery query(db);
    QVERIFY(query.exec("insert into " + Database::quoteIdentifier(source) +
                       " values(0,0,'09:00--10:00','<p>a</p>','','','2024-11-03',100,100,0)"));
    query.prepare("insert into " + Database::quoteIdentifier("summary_" + source) +
                  " values(0,'summaryText',?,'',100)");
    query.addBindValue(itemName);
    QVERIFY(query.exec());

    TemplateStore::ensureTemplateDirs();
    const QByteArray existing = "<root><template><name>old</name></template></root>";
    writeFile(TemplateStore::xmlTemplatePath("周计划"), existing);
    writeFile(TemplateStore::excelTemplatePath("Excel_a"), "PK");
    const QStringList before = QDir(env.appDir()).entryList(QDir::AllEntries | QDir::Hidden);
    const QStringList templatesBefore =
        QDir(Paths::templatesDir()).entryList(QDir::AllEntries | QDir::Hidden);

    LogCapture log;
    QVERIFY(!TemplateStore::saveAsTemplate(db, name, source));
    QCOMPARE(prompts.messages(), QStringList{message});
    QVERIFY(
        !log.startingWith(TemplateStore::xmlTemplatePath(name) + " file open failed!").isEmpty());
    QCOMPARE(readFile(TemplateStore::xmlTemplatePath("周计划")), existing);
    QCOMPARE(QDir(env.appDir()).entryList(QDir::AllEntries | QDir::Hidden), before);
    QCOMPARE(QDir(Paths::templatesDir()).entryList(QDir::AllEntries | QDir::Hidden),
             templatesBefore);
}

void TestTemplateStore::missingSummaryTableWritesNoFile()
{
    TestEnvironment env;
    PromptScript prompts;
    QSqlDatabase db = programDb();
    QSqlQuery query(db);
    QVERIFY(query.exec(DayTables::dayTableSql.arg("Day20241103x")));
    TemplateStore::ensureTemplateDirs();

    LogCapture log;
    QVERIFY(!TemplateStore::saveAsTemplate(db, "x", "Day20241103x"));
    QVERIFY(!log.startingWith("generate_templateXml_query summary failed").isEmpty());
    QVERIFY(!QFile::exists(TemplateStore::xmlTemplatePath("x")));
    QVERIFY(!TemplateStore::saveAsTemplate(db, "y", "Day20241103没有"));
    QVERIFY(!log.startingWith("generate_templateXml_query schedule failed").isEmpty());
    QVERIFY(!QFile::exists(TemplateStore::xmlTemplatePath("y")));
    QCOMPARE(QDir(Paths::templatesDir()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestTemplateStore::exportAddsSuffixAndCanBeImported()
{
    TestEnvironment env;
    PromptScript prompts;
    QSqlDatabase db = programDb();
    QVERIFY(TemplateStore::createBuiltInTemplates());
    QCOMPARE(newDay(db, "Day20241103", "空任务表"), 6);
    prompts.clear();

    const QString outside = env.workDir() + "/导出/mine";
    QDir().mkpath(env.workDir() + "/导出");
    QCOMPARE(TemplateStore::exportTemplate(db, outside, "Day20241103空任务表"), outside + ".xml");
    // A second export to the same name must not replace the first.
    QCOMPARE(TemplateStore::exportTemplate(db, outside + ".xml", "Day20241103空任务表"), QString());
    QCOMPARE(prompts.messages(), QStringList{writeFailed});

    const TemplateStore::ImportResult imported =
        TemplateStore::importTemplateFile(outside + ".xml");
    QCOMPARE(imported.kind, TemplateStore::ImportResult::Xml);
    QCOMPARE(imported.name, QString("mine"));
    QCOMPARE(newDay(db, "Day20241104", "mine"), 6);
    QCOMPARE(rowsOf(env, "Day20241104mine").first().isSchedule, 1);
}

void TestTemplateStore::import_data()
{
    QTest::addColumn<QString>("chosen"); // relative to the working directory, or "<app>/..."
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stored"); // relative to MyTemplates; empty: nothing copied
    QTest::addColumn<QStringList>("messages");

    using R = TemplateStore::ImportResult;
    QTest::newRow("outside workbook") << "outside/a.xlsx" << int(R::Excel) << "Excel_a"
                                      << "Excel/Excel_a.xlsx" << QStringList();
    QTest::newRow("outside xml") << "outside/周计划.xml" << int(R::Xml) << "周计划"
                                 << "周计划.xml" << QStringList();
    QTest::newRow("xml already in place")
        << "<app>/MyTemplates/b.xml" << int(R::Xml) << "b" << QString() << QStringList();
    QTest::newRow("workbook already in place")
        << "<app>/MyTemplates/Excel/c.xlsx" << int(R::Excel) << "c" << QString() << QStringList();
    QTest::newRow("name taken") << "outside/空时刻表.xml" << int(R::Failed) << QString()
                                << QString() << QStringList{copyFailed};
    QTest::newRow("file gone") << "outside/gone.xml" << int(R::Failed) << QString() << QString()
                               << QStringList{copyFailed};
    QTest::newRow("cancelled") << QString() << int(R::Nothing) << QString() << QString()
                               << QStringList();
}

void TestTemplateStore::import()
{
    QFETCH(QString, chosen);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(QString, stored);
    QFETCH(QStringList, messages);

    TestEnvironment env;
    PromptScript prompts;
    QVERIFY(TemplateStore::createBuiltInTemplates());
    const QByteArray builtIn = readFile(TemplateStore::xmlTemplatePath("空时刻表"));
    for (const QString file : {"outside/a.xlsx", "outside/周计划.xml", "outside/空时刻表.xml"})
        writeFile(env.workDir() + "/" + file, QByteArray("content of ") + file.toUtf8());
    writeFile(Paths::templatesDir() + "/b.xml", "b");
    writeFile(Paths::excelTemplatesDir() + "/c.xlsx", "c");
    const QStringList before = QDir(Paths::templatesDir()).entryList(QDir::Files);
    const QStringList excelBefore = QDir(Paths::excelTemplatesDir()).entryList(QDir::Files);

    QString path = chosen;
    if (path.startsWith("<app>"))
        path.replace("<app>", env.appDir());
    else if (!path.isEmpty())
        path = env.workDir() + "/" + path;

    const TemplateStore::ImportResult result = TemplateStore::importTemplateFile(path);
    QCOMPARE(int(result.kind), kind);
    QCOMPARE(result.name, name);
    QCOMPARE(prompts.messages(), messages);
    QCOMPARE(readFile(TemplateStore::xmlTemplatePath("空时刻表")), builtIn);
    if (kind == TemplateStore::ImportResult::Excel) {
        QCOMPARE(result.editorPath, path);
        QVERIFY(TemplateStore::isExcelTemplate(name));
        QVERIFY(TemplateStore::excelTemplateNames().contains(name));
    } else if (kind == TemplateStore::ImportResult::Xml) {
        QVERIFY(TemplateStore::xmlTemplateNames().contains(name));
        QVERIFY(!TemplateStore::isExcelTemplate(name));
    }
    const int added = QDir(Paths::templatesDir()).entryList(QDir::Files).size() - before.size() +
                      QDir(Paths::excelTemplatesDir()).entryList(QDir::Files).size() -
                      excelBefore.size();
    QCOMPARE(added, stored.isEmpty() ? 0 : 1);
    if (!stored.isEmpty())
        QCOMPARE(readFile(Paths::templatesDir() + "/" + stored), readFile(path));
}

void TestTemplateStore::deleteKeepsDaysAndBuiltInComesBack()
{
    TestEnvironment env;
    PromptScript prompts;
    QSqlDatabase db = programDb();
    QVERIFY(TemplateStore::createBuiltInTemplates());
    writeFile(TemplateStore::excelTemplatePath("Excel_a"), "PK");
    QCOMPARE(newDay(db, "Day20241103", "空时刻表"), 9);

    QVERIFY(TemplateStore::deleteTemplate("空时刻表"));
    QVERIFY(TemplateStore::deleteTemplate("Excel_a"));
    QVERIFY(!TemplateStore::deleteTemplate("Excel_a"));
    QVERIFY(!TemplateStore::deleteTemplate("无"));
    QCOMPARE(TemplateStore::xmlTemplateNames(), QStringList{"空任务表"});
    QCOMPARE(TemplateStore::excelTemplateNames(), QStringList());
    QCOMPARE(rowsOf(env, "Day20241103空时刻表").size(), 9);
    QCOMPARE(prompts.messages(), QStringList());

    QCOMPARE(newDay(db, "Day20241104", "空时刻表"), 9);
    QCOMPARE(prompts.messages(), QStringList{"指定的模板文件已被您删除了,已为您启用空时刻表。"});
    QVERIFY(TemplateStore::xmlTemplateNames().contains("空时刻表"));
}

void TestTemplateStore::defaultTemplateKey()
{
    TestEnvironment env;
    QCOMPARE(TemplateStore::defaultTemplate(), QString("空时刻表"));
    TemplateStore::setDefaultTemplate("无");
    QCOMPARE(Settings::read("defaultTemplate").toString(), QString("无"));
    QCOMPARE(TemplateStore::defaultTemplate(), QString("无"));
}

void TestTemplateStore::excelScheduleRegistryAndCopy_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::newRow("plain") << QString("Excel_a");
    QTest::newRow("apostrophe and blank") << QString("Excel_it's 周表");
}

void TestTemplateStore::excelScheduleRegistryAndCopy()
{
    QFETCH(QString, templateName);
    TestEnvironment env;
    QSqlDatabase db = programDb();
    TemplateStore::ensureTemplateDirs();
    writeFile(TemplateStore::excelTemplatePath(templateName), "workbook");

    const QString copy = "ExcelDB/Day20241103" + templateName + ".xlsx";
    QCOMPARE(TemplateStore::excelCopyPath("Day20241103", templateName), copy);
    QCOMPARE(TemplateStore::openExcelSchedule(db, "Day20241103", templateName), copy);
    QCOMPARE(readFile(env.workDir() + "/" + copy), QByteArray("workbook"));

    QSqlQuery check(env.checkConnection());
    QVERIFY(check.exec("select id, path from " +
                       Database::quoteIdentifier("Excel_Day20241103" + templateName)));
    QVERIFY(check.next());
    QCOMPARE(check.value(0).toInt(), 0);
    QCOMPARE(check.value(1).toString(), copy);
    QVERIFY(!check.next());

    // The date's copy is its own: opening again neither re-copies nor adds a row.
    writeFile(env.workDir() + "/" + copy, "edited");
    QCOMPARE(TemplateStore::openExcelSchedule(db, "Day20241103", templateName), copy);
    QCOMPARE(readFile(env.workDir() + "/" + copy), QByteArray("edited"));
    QVERIFY(check.exec("select count(*) from " +
                       Database::quoteIdentifier("Excel_Day20241103" + templateName)));
    QVERIFY(check.next());
    QCOMPARE(check.value(0).toInt(), 1);
    check.finish(); // an open read would lock the table against the drop

    LogCapture log;
    QVERIFY(TemplateStore::dropExcelSchedule(db, "Day20241103", templateName));
    QVERIFY(log.contains("delete_table_template is drop table " +
                         Database::quoteIdentifier("Excel_Day20241103" + templateName)));
    QVERIFY(!QFile::exists(env.workDir() + "/" + copy));
    QVERIFY(!db.tables().contains("Excel_Day20241103" + templateName));
    QCOMPARE(readFile(TemplateStore::excelTemplatePath(templateName)), QByteArray("workbook"));
}

void TestTemplateStore::excelScheduleWithoutWorkbookLeavesNoRegistry()
{
    TestEnvironment env;
    QSqlDatabase db = programDb();
    TemplateStore::ensureTemplateDirs();
    LogCapture log;
    QCOMPARE(TemplateStore::openExcelSchedule(db, "Day20241103", "Excel_gone"), QString());
    QVERIFY(log.contains("excel table not exist!"));
    QVERIFY(!db.tables().contains("Excel_Day20241103Excel_gone"));
    QVERIFY(!TemplateStore::dropExcelSchedule(db, "Day20241103", "Excel_gone"));
    QVERIFY(!log.startingWith("deleteSomeDayCurrentTemplate() failed!").isEmpty());
}
