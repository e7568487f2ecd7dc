#include "schedule/summarystore.h"

#include "app/database.h"
#include "app/logging.h"
#include "app/semicolonlist.h"
#include "app/settings.h"
#include "app/sql.h"
#include "schedule/daystore.h"
#include "schedule/templatexml.h"
#include "search/searchindex.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

SummaryStore::SummaryStore(const QSqlDatabase &db, const QString &dayTable)
    : m_db(db), m_dayTable(dayTable)
{
}

void SummaryStore::writeKeys(const QString &summaryTable, const QStringList &textNames,
                             const QStringList &scoreNames)
{
    Settings settings;
    settings.setValue(summaryTable + textCountSuffix, textNames.size());
    settings.setValue(summaryTable + scoreCountSuffix, scoreNames.size());
    settings.setValue(summaryTable + textNamesSuffix, SemicolonList::join(textNames));
    settings.setValue(summaryTable + scoreNamesSuffix, SemicolonList::join(scoreNames));
}

void SummaryStore::removeKeys(const QString &summaryTable)
{
    Settings settings;
    for (const QString &suffix :
         {textCountSuffix, scoreCountSuffix, textNamesSuffix, scoreNamesSuffix})
        settings.remove(summaryTable + suffix);
}

QVariantMap SummaryStore::keys(const QString &summaryTable)
{
    Settings settings;
    QVariantMap keys;
    for (const QString &suffix :
         {textCountSuffix, scoreCountSuffix, textNamesSuffix, scoreNamesSuffix}) {
        if (settings.contains(summaryTable + suffix))
            keys.insert(suffix, settings.value(summaryTable + suffix));
    }
    return keys;
}

void SummaryStore::restoreKeys(const QString &summaryTable, const QVariantMap &keys)
{
    Settings settings;
    for (auto it = keys.cbegin(); it != keys.cend(); ++it)
        settings.setValue(summaryTable + it.key(), it.value());
}

QString SummaryStore::table() const
{
    return DayStore::summaryTable(m_dayTable);
}

QList<SummaryItem> SummaryStore::items(bool *ok)
{
    QList<SummaryItem> rows;
    const QString statement = QStringLiteral("select * from ") + Database::quoteIdentifier(table());
    logLine(QStringLiteral("select_summary_table is ") + statement);
    QSqlQuery query(m_db);
    const bool ran = query.exec(statement);
    if (ok)
        *ok = ran;
    if (!ran) {
        logLine(QStringLiteral("select * query from summary table failed"),
                query.lastError().text());
        return rows;
    }
    while (query.next()) {
        SummaryItem item;
        item.id = query.value(0).toInt();
        item.type = query.value(1).toString();
        item.name = query.value(2).toString();
        item.detail = query.value(3).toString();
        item.height = query.value(4).toInt();
        rows.append(item);
    }
    return rows;
}

bool SummaryStore::hasKeys() const
{
    return Settings::read(settingsPrefix() + textCountSuffix, Settings::noValue).toString() !=
           Settings::noValue;
}

bool SummaryStore::namesInTable(QStringList *texts, QStringList *scores)
{
    bool ok = false;
    const QList<SummaryItem> rows = items(&ok);
    if (!ok)
        return false;
    for (const SummaryItem &item : rows) {
        if (item.type == QLatin1String("summaryText"))
            texts->append(item.name);
        else if (item.type == QLatin1String("summaryScore"))
            scores->append(item.name);
    }
    return true;
}

bool SummaryStore::writeKeysFromTable()
{
    QStringList texts;
    QStringList scores;
    if (!namesInTable(&texts, &scores))
        return false;
    writeKeys(table(), texts, scores);
    return true;
}

bool SummaryStore::repairKeys()
{
    if (!hasKeys())
        return true;
    QStringList texts;
    QStringList scores;
    if (!namesInTable(&texts, &scores))
        return false;
    if (SemicolonList::split(readNames(Texts), false) == texts &&
        SemicolonList::split(readNames(Scores), false) == scores && textCount() == texts.size() &&
        scoreCount() == scores.size())
        return true;
    logLine(QStringLiteral("summary keys of %1 repaired from the table").arg(table()));
    writeKeys(table(), texts, scores);
    return true;
}

int SummaryStore::textCount() const
{
    return Settings::read(settingsPrefix() + textCountSuffix, 0).toInt();
}

int SummaryStore::scoreCount() const
{
    return Settings::read(settingsPrefix() + scoreCountSuffix, 0).toInt();
}

QString SummaryStore::readNames(ItemKind kind)
{
    const QString key = settingsPrefix() + (kind == Texts ? textNamesSuffix : scoreNamesSuffix);
    QString names = Settings::read(key, Settings::noValue).toString();
    if (names == Settings::noValue) {
        logLine(kind == Texts
                    ? QStringLiteral("summaryText is ~no-value~ ini, start parse table")
                    : QStringLiteral("summaryScore is ~no-value~ ini, start parse table"));
        names.clear();
        const QString type =
            kind == Texts ? QStringLiteral("summaryText") : QStringLiteral("summaryScore");
        const QList<SummaryItem> rows = items();
        for (const SummaryItem &item : rows) {
            if (item.type == type)
                names += item.name + SemicolonList::separator;
        }
    }
    logLine(QStringLiteral("summaryTableStored is ") + names);
    return names;
}

