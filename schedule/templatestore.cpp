#include "schedule/templatestore.h"

#include "app/database.h"
#include "app/logging.h"
#include "app/paths.h"
#include "app/semicolonlist.h"
#include "app/settings.h"
#include "app/sql.h"
#include "schedule/daytables.h"
#include "schedule/summarystore.h"
#include "schedule/templatexml.h"
#include "search/searchindex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>

const QString TemplateStore::emptyScheduleName = QStringLiteral("空时刻表");
const QString TemplateStore::emptyTaskListName = QStringLiteral("空任务表");
const QString TemplateStore::noTemplate = QStringLiteral("无");
const QString TemplateStore::defaultTemplateKey = QStringLiteral("defaultTemplate");

namespace {
const QString promptTitle = QStringLiteral("提示");
const QString missingTemplateMessage =
    QStringLiteral("指定的模板文件已被您删除了,已为您启用空时刻表。");
const QString writeFailedMessage = QStringLiteral("模板文件创建失败！请重命名文件。");
const QString unwritableNameMessage =
    QStringLiteral("模板文件创建失败！每日小结项目“%1”的名称不能写入模板，请修改该名称。");
const QString copyFailedMessage =
    QStringLiteral("把外部模板文件拷贝到本地文件夹失败，请尝试重命名外部模板文件后重新导入。");

QStringList namesIn(const QString &dir, const QString &suffix)
{
    if (!TemplateStore::ensureTemplateDirs())
        return QStringList();
    // Case-sensitive, so every listed name maps back to an existing file.
    QStringList names =
        QDir(dir).entryList(QStringList(QLatin1Char('*') + suffix),
                            QDir::Files | QDir::Readable | QDir::CaseSensitive, QDir::Name);
    for (QString &name : names)
        name.chop(suffix.size());
    return names;
}

bool sameDirectory(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

void tell(UserMessages *messages, UserMessage::Level level, const QString &text)
{
    if (messages)
        messages->append(UserMessage{level, promptTitle, text});
}

// A name that would leave the template folder or be read as a folder.
// A NUL ends the name where the file system sees it, so "a<NUL>b" would be saved as "a".
bool hasPathSeparator(const QString &name)
{
    return name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
           name.contains(QChar(0));
}
} // namespace

bool TemplateStore::ensureTemplateDirs()
{
    QDir dir;
    if (!dir.exists(Paths::templatesDir()))
        dir.mkpath(Paths::templatesDir());
    if (!dir.exists(Paths::excelTemplatesDir()))
        return dir.mkpath(Paths::excelTemplatesDir());
    return true;
}

QStringList TemplateStore::xmlTemplateNames()
{
    return namesIn(Paths::templatesDir(), QStringLiteral(".xml"));
}

QStringList TemplateStore::excelTemplateNames()
{
    return namesIn(Paths::excelTemplatesDir(), QStringLiteral(".xlsx"));
}

bool TemplateStore::isExcelTemplate(const QString &name)
{
    return excelTemplateNames().contains(name);
}

QString TemplateStore::xmlTemplatePath(const QString &name)
{
    return Paths::templatesDir() + QLatin1Char('/') + name + QStringLiteral(".xml");
}

QString TemplateStore::excelTemplatePath(const QString &name)
{
    return Paths::excelTemplatesDir() + QLatin1Char('/') + name + QStringLiteral(".xlsx");
}

// Writes into a temporary file beside the target and moves it into place only when complete;
// the move refuses to replace a file of the same name.
bool TemplateStore::writeNewFile(const QString &path, const TemplateContent &content, int firstLine)
{
    if (QFileInfo::exists(path))
        return false;
    QTemporaryFile temporary(QFileInfo(path).absolutePath() + QStringLiteral("/.template-XXXXXX"));
    if (!temporary.open())
        return false;
    if (!TemplateXml::write(&temporary, content, firstLine) || !temporary.flush())
        return false;
    temporary.close();
    if (!QFile::rename(temporary.fileName(), path))
        return false;
    temporary.setAutoRemove(false);
    return true;
}

bool TemplateStore::createBuiltInTemplates()
{
    ensureTemplateDirs();
    const QVector<QPair<TemplateContent, int>> builtIns = {{TemplateXml::emptySchedule(), 3},
                                                           {TemplateXml::emptyTaskList(), 1}};
    for (const auto &builtIn : builtIns) {
        const QString path = xmlTemplatePath(builtIn.first.name);
        if (QFileInfo::exists(path))
            continue;
        if (!writeNewFile(path, builtIn.first, builtIn.second)) {
            logLine(QStringLiteral("file open failed!"));
            return false;
        }
    }
    return true;
}

int TemplateStore::loadTemplateIntoDay(QSqlDatabase db, const QString &dayName,
                                       const QString &templateName, UserMessages *messages)
{
    const QString table = dayName + templateName;
    const QString summaryTable = DayTables::summaryTableName(table);
    const QString createDate = DayTables::createDate(dayName);

    QString path = xmlTemplatePath(templateName);
    QFile file(path);
    if (hasPathSeparator(templateName) || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        tell(messages, UserMessage::Information, missingTemplateMessage);
        createBuiltInTemplates();
        path = xmlTemplatePath(emptyScheduleName);
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            logLine(QStringLiteral("Open empty template file failed!"));
            return -1;
        }
    }
    const TemplateXml::ReadResult read = TemplateXml::read(&file, path);
    const TemplateContent &content = read.content;

