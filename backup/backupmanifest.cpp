#include "backup/backupmanifest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

const QString BackupManifest::memberName = QStringLiteral("manifest.json");
const QString BackupManifest::formatName = QStringLiteral("orvane-backup");

QByteArray BackupManifest::toJson() const
{
    QJsonArray list;
    for (const Member &m : members) {
        list.append(QJsonObject{{QStringLiteral("path"), m.path},
                                {QStringLiteral("size"), double(m.size)},
                                {QStringLiteral("sha256"), QString::fromLatin1(m.sha256)}});
    }
    const QJsonObject root{
        {QStringLiteral("format"), formatName},
        {QStringLiteral("formatVersion"), formatVersion},
        {QStringLiteral("programVersion"), programVersion},
        {QStringLiteral("created"), created.toString(Qt::ISODate)},
        {QStringLiteral("counts"), QJsonObject{{QStringLiteral("tasks"), tasks},
                                               {QStringLiteral("dayTables"), dayTables},
                                               {QStringLiteral("files"), files}}},
        {QStringLiteral("members"), list}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool BackupManifest::fromJson(const QByteArray &json, BackupManifest *manifest, QString *problem)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        *problem = QStringLiteral("manifest is not JSON: ") + error.errorString();
        return false;
    }
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != formatName) {
        *problem = QStringLiteral("manifest of another format");
        return false;
    }
    if (root.value(QStringLiteral("formatVersion")).toInt() > formatVersion) {
        *problem = QStringLiteral("manifest of a newer format version");
        return false;
    }
    BackupManifest read;
    read.programVersion = root.value(QStringLiteral("programVersion")).toString();
    read.created =
        QDateTime::fromString(root.value(QStringLiteral("created")).toString(), Qt::ISODate);
    const QJsonObject counts = root.value(QStringLiteral("counts")).toObject();
    read.tasks = counts.value(QStringLiteral("tasks")).toInt();
    read.dayTables = counts.value(QStringLiteral("dayTables")).toInt();
    read.files = counts.value(QStringLiteral("files")).toInt();
    QSet<QString> seen;
    const QJsonArray list = root.value(QStringLiteral("members")).toArray();
    for (const QJsonValue &value : list) {
        const QJsonObject object = value.toObject();
        Member m;
        m.path = object.value(QStringLiteral("path")).toString();
        m.size = qint64(object.value(QStringLiteral("size")).toDouble(-1));
        m.sha256 = object.value(QStringLiteral("sha256")).toString().toLatin1();
        if (m.path.isEmpty() || m.size < 0 || m.sha256.size() != 64 || seen.contains(m.path)) {
            *problem = QStringLiteral("manifest entry unreadable or repeated: ") + m.path;
            return false;
        }
        seen.insert(m.path);
        read.members.append(m);
    }
    *manifest = read;
    return true;
}

const BackupManifest::Member *BackupManifest::member(const QString &path) const
{
    for (const Member &m : members) {
        if (m.path == path)
            return &m;
    }
    return nullptr;
}
