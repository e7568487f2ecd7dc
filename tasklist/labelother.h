#ifndef ORVANE_TASKLIST_LABELOTHER_H
#define ORVANE_TASKLIST_LABELOTHER_H

#include <QStringList>
#include <QWidget>

class MainView;
class QScrollArea;
class QVBoxLayout;

// Edits the shared list of label names: one line edit per name, "增加" for one more, "确定"
// stores the non-empty names.
class LabelOther : public QWidget {
    Q_OBJECT

public:
    LabelOther(MainView *mainView, int index, QWidget *parent = nullptr);

public slots:
    void onAddButtonClicked();
    void onOkButtonClicked();

private:
    // Builds the scroll area with rowCount rows, filled from names; the container is made
    // (heightRows + 2) * 58 pixels high.
    void build(const QStringList &names, int rowCount, int heightRows);

    MainView *mMainView;
    int mIndex;
    int mCount = 0;
    QString mText;
    QScrollArea *mScrollArea = nullptr;
    QWidget *mContainer = nullptr;
    QVBoxLayout *mBox = nullptr;
};

#endif
