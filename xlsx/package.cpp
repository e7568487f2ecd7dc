#include "xlsx/package.h"

#include <QFile>
#include <QIODevice>
#include <QUrl>
#include <QXmlStreamReader>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>

#include <algorithm>

namespace QXlsx {

namespace {

QString normalizedName(const QString &name)
{
    QString n = name;
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (n.startsWith(QLatin1Char('/')))
        n.remove(0, 1);
    return n.toLower();
}

} // namespace

Package::Package() = default;
Package::~Package()
{
    if (m_zip)
        m_zip->close();
}

bool Package::open(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.size() <= MaxInMemoryArchive) {
        m_archive = file.readAll();
        if (m_archive.size() == file.size()) {
            m_archiveBuffer.setBuffer(&m_archive);
            m_zip = std::make_unique<QuaZip>(&m_archiveBuffer);
        }
    }
    if (!m_zip)
        m_zip = std::make_unique<QuaZip>(path);
    if (!m_zip->open(QuaZip::mdUnzip)) {
        m_error = QStringLiteral("not a zip archive");
        m_zip.reset();
        return false;
    }
    int count = 0;
    for (bool more = m_zip->goToFirstFile(); more; more = m_zip->goToNextFile()) {
        if (++count > MaxEntries) {
            m_error = QStringLiteral("too many entries");
            return false;
        }
        const QString name = m_zip->getCurrentFileName();
        // Directory entries and names climbing out of the archive are never parts.
        if (name.endsWith(QLatin1Char('/')) || name.split(QLatin1Char('/')).contains(".."))
            continue;
        m_entries.insert(normalizedName(name), name);
    }
    if (m_zip->getZipError() != UNZ_OK) {
        m_error = QStringLiteral("damaged zip directory");
        return false;
    }
    return true;
}

bool Package::contains(const QString &partName) const
{
    return m_entries.contains(normalizedName(partName));
}

QByteArray Package::read(const QString &partName, bool *ok)
{
    *ok = false;
    const auto entry = m_entries.constFind(normalizedName(partName));
    if (!m_zip || entry == m_entries.constEnd()) {
        m_error = QStringLiteral("missing part %1").arg(partName);
        return QByteArray();
    }
    if (!m_zip->setCurrentFile(entry.value(), QuaZip::csSensitive)) {
        m_error = QStringLiteral("cannot find part %1").arg(partName);
        return QByteArray();
    }
    QuaZipFileInfo64 info;
    if (!m_zip->getCurrentFileInfo(&info)) {
        m_error = QStringLiteral("damaged entry %1").arg(partName);
        return QByteArray();
    }
    QuaZipFile file(m_zip.get());
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot open part %1").arg(partName);
        return QByteArray();
    }
    // The sizes in the directory are only hints: the limits apply to what really inflates.
    // Clamped so that multiplying by the ratio cannot overflow; no part may exceed that anyway.
    const qint64 compressed =
        qBound<qint64>(1, qint64(std::min<quint64>(info.compressedSize, MaxPartSize)), MaxPartSize);
    // Inflate straight into the array rather than through a buffer that would be copied. The
    // directory's size only sets the first allocation, and only within the limits below.
    constexpr int Chunk = 65536;
    QByteArray data;
    data.reserve(int(std::min<quint64>({info.uncompressedSize, quint64(compressed * MaxRatio),
                                        quint64(MaxPartSize)})) +
                 Chunk + 1);
    qint64 size = 0;
    for (;;) {
        if (data.size() < size + Chunk)
            data.resize(int(size + Chunk)); // grows geometrically past the reserve
        const qint64 n = file.read(data.data() + size, Chunk);
        if (n < 0) {
            m_error = QStringLiteral("damaged data in %1").arg(partName);
            return QByteArray();
        }
        if (n == 0)
            break;
        size += n;
        m_totalRead += n;
        if (size > MaxPartSize || m_totalRead > MaxTotalSize) {
            m_error = QStringLiteral("part %1 inflates too much").arg(partName);
            return QByteArray();
        }
        if (size > 1024 * 1024 && size > compressed * MaxRatio) {
            m_error = QStringLiteral("part %1 is compressed suspiciously well").arg(partName);
            return QByteArray();
        }
    }
    data.resize(int(size));
    file.close();
    if (file.getZipError() != UNZ_OK) {
        m_error = QStringLiteral("checksum error in %1").arg(partName);
        return QByteArray();
    }
    *ok = true;
    return data;
}

