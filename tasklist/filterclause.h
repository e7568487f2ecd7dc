#ifndef ORVANE_TASKLIST_FILTERCLAUSE_H
#define ORVANE_TASKLIST_FILTERCLAUSE_H

#include <QString>
#include <QStringList>

// The filter grammar shared by the filter panel and the group condition window: from the state
// of the criteria widgets to a WHERE part and its readable description. No widgets.
class FilterClause {
public:
    // Positions of the items of a rule combo box ("等于" ... "区间[]", " ").
    enum Rule { Equal = 0, Greater, Less, GreaterOrEqual, LessOrEqual, Range, Off };

    static const QString unsetDate; // "日期", the text of a date button without a date

    struct Criteria {
        int startRule = -1;
        QString startDate1 = unsetDate;
        QString startDate2 = unsetDate;
        int stopRule = -1;
        QString stopDate1 = unsetDate;
        QString stopDate2 = unsetDate;
        int priorityRule = -1;
        int priority1 = 0;
        int priority2 = 0;
        int progressRule = -1;
        int progress1 = 0;
        int progress2 = 0;
        int importanceIndex = -1;
        QString importanceText;
        int urgencyIndex = -1;
        QString urgencyText;
        int labelsIndex = -1;
        QString labelsRuleText; // "包含" or "不包含"
        QString labelsText;
        QString keywords;
    };

    struct Result {
        QString where;    // empty, or " where ..." ready to follow "select * from star"
        QString readable; // one piece per criterion, each ending with "；"
    };

    static QStringList ruleItems();
    static Result build(const Criteria &criteria);
};

#endif
