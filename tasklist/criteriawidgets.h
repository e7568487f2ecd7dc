#ifndef ORVANE_TASKLIST_CRITERIAWIDGETS_H
#define ORVANE_TASKLIST_CRITERIAWIDGETS_H

#include "tasklist/filterclause.h"

#include <QList>
#include <QObject>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QWidget;

// The eight filter criteria as widgets, with the rules that enable a date button or a spin box
// for the chosen rule. The filter panel and the group condition window each lay them out in
// their own way and feed their state to FilterClause.
class CriteriaWidgets : public QObject {
    Q_OBJECT

public:
    struct Captions {
        QString start, stop, priority, progress, importance, urgency, labels, keywords;
        QString labelsPlaceholder, keywordsPlaceholder;
    };
    enum Row {
        StartRow,
        StopRow,
        PriorityRow,
        ProgressRow,
        ImportanceRow,
        UrgencyRow,
        LabelsRow,
        KeywordsRow
    };

    CriteriaWidgets(QWidget *parent, const Captions &captions);

    // The caption and the widgets of one criterion, left to right.
    QList<QWidget *> row(Row row) const;
    FilterClause::Criteria criteria() const;
    // True when any combo is at a real item or a keyword is typed.
    bool anyChosen() const;
    // Every combo back to no item, dates to "日期", spin boxes to 0, texts empty, all disabled.
    void reset();
    // order 1, 2: start date; 3, 4: deadline.
    QPushButton *dateButton(int order) const;

    // Called after any combo change, and with the text after a keyword change.
    std::function<void()> changed;
    std::function<void(const QString &)> keywordChanged;

    QComboBox *startRule;
    QComboBox *stopRule;
    QComboBox *priorityRule;
    QComboBox *progressRule;
    QComboBox *importance;
    QComboBox *urgency;
    QComboBox *labelsRule;
    QPushButton *startButton1;
    QPushButton *startButton2;
    QPushButton *stopButton1;
    QPushButton *stopButton2;
    QSpinBox *prioritySpin1;
    QSpinBox *prioritySpin2;
    QSpinBox *progressSpin1;
    QSpinBox *progressSpin2;
    QLineEdit *labelsEdit;
    QLineEdit *keywordsEdit;

private:
    void dateRuleChanged(int index, QPushButton *first, QPushButton *second);
    void numberRuleChanged(int index, QSpinBox *first, QSpinBox *second);
    void notify();

    QList<QList<QWidget *>> m_rows;
};

#endif
