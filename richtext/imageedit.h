#ifndef ORVANE_RICHTEXT_IMAGEEDIT_H
#define ORVANE_RICHTEXT_IMAGEEDIT_H

#include <QTextCursor>
#include <QWidget>

class CustomTextEdit;

// Resizes the selected image, either to absolute pixel sizes or by percentages of its size when
// the dialog opened. Only one of the two pairs is in use once a value has been changed.
class ImageEdit : public QWidget {
    Q_OBJECT
public:
    ImageEdit(QWidget *parent, CustomTextEdit *editor);

public slots:
    void onHeightValueChanged(int value);
    void onWidthValueChanged(int value);
    void onHeightScaleValueChanged(int value);
    void onWidthScaleValueChanged(int value);
    void onOkButtonClicked();
    void onCancelButtonClicked();
    void onResetButtonClicked();

private:
    // A cursor holding just the selected image: the character at the editor's cursor, or else
    // the first image of the selection. Null when the selection holds no image.
    QTextCursor imageCursor() const;
    void enableAbsolute(bool enabled);
    void enableScale(bool enabled);

    int m_startWidth = 0;
    int m_startHeight = 0;
    CustomTextEdit *m_editor;
};

#endif
