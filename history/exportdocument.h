#ifndef ORVANE_HISTORY_EXPORTDOCUMENT_H
#define ORVANE_HISTORY_EXPORTDOCUMENT_H

#include "history/dayexport.h"

#include <QPageLayout>
#include <QPageSize>
#include <QSqlDatabase>
#include <QString>

// The rich-text side of the export: stored HTML read as plain text, the heading size taken from
// the application font, and the PDF printed from the collected HTML.
class ExportDocument {
public:
    // Plain text of stored rich text, as an editor holding it would give it.
    static QString plainText(const QString &html);
    // Day headings: 4 points above the application font, its weight raised by 2.
    static DayExport::HeadingStyle headingStyle();
    static DayExport dayExport(const QSqlDatabase &db);

    // "横向" is landscape, anything else portrait.
    static QPageLayout::Orientation orientation(const QString &text);
    // "A4", "A3", "A2", "A1", "A0"; ok is false for another text (the printer's default stays).
    static QPageSize::PageSizeId pageSize(const QString &text, bool *ok);

    // Prints the HTML to a PDF at 600 dpi. The pages go to a temporary file beside the target,
    // which replaces the target only when complete; on failure no file is left behind.
    static bool printPdf(const QString &html, const QString &fileName, const QString &orientation,
                         const QString &size);
};

#endif
