// Runs the statistics test classes in one program.
#include "tests/statistics/tst_labeldurationstore.h"
#include "tests/statistics/tst_weekcalendar.h"

#include <QCoreApplication>
#include <QtTest>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int failures = 0;
    {
        TestWeekCalendar calendar;
        failures += QTest::qExec(&calendar, argc, argv);
    }
    {
        TestLabelDurationStore store;
        failures += QTest::qExec(&store, argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
