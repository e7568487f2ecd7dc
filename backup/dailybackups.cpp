#include "backup/dailybackups.h"

#include "app/logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace {
const QString prefix = QStringLiteral("orvane-");
const QString suffix = QStringLiteral(".zip");
} // namespace

QString DailyBackups::folder()
{
    return QDir::current().absoluteFilePath(QStringLiteral("backups"));
}

QString DailyBackups::archiveName(const QDate &date)
{
    return prefix + date.toString(QStringLiteral("yyyyMMdd")) + suffix;
}

QDate DailyBackups::dateOf(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^orvane-(\\d{8})\\.zip$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return QDate();
    return QDate::fromString(match.captured(1), QStringLiteral("yyyyMMdd"));
}

QList<QDate> DailyBackups::toKeep(QList<QDate> dates)
{
    std::sort(dates.begin(), dates.end(), std::greater<QDate>());
    dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
    QList<QDate> kept = dates.mid(0, dailyKept);
    QSet<QDate> weeks;
    for (int i = dailyKept; i < dates.size() && weeks.size() < weeklyKept; ++i) {
        const QDate monday = dates.at(i).addDays(1 - dates.at(i).dayOfWeek());
        if (weeks.contains(monday))
            continue;
        weeks.insert(monday);
        kept.append(dates.at(i)); // the newest of its week, since dates run newest first
    }
    return kept;
}

QString DailyBackups::safetyArchivePath(const QString &folder, const QDateTime &when)
{
    return QDir(folder).filePath(QStringLiteral("before-restore-") +
                                 when.toString(QStringLiteral("yyyyMMdd-hhmmss")) + suffix);
}

DailyBackups::Outcome DailyBackups::atStartup(const BackupArchive::Sources &sources,
                                              const QString &folder, const QDate &today)
{
    Outcome outcome;
    outcome.archive = QDir(folder).filePath(archiveName(today));
    if (QFileInfo::exists(outcome.archive)) {
        outcome.result = Result::AlreadyMade;
    } else if (!QFileInfo(sources.databaseFile).isFile()) {
        // A first start has nothing to keep yet.
        outcome.result = Result::NoDatabase;
        return outcome;
    } else if (BackupArchive::create(sources, outcome.archive, &outcome.error)) {
        outcome.result = Result::Made;
        logLine(QStringLiteral("daily backup succeed! ") + outcome.archive);
    } else {
        outcome.result = Result::Failed;
        logLine(QStringLiteral("daily backup failed! "), outcome.error);
        // Older archives stay as they are: with today's missing they are all there is.
        return outcome;
    }

    const QStringList names =
        QDir(folder).entryList({prefix + QStringLiteral("*") + suffix}, QDir::Files);
    QList<QDate> dates;
    for (const QString &name : names) {
        const QDate date = dateOf(name);
        if (date.isValid())
            dates.append(date);
    }
    const QList<QDate> kept = toKeep(dates);
    for (const QDate &date : qAsConst(dates)) {
        if (kept.contains(date))
            continue;
        const QString file = QDir(folder).filePath(archiveName(date));
        if (QFile::remove(file))
            outcome.removed.append(file);
        else
            logLine(QStringLiteral("cannot remove old backup ") + file);
    }
    return outcome;
}
