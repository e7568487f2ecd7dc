#ifndef ORVANE_TESTS_BACKUP_BACKUPSEED_H
#define ORVANE_TESTS_BACKUP_BACKUPSEED_H

// A person's data as the program keeps it (tasks, days with summaries and label minutes,
// settings, templates, attachments, workbook copies), and a snapshot of all of it to compare
// before and after a backup's round trip. Logic only: rich text is written as the editor's HTML
// by hand.
#include "app/database.h"
#include "app/paths.h"
#include "app/settings.h"
#include "schedule/daystore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

namespace BackupSeed {

// The stored form of typed text: one paragraph per line, markup characters escaped,
// apostrophes as "&#39;".
inline QString richText(const QString &plain)
{
    if (plain.isEmpty())
        return QString();
    QString body;
    const QStringList lines = plain.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        body += QStringLiteral("<p style=\" margin-top:0px; margin-bottom:0px;\">") +
                line.toHtmlEscaped() + QStringLiteral("</p>\n");
    }
    return Database::escapeRichText(
        QStringLiteral(
            "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" "
            "\"http://www.w3.org/TR/REC-html40/strict.dtd\">\n<html><head><meta "
            "name=\"qrichtext\" content=\"1\" /><style type=\"text/css\">\np, li { "
            "white-space: pre-wrap; }\n</style></head><body style=\" font-size:9pt;\">\n") +
        body + QStringLiteral("</body></html>"));
}

struct Task {
    QString content;
    QString startDate;
    QString stopDate;
    int priority = 0;
    int progress = 0;
    QString label;
};

struct Record {
    QString time;
    QString plan;
    QString label;
    QString result;
    int minutes = 0; // written to the day's label table under label
};

inline bool exec(QSqlQuery &query)
{
    if (query.exec())
        return true;
    qWarning("%s", qPrintable(query.lastError().text()));
    return false;
}

inline bool addTasks(QSqlDatabase db, const QList<Task> &tasks)
{
    QSqlQuery query(db);
    query.exec(Database::createTableSql); // fails harmlessly when it exists
    query.exec(QStringLiteral("select count(*) from star"));
    const int first = query.next() ? query.value(0).toInt() : 0;
    for (int i = 0; i < tasks.size(); ++i) {
        const Task &task = tasks.at(i);
        query.prepare(Database::insertSql);
        for (const QVariant &value :
             {QVariant(first + i), QVariant(first + i), QVariant(richText(task.content)),
              QVariant(task.startDate), QVariant(task.stopDate), QVariant(QStringLiteral("重要")),
              QVariant(QStringLiteral("紧急")), QVariant(task.priority), QVariant(task.progress),
              QVariant(task.label), QVariant(100)})
            query.addBindValue(value);
        if (!exec(query))
            return false;
    }
    return true;
}

// A saved schedule: the day table, its summary and its label table.
inline bool addDay(QSqlDatabase db, const QString &table, const QList<Record> &records)
{
    if (!DayStore(db).createTables(table))
        return false;
    QSqlQuery query(db);
    for (int i = 0; i < records.size(); ++i) {
        const Record &r = records.at(i);
        query.prepare(QStringLiteral("insert into %1 values(?,?,?,?,?,?,?,?,?,?)")
                          .arg(Database::quoteIdentifier(table)));
        for (const QVariant &value :
             {QVariant(i), QVariant(i), QVariant(r.time), QVariant(richText(r.plan)),
              QVariant(r.label), QVariant(richText(r.result)), QVariant(table.mid(3, 8)),
              QVariant(100), QVariant(100), QVariant(r.time.isEmpty() ? 1 : 0)})
            query.addBindValue(value);
        if (!exec(query))
            return false;
        query.prepare(QStringLiteral("insert into %1(id, labelName, labelDuration) values(?,?,?)")
                          .arg(Database::quoteIdentifier(DayStore::labelTable(table))));
        for (const QVariant &value : {QVariant(i), QVariant(r.label), QVariant(r.minutes)})
            query.addBindValue(value);
        if (!exec(query))
            return false;
    }
    query.prepare(QStringLiteral("insert into %1 values(?,?,?,?,?)")
                      .arg(Database::quoteIdentifier(DayStore::summaryTable(table))));
    for (const QVariant &value :
         {QVariant(0), QVariant(QStringLiteral("summaryText")), QVariant(QStringLiteral("总结")),
          QVariant(richText(QStringLiteral("今天还行"))), QVariant(80)})
        query.addBindValue(value);
    return exec(query);
}

inline void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
}