    // One template fill is one transaction; it also spares SQLite a sync per row.
    Sql::Transaction transaction(db);
    int inserted = 0;
    // A row that cannot be written fails the whole fill: a day is never made with some of its
    // template's records missing.
    bool complete = true;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("insert into %1 values(?,?,?,?,?,?,?,?,?,?)")
                      .arg(Database::quoteIdentifier(table)));
    for (int n = 0; n < content.records.size(); ++n) {
        const TemplateRecord &record = content.records.at(n);
        query.addBindValue(n);
        query.addBindValue(n);
        query.addBindValue(record.time);
        query.addBindValue(record.plan);
        query.addBindValue(record.label);
        query.addBindValue(record.result);
        query.addBindValue(createDate);
        query.addBindValue(record.planHeight);
        query.addBindValue(record.resultHeight);
        query.addBindValue(content.timed ? 0 : 1);
        if (query.exec()) {
            ++inserted;
        } else {
            complete = false;
            logLine(QStringLiteral("Create empty template table failed!"),
                    query.lastError().text());
        }
    }

    QSqlQuery summary(db);
    summary.prepare(QStringLiteral("insert into %1(id, contentType, contentName, contentDetail, "
                                   "height) values(?, ?, ?, ?, ?)")
                        .arg(Database::quoteIdentifier(summaryTable)));
    QStringList textNames;
    QStringList scoreNames;
    int id = 0;
    for (const TemplateSummaryItem &item : content.texts) {
        summary.addBindValue(id++);
        summary.addBindValue(QStringLiteral("summaryText"));
        summary.addBindValue(item.name);
        summary.addBindValue(item.text);
        summary.addBindValue(item.height);
        if (summary.exec()) {
            logLine(QStringLiteral("insert into template summary table text succeed!"));
        } else {
            complete = false;
            logLine(QStringLiteral("insert into template summary table text failed!"),
                    summary.lastError().text());
        }
        textNames.append(item.name);
    }
    for (const TemplateSummaryItem &item : content.scores) {
        summary.addBindValue(id++);
        summary.addBindValue(QStringLiteral("summaryScore"));
        summary.addBindValue(item.name);
        summary.addBindValue(item.text);
        summary.addBindValue(30);
        if (summary.exec()) {
            logLine(QStringLiteral("insert into template summary table score succeed!"));
        } else {
            complete = false;
            logLine(QStringLiteral("insert into template summary table score  failed!"),
                    summary.lastError().text());
        }
        scoreNames.append(item.name);
    }
    if (!complete)
        transaction.rollback();
    if (!complete || !transaction.commit(QStringLiteral("Create empty template table failed!"))) {
        inserted = complete ? 0 : -1;
        textNames.clear();
        scoreNames.clear();
    }

    // The summary view reads the item lists from these keys; they always match the table.
    SummaryStore::writeKeys(summaryTable, textNames, scoreNames);

    for (const QString &message : read.messages)
        tell(messages, UserMessage::Warning, message);
    return inserted;
}

