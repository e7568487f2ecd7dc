#ifndef ORVANE_SCHEDULE_LABELEDIT_H
#define ORVANE_SCHEDULE_LABELEDIT_H

#include <QStringList>
#include <QWidget>

class orvaneView;
class QScrollArea;

// Chooses a record's plan label from the global list, adds labels and deletes them.
class LabelEdit : public QWidget {
    Q_OBJECT

public:
    LabelEdit(orvaneView *view, int index, QWidget *parent = nullptr);

public slots:
    void onAddButtonClicked();
    void onOkButtonClicked();
    void setLineEditTextChangedIndex(int index);
    void onLineEditTextChanged(QString text);
    void onCheckChanged(QString text);
    void onDeleteButtonClicked(int index);

private:
    void build(bool withNewLines);

    orvaneView *m_view;
    int m_index;
    QString m_labelsText;
    int m_labelCount = 0;
    QStringList m_newLines;
    int m_editedLine = -1;
    QScrollArea *m_scroll = nullptr;
};

#endif
