// Runs the task list's test classes in one program.
#include "tests/tasklist/tst_filtering.h"
#include "tests/tasklist/tst_groups.h"
#include "tests/tasklist/tst_labels.h"
#include "tests/tasklist/tst_mainview.h"
#include "tests/tasklist/tst_sorting.h"
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
    {
        TestSorting sorting;
        failures += QTest::qExec(&sorting, argc, argv);
    }
    {
        TestFiltering filtering;
        failures += QTest::qExec(&filtering, argc, argv);
    }
    {
        TestGroups groups;
        failures += QTest::qExec(&groups, argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
