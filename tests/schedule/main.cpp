// Runs the schedule's test classes in one program.
#include "tests/schedule/tst_dayview.h"
#include "tests/schedule/tst_templatestore.h"

#include <QApplication>
#include <QtTest>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    {
        TestTemplateStore store;
        failures += QTest::qExec(&store, argc, argv);
    }
    {
        TestDayView dayView;
        failures += QTest::qExec(&dayView, argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
