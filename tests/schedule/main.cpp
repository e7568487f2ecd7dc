// Runs the schedule's test classes in one program; a test function named on the command line
// runs in the class that declares it.
#include "tests/schedule/tst_dayview.h"
#include "tests/schedule/tst_templatestore.h"
#include "tests/support/testrunner.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestTemplateStore store;
    TestDayView dayView;
    return runTestClasses(argc, argv, {&store, &dayView});
}
