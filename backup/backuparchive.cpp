#include "backup/backuparchive.h"

#include "app/commandline.h"
#include "app/database.h"
#include "app/paths.h"
#include "app/settings.h"
#include "backup/backupfiles.h"
#include "backup/databasecopy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>

const QString BackupArchive::databaseMember = QStringLiteral("KDdatabase.db");
const QString BackupArchive::settingsMember = QStringLiteral("settings.ini");

namespace {
const QString templatesMember = QStringLiteral("MyTemplates");
const QString attachmentsMember = QStringLiteral("MyAttachments");
const QString excelDbMember = QStringLiteral("ExcelDB");
constexpr qint64 chunkSize = 1 << 20;

struct Entry {
    QString member;
    QString file;
};

// Regular files under a folder, in a stable order; links are neither followed nor stored, nor
// is anything under skipped (the backup's own work folder, should the archive be written into
// one of the data folders).
QList<Entry> folderEntries(const QString &member, const QString &dir, const QString &skipped)
{
    QList<Entry> entries;
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return entries;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir root(dir);
    while (it.hasNext()) {
        const QString file = it.next();
        const QFileInfo info(file);
        if (info.isSymLink() || !info.isFile() ||
            info.absoluteFilePath().startsWith(skipped + QLatin1Char('/')))
            continue;
        entries.append({member + QLatin1Char('/') + root.relativeFilePath(file), file});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.member < b.member; });
    return entries;
}

// Copies one file into an open zip under its member name, hashing the bytes written.
bool addMember(QuaZip &zip, const Entry &entry, BackupManifest::Member *out, QString *error)
{
    QFile in(entry.file);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read ") + entry.file;
        return false;
    }
    QuaZipNewInfo info(entry.member, entry.file);
    QuaZipFile member(&zip);
    if (!member.open(QIODevice::WriteOnly, info)) {
        *error =
            QStringLiteral("cannot add %1 (zip error %2)").arg(entry.member).arg(zip.getZipError());
        return false;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    qint64 size = 0;
    QByteArray chunk;
    while (!(chunk = in.read(chunkSize)).isEmpty()) {
        hash.addData(chunk);
        size += chunk.size();
        if (member.write(chunk) != chunk.size()) {
            *error = QStringLiteral("cannot write ") + entry.member;
            return false;
        }
    }
    member.close();
    if (in.error() != QFile::NoError || member.getZipError() != 0) {
        *error = QStringLiteral("cannot store ") + entry.member;
        return false;
    }
    out->path = entry.member;
    out->size = size;
    out->sha256 = hash.result().toHex();
    return true;
}

bool addBytes(QuaZip &zip, const QString &name, const QByteArray &data)
{
    QuaZipFile member(&zip);
    QuaZipNewInfo info(name);
    info.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (!member.open(QIODevice::WriteOnly, info))
        return false;
    const bool written = member.write(data) == data.size();
    member.close();
    return written && member.getZipError() == 0;
}

bool isFolderMember(const QString &name)
{
    return name.startsWith(templatesMember + QLatin1Char('/')) ||
           name.startsWith(attachmentsMember + QLatin1Char('/')) ||
           name.startsWith(excelDbMember + QLatin1Char('/'));
}
} // namespace

BackupArchive::Sources BackupArchive::Sources::current()
{
    Sources sources;
    sources.databaseFile = QDir::current().absoluteFilePath(Database::fileName);
    sources.settingsFile = Settings::filePath();
    sources.templatesDir = Paths::templatesDir();
    sources.attachmentsDir = Paths::attachmentsDir();
    sources.excelDbDir = Paths::excelDbDir();
    return sources;
}

QList<QPair<QString, QString>> BackupArchive::folders(const Sources &sources)
{
    return {{templatesMember, sources.templatesDir},
            {attachmentsMember, sources.attachmentsDir},
            {excelDbMember, sources.excelDbDir}};
}

bool BackupArchive::acceptableMemberName(const QString &name)
{
    if (name == BackupManifest::memberName || name == databaseMember || name == settingsMember)
        return true;
    if (!isFolderMember(name) || name.contains(QLatin1Char('\\')) ||
        name.contains(QLatin1Char('\0')))
        return false;
    QStringList parts = name.split(QLatin1Char('/'));
    if (parts.last().isEmpty())
        parts.removeLast(); // a folder entry
    for (const QString &part : qAsConst(parts)) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    return parts.size() >= 2;
}

