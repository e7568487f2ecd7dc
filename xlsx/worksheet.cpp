#include "xlsx/worksheet.h"

#include "xlsx/package.h"
#include "xlsx/sharedstrings.h"
#include "xlsx/styles.h"
#include "xlsx/xmlscanner.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace QXlsx {

namespace {

constexpr double MaxRowHeight = 409;
constexpr double MaxColumnWidth = 255;
constexpr int MaxColumnElements = 4096;

bool inSheet(int row, int column)
{
    return row >= 1 && row <= MaxRows && column >= 1 && column <= MaxColumns;
}

// Writes the shortest text that reads back as the same double, at most 32 bytes; returns
// its end.
char *writeNumber(char *out, double value)
{
    // Most cells hold whole numbers or a few decimals. Those are found by scaling to an exact
    // integer whose quotient gives the value back, and written far faster than the general way.
    constexpr double Powers[] = {1, 10, 100, 1000, 10000};
    const double magnitude = std::fabs(value);
    if (magnitude < 1e15 && (magnitude >= 1e-4 || value == 0)) {
        for (int decimals = 0; decimals < 5; ++decimals) {
            const double scaled = value * Powers[decimals];
            const double whole = std::nearbyint(scaled);
            // Past 2^53 every double is whole and the digits would be longer than needed.
            if (whole != scaled || std::fabs(whole) >= 9007199254740992.0 ||
                whole / Powers[decimals] != value)
                continue;
            char text[24];
            long long digits = static_cast<long long>(std::fabs(whole));
            char *end = text + sizeof text;
            char *p = end;
            for (int i = 0; i < decimals; ++i, digits /= 10)
                *--p = char('0' + digits % 10);
            if (decimals > 0)
                *--p = '.';
            do {
                *--p = char('0' + digits % 10);
                digits /= 10;
            } while (digits > 0);
            if (std::signbit(value))
                *--p = '-';
            std::memcpy(out, p, size_t(end - p));
            return out + (end - p);
        }
    }
    return std::to_chars(out, out + 32, value).ptr;
}

char *writeNumber(char *out, int value)
{
    return std::to_chars(out, out + 12, value).ptr;
}

template <size_t N> char *writeLiteral(char *out, const char (&text)[N])
{
    std::memcpy(out, text, N - 1);
    return out + (N - 1);
}

void appendNumber(QByteArray *out, double value)
{
    char text[32];
    out->append(text, int(writeNumber(text, value) - text));
}

QByteArray numberText(double value)
{
    QByteArray text;
    appendNumber(&text, value);
    return text;
}

std::string_view trimmed(std::string_view text)
{
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

// A decimal integer, surrounding white space allowed; false when malformed or out of range.
bool parseInt(std::string_view text, int *out)
{
    text = trimmed(text);
    if (text.size() > 1 && text.front() == '+' && text[1] >= '0' && text[1] <= '9')
        text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *out);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

// A finite number in the file's notation ("1.5", "-2E-3"), surrounding white space allowed.
bool parseDouble(std::string_view text, double *out)
{
    text = trimmed(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    // from_chars would also take "inf" and "nan", which cells cannot hold.
    const char first = text.front() == '-' && text.size() > 1 ? text[1] : text.front();
    if (!((first >= '0' && first <= '9') || first == '.'))
        return false;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return false;
    *out = value;
    return true;
}

// All the character data inside the current element, leaving the scanner on its end.
std::string_view elementText(XmlScanner &xml, std::string *buffer)
{
    std::string_view single;
    int pieces = 0;
    int depth = 1;
    while (depth > 0) {
        switch (xml.next()) {
        case XmlScanner::StartElement:
            ++depth;
            break;
        case XmlScanner::EndElement:
            --depth;
            break;
        case XmlScanner::Characters:
            // The usual single piece is used in place; only split text is copied.
            if (pieces == 0) {
                single = xml.text();
            } else {
                if (pieces == 1)
                    buffer->assign(single);
                buffer->append(xml.text());
            }
            ++pieces;
            break;
        case XmlScanner::EndDocument:
        case XmlScanner::Invalid:
            return std::string_view();
        }
    }
    return pieces > 1 ? std::string_view(*buffer) : single;
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
    XmlScanner xml(data);
    QString fault;
    auto noteFault = [&fault](const char *text) {
        if (fault.isEmpty())
            fault = QString::fromLatin1(text);
    };
    int currentRow = 0;
    int currentColumn = 0;
    int columnElements = 0;
    // Each style index is looked up once; cells then share the format's data.
    std::vector<Format> formats;
    formats.reserve(size_t(std::max(1, styles.formatCount())));
    for (int i = 0; i < std::max(1, styles.formatCount()); ++i) {
        bool ok = false;
        formats.push_back(styles.format(i, &ok));
    }
    const Format outOfRange;
    // The cells of the row being read; rows are usually read in order and whole.
    RowCells *rowCells = nullptr;
    int rowCellsRow = 0;
    size_t lastRowSize = 0;
    std::string buffer;

    for (XmlScanner::Token token = xml.next();
         token != XmlScanner::EndDocument && token != XmlScanner::Invalid; token = xml.next()) {
        if (token != XmlScanner::StartElement)
            continue;
        const std::string_view name = xml.name();
        if (XmlScanner::equals(name, "c")) {
            const std::string_view ref = xml.attribute("r");
            int row = currentRow, column = currentColumn + 1;
            if (!ref.empty()) {
                const CellReference cr = CellReference::fromLatin1(ref);
                row = cr.row();
                column = cr.column();
            }
            currentColumn = column;
            if (!inSheet(row, column)) {
                noteFault("cell reference out of the sheet");
                xml.skipElement();
                continue;
            }
            int style = 0;
            if (!parseInt(xml.attribute("s"), &style))
                style = 0;
            // Index 0 is always allowed: it is the default style even when a file has none.
            const bool styleOk = style >= 0 && size_t(style) < formats.size();
            if (!styleOk)
                noteFault("cell style index out of range");
            const std::string_view t = xml.attribute("t");
            Cell::CellType type = Cell::NumberType;
            if (XmlScanner::equals(t, "s") || XmlScanner::equals(t, "inlineStr") ||
                XmlScanner::equals(t, "str") || XmlScanner::equals(t, "d"))
                type = Cell::StringType;
            else if (XmlScanner::equals(t, "b"))
                type = Cell::BooleanType;
            else if (XmlScanner::equals(t, "e"))
                type = Cell::ErrorType;
            const bool shared = XmlScanner::equals(t, "s");

            QVariant value;
            bool hasValue = false;
            for (XmlScanner::Token inner = xml.next(); inner != XmlScanner::EndElement;
                 inner = xml.next()) {
                if (inner == XmlScanner::EndDocument || inner == XmlScanner::Invalid)
                    break;
                if (inner != XmlScanner::StartElement)
                    continue;
                if (XmlScanner::equals(xml.name(), "v")) {
                    const std::string_view text = elementText(xml, &buffer);
                    hasValue = true;
                    if (shared) {
                        int index = -1;
                        QString s;
                        if (parseInt(text, &index) && strings.at(index, &s)) {
                            value = s;
                        } else {
                            noteFault("shared string index out of range");
                            hasValue = false;
                        }
                    } else if (type == Cell::NumberType) {
                        double number = 0;
                        if (parseDouble(text, &number)) {
                            value = number;
                        } else {
                            noteFault("malformed number");
                            hasValue = false;
                        }
                    } else if (type == Cell::BooleanType) {
                        const std::string_view b = trimmed(text);
                        value = b == "1" || b == "true";
                    } else {
                        value = QString::fromUtf8(text.data(), int(text.size()));
                    }
                } else if (XmlScanner::equals(xml.name(), "is")) {
                    value = SharedStrings::readItem(xml, &buffer);
                    type = Cell::StringType;
                    hasValue = true;
                } else {
                    xml.skipElement(); // formulas and extensions
                }
            }
            if (!hasValue || (type == Cell::StringType && value.toString().isEmpty())) {
                type = Cell::BlankType;
                value = QVariant();
            }
            if (type == Cell::BlankType && style == 0)
                continue;
            if (!rowCells || rowCellsRow != row) {
                const bool isNew = m_rows.find(row) == m_rows.end();
                rowCells = &m_rows[row];
                rowCellsRow = row;
                if (isNew)
                    rowCells->reserve(lastRowSize);
            }
            const bool appends = rowCells->empty() || rowCells->back().first < column;
            if (m_cellCount >= MaxCells && (appends || !findCell(row, column))) {
                noteFault("too many cells");
                break;
            }
            Cell cell(std::move(value), type, styleOk ? formats[size_t(style)] : outOfRange);
            if (appends) {
                rowCells->emplace_back(column, std::move(cell));
                ++m_cellCount;
                lastRowSize = std::max(lastRowSize, rowCells->size());
            } else {
                cellAtOrInsert(row, column) = std::move(cell);
            }
        } else if (XmlScanner::equals(name, "row")) {
            const std::string_view r = xml.attribute("r");
            int row = currentRow + 1;
            if (!r.empty() && !parseInt(r, &row))
                row = 0;
            currentRow = row;
            currentColumn = 0;
            if (row < 1 || row > MaxRows) {
                noteFault("row number out of the sheet");
                xml.skipElement();
                continue;
            }
            double height = 0;
            if (parseDouble(xml.attribute("ht"), &height) && height >= 0)
                setRowHeight(row, height);
        } else if (XmlScanner::equals(name, "col")) {
            int first = 0, last = 0;
            double width = 0;
            const bool okMin = parseInt(xml.attribute("min"), &first);
            const bool okMax = parseInt(xml.attribute("max"), &last);
            const bool okWidth = parseDouble(xml.attribute("width"), &width);
            if (++columnElements > MaxColumnElements || !okMin || !okMax || first < 1 ||
                first > last || first > MaxColumns) {
                noteFault("malformed column");
                continue;
            }
            // Excel writes max="16384" for "all the rest"; clamp instead of refusing.
            if (okWidth && width >= 0)
                setColumnWidth(first, std::min(last, MaxColumns), width);
        } else if (XmlScanner::equals(name, "sheetFormatPr")) {
            double width = 0, height = 0;
            if (parseDouble(xml.attribute("defaultColWidth"), &width) && width > 0 &&
                width <= MaxColumnWidth) {
                m_defaultColumnWidth = width;
                m_hasDefaultColumnWidth = true;
            }
            if (parseDouble(xml.attribute("defaultRowHeight"), &height) && height > 0 &&
                height <= MaxRowHeight)
                m_defaultRowHeight = height;
        } else if (XmlScanner::equals(name, "mergeCell")) {
            const std::string_view ref = xml.attribute("ref");
            const CellRange range =
                CellRange::fromString(QString::fromUtf8(ref.data(), int(ref.size())));
            bool overlaps = false;
            for (const CellRange &existing : qAsConst(m_merges))
                overlaps = overlaps || existing.intersects(range);
            // The first of two overlapping merges wins; a spreadsheet would refuse the file.
            if (overlaps || !addMerge(range))
                noteFault("malformed or overlapping merged range");
        } else if (!XmlScanner::equals(name, "worksheet") &&
                   !XmlScanner::equals(name, "sheetData") && !XmlScanner::equals(name, "cols") &&
                   !XmlScanner::equals(name, "mergeCells")) {
            xml.skipElement();
        }
    }
    if (xml.hasError() && fault.isEmpty())
        fault = xml.errorString();
    if (!fault.isEmpty())
        *error = QStringLiteral("%1: %2").arg(m_name, fault);
    return fault.isEmpty();
}

QByteArray Worksheet::toXml(SharedStrings *strings, Styles *styles) const
{
    QByteArray xml;
    // Most cells take well under 48 bytes; growing a large buffer would copy it repeatedly.
    xml.reserve(1024 + m_cellCount * 48 + int(m_rows.size()) * 16);
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

    int stringCells = 0;
    for (const auto &row : m_rows) {
        for (const auto &entry : row.second)
            stringCells += entry.second.cellType() == Cell::StringType;
    }
    strings->reserve(strings->count() + stringCells);
    xml += "<sheetData>";
    // Cells of a sheet cycle through a few formats; remembering the latest ones by identity
    // spares hashing each cell's format.
    constexpr int Recent = 8;
    Format recentFormats[Recent];
    int recentStyles[Recent] = {};
    int recentNext = 0;
    auto styleOf = [&](const Format &format) {
        for (int i = 0; i < Recent; ++i) {
            if (format.sharesDataWith(recentFormats[i]))
                return recentStyles[i];
        }
        const int style = styles->addFormat(format);
        recentFormats[recentNext] = format;
        recentStyles[recentNext] = style;
        recentNext = (recentNext + 1) % Recent;
        return style;
    };
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
        char rowText[16];
        const int rowLength =
            int(std::to_chars(rowText, rowText + sizeof rowText, row).ptr - rowText);
        xml += "<row r=\"";
        xml.append(rowText, rowLength);
        xml += '"';
        if (heightIt != m_rowHeights.end() && heightIt->first == row) {
            xml += " ht=\"";
            appendNumber(&xml, heightIt->second);
            xml += "\" customHeight=\"1\"";
            ++heightIt;
        }
        if (rowIt == m_rows.end() || rowIt->first != row) {
            xml += "/>";
            continue;
        }
        xml += '>';
        for (const auto &entry : rowIt->second) {
            const Cell &cell = entry.second;
            const int style = styleOf(cell.format());
            // Each cell is put together on the stack and appended once: a call per piece
            // would cost more than the writing itself.
            char text[128]; // the longest cell below takes about 80 bytes
            char *p = writeLiteral(text, "<c r=\"");
            const QByteArray &column = columnNames[size_t(entry.first)];
            std::memcpy(p, column.constData(), size_t(column.size()));
            p += column.size();
            std::memcpy(p, rowText, size_t(rowLength));
            p += rowLength;
            *p++ = '"';
            if (style != 0) {
                p = writeLiteral(p, " s=\"");
                p = writeNumber(p, style);
                *p++ = '"';
            }
            switch (cell.cellType()) {
            case Cell::NumberType:
                p = writeLiteral(p, "><v>");
                p = writeNumber(p, qvariant_cast<double>(cell.value()));
                p = writeLiteral(p, "</v></c>");
                break;
            case Cell::StringType:
                p = writeLiteral(p, " t=\"s\"><v>");
                p = writeNumber(p, strings->add(cell.value().toString()));
                p = writeLiteral(p, "</v></c>");
                break;
            case Cell::BooleanType:
                p = cell.value().toBool() ? writeLiteral(p, " t=\"b\"><v>1</v></c>")
                                          : writeLiteral(p, " t=\"b\"><v>0</v></c>");
                break;
            case Cell::ErrorType:
                p = writeLiteral(p, " t=\"e\"><v>");
                xml.append(text, int(p - text));
                p = text;
                xml += cell.value().toString().toHtmlEscaped().toUtf8();
                p = writeLiteral(p, "</v></c>");
                break;
            case Cell::BlankType:
                p = writeLiteral(p, "/>");
                break;
            }
            xml.append(text, int(p - text));
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
