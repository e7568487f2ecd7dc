// libFuzzer target for reading workbooks. An input starting like a zip archive is opened as a
// file with QXlsx::Document; anything else goes straight to the part readers (styles, theme,
// shared strings, worksheet), since inside a valid archive a checksum would stop most
// mutations long before the XML readers saw them. Whatever was read is written out again.

#include "xlsx/document.h"
#include "xlsx/sharedstrings.h"
#include "xlsx/styles.h"
#include "xlsx/worksheet.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    if (bytes.startsWith("PK")) {
        const QString path = dir.filePath(QStringLiteral("input.xlsx"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 0;
        file.close();
        QXlsx::Document doc(path);
        const QXlsx::CellRange used = doc.dimension();
        if (used.isValid() && used.rowCount() <= 200 && used.columnCount() <= 200) {
            for (int row = used.firstRow(); row <= used.lastRow(); ++row) {
                for (int column = used.firstColumn(); column <= used.lastColumn(); ++column) {
                    if (const QXlsx::Cell *cell = doc.cellAt(row, column))
                        (void)cell->format().font();
                }
            }
        }
        doc.saveAs(dir.filePath(QStringLiteral("output.xlsx")));
        return 0;
    }
    QString error;
    QXlsx::Styles styles;
    styles.readTheme(bytes, &error);
    styles.read(bytes, &error);
    QXlsx::SharedStrings strings;
    strings.read(bytes, &error);
    QXlsx::Worksheet sheet(QStringLiteral("Sheet1"));
    sheet.readXml(bytes, strings, styles, &error);
    QXlsx::SharedStrings outStrings;
    QXlsx::Styles outStyles;
    (void)sheet.toXml(&outStrings, &outStyles);
    (void)outStyles.toXml();
    (void)outStrings.toXml();
    return 0;
}
