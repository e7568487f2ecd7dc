#ifndef ORVANE_TESTS_SUPPORT_TESTRUNNER_H
#define ORVANE_TESTS_SUPPORT_TESTRUNNER_H

#include <QList>

class QObject;

// Runs several QtTest classes in one program with the usual command line. Without test function
// names every class runs in full. Named functions run only in the classes that declare them, so
// one test can be picked out of any class; a name no class declares fails the run before any
// test starts, as QtTest does in a one-class program. Returns the program's exit code.
int runTestClasses(int argc, char **argv, const QList<QObject *> &testClasses);

#endif