bool SummaryStore::saveText(int id, const QString &html, int height)
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("update ") + Database::quoteIdentifier(table()) +
                  QStringLiteral(" set contentDetail = ?, height = ? where id = ?"));
    query.addBindValue(Database::escapeRichText(html));
    query.addBindValue(height);
    query.addBindValue(id);
    Sql::Transaction transaction(m_db);
    if (!query.exec()) {
        logLine(QStringLiteral("summary text content update failed!"), query.lastError().text());
        return false;
    }
    SearchIndex(m_db).reindexSummaryItem(m_dayTable, id);
    if (!transaction.commit(QStringLiteral("summary text content update failed!")))
        return false;
    logLine(QStringLiteral("summary text content update succedd!"));
    return true;
}

bool SummaryStore::saveScore(int id, int score)
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("update ") + Database::quoteIdentifier(table()) +
                  QStringLiteral(" set contentDetail = ? where id = ?"));
    query.addBindValue(QString::number(score));
    query.addBindValue(id);
    if (!query.exec()) {
        logLine(QStringLiteral("summary score value update failed!"), query.lastError().text());
        return false;
    }
    logLine(QStringLiteral("summary score value update succeed!"));
    return true;
}

bool SummaryStore::applyItems(const QString &textNames, const QString &scoreNames)
{
    logLine(QStringLiteral("summaryText is ") + textNames + QStringLiteral(" summaryScore is ") +
            scoreNames);
    const QStringList texts = SemicolonList::split(textNames, false);
    const QStringList scores = SemicolonList::split(scoreNames, false);
    bool ok = false;
    const QList<SummaryItem> old = items(&ok);
    if (!ok) {
        logLine(QStringLiteral("store_old_query select * failed"));
        return false;
    }
    const QString quoted = Database::quoteIdentifier(table());
    Sql::Transaction transaction(m_db);
    QSqlQuery query(m_db);
    for (int id = 0; id < old.size(); ++id) {
        const QString statement =
            QStringLiteral("delete from %1 where id  = %2").arg(quoted, QString::number(id));
        logLine(QStringLiteral("delete_summary is ") + statement);
        if (!query.exec(statement))
            logLine(QStringLiteral("store_old_query delete failed"), query.lastError().text());
    }
    // Rows left over under ids past the old count (a damaged table) would collide with the new
    // ids; the table is rewritten whole.
    query.exec(QStringLiteral("delete from ") + quoted);

    auto previous = [&old](const QString &type, const QString &name) -> const SummaryItem * {
        for (const SummaryItem &item : old) {
            if (item.type == type && item.name == name)
                return &item;
        }
        return nullptr;
    };
    bool inserted = true;
    auto insert = [&](int id, const QString &type, const QString &name, const QString &detail,
                      int height) {
        query.prepare(QStringLiteral("insert into ") + quoted +
                      QStringLiteral(" values(?,?,?,?,?)"));
        query.addBindValue(id);
        query.addBindValue(type);
        query.addBindValue(name);
        query.addBindValue(detail);
        query.addBindValue(height);
        if (!query.exec()) {
            logLine(QStringLiteral("store_old_query insert text failed"), query.lastError().text());
            inserted = false;
        }
    };
    for (int i = 0; i < texts.size(); ++i) {
        const SummaryItem *item = previous(QStringLiteral("summaryText"), texts.at(i));
        insert(i, QStringLiteral("summaryText"), texts.at(i), item ? item->detail : QString(),
               item ? item->height : 200);
    }
    for (int j = 0; j < scores.size(); ++j) {
        const SummaryItem *item = previous(QStringLiteral("summaryScore"), scores.at(j));
        insert(texts.size() + j, QStringLiteral("summaryScore"), scores.at(j),
               item ? item->detail : QString(), 30);
    }
    if (inserted)
        SearchIndex(m_db).reindexSummary(m_dayTable);
    if (!inserted || !transaction.commit())
        return false;
    const QString prefix = settingsPrefix();
    Settings settings;
    settings.setValue(prefix + textCountSuffix, texts.size());
    settings.setValue(prefix + scoreCountSuffix, scores.size());
    // The names as typed (the summary dialog writes them with their trailing separators).
    settings.setValue(prefix + textNamesSuffix, textNames);
    settings.setValue(prefix + scoreNamesSuffix, scoreNames);
    return true;
}

QString SummaryStore::checkName(const QString &name)
{
    const QChar first = name.at(0);
    if ((first.unicode() < 128 && first.isDigit()) || first.isNumber() || first.isPunct())
        return QStringLiteral("文本开头不能是数字和特殊字符。");
    // Item names become element names in template files; refuse what a template could not
    // hold or would read as its own structure.
    static const QStringList reserved = {QStringLiteral("text"), QStringLiteral("height"),
                                         QStringLiteral("summaryText"),
                                         QStringLiteral("summaryScore")};
    if (!TemplateXml::isElementName(name) || name.contains(SemicolonList::separator) ||
        reserved.contains(name) || name.startsWith(QLatin1String("xml"), Qt::CaseInsensitive))
        return QStringLiteral("项目名称“%1”不能用作模板中的名称：请只用文字、字母、数字、"
                              "下划线或连字符，不要用空格和其它符号。")
            .arg(name);
    return QString();
}
