#ifndef ORVANE_RICHTEXT_FORMATEDIT_H
#define ORVANE_RICHTEXT_FORMATEDIT_H

#include <QColor>
#include <QFont>
#include <QVector>
#include <QWidget>

#include <functional>

class CustomTextEdit;
class QTextCharFormat;

// The small formatting window next to a selection. Each action changes the selection once and
// closes the window, so one opening serves one change.
class FormatEdit : public QWidget {
    Q_OBJECT
public:
    FormatEdit(QWidget *parent, CustomTextEdit *editor);

    // The point sizes offered by the size box and walked by the step buttons.
    static const QVector<int> &sizeList();
    // The size after one step up or down from size s (a pixel-sized font reports -1).
    static int stepUp(int s);
    static int stepDown(int s);

public slots:
    void onCopyButtonClicked();
    void onPasteButtonClicked();
    void onCutButtonClicked();
    void onDeleteButtonClicked();
    void onFontIncreaceButtonClicked();
    void onFontDecreaceButtonClicked();
    void onFontBoldButtonClicked();
    void onFontItalicButtonClicked();
    void onFontUnderlineButtonClicked();
    void onFontStrikeOutButtonClicked();
    void onFontBackgroudColorButtonClicked();
    void onFontForegroudColorButtonClicked();
    void setBackgroundColor(QColor color);
    void setForegroundColor(QColor color);
    void setFontFamily(QFont font);
    void onFontSizeComboBoxClicked(int index);

private:
    // Takes the format at the cursor, lets change alter it, sets it on the whole selection and
    // closes the window.
    void applyFormat(const std::function<void(QTextCharFormat &)> &change);
    // The font the text at the cursor is shown in, including what it inherits from the box.
    QFont currentFont() const;
    void setPointSize(int size);

    CustomTextEdit *m_editor;
};

#endif
