// Cost of the task list window as the list grows: construction to the drawn list, the redraw
// after "增加一条" and a save of 10 pending rows, for 100 and 1,000 tasks.
#include "app/database.h"
#include "bench/support/benchtimer.h"
#include "bench/support/taskfill.h"
#include "richtext/customtextedit.h"
#include "tasklist/mainview.h"
#include "tasklist/taskstore.h"
#include "tests/support/logcapture.h"
#include "tests/support/testenvironment.h"

#include <QApplication>
#include <QPushButton>
#include <cstdio>

namespace {
struct Figures {
    double construct;
    double addRedraw;
    double save10;
};

Figures measure(int tasks)
{
    TestEnvironment env;
    LogCapture quiet;
    fillTasks(tasks);
    const int runs = 5;
    Figures f{};
    // Construction up to the list drawn on screen: the window is shown and its events run.
    f.construct = medianMs(runs, nullptr, [] {
        MainView view;
        view.show();
        QCoreApplication::processEvents();
    });

    MainView view;
    view.show();
    QCoreApplication::processEvents();
    QPushButton *add = nullptr;
    for (QPushButton *b : view.findChildren<QPushButton *>())
        add = b->text() == QStringLiteral("增加一条") ? b : add;
    int added = 0;
    f.addRedraw = medianMs(
        runs,
        [&] {
            // Give the previous new task text so the next insert is allowed.
            if (added > 0) {
                auto *editor = view.listContainer()->findChild<CustomTextEdit *>(
                    QStringLiteral("textEdit%1").arg(tasks + added - 1));
                editor->setPlainText(QStringLiteral("new %1").arg(added));
            }
            ++added;
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        },
        [&] {
            add->click();
            QCoreApplication::processEvents();
        });

    f.save10 = medianMs(
        runs,
        [&] {
            for (int i = 0; i < 10; ++i) {
                auto *editor = view.listContainer()->findChild<CustomTextEdit *>(
                    QStringLiteral("textEdit%1").arg(i * (tasks / 10)));
                editor->append(QStringLiteral("x"));
            }
            QCoreApplication::processEvents();
        },
        [&] { view.saveTextEdit(); });
    return f;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Figures small = measure(100);
    const Figures large = measure(1000);
    std::printf("task list window, median of 5 runs (ms)\n");
    std::printf("%-34s %10s %10s %8s\n", "", "100", "1000", "ratio");
    auto row = [](const char *name, double a, double b) {
        std::printf("%-34s %10.1f %10.1f %8.1f\n", name, a, b, b / a);
    };
    row("construction to drawn list", small.construct, large.construct);
    row("redraw after add", small.addRedraw, large.addRedraw);
    row("saveTextEdit of 10 pending rows", small.save10, large.save10);
    return 0;
}