bool TemplateStore::writeTemplateXml(QSqlDatabase db, const QString &path,
                                     const QString &dayTableName, UserMessages *messages)
{
    auto refuse = [&](const QString &message) {
        logLine(path + QStringLiteral(" file open failed!"));
        tell(messages, UserMessage::Warning, message);
        return false;
    };
    if (QFileInfo::exists(path))
        return refuse(writeFailedMessage);

    TemplateContent content;
    content.name = QFileInfo(path).fileName();
    if (content.name.endsWith(QStringLiteral(".xml")))
        content.name.chop(4);

    QSqlQuery query(db);
    const QString selectAll = QStringLiteral("select * from ") +
                              Database::quoteIdentifier(dayTableName) +
                              QStringLiteral(" order by manualIndex");
    logLine(QStringLiteral("select_all_sql is ") + selectAll);
    if (!query.exec(selectAll)) {
        logLine(QStringLiteral("generate_templateXml_query schedule failed"),
                query.lastError().text());
        return false;
    }
    while (query.next()) {
        if (content.records.isEmpty()) {
            content.hasIsSchedule = true;
            content.timed = query.value(9).toInt() == 0;
        }
        TemplateRecord record;
        record.time = query.value(2).toString();
        record.plan = query.value(3).toString();
        record.label = query.value(4).toString();
        record.result = query.value(5).toString();
        record.planHeight = query.value(7).toInt();
        record.resultHeight = query.value(8).toInt();
        content.records.append(record);
    }

    // Without its summary the template would silently lose the day's items: write nothing.
    QSqlQuery summary(db);
    if (!summary.exec(QStringLiteral("select * from ") +
                      Database::quoteIdentifier(DayTables::summaryTableName(dayTableName)) +
                      QStringLiteral(" order by id"))) {
        logLine(QStringLiteral("generate_templateXml_query summary failed"),
                summary.lastError().text());
        return false;
    }
    logLine(QStringLiteral("generate_templateXml_query summary succeed"));
    while (summary.next()) {
        TemplateSummaryItem item;
        item.name = summary.value(2).toString();
        item.text = summary.value(3).toString();
        const QString type = summary.value(1).toString();
        if (type == QLatin1String("summaryText")) {
            item.height = summary.value(4).toInt();
            content.texts.append(item);
        } else if (type == QLatin1String("summaryScore")) {
            content.scores.append(item);
        }
    }

    const QString unwritable = TemplateXml::firstUnwritableName(content);
    if (!unwritable.isEmpty())
        return refuse(unwritableNameMessage.arg(unwritable));
    if (!writeNewFile(path, content, -1))
        return refuse(writeFailedMessage);
    return true;
}

bool TemplateStore::saveAsTemplate(QSqlDatabase db, const QString &name,
                                   const QString &dayTableName, UserMessages *messages)
{
    if (name.isEmpty())
        return false;
    ensureTemplateDirs();
    const QString path = xmlTemplatePath(name);
    // "无" and an Excel template's name already mean something else in every template list.
    if (name == noTemplate || hasPathSeparator(name) || isExcelTemplate(name)) {
        logLine(path + QStringLiteral(" file open failed!"));
        tell(messages, UserMessage::Warning, writeFailedMessage);
        return false;
    }
    return writeTemplateXml(db, path, dayTableName, messages);
}

QString TemplateStore::exportTemplate(QSqlDatabase db, const QString &path,
                                      const QString &dayTableName, UserMessages *messages)
{
    if (path.isEmpty())
        return QString();
    QString target = path;
    if (!target.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive))
        target += QStringLiteral(".xml");
    return writeTemplateXml(db, target, dayTableName, messages) ? target : QString();
}

