#include "xlsx/worksheet.h"

#include "xlsx/package.h"
#include "xlsx/sharedstrings.h"
#include "xlsx/styles.h"

#include <QLocale>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

namespace QXlsx {

namespace {

constexpr double MaxRowHeight = 409;
constexpr double MaxColumnWidth = 255;
constexpr int MaxColumnElements = 4096;

bool inSheet(int row, int column)
{
    return row >= 1 && row <= MaxRows && column >= 1 && column <= MaxColumns;
}

QByteArray numberText(double value)
{
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

// Skips the current element and everything inside it.
void skipElement(QXmlStreamReader &xml)
{
    int depth = 1;
    while (depth > 0 && Package::readNext(xml)) {
        if (xml.isStartElement())
            ++depth;
        else if (xml.isEndElement())
            --depth;
    }
}

// The character data of a simple element such as <v>, leaving the reader on its end.
QString simpleText(QXmlStreamReader &xml)
{
    QString text;
    int depth = 1;
    while (depth > 0 && Package::readNext(xml)) {
        if (xml.isCharacters())
            text += xml.text();
        else if (xml.isStartElement())
            ++depth;
        else if (xml.isEndElement())
            --depth;
    }
    return text;
}

} // namespace

Worksheet::Worksheet(const QString &name) : m_name(name) {}

Cell *Worksheet::findCell(int row, int column)
{
    const auto r = m_rows.find(row);
    if (r == m_rows.end())
        return nullptr;
    RowCells &cells = r->second;
    const auto it = std::lower_bound(cells.begin(), cells.end(), column,
                                     [](const auto &entry, int c) { return entry.first < c; });
    return it != cells.end() && it->first == column ? &it->second : nullptr;
}

Cell &Worksheet::cellAtOrInsert(int row, int column)
{
    RowCells &cells = m_rows[row];
    // Files list cells left to right, so appending is the common case.
    if (cells.empty() || cells.back().first < column) {
        ++m_cellCount;
        cells.emplace_back(column, Cell());
        return cells.back().second;
    }
    const auto it = std::lower_bound(cells.begin(), cells.end(), column,
                                     [](const auto &entry, int c) { return entry.first < c; });
    if (it != cells.end() && it->first == column)
        return it->second;
    ++m_cellCount;
    return cells.emplace(it, column, Cell())->second;
}

void Worksheet::removeCell(int row, int column)
{
    const auto r = m_rows.find(row);
    if (r == m_rows.end())
        return;
    RowCells &cells = r->second;
    const auto it = std::lower_bound(cells.begin(), cells.end(), column,
                                     [](const auto &entry, int c) { return entry.first < c; });
    if (it == cells.end() || it->first != column)
        return;
    cells.erase(it);
    --m_cellCount;
    if (cells.empty())
        m_rows.erase(r);
}

bool Worksheet::write(int row, int column, const QVariant &value)
{
    const Cell *cell = cellAt(row, column);
    return write(row, column, value, cell ? cell->format() : Format());
}

bool Worksheet::write(int row, int column, const QVariant &value, const Format &format)
{
    if (!inSheet(row, column))
        return false;
    Cell::CellType type = Cell::typeOf(value);
    QVariant stored;
    switch (type) {
    case Cell::NumberType: {
        const double number = value.toDouble();
        // A workbook cannot hold infinities or NaN; keep them as text rather than lose them.
        if (std::isfinite(number)) {
            stored = number;
        } else {
            type = Cell::StringType;
            stored = value.toString();
        }
        break;
    }
    case Cell::BooleanType:
        stored = value.toBool();
        break;
    case Cell::StringType:
        stored = value.toString();
        if (stored.toString().isEmpty())
            type = Cell::BlankType, stored = QVariant();
        break;
    default:
        break;
    }
    if (type == Cell::BlankType && format.isEmpty()) {
        removeCell(row, column);
        return true;
    }
    if (!findCell(row, column) && m_cellCount >= MaxCells)
        return false;
    cellAtOrInsert(row, column) = Cell(stored, type, format);
    return true;
}

QVariant Worksheet::read(int row, int column) const
{
    const Cell *cell = cellAt(row, column);
    return cell ? cell->value() : QVariant();
}

const Cell *Worksheet::cellAt(int row, int column) const
{
    return const_cast<Worksheet *>(this)->findCell(row, column);
}

bool Worksheet::addMerge(const CellRange &range)
{
    if (!range.isValid() || (range.rowCount() == 1 && range.columnCount() == 1))
        return false;
    if (m_merges.size() >= MaxMerges)
        return false;
    m_merges.erase(std::remove_if(m_merges.begin(), m_merges.end(),
                                  [&range](const CellRange &r) { return r.intersects(range); }),
                   m_merges.end());
    m_merges.append(range);
    return true;
}

bool Worksheet::mergeCells(const CellRange &range, const Format &format)
{
    if (!addMerge(range))
        return false;
    if (!format.isEmpty()) {
        for (int row = range.firstRow(); row <= range.lastRow(); ++row) {
            for (int column = range.firstColumn(); column <= range.lastColumn(); ++column) {
                Cell *cell = findCell(row, column);
                if (cell)
                    cell->setFormat(format);
                else
                    write(row, column, QVariant(), format);
            }
        }
    }
    return true;
}

bool Worksheet::unmergeCells(const CellRange &range)
{
    return m_merges.removeOne(range);
}

bool Worksheet::setRowHeight(int row, double points)
{
    if (row < 1 || row > MaxRows || !(points >= 0))
        return false;
    m_rowHeights[row] = std::min(points, MaxRowHeight);
    return true;
}

double Worksheet::rowHeight(int row) const
{
    const auto it = m_rowHeights.find(row);
    return it == m_rowHeights.end() ? 0 : it->second;
}

bool Worksheet::setColumnWidth(int column, double width)
{
    return setColumnWidth(column, column, width);
}

bool Worksheet::setColumnWidth(int firstColumn, int lastColumn, double width)
{
    if (firstColumn < 1 || lastColumn > MaxColumns || firstColumn > lastColumn || !(width >= 0))
        return false;
    if (m_columnWidths.size() < size_t(lastColumn))
        m_columnWidths.resize(size_t(lastColumn), -1);
    std::fill(m_columnWidths.begin() + (firstColumn - 1), m_columnWidths.begin() + lastColumn,
              std::min(width, MaxColumnWidth));
    return true;
}

double Worksheet::columnWidth(int column) const
{
    if (column >= 1 && size_t(column) <= m_columnWidths.size() &&
        m_columnWidths[size_t(column - 1)] >= 0)
        return m_columnWidths[size_t(column - 1)];
    return m_defaultColumnWidth;
}

CellRange Worksheet::dimension() const
{
    int firstRow = 0, lastRow = 0, firstColumn = MaxColumns + 1, lastColumn = 0;
    for (const auto &row : m_rows) {
        if (row.second.empty())
            continue;
        if (firstRow == 0)
            firstRow = row.first;
        lastRow = row.first;
        firstColumn = std::min(firstColumn, row.second.front().first);
        lastColumn = std::max(lastColumn, row.second.back().first);
    }
    // Merged areas count as used even where the file keeps no cells under them.
    for (const CellRange &range : m_merges) {
        firstRow = firstRow == 0 ? range.firstRow() : std::min(firstRow, range.firstRow());
        lastRow = std::max(lastRow, range.lastRow());
        firstColumn = std::min(firstColumn, range.firstColumn());
        lastColumn = std::max(lastColumn, range.lastColumn());
    }
    if (firstRow == 0)
        return CellRange();
    return CellRange(firstRow, firstColumn, lastRow, lastColumn);
}

bool Worksheet::readXml(const QByteArray &data, const SharedStrings &strings, const Styles &styles,
                        QString *error)
{
    QXmlStreamReader xml(data);
    QString fault;
    auto noteFault = [&fault](const QString &text) {
        if (fault.isEmpty())
            fault = text;
    };
    int currentRow = 0;
    int currentColumn = 0;
    int columnElements = 0;
    // Consecutive cells usually share a style index; look each one up once.
    int lastStyle = -1;
    Format lastFormat;
    bool lastStyleOk = true;

    while (Package::readNext(xml)) {
        if (!xml.isStartElement())
            continue;
        const QStringRef name = xml.name();
        if (name == QLatin1String("c")) {
            const QXmlStreamAttributes a = xml.attributes();
            const QStringRef ref = a.value(QLatin1String("r"));
            int row = currentRow, column = currentColumn + 1;
            if (!ref.isEmpty()) {
                const CellReference cr = CellReference::fromString(ref);
                row = cr.row();
                column = cr.column();
            }
            currentColumn = column;
            if (!inSheet(row, column)) {
                noteFault(QStringLiteral("cell reference out of the sheet"));
                skipElement(xml);
                continue;
            }
            const QStringRef styleText = a.value(QLatin1String("s"));
            const int style = styleText.isEmpty() ? 0 : styleText.toInt();
            if (style != lastStyle) {
                lastFormat = styles.format(style, &lastStyleOk);
                lastStyle = style;
            }
            if (!lastStyleOk)
                noteFault(QStringLiteral("cell style index out of range"));
            const QStringRef t = a.value(QLatin1String("t"));
            Cell::CellType type = Cell::NumberType;
            if (t == QLatin1String("s") || t == QLatin1String("inlineStr") ||
                t == QLatin1String("str") || t == QLatin1String("d"))
                type = Cell::StringType;
            else if (t == QLatin1String("b"))
                type = Cell::BooleanType;
            else if (t == QLatin1String("e"))
                type = Cell::ErrorType;
            const bool shared = t == QLatin1String("s");

            QVariant value;
            bool hasValue = false;
            while (Package::readNext(xml)) {
                if (xml.isEndElement())
                    break;
                if (!xml.isStartElement())
                    continue;
                if (xml.name() == QLatin1String("v")) {
                    const QString text = simpleText(xml);
                    hasValue = true;
                    if (shared) {
                        bool ok = false;
                        QString s;
                        const int index = text.toInt(&ok);
                        if (ok && strings.at(index, &s)) {
                            value = s;
                        } else {
                            noteFault(QStringLiteral("shared string index out of range"));
                            hasValue = false;
                        }
                    } else if (type == Cell::NumberType) {
                        bool ok = false;
                        const double number = text.toDouble(&ok);
                        if (ok && std::isfinite(number)) {
                            value = number;
                        } else {
                            noteFault(QStringLiteral("malformed number"));
                            hasValue = false;
                        }
                    } else if (type == Cell::BooleanType) {
                        value = text.trimmed() == QLatin1String("1") ||
                                text.trimmed() == QLatin1String("true");
                    } else {
                        value = text;
                    }
                } else if (xml.name() == QLatin1String("is")) {
                    value = SharedStrings::readItem(xml);
                    type = Cell::StringType;
                    hasValue = true;
                } else {
                    skipElement(xml); // formulas and extensions
                }
            }
            if (!hasValue || (type == Cell::StringType && value.toString().isEmpty())) {
                type = Cell::BlankType;
                value = QVariant();
            }
            if (type == Cell::BlankType && style == 0)
                continue;
            if (m_cellCount >= MaxCells && !findCell(row, column)) {
                noteFault(QStringLiteral("too many cells"));
                break;
            }
            cellAtOrInsert(row, column) = Cell(value, type, lastFormat);
        } else if (name == QLatin1String("row")) {
            const QXmlStreamAttributes a = xml.attributes();
            const QStringRef r = a.value(QLatin1String("r"));
            int row = currentRow + 1;
            if (!r.isEmpty()) {
                bool ok = false;
                row = r.toInt(&ok);
                if (!ok)
                    row = 0;
            }
            currentRow = row;
            currentColumn = 0;
            if (row < 1 || row > MaxRows) {
                noteFault(QStringLiteral("row number out of the sheet"));
                skipElement(xml);
                continue;
            }
            bool ok = false;
            const double height = a.value(QLatin1String("ht")).toDouble(&ok);
            if (ok && height >= 0)
                setRowHeight(row, height);
        } else if (name == QLatin1String("col")) {
            const QXmlStreamAttributes a = xml.attributes();
            bool okMin = false, okMax = false, okWidth = false;
            const int first = a.value(QLatin1String("min")).toInt(&okMin);
            const int last = a.value(QLatin1String("max")).toInt(&okMax);
            const double width = a.value(QLatin1String("width")).toDouble(&okWidth);
            if (++columnElements > MaxColumnElements || !okMin || !okMax || first < 1 ||
                first > last || first > MaxColumns) {
                noteFault(QStringLiteral("malformed column"));
                continue;
            }
            // Excel writes max="16384" for "all the rest"; clamp instead of refusing.
            if (okWidth && width >= 0)
                setColumnWidth(first, std::min(last, MaxColumns), width);
        } else if (name == QLatin1String("sheetFormatPr")) {
            const QXmlStreamAttributes a = xml.attributes();
            bool ok = false;
            const double width = a.value(QLatin1String("defaultColWidth")).toDouble(&ok);
            if (ok && width > 0 && width <= MaxColumnWidth) {
                m_defaultColumnWidth = width;
                m_hasDefaultColumnWidth = true;
            }
            const double height = a.value(QLatin1String("defaultRowHeight")).toDouble(&ok);
            if (ok && height > 0 && height <= MaxRowHeight)
                m_defaultRowHeight = height;
        } else if (name == QLatin1String("mergeCell")) {
            const CellRange range =
                CellRange::fromString(xml.attributes().value(QLatin1String("ref")));
            bool overlaps = false;
            for (const CellRange &existing : qAsConst(m_merges))
                overlaps = overlaps || existing.intersects(range);
            // The first of two overlapping merges wins; a spreadsheet would refuse the file.
            if (overlaps || !addMerge(range))
                noteFault(QStringLiteral("malformed or overlapping merged range"));
        } else if (name != QLatin1String("worksheet") && name != QLatin1String("sheetData") &&
                   name != QLatin1String("cols") && name != QLatin1String("mergeCells")) {
            skipElement(xml);
        }
    }
    if (xml.hasError())
        noteFault(xml.errorString());
    if (!fault.isEmpty())
        *error = QStringLiteral("%1: %2").arg(m_name, fault);
    return fault.isEmpty();
}

QByteArray Worksheet::toXml(SharedStrings *strings, Styles *styles) const
{
    QByteArray xml;
    xml.reserve(64 + m_cellCount * 24);
    xml += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
    const CellRange used = dimension();
    xml += "<dimension ref=\"" + (used.isValid() ? used.toString().toLatin1() : "A1") + "\"/>";
    xml += "<sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>";
    xml += "<sheetFormatPr";
    if (m_hasDefaultColumnWidth)
        xml += " defaultColWidth=\"" + numberText(m_defaultColumnWidth) + "\"";
    xml += " defaultRowHeight=\"" + numberText(m_defaultRowHeight) + "\"/>";

    // Neighbouring columns of one width become one span.
    QByteArray cols;
    for (size_t i = 0; i < m_columnWidths.size();) {
        const double width = m_columnWidths[i];
        size_t j = i + 1;
        while (j < m_columnWidths.size() && m_columnWidths[j] == width)
            ++j;
        if (width >= 0)
            cols += "<col min=\"" + QByteArray::number(qulonglong(i + 1)) + "\" max=\"" +
                    QByteArray::number(qulonglong(j)) + "\" width=\"" + numberText(width) +
                    "\" customWidth=\"1\"/>";
        i = j;
    }
    if (!cols.isEmpty())
        xml += "<cols>" + cols + "</cols>";

    std::vector<QByteArray> columnNames(size_t(used.isValid() ? used.lastColumn() + 1 : 1));
    for (size_t c = 1; c < columnNames.size(); ++c)
        columnNames[c] = CellReference::columnName(int(c)).toLatin1();

    xml += "<sheetData>";
    Format lastFormat;
    int lastStyle = 0;
    auto rowIt = m_rows.begin();
    auto heightIt = m_rowHeights.begin();
    // Walk the rows with cells and the rows with heights together, in order.
    while (rowIt != m_rows.end() || heightIt != m_rowHeights.end()) {
        int row;
        if (heightIt == m_rowHeights.end() ||
            (rowIt != m_rows.end() && rowIt->first < heightIt->first))
            row = rowIt->first;
        else
            row = heightIt->first;
        const QByteArray rowNumber = QByteArray::number(row);
        xml += "<row r=\"" + rowNumber + "\"";
        if (heightIt != m_rowHeights.end() && heightIt->first == row) {
            xml += " ht=\"" + numberText(heightIt->second) + "\" customHeight=\"1\"";
            ++heightIt;
        }
        if (rowIt == m_rows.end() || rowIt->first != row) {
            xml += "/>";
            continue;
        }
        xml += ">";
        for (const auto &entry : rowIt->second) {
            const Cell &cell = entry.second;
            const Format format = cell.format();
            if (!format.sharesDataWith(lastFormat)) {
                lastStyle = styles->addFormat(format);
                lastFormat = format;
            }
            xml += "<c r=\"";
            xml += columnNames[size_t(entry.first)];
            xml += rowNumber;
            xml += '"';
            if (lastStyle != 0) {
                xml += " s=\"";
                xml += QByteArray::number(lastStyle);
                xml += '"';
            }
            switch (cell.cellType()) {
            case Cell::NumberType:
                xml += "><v>" + numberText(cell.value().toDouble()) + "</v></c>";
                break;
            case Cell::StringType:
                xml += " t=\"s\"><v>" + QByteArray::number(strings->add(cell.value().toString())) +
                       "</v></c>";
                break;
            case Cell::BooleanType:
                xml += cell.value().toBool() ? " t=\"b\"><v>1</v></c>" : " t=\"b\"><v>0</v></c>";
                break;
            case Cell::ErrorType:
                xml +=
                    " t=\"e\"><v>" + cell.value().toString().toHtmlEscaped().toUtf8() + "</v></c>";
                break;
            case Cell::BlankType:
                xml += "/>";
                break;
            }
        }
        xml += "</row>";
        ++rowIt;
    }
    xml += "</sheetData>";
    if (!m_merges.isEmpty()) {
        xml += "<mergeCells count=\"" + QByteArray::number(m_merges.size()) + "\">";
        for (const CellRange &range : m_merges)
            xml += "<mergeCell ref=\"" + range.toString().toLatin1() + "\"/>";
        xml += "</mergeCells>";
    }
    xml += "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
           "footer=\"0.3\"/></worksheet>";
    return xml;
}

} // namespace QXlsx