// Everything a backup must carry, with awkward names and bytes.
inline bool fillAll(QSqlDatabase db)
{
    const bool ok =
        addTasks(db,
                 {{QStringLiteral("写报告, \"第一版\"\n然后寄出 😀"), QStringLiteral("2026-12-01"),
                   QStringLiteral("2026-12-20"), 80, 40, QStringLiteral("工作；写作；")},
                  {QStringLiteral("it's done"), QString(), QString(), 0, 100, QString()}}) &&
        addDay(db, DayStore::dayName(QDate(2026, 12, 6)) + QStringLiteral("空时刻表"),
               {{QStringLiteral("08:00--09:30"), QStringLiteral("晨读"), QStringLiteral("读书"),
                 QStringLiteral("读完一章"), 90},
                {QString(), QStringLiteral("杂事"), QString(), QString(), 0}}) &&
        addDay(db, DayStore::dayName(QDate(2026, 12, 7)) + QStringLiteral("my \"odd\" 模板"),
               {{QStringLiteral("21:00--23:00"), QStringLiteral("写代码"), QStringLiteral("工作"),
                 QString(), 120}});
    Settings::write(QStringLiteral("mainViewItemCount"), 2);
    Settings::write(QStringLiteral("planLabels"), QStringLiteral("读书；工作；"));
    Settings::write(QStringLiteral("defaultTemplate"), QStringLiteral("空时刻表"));
    writeFile(Paths::templatesDir() + QStringLiteral("/空时刻表.xml"),
              QByteArray("<?xml version=\"1.0\"?><template/>"));
    writeFile(Paths::excelTemplatesDir() + QStringLiteral("/周计划.xlsx"),
              QByteArray("PK\x03\x04 not really a workbook"));
    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary.append(char((i * 131) & 0xff));
    writeFile(Paths::attachmentsDir() + QStringLiteral("/图片 1.png"), binary);
    writeFile(Paths::attachmentsDir() + QStringLiteral("/.hidden"), QByteArray("dot file"));
    writeFile(Paths::excelDbDir() + QStringLiteral("/Day20261207周计划.xlsx"), QByteArray(1, '\0'));
    return ok;
}

// Every table's schema and rows, every settings key and every file of the three folders.
struct Snapshot {
    QMap<QString, QStringList> tables;
    QMap<QString, QString> settings;
    QMap<QString, QByteArray> files;

    bool operator==(const Snapshot &other) const
    {
        return tables == other.tables && settings == other.settings && files == other.files;
    }
};

inline Snapshot snapshot(QSqlDatabase db, const QString &settingsFile)
{
    Snapshot shot;
    QSqlQuery names(db);
    names.exec(QStringLiteral("select name, sql from sqlite_master where type='table'"));
    while (names.next()) {
        const QString table = names.value(0).toString();
        QStringList rows{names.value(1).toString()};
        QSqlQuery query(db);
        query.exec(QStringLiteral("select * from %1 order by rowid")
                       .arg(Database::quoteIdentifier(table)));
        while (query.next()) {
            QStringList values;
            for (int c = 0; c < query.record().count(); ++c)
                values.append(query.value(c).toString() + QLatin1Char('|') +
                              QString::fromLatin1(query.value(c).typeName()));
            rows.append(values.join(QChar(0x1f)));
        }
        shot.tables.insert(table, rows);
    }
    QSettings settings(settingsFile, QSettings::IniFormat);
    const QStringList keys = settings.allKeys();
    for (const QString &key : keys)
        shot.settings.insert(key, settings.value(key).toString());
    const QList<QPair<QString, QString>> folders = {
        {QStringLiteral("MyTemplates"), Paths::templatesDir()},
        {QStringLiteral("MyAttachments"), Paths::attachmentsDir()},
        {QStringLiteral("ExcelDB"), Paths::excelDbDir()}};
    for (const auto &folder : folders) {
        QDirIterator it(folder.second, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            QFile in(file);
            in.open(QIODevice::ReadOnly);
            shot.files.insert(folder.first + QLatin1Char('/') +
                                  QDir(folder.second).relativeFilePath(file),
                              in.readAll());
        }
    }
    return shot;
}

// The snapshot read on a connection of its own, opened now: a connection opened before a restore
// would still read the replaced file.
inline Snapshot snapshotOf(const QString &databaseFile, const QString &settingsFile)
{
    static int serial = 0;
    const QString name = QStringLiteral("snapshot%1").arg(++serial);
    Snapshot shot;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(databaseFile);
        db.open();
        shot = snapshot(db, settingsFile);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return shot;
}

} // namespace BackupSeed

#endif