QVector<Package::Relationship> Package::relationships(const QString &partName, bool *ok)
{
    QString relsName;
    if (partName.isEmpty()) {
        relsName = QStringLiteral("_rels/.rels");
    } else {
        const int slash = partName.lastIndexOf(QLatin1Char('/'));
        relsName = partName.left(slash + 1) + QStringLiteral("_rels/") + partName.mid(slash + 1) +
                   QStringLiteral(".rels");
    }
    QVector<Relationship> result;
    const QByteArray data = read(relsName, ok);
    if (!*ok)
        return result;
    QXmlStreamReader xml(data);
    while (readNext(xml)) {
        if (!xml.isStartElement() || xml.name() != QLatin1String("Relationship"))
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (attributes.value(QLatin1String("TargetMode")) == QLatin1String("External"))
            continue;
        Relationship rel;
        rel.id = attributes.value(QLatin1String("Id")).toString();
        const QStringRef type = attributes.value(QLatin1String("Type"));
        rel.type = type.mid(type.lastIndexOf(QLatin1Char('/')) + 1).toString();
        rel.target = resolveTarget(partName, attributes.value(QLatin1String("Target")).toString());
        if (!rel.target.isEmpty())
            result.append(rel);
    }
    if (xml.hasError()) {
        m_error = QStringLiteral("%1: %2").arg(relsName, xml.errorString());
        *ok = false;
    }
    return result;
}

QString Package::resolveTarget(const QString &sourcePart, const QString &target)
{
    QString t = QUrl::fromPercentEncoding(target.toUtf8());
    t.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (t.isEmpty() || t.contains(QLatin1Char(':')))
        return QString();
    QStringList segments;
    if (!t.startsWith(QLatin1Char('/'))) {
        segments = sourcePart.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (!segments.isEmpty())
            segments.removeLast();
    }
    const QStringList parts = t.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (segments.isEmpty())
                return QString();
            segments.removeLast();
            continue;
        }
        segments.append(part);
    }
    return segments.join(QLatin1Char('/'));
}

bool Package::readNext(QXmlStreamReader &xml)
{
    if (xml.atEnd())
        return false;
    xml.readNext();
    if (xml.tokenType() == QXmlStreamReader::DTD) {
        xml.raiseError(QStringLiteral("document type declarations are refused"));
        return false;
    }
    return !xml.hasError() && !xml.atEnd();
}

bool Package::write(QIODevice *device, const QVector<QPair<QString, QByteArray>> &parts)
{
    QuaZip zip(device);
    zip.setAutoClose(false);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    bool ok = true;
    for (const auto &part : parts) {
        QuaZipFile file(&zip);
        // Level 1: the parts are repetitive XML, and saving fast matters more than a few KB.
        // Parts of a few hundred bytes are stored: setting up a compressor (clearing its
        // tables) costs more than the bytes it would save.
        const bool tiny = part.second.size() < 512;
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(part.first), nullptr, 0,
                       tiny ? 0 : Z_DEFLATED, tiny ? 0 : 1)) {
            ok = false;
            break;
        }
        if (file.write(part.second) != part.second.size())
            ok = false;
        file.close();
        if (file.getZipError() != ZIP_OK)
            ok = false;
        if (!ok)
            break;
    }
    zip.close();
    return ok && zip.getZipError() == ZIP_OK;
}

} // namespace QXlsx
