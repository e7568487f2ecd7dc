#include <QApplication>

int runEditorTests(int argc, char **argv);
int runFormatEditTests(int argc, char **argv);
int runStructureTests(int argc, char **argv);
int runLinkTests(int argc, char **argv);
int runFindHeightTests(int argc, char **argv);

// One program for the editor and its dialogs, one test class per group of windows.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failed = 0;
    failed += runEditorTests(argc, argv);
    failed += runFormatEditTests(argc, argv);
    failed += runStructureTests(argc, argv);
    failed += runLinkTests(argc, argv);
    failed += runFindHeightTests(argc, argv);
    return failed;
}
