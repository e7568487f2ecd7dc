// Runs the template editor's window tests in one program: the editor on its own, and a date's
// Excel schedule through the day view.
#include "tests/exceltemplate/tst_excelschedule.h"
#include "tests/exceltemplate/tst_exceltemplate.h"
#include "tests/support/testrunner.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestExcelTemplate editor;
    TestExcelSchedule schedule;
    return runTestClasses(argc, argv, {&editor, &schedule});
}
