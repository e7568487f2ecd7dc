// Runs the task list's test classes in one program.
#include "tests/tasklist/tst_labels.h"
#include "tests/tasklist/tst_mainview.h"
#include "tests/tasklist/tst_taskstore.h"

#include <QApplication>
#include <QtTest>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    {
        TestTaskStore store;
        failures += QTest::qExec(&store, argc, argv);
    }
    {
        TestMainView view;
        failures += QTest::qExec(&view, argc, argv);
    }
    {
        TestLabels labels;
        failures += QTest::qExec(&labels, argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
