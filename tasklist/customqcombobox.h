#ifndef ORVANE_TASKLIST_CUSTOMQCOMBOBOX_H
#define ORVANE_TASKLIST_CUSTOMQCOMBOBOX_H

#include <QComboBox>

class MainView;
class QListWidget;

// The label box of a task row: an editable combo whose popup lists the shared label names as
// check boxes and stays open while they are clicked. Ticking writes the row's label at once.
class CustomQComboBox : public QComboBox {
    Q_OBJECT

public:
    CustomQComboBox(MainView *mainView, int index, QWidget *parent = nullptr);

    int index() const { return mIndex; }
    // The row's new manualIndex; the list widget is renamed with it.
    void setIndex(int index);

    void showPopup() override;
    void hidePopup() override;

public slots:
    void checkBoxStateChanged();
    void resetTextChanged(QString text);

protected:
    void mousePressEvent(QMouseEvent *e) override;

private:
    QListWidget *mList = nullptr;
    MainView *mMainView;
    int mIndex;
    QString mText;
    bool mPressed = false;
    bool mTextReset = false;
};

#endif