TemplateStore::ImportResult TemplateStore::importTemplateFile(const QString &path,
                                                              UserMessages *messages)
{
    ImportResult result;
    if (path.isEmpty())
        return result;
    ensureTemplateDirs();
    const QFileInfo info(path);
    QString base = info.fileName();

    if (base.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive)) {
        base.chop(4);
        result.kind = ImportResult::Xml;
        result.name = base;
        if (sameDirectory(info.absolutePath(), Paths::templatesDir()))
            return result;
        const QString target = xmlTemplatePath(base);
        if (!QFile::copy(path, target)) {
            logLine(QStringLiteral("copy template file failed! ") + path + QStringLiteral(" -> ") +
                    target);
            tell(messages, UserMessage::Warning, copyFailedMessage);
            return ImportResult{ImportResult::Failed, QString(), QString()};
        }
        return result;
    }

    if (base.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        base.chop(5);
    result.kind = ImportResult::Excel;
    result.editorPath = path;
    if (sameDirectory(info.absolutePath(), Paths::excelTemplatesDir())) {
        result.name = base;
        return result;
    }
    result.name = QStringLiteral("Excel_") + base;
    const QString target = excelTemplatePath(result.name);
    if (!QFile::copy(path, target)) {
        logLine(QStringLiteral("copy template file failed! ") + path + QStringLiteral(" -> ") +
                target);
        tell(messages, UserMessage::Warning, copyFailedMessage);
        return ImportResult{ImportResult::Failed, QString(), QString()};
    }
    // The editor saves into the workbook it shows: that must be the template just made, not
    // the outside file it came from.
    result.editorPath = target;
    return result;
}

QString TemplateStore::defaultTemplate()
{
    return Settings::read(defaultTemplateKey, emptyScheduleName).toString();
}

void TemplateStore::setDefaultTemplate(const QString &name)
{
    Settings::write(defaultTemplateKey, name);
}

bool TemplateStore::deleteTemplate(const QString &name)
{
    if (name.isEmpty() || name == noTemplate || hasPathSeparator(name))
        return false;
    const QString path = isExcelTemplate(name) ? excelTemplatePath(name) : xmlTemplatePath(name);
    if (!QFile::remove(path)) {
        logLine(QStringLiteral("delete template file failed! ") + path);
        return false;
    }
    return true;
}

QString TemplateStore::excelCopyPath(const QString &dayName, const QString &templateName)
{
    return QStringLiteral("ExcelDB/") + dayName + templateName + QStringLiteral(".xlsx");
}

QString TemplateStore::openExcelSchedule(QSqlDatabase db, const QString &dayName,
                                         const QString &templateName)
{
    const QString registry = DayTables::excelRegistryName(dayName, templateName);
    const QString quoted = Database::quoteIdentifier(registry);
    const QString copy = excelCopyPath(dayName, templateName);

    QSqlQuery query(db);
    bool checked = false;
    const bool exists = Sql::tableExists(db, registry, &checked);
    if (!checked)
        logLine(QStringLiteral("check_excel_table query is failed!"), db.lastError().text());

    if (!exists) {
        logLine(QStringLiteral("excel table not exist!"));
        // The registry and the copy come together: a registry without its workbook would give
        // the date a schedule nobody can open.
        Sql::Transaction transaction(db);
        if (!query.exec(
                QStringLiteral("create table %1(id int PRIMARY KEY, path TEXT)").arg(quoted))) {
            logLine(QStringLiteral("create excel table failed!"), query.lastError().text());
            return QString();
        }
        query.prepare(QStringLiteral("insert into %1(id, path) values(?, ?)").arg(quoted));
        query.addBindValue(0);
        query.addBindValue(copy);
        if (!query.exec()) {
            logLine(QStringLiteral("insert into excel table failed!"), query.lastError().text());
            return QString();
        }
        QDir().mkpath(Paths::excelDbDir());
        if (QFileInfo::exists(copy)) {
            // A copy left behind by an earlier schedule holds the user's work; keep it.
            logLine(QStringLiteral("excel copy already exists: ") + copy);
        } else if (!QFile::copy(excelTemplatePath(templateName), copy)) {
            logLine(QStringLiteral("copy excel template failed! ") +
                    excelTemplatePath(templateName));
            return QString();
        }
        SearchIndex(db).reindexExcelFile(registry);
        if (!transaction.commit(QStringLiteral("create excel table failed!")))
            return QString();
    }

    if (!query.exec(QStringLiteral("select * from ") + quoted)) {
        logLine(QStringLiteral("select excel table failed!"), query.lastError().text());
        return QString();
    }
    if (query.next()) {
        const QString file = query.value(1).toString();
        if (QFileInfo::exists(file))
            return file;
    }
    return QString();
}

