#ifndef ORVANE_EXCELTEMPLATE_CELLRULES_H
#define ORVANE_EXCELTEMPLATE_CELLRULES_H

#include <QString>
#include <QStringList>

// Cell rules of the template editor that need no widget: the size and alignment boxes, the
// bold toggle, the texts a merge leaves and the column header names.
class CellRules {
public:
    static constexpr int GridRows = 100;
    static constexpr int GridColumns = 52;

    // "A" .. "Z", then "AA" .. "AZ".
    static QString columnName(int column);

    // Entries of the size box, in pixels (and in points in the workbook).
    static QStringList fontSizeItems();
    static int fontSizeAt(int index);

    // Qt alignment flags after choosing entry `index` of the alignment box: a horizontal
    // choice keeps the vertical flags and the other way round.
    static int alignmentAfterChoice(int oldFlags, int index);
    static bool isHorizontalChoice(int index) { return index >= 0 && index <= 3; }

    // Font weight after pressing bold on a cell of weight `weight`.
    static int toggledWeight(int weight) { return weight > 57 ? 50 : 75; }

    // "合并内容": the non-empty texts of an area in reading order, one per line.
    static QString joinedTexts(const QStringList &textsInReadingOrder);
};

#endif