bool BackupArchive::create(const Sources &sources, const QString &archivePath, QString *error,
                           const Progress &progress, BackupManifest *written)
{
    const QString target = QFileInfo(archivePath).absoluteFilePath();
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        *error = QStringLiteral("cannot make the folder of ") + target;
        return false;
    }
    QTemporaryDir work(QFileInfo(target).absolutePath() + QStringLiteral("/.orvane-backup-XXXXXX"));
    if (!work.isValid()) {
        *error = QStringLiteral("cannot make a temporary folder beside ") + target;
        return false;
    }
    const QString databaseCopy = work.filePath(databaseMember);
    if (!DatabaseCopy::copy(sources.databaseFile, databaseCopy, error))
        return false;

    QList<Entry> entries{{databaseMember, databaseCopy}};
    if (QFileInfo(sources.settingsFile).isFile())
        entries.append({settingsMember, sources.settingsFile});
    const auto places = folders(sources);
    for (const auto &place : places)
        entries +=
            folderEntries(place.first, place.second, QFileInfo(work.path()).absoluteFilePath());

    BackupManifest manifest;
    manifest.programVersion = CommandLine::versionText();
    manifest.created = QDateTime::currentDateTime();
    manifest.files = entries.size();
    DatabaseCopy::counts(databaseCopy, &manifest.tasks, &manifest.dayTables);

    const QString temporary = work.filePath(QStringLiteral("archive.zip"));
    {
        QuaZip zip(temporary);
        zip.setUtf8Enabled(true);
        qint64 total = 0;
        for (const Entry &entry : qAsConst(entries))
            total += QFileInfo(entry.file).size();
        zip.setZip64Enabled(total > 0xF0000000LL);
        if (!zip.open(QuaZip::mdCreate)) {
            *error = QStringLiteral("cannot create ") + temporary;
            return false;
        }
        for (int i = 0; i < entries.size(); ++i) {
            if (progress)
                progress(i, entries.size() + 1);
            BackupManifest::Member member;
            if (!addMember(zip, entries.at(i), &member, error))
                return false;
            manifest.members.append(member);
        }
        if (!addBytes(zip, BackupManifest::memberName, manifest.toJson())) {
            *error = QStringLiteral("cannot write the manifest");
            return false;
        }
        zip.close();
        if (zip.getZipError() != 0) {
            *error = QStringLiteral("cannot finish ") + temporary;
            return false;
        }
    }
    // The archive is complete; one rename puts it in place (the temporary folder lies beside
    // the target, so on the same file system).
    if (!BackupFiles::replaceFile(temporary, target, error))
        return false;
    if (progress)
        progress(entries.size() + 1, entries.size() + 1);
    if (written)
        *written = manifest;
    return true;
}

BackupArchive::Verified BackupArchive::verify(const QString &archivePath, const QString &extractDir,
                                              const Progress &progress)
{
    Verified result;
    result.extractDir = extractDir;
    const QString foreign = QStringLiteral("这个文件不是本程序的备份，或者已经损坏。");
    auto refuse = [&](const QString &problem) {
        result.ok = false;
        result.problem = problem;
        return result;
    };

    QuaZip zip(archivePath);
    zip.setUtf8Enabled(true);
    if (!zip.open(QuaZip::mdUnzip))
        return refuse(foreign);
    const QList<QuaZipFileInfo64> infos = zip.getFileInfoList64();
    if (infos.isEmpty() && zip.getZipError() != 0)
        return refuse(foreign);

    QSet<QString> names;
    bool hasManifest = false;
    for (const QuaZipFileInfo64 &info : infos) {
        if (!acceptableMemberName(info.name) || info.isSymbolicLink())
            return refuse(QStringLiteral("备份中有不允许的文件“%1”，已拒绝恢复。").arg(info.name));
        if (names.contains(info.name))
            return refuse(
                QStringLiteral("备份中的文件“%1”出现了两次，已拒绝恢复。").arg(info.name));
        names.insert(info.name);
        hasManifest = hasManifest || info.name == BackupManifest::memberName;
    }
    if (!hasManifest)
        return refuse(foreign);

    // The manifest first: it says what every other member must be.
    QByteArray manifestJson;
    {
        zip.setCurrentFile(BackupManifest::memberName);
        QuaZipFile member(&zip);
        if (!member.open(QIODevice::ReadOnly))
            return refuse(foreign);
        manifestJson = member.read(4 << 20);
        member.close();
        if (member.getZipError() != 0)
            return refuse(foreign);
    }
    QString why;
    if (!BackupManifest::fromJson(manifestJson, &result.manifest, &why))
        return refuse(foreign);
    for (const BackupManifest::Member &listed : qAsConst(result.manifest.members)) {
        if (!names.contains(listed.path))
            return refuse(QStringLiteral("备份不完整：缺少“%1”。").arg(listed.path));
    }
    if (!result.manifest.member(databaseMember))
        return refuse(QStringLiteral("备份中没有数据库文件，已拒绝恢复。"));

    const QDir out(extractDir);
    int done = 0;
    const int total = result.manifest.members.size() + 1;
    for (const QuaZipFileInfo64 &info : infos) {
        if (info.name == BackupManifest::memberName || info.name.endsWith(QLatin1Char('/')))
            continue;
        const BackupManifest::Member *listed = result.manifest.member(info.name);
        if (!listed)
            return refuse(
                QStringLiteral("备份中的文件“%1”不在清单里，已拒绝恢复。").arg(info.name));
        if (progress)
            progress(done++, total);
        const QString damaged =
            QStringLiteral("备份中的文件“%1”已损坏，已拒绝恢复。").arg(info.name);
        zip.setCurrentFile(info.name);
        QuaZipFile member(&zip);
        if (!member.open(QIODevice::ReadOnly))
            return refuse(damaged);
        const QString file = out.filePath(info.name);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile target(file);
        if (!target.open(QIODevice::WriteOnly))
            return refuse(QStringLiteral("无法解压备份：") + QDir::toNativeSeparators(file));
        QCryptographicHash hash(QCryptographicHash::Sha256);
        qint64 size = 0;
        QByteArray chunk;
        while (!(chunk = member.read(chunkSize)).isEmpty()) {
            size += chunk.size();
            // More bytes than the manifest promised: damaged, or a bomb; stop reading.
            if (size > listed->size)
                return refuse(damaged);
            hash.addData(chunk);
            target.write(chunk);
        }
        member.close();
        target.close();
        if (member.getZipError() != 0 || size != listed->size ||
            hash.result().toHex() != listed->sha256)
            return refuse(damaged);
        if (isFolderMember(info.name))
            result.folderFiles.append(info.name);
        result.hasSettings = result.hasSettings || info.name == settingsMember;
    }
    if (progress)
        progress(done, total);
    if (!DatabaseCopy::integrityOk(out.filePath(databaseMember), &why))
        return refuse(QStringLiteral("备份中的数据库已损坏（完整性检查没有通过），已拒绝恢复。"));
    if (progress)
        progress(total, total);
    result.ok = true;
    return result;
}