bool TemplateStore::dropExcelSchedule(QSqlDatabase db, const QString &dayName,
                                      const QString &templateName)
{
    const QString statement =
        QStringLiteral("drop table ") +
        Database::quoteIdentifier(DayTables::excelRegistryName(dayName, templateName));
    logLine(QStringLiteral("delete_table_template is ") + statement);
    Sql::Transaction transaction(db);
    QSqlQuery query(db);
    if (!query.exec(statement)) {
        logLine(QStringLiteral("deleteSomeDayCurrentTemplate() failed!"), query.lastError().text());
        return false;
    }
    SearchIndex(db).reindexExcel(DayTables::excelRegistryName(dayName, templateName), {});
    if (!transaction.commit(QStringLiteral("deleteSomeDayCurrentTemplate() failed!")))
        return false;
    const QString copy = excelCopyPath(dayName, templateName);
    if (QFileInfo::exists(copy) && !QFile::remove(copy)) {
        logLine(QStringLiteral("remove excel copy failed! ") + copy);
        return false;
    }
    return true;
}

bool TemplateStore::writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        logLine(QStringLiteral("restore file failed! ") + path, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        logLine(QStringLiteral("restore file failed! ") + path, file.errorString());
        file.close();
        file.remove();
        return false;
    }
    file.close();
    return true;
}

bool TemplateStore::readTemplateFile(const QString &name, bool *excel, QByteArray *bytes)
{
    if (name.isEmpty() || name == noTemplate || hasPathSeparator(name))
        return false;
    *excel = isExcelTemplate(name);
    QFile file(*excel ? excelTemplatePath(name) : xmlTemplatePath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        logLine(QStringLiteral("read template file failed! ") + file.fileName());
        return false;
    }
    *bytes = file.readAll();
    return true;
}

bool TemplateStore::restoreTemplateFile(const QString &name, bool excel, const QByteArray &bytes,
                                        UserMessages *messages)
{
    const QString path = excel ? excelTemplatePath(name) : xmlTemplatePath(name);
    if (name.isEmpty() || hasPathSeparator(name) || QFileInfo::exists(path)) {
        tell(messages, UserMessage::Warning,
             QStringLiteral("已有同名模板“%1”，无法撤销删除。").arg(name));
        return false;
    }
    if (!writeBytes(path, bytes)) {
        tell(messages, UserMessage::Warning,
             QStringLiteral("模板“%1”无法写回模板文件夹，删除没有撤销。").arg(name));
        return false;
    }
    return true;
}

bool TemplateStore::readExcelSchedule(QSqlDatabase db, const QString &dayName,
                                      const QString &templateName, ExcelScheduleCopy *copy)
{
    copy->dayName = dayName;
    copy->templateName = templateName;
    bool ok = false;
    copy->registry =
        TableSnapshot::read(db, DayTables::excelRegistryName(dayName, templateName), &ok);
    if (!ok)
        return false;
    QFile file(excelCopyPath(dayName, templateName));
    copy->hadCopy = file.exists();
    if (!copy->hadCopy)
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        logLine(QStringLiteral("read excel copy failed! ") + file.fileName());
        return false;
    }
    copy->copy = file.readAll();
    return true;
}

bool TemplateStore::restoreExcelSchedule(QSqlDatabase db, const ExcelScheduleCopy &copy,
                                         UserMessages *messages)
{
    const QString path = excelCopyPath(copy.dayName, copy.templateName);
    const bool writeCopy = copy.hadCopy && !QFileInfo::exists(path);
    Sql::Transaction transaction(db);
    if (!copy.registry.write(db) || (writeCopy && !writeBytes(path, copy.copy))) {
        tell(messages, UserMessage::Warning,
             QStringLiteral("日程“%1”无法恢复，删除没有撤销。").arg(copy.templateName));
        return false;
    }
    SearchIndex(db).reindexExcelFile(DayTables::excelRegistryName(copy.dayName, copy.templateName));
    if (!transaction.commit(QStringLiteral("restore excel table failed!"))) {
        if (writeCopy)
            QFile::remove(path);
        tell(messages, UserMessage::Warning,
             QStringLiteral("日程“%1”无法恢复，删除没有撤销。").arg(copy.templateName));
        return false;
    }
    return true;
}
