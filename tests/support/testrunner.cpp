#include "tests/support/testrunner.h"

#include <QByteArray>
#include <QMetaMethod>
#include <QObject>
#include <QSet>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
// QtTest options that take the next argument as their value.
const QSet<QByteArray> &optionsWithValue()
{
    static const QSet<QByteArray> options = {
        "-o",           "-eventdelay", "-keydelay", "-mousedelay",   "-maxwarnings",
        "-perfcounter", "-iterations", "-median",   "-minimumvalue", "-minimumtotal",
        "-seed"};
    return options;
}

// A test function as QtTest sees it: a private slot without arguments that is neither a
// fixture nor a data function.
bool isTestFunction(const QMetaMethod &method)
{
    if (method.methodType() != QMetaMethod::Slot || method.access() != QMetaMethod::Private ||
        method.parameterCount() != 0)
        return false;
    const QByteArray name = method.name();
    return name != "initTestCase" && name != "cleanupTestCase" && name != "init" &&
           name != "cleanup" && !name.endsWith("_data");
}

bool declares(const QObject *testClass, const QByteArray &function)
{
    const QMetaObject *meta = testClass->metaObject();
    const int index = meta->indexOfMethod(function + "()");
    return index >= 0 && isTestFunction(meta->method(index));
}

// "name", "name()" or "name:tag" names the function "name".
QByteArray functionOf(const QByteArray &argument)
{
    QByteArray function =
        argument.left(argument.indexOf(':') < 0 ? argument.size() : argument.indexOf(':'));
    if (function.endsWith("()"))
        function.chop(2);
    return function;
}

void listTestFunctions(const QList<QObject *> &testClasses)
{
    for (const QObject *testClass : testClasses) {
        const QMetaObject *meta = testClass->metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            if (isTestFunction(meta->method(i)))
                std::fprintf(stderr, "  %s::%s()\n", meta->className(),
                             meta->method(i).name().constData());
        }
    }
}
} // namespace

int runTestClasses(int argc, char **argv, const QList<QObject *> &testClasses)
{
    std::vector<char *> options{argv[0]};
    QList<char *> functions;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') {
            options.push_back(argv[i]);
            if (optionsWithValue().contains(argv[i]) && i + 1 < argc)
                options.push_back(argv[++i]);
        } else {
            functions.append(argv[i]);
        }
    }

    for (char *function : qAsConst(functions)) {
        const QByteArray name = functionOf(function);
        const bool known = std::any_of(testClasses.begin(), testClasses.end(),
                                       [&](QObject *c) { return declares(c, name); });
        if (!known) {
            std::fprintf(stderr, "Unknown test function: '%s'. The test functions are:\n",
                         function);
            listTestFunctions(testClasses);
            return 1;
        }
    }

    int failures = 0;
    for (QObject *testClass : testClasses) {
        std::vector<char *> arguments = options;
        for (char *function : qAsConst(functions)) {
            if (declares(testClass, functionOf(function)))
                arguments.push_back(function);
        }
        if (!functions.isEmpty() && arguments.size() == options.size())
            continue; // none of the named functions is in this class
        failures += QTest::qExec(testClass, int(arguments.size()), arguments.data());
    }
    return failures == 0 ? 0 : 1;
}
