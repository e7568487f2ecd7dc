#ifndef ORVANE_SCHEDULE_SUMMARYSTORE_H
#define ORVANE_SCHEDULE_SUMMARYSTORE_H

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// One row of a day's summary table: text items first, then score items.
struct SummaryItem {
    int id = 0;
    QString type; // "summaryText" or "summaryScore"
    QString name;
    QString detail; // text: stored HTML; score: the score as decimal text
    int height = 0;
};

// The summary table "summary_" + day table and its four settings keys, named by the summary
// table with the suffixes below.
class SummaryStore {
public:
    static inline const QString textCountSuffix = QStringLiteral("_TextCount");
    static inline const QString scoreCountSuffix = QStringLiteral("_ScoreCount");
    static inline const QString textNamesSuffix = QStringLiteral("_Text");
    static inline const QString scoreNamesSuffix = QStringLiteral("_Score");

    // Writes the four keys of a summary table from its item names.
    static void writeKeys(const QString &summaryTable, const QStringList &textNames,
                          const QStringList &scoreNames);
    static void removeKeys(const QString &summaryTable);
    // The four keys as stored (absent ones left out), and writing them back.
    static QVariantMap keys(const QString &summaryTable);
    static void restoreKeys(const QString &summaryTable, const QVariantMap &keys);

    SummaryStore(const QSqlDatabase &db, const QString &dayTable);

    QString table() const;
    QString settingsPrefix() const { return table(); }

    QList<SummaryItem> items(bool *ok = nullptr);
    int textCount() const;
    int scoreCount() const;
    // Whether the settings file has the table's keys (it may have been lost or replaced).
    bool hasKeys() const;
    // Writes the four keys from the items of the table; false when the table cannot be read.
    bool writeKeysFromTable();
    // Rewrites the settings keys from the table when they name other items than it holds (a
    // run that ended between the table's commit and the keys' write): the table wins. Missing
    // keys are left to the readers, which fall back to the table. False when it could not read.
    bool repairKeys();
    enum ItemKind { Texts = 0, Scores = 1 };
    // The names of one kind of item, each followed by "；". Without the settings keys the names
    // come from the summary table itself, in table order.
    QString readNames(ItemKind kind);

    bool saveText(int id, const QString &html, int height);
    bool saveScore(int id, int score);

    // Rewrites the items from two name lists, keeping the contents of names that stay.
    // One transaction; a failed read changes nothing.
    bool applyItems(const QString &textNames, const QString &scoreNames);

    // Whether a name can head a summary item: it becomes an XML element name in templates.
    // Returns the message to show, or an empty text when the name is fine.
    static QString checkName(const QString &name);

private:
    // The text and score item names of the summary table, in its order.
    bool namesInTable(QStringList *texts, QStringList *scores);
    QSqlDatabase m_db;
    QString m_dayTable;
};

#endif
