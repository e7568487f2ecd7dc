#include "history/exportdocument.h"

#include "app/logging.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryFile>
#include <QTextDocument>

QString ExportDocument::plainText(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

DayExport::HeadingStyle ExportDocument::headingStyle()
{
    const QFont font = QGuiApplication::font();
    DayExport::HeadingStyle style;
    style.pointSize = (font.pointSize() > 0 ? font.pointSize() : 9) + 4;
    // CSS weights are the font's weight times eight, as the rich-text exporter writes them.
    style.cssWeight = qMin(99, font.weight() + 2) * 8;
    return style;
}

DayExport ExportDocument::dayExport(const QSqlDatabase &db)
{
    return DayExport(db, &ExportDocument::plainText, headingStyle());
}

QPageLayout::Orientation ExportDocument::orientation(const QString &text)
{
    return text == QStringLiteral("横向") ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QPageSize::PageSizeId ExportDocument::pageSize(const QString &text, bool *ok)
{
    static const struct {
        const char *name;
        QPageSize::PageSizeId id;
    } sizes[] = {{"A4", QPageSize::A4},
                 {"A3", QPageSize::A3},
                 {"A2", QPageSize::A2},
                 {"A1", QPageSize::A1},
                 {"A0", QPageSize::A0}};
    for (const auto &size : sizes) {
        if (text == QLatin1String(size.name)) {
            *ok = true;
            return size.id;
        }
    }
    *ok = false;
    return QPageSize::A4;
}

bool ExportDocument::printPdf(const QString &html, const QString &fileName,
                              const QString &orientation, const QString &size)
{
    const QFileInfo target(fileName);
    QTemporaryFile part(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!part.open()) {
        logLine(QStringLiteral("pdf file open failed!"), part.errorString());
        return false;
    }
    part.close();

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setPageOrientation(ExportDocument::orientation(orientation));
    bool known = false;
    const QPageSize::PageSizeId id = pageSize(size, &known);
    if (known)
        printer.setPageSize(QPageSize(id));
    printer.setOutputFileName(part.fileName());

    QTextDocument document;
    document.setHtml(html);
    document.print(&printer);

    // The printer says nothing when it could not write; a complete PDF starts with its header.
    char header[5] = {};
    const bool complete = printer.printerState() != QPrinter::Error && part.open() &&
                          part.read(header, 5) == 5 && qstrncmp(header, "%PDF-", 5) == 0;
    part.close();
    if (!complete) {
        logLine(QStringLiteral("pdf print failed!"));
        return false;
    }
    if (QFile::exists(fileName) && !QFile::remove(fileName)) {
        logLine(QStringLiteral("pdf replace failed!"));
        return false;
    }
    part.setAutoRemove(false);
    if (!part.rename(fileName)) {
        part.setAutoRemove(true);
        logLine(QStringLiteral("pdf rename failed!"), part.errorString());
        return false;
    }
    return true;
}
