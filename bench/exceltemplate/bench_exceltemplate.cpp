// A full 100 x 52 formatted template: the editor from construction to shown and from "保存内容"
// to the file written, next to the xlsx layer's bare load and save of the same workbook.
#include "bench/support/benchtimer.h"
#include "exceltemplate/exceltemplate.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "xlsx/document.h"

#include <QApplication>
#include <QDir>
#include <QToolButton>
#include <cstdio>
#include <memory>

namespace {

// Every cell holds its own text; fonts, fills, borders and alignments vary; some areas are
// merged and some rows and columns sized, as a designed day plan would be.
bool makeTemplate(const QString &path)
{
    QXlsx::Document doc;
    const QColor fills[] = {QColor("#FFF2CC"), QColor("#DDEBF7"), QColor()};
    for (int row = 1; row <= 100; ++row) {
        for (int column = 1; column <= 52; ++column) {
            QXlsx::Format format;
            format.setFontName(column % 2 ? QStringLiteral("宋体") : QStringLiteral("Arial"));
            format.setFontSize(9 + (row + column) % 4 * 3);
            format.setFontBold(row % 5 == 0);
            format.setFontColor(row % 3 ? QColor(Qt::black) : QColor("#1F4E79"));
            if (fills[(row * column) % 3].isValid())
                format.setPatternBackgroundColor(fills[(row * column) % 3]);
            format.setHorizontalAlignment(column % 3 ? QXlsx::Format::AlignLeft
                                                     : QXlsx::Format::AlignHCenter);
            format.setVerticalAlignment(QXlsx::Format::AlignVCenter);
            format.setBorderStyle(row % 4 ? QXlsx::Format::BorderThin
                                          : QXlsx::Format::BorderDashed);
            doc.write(row, column, QStringLiteral("%1 行 %2 列 计划").arg(row).arg(column), format);
        }
        if (row % 3 == 0)
            doc.setRowHeight(row, 24);
    }
    for (int column = 1; column <= 52; column += 4)
        doc.setColumnWidth(column, 14);
    for (int row = 1; row <= 100; row += 10)
        doc.mergeCells(QXlsx::CellRange(row, 1, row, 3));
    return doc.saveAs(path);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestEnvironment env;
    PromptScript prompts;
    const QString path = env.workDir() + QStringLiteral("/ExcelDB/plan.xlsx");
    QDir().mkpath(env.workDir() + QStringLiteral("/ExcelDB"));
    if (!makeTemplate(path)) {
        std::fprintf(stderr, "cannot write the template\n");
        return 1;
    }
    constexpr int Runs = 9;

    std::unique_ptr<QXlsx::Document> doc;
    const double bareLoad = medianMs(
        Runs, [&] { doc.reset(); }, [&] { doc = std::make_unique<QXlsx::Document>(path); });
    const double bareSave = medianMs(Runs, nullptr, [&] { doc->saveAs(path); });

    std::unique_ptr<ExcelTemplate> editor;
    const double shown = medianMs(
        Runs, [&] { editor.reset(); },
        [&] {
            editor = std::make_unique<ExcelTemplate>(nullptr, path);
            editor->show();
            QApplication::processEvents();
        });
    auto *save = editor->findChild<QToolButton *>(QStringLiteral("saveButton"));
    const double saved = medianMs(Runs, nullptr, [&] { save->click(); });
    if (!prompts.messages().isEmpty()) {
        std::fprintf(stderr, "the editor reported: %s\n", qPrintable(prompts.messages().first()));
        return 1;
    }

    std::printf("100 x 52 formatted template, median of %d runs\n", Runs);
    std::printf("  layer load             %8.2f ms\n", bareLoad);
    std::printf("  editor construct+shown %8.2f ms\n", shown);
    std::printf("  layer save             %8.2f ms\n", bareSave);
    std::printf("  editor 保存内容        %8.2f ms\n", saved);
    return 0;
}
