// Runs the task list's test classes in one program.
#include <QApplication>

int runTaskStoreTests(int argc, char **argv);
int runMainViewTests(int argc, char **argv);
int runPanelTests(int argc, char **argv);
int runGroupTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    for (auto run : {runTaskStoreTests, runMainViewTests, runPanelTests, runGroupTests})
        failures += run(argc, argv);
    return failures == 0 ? 0 : 1;
}
