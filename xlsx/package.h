#ifndef ORVANE_XLSX_PACKAGE_H
#define ORVANE_XLSX_PACKAGE_H

#include <QBuffer>
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

#include <memory>

class QIODevice;
class QXmlStreamReader;
class QuaZip;

namespace QXlsx {

// The zip container of a workbook, read defensively: parts are looked up only by name, never
// extracted to disk, and every read is capped so that a crafted archive cannot take unbounded
// time or memory.
class Package {
public:
    struct Relationship {
        QString id;
        QString type;   // the last path segment of the type URI, e.g. "worksheet"
        QString target; // the resolved part name, without a leading '/'
    };

    // A single part may inflate to at most this many bytes, and the whole package to twice
    // as much; a part larger than 1 MiB may not inflate more than MaxRatio times its size.
    static constexpr qint64 MaxPartSize = 128LL * 1024 * 1024;
    static constexpr qint64 MaxTotalSize = 2 * MaxPartSize;
    static constexpr qint64 MaxRatio = 1000;
    static constexpr int MaxEntries = 10000;

    Package();
    ~Package();
    Package(const Package &) = delete;
    Package &operator=(const Package &) = delete;

    bool open(const QString &path);
    bool contains(const QString &partName) const;
    // The inflated part; on failure an empty array, and error() says why.
    QByteArray read(const QString &partName, bool *ok);
    // The relationships of a part (the package itself for an empty name). Targets that leave
    // the package or point outside it are dropped.
    QVector<Relationship> relationships(const QString &partName, bool *ok);
    QString error() const { return m_error; }

    // Resolves a relationship target against the part that owns it; empty when it escapes the
    // package root.
    static QString resolveTarget(const QString &sourcePart, const QString &target);
    // Advances the reader, refusing any document type declaration (and with it every
    // user-defined entity) before the parser could expand it.
    static bool readNext(QXmlStreamReader &xml);

    // Writes the parts into a new zip on an open device. The device is left open.
    static bool write(QIODevice *device, const QVector<QPair<QString, QByteArray>> &parts);

private:
    // Workbooks of usual size are read into memory whole: the archive then costs one read of
    // the file instead of a seek and a read for every block it inflates.
    static constexpr qint64 MaxInMemoryArchive = 64LL * 1024 * 1024;
    QByteArray m_archive;
    QBuffer m_archiveBuffer;
    std::unique_ptr<QuaZip> m_zip;
    QHash<QString, QString> m_entries; // lower-case part name -> name in the archive
    qint64 m_totalRead = 0;
    QString m_error;
};

} // namespace QXlsx

#endif
