#ifndef ORVANE_SCHEDULE_TODAYSUMMARY_H
#define ORVANE_SCHEDULE_TODAYSUMMARY_H

#include <QStringList>
#include <QWidget>

class orvaneView;
class QScrollArea;

// Edits which text and score items a day's summary has (their names and order).
class todaySummary : public QWidget {
    Q_OBJECT

public:
    todaySummary(orvaneView *view, const QString &table, const QString &summaryText,
                 const QString &summaryScore, QWidget *parent = nullptr);

public slots:
    void onAddTextButtonClicked();
    void onAddScoreButtonClicked();
    void setSummartTextChangedIndex(int index);
    void onSummartTextChanged(QString text);
    void setSummartTextAddChangedIndex(int index);
    void onSummartTextAddChanged(QString text);
    void setSummartScoreChangedIndex(int index);
    void onSummartScoreChanged(QString text);
    void setSummartScoreAddChangedIndex(int index);
    void onSummartScoreAddChanged(QString text);
    void onCancelButtonClicked();
    void saveText();

private:
    void build();

    orvaneView *m_view;
    QString m_table;
    QString m_summaryText;
    QString m_summaryScore;
    QStringList m_texts;
    QStringList m_textsAdded;
    QStringList m_scores;
    QStringList m_scoresAdded;
    int m_textIndex = -1;
    int m_textAddIndex = -1;
    int m_scoreIndex = -1;
    int m_scoreAddIndex = -1;
    QScrollArea *m_scroll = nullptr;
};

#endif
