#include "xlsx/document.h"

#include "xlsx/package.h"
#include "xlsx/sharedstrings.h"
#include "xlsx/styles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>
#include <QXmlStreamReader>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cstdio>
#endif

namespace QXlsx {

namespace {

constexpr int MaxSheets = 256;

const char XmlHeader[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const char RelationshipsNs[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char PackageRelationshipsNs[] =
    "http://schemas.openxmlformats.org/package/2006/relationships";

// Sheet names may not hold these, nor be longer than 31 characters.
QString cleanSheetName(const QString &name)
{
    QString clean;
    for (const QChar c : name) {
        if (!QStringLiteral("[]:*?/\\").contains(c) && c.unicode() >= 0x20)
            clean += c;
    }
    return clean.left(31).trimmed();
}

// Replaces `to` by `from` in one step, so that readers see the old file or the new one.
bool replaceFile(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    return MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
                       reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
                       MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

// Writes the parts into a file beside the target and renames it over the target once it is
// complete: a failure at any point leaves the old file as it was, and no reader ever sees half
// a workbook. The new file is not forced to the disk before the rename (as QSaveFile would):
// that wait cost more than the whole save of a day's template, and the rename alone already
// keeps the file whole.
bool writeWhole(const QString &path, const QVector<QPair<QString, QByteArray>> &parts)
{
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink())
        target = info.symLinkTarget();
    if (QFileInfo(target).isDir())
        return false;
    // The zip is put together in memory: written to the file directly it would seek back to
    // every entry's header, two system calls per part.
    QByteArray zip;
    QBuffer buffer(&zip);
    if (!buffer.open(QIODevice::WriteOnly) || !Package::write(&buffer, parts))
        return false;
    buffer.close();
    QTemporaryFile file(target + QStringLiteral(".XXXXXX"));
    if (!file.open())
        return false;
    const QFile::Permissions permissions =
        QFileInfo::exists(target) ? QFile::permissions(target)
                                  : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                        QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;
    if (file.write(zip) != zip.size() || !file.flush() || file.error() != QFile::NoError)
        return false;
    file.setPermissions(permissions);
    file.close();
    if (file.error() != QFile::NoError || !replaceFile(file.fileName(), target))
        return false;
    file.setAutoRemove(false);
    return true;
}

} // namespace

Document::Document(QObject *parent) : QObject(parent)
{
    m_sheets.push_back(std::make_unique<Worksheet>(QStringLiteral("Sheet1")));
}

Document::Document(const QString &path, QObject *parent) : QObject(parent), m_path(path)
{
    load();
    if (m_sheets.empty())
        m_sheets.push_back(std::make_unique<Worksheet>(QStringLiteral("Sheet1")));
}

Document::~Document() = default;

void Document::addDamage(const QString &error)
{
    if (m_status == Loaded)
        m_status = Damaged;
    if (m_error.isEmpty())
        m_error = error;
}

void Document::load()
{
    if (!QFileInfo::exists(m_path)) {
        m_status = NotLoaded;
        return;
    }
    m_status = Loaded;
    loadPackage();
    if (m_sheets.empty() && m_status != Failed) {
        m_status = Failed;
        if (m_error.isEmpty())
            m_error = QStringLiteral("the workbook has no worksheet");
    }
}

void Document::loadPackage()
{
    Package package;
    auto fail = [this, &package](const QString &error) {
        m_status = Failed;
        m_error = error.isEmpty() ? package.error() : error;
        m_sheets.clear();
    };
    if (!package.open(m_path))
        return fail(QString());

    bool ok = false;
    QString workbookPart;
    const auto rootRels = package.relationships(QString(), &ok);
    for (const auto &rel : rootRels) {
        if (rel.type == QLatin1String("officeDocument"))
            workbookPart = rel.target;
    }
    // Some writers leave out the package relationships; the usual place still works.
    if (workbookPart.isEmpty() && package.contains(QStringLiteral("xl/workbook.xml"))) {
        addDamage(QStringLiteral("package relationships missing"));
        workbookPart = QStringLiteral("xl/workbook.xml");
    }
    if (workbookPart.isEmpty())
        return fail(QStringLiteral("no workbook part"));

    const QByteArray workbookXml = package.read(workbookPart, &ok);
    if (!ok)
        return fail(QString());
    const auto workbookRels = package.relationships(workbookPart, &ok);
    if (!ok)
        addDamage(package.error());

    Styles styles;
    SharedStrings strings;
    QString error;
    for (const auto &rel : workbookRels) {
        if (rel.type == QLatin1String("theme")) {
            const QByteArray data = package.read(rel.target, &ok);
            if (!ok || !styles.readTheme(data, &error))
                addDamage(ok ? error : package.error());
        }
    }
    // The styles refer to theme colours, so the theme is read first.
    for (const auto &rel : workbookRels) {
        if (rel.type == QLatin1String("styles")) {
            const QByteArray data = package.read(rel.target, &ok);
            if (!ok || !styles.read(data, &error))
                addDamage(ok ? error : package.error());
        } else if (rel.type == QLatin1String("sharedStrings")) {
            const QByteArray data = package.read(rel.target, &ok);
            if (!ok || !strings.read(data, &error))
                addDamage(ok ? error : package.error());
        }
    }
    m_defaultFontName = styles.defaultFontName();
    m_defaultFontSize = styles.defaultFontSize();

    QXmlStreamReader xml(workbookXml);
    QSet<QString> names;
    while (Package::readNext(xml)) {
        if (!xml.isStartElement() || xml.name() != QLatin1String("sheet"))
            continue;
        if (int(m_sheets.size()) >= MaxSheets) {
            addDamage(QStringLiteral("too many sheets"));
            break;
        }
        const QXmlStreamAttributes a = xml.attributes();
        const QStringRef id = a.value(QLatin1String(RelationshipsNs), QLatin1String("id"));
        QString target;
        for (const auto &rel : workbookRels) {
            if (rel.id == id && rel.type == QLatin1String("worksheet"))
                target = rel.target;
        }
        if (target.isEmpty()) {
            // Chart sheets and dialog sheets have no cells for us.
            continue;
        }
        QString name = cleanSheetName(a.value(QLatin1String("name")).toString());
        if (name.isEmpty() || names.contains(name.toLower()))
            name = QStringLiteral("Sheet%1").arg(m_sheets.size() + 1);
        names.insert(name.toLower());
        auto sheet = std::make_unique<Worksheet>(name);
        const QByteArray data = package.read(target, &ok);
        if (!ok)
            addDamage(package.error());
        else if (!sheet->readXml(data, strings, styles, &error))
            addDamage(error);
        m_sheets.push_back(std::move(sheet));
    }
    if (xml.hasError())
        addDamage(QStringLiteral("workbook: ") + xml.errorString());
}

QStringList Document::sheetNames() const
{
    QStringList names;
    for (const auto &sheet : m_sheets)
        names.append(sheet->sheetName());
    return names;
}

Worksheet *Document::sheet(const QString &name)
{
    for (const auto &sheet : m_sheets) {
        if (sheet->sheetName() == name)
            return sheet.get();
    }
    return nullptr;
}

bool Document::write(int row, int column, const QVariant &value)
{
    return currentWorksheet()->write(row, column, value);
}

bool Document::write(int row, int column, const QVariant &value, const Format &format)
{
    return currentWorksheet()->write(row, column, value, format);
}

QVariant Document::read(int row, int column) const
{
    return currentWorksheet()->read(row, column);
}

const Cell *Document::cellAt(int row, int column) const
{
    return currentWorksheet()->cellAt(row, column);
}

bool Document::mergeCells(const CellRange &range, const Format &format)
{
    return currentWorksheet()->mergeCells(range, format);
}

bool Document::unmergeCells(const CellRange &range)
{
    return currentWorksheet()->unmergeCells(range);
}

bool Document::setRowHeight(int row, double points)
{
    return currentWorksheet()->setRowHeight(row, points);
}

double Document::rowHeight(int row) const
{
    return currentWorksheet()->rowHeight(row);
}

bool Document::setColumnWidth(int column, double width)
{
    return currentWorksheet()->setColumnWidth(column, width);
}

bool Document::setColumnWidth(int firstColumn, int lastColumn, double width)
{
    return currentWorksheet()->setColumnWidth(firstColumn, lastColumn, width);
}

double Document::columnWidth(int column) const
{
    return currentWorksheet()->columnWidth(column);
}

CellRange Document::dimension() const
{
    return currentWorksheet()->dimension();
}

bool Document::save() const
{
    return saveAs(m_path);
}

bool Document::saveAs(const QString &path) const
{
    if (path.isEmpty())
        return false;
    Styles styles;
    styles.setDefaultFont(m_defaultFontName, m_defaultFontSize);
    SharedStrings strings;
    QVector<QPair<QString, QByteArray>> parts;

    QByteArray contentTypes =
        QByteArray(XmlHeader) +
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/"
        "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
        "<Override PartName=\"/xl/sharedStrings.xml\" "
        "ContentType=\"application/"
        "vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>";
    QByteArray workbook = QByteArray(XmlHeader) +
                          "<workbook "
                          "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                          "xmlns:r=\"" +
                          RelationshipsNs + "\"><bookViews><workbookView/></bookViews><sheets>";
    QByteArray workbookRels =
        QByteArray(XmlHeader) + "<Relationships xmlns=\"" + PackageRelationshipsNs + "\">";
    const QByteArray typeBase = QByteArray(RelationshipsNs) + "/";

    for (size_t i = 0; i < m_sheets.size(); ++i) {
        const QByteArray n = QByteArray::number(qulonglong(i + 1));
        const QString part = QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1);
        parts.append({part, m_sheets[i]->toXml(&strings, &styles)});
        contentTypes += "<Override PartName=\"/" + part.toLatin1() +
                        "\" ContentType=\"application/"
                        "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
        workbook += "<sheet name=\"" + m_sheets[i]->sheetName().toHtmlEscaped().toUtf8() +
                    "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        workbookRels += "<Relationship Id=\"rId" + n + "\" Type=\"" + typeBase +
                        "worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
    }
    const QByteArray next = QByteArray::number(qulonglong(m_sheets.size() + 1));
    const QByteArray after = QByteArray::number(qulonglong(m_sheets.size() + 2));
    workbookRels += "<Relationship Id=\"rId" + next + "\" Type=\"" + typeBase +
                    "styles\" Target=\"styles.xml\"/><Relationship Id=\"rId" + after +
                    "\" Type=\"" + typeBase +
                    "sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>";
    workbook += "</sheets></workbook>";
    contentTypes += "</Types>";
    const QByteArray rootRels = QByteArray(XmlHeader) + "<Relationships xmlns=\"" +
                                PackageRelationshipsNs + "\"><Relationship Id=\"rId1\" Type=\"" +
                                typeBase + "officeDocument\" Target=\"xl/workbook.xml\"/>" +
                                "</Relationships>";

    parts.prepend({QStringLiteral("xl/_rels/workbook.xml.rels"), workbookRels});
    parts.prepend({QStringLiteral("xl/workbook.xml"), workbook});
    parts.prepend({QStringLiteral("_rels/.rels"), rootRels});
    parts.prepend({QStringLiteral("[Content_Types].xml"), contentTypes});
    parts.append({QStringLiteral("xl/styles.xml"), styles.toXml()});
    parts.append({QStringLiteral("xl/sharedStrings.xml"), strings.toXml()});

    return writeWhole(path, parts);
}

} // namespace QXlsx
