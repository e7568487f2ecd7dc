// Cost of the task list window as the list grows: the first drawing, and each everyday edit
// (add, delete in the middle, move, height change, save of 10 edited rows) through the window.
// Usage: bench_tasklist [runs] [sizes...]   (default: 5 runs at 100, 1000 and 5000 tasks)
// Each figure is the median wall time in ms, the deferred deletions it leaves included.
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
#include <QScrollArea>
#include <QScrollBar>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

namespace {
const char *const names[] = {"first drawing",
                             "add",
                             "delete in the middle",
                             "move up/down in the middle",
                             "height change",
                             "save of 10 edited rows",
                             "  of a delete: the store alone"};
constexpr int figureCount = 7;

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <class T> T *named(MainView &view, const QString &name)
{
    return view.listContainer() ? view.listContainer()->findChild<T *>(name) : nullptr;
}

// Scrolls the list so that the row at manualIndex is in view (the window makes the rows it
// shows); the scroll bar covers the whole list, so the row's share of it is a fair first guess.
void scrollTo(MainView &view, int manualIndex, int tasks)
{
    QScrollBar *bar = view.scrollArea()->verticalScrollBar();
    bar->setValue(static_cast<int>(static_cast<double>(bar->maximum()) * manualIndex / tasks));
    settle();
    if (auto *editor = named<CustomTextEdit>(view, QStringLiteral("textEdit%1").arg(manualIndex)))
        view.scrollArea()->ensureWidgetVisible(editor);
    settle();
}

int idAt(MainView &view, int manualIndex)
{
    const QList<TaskRecord> rows = view.store()->selectAt(manualIndex);
    return rows.isEmpty() ? -1 : rows.first().id;
}

std::vector<double> measure(int tasks, int runs)
{
    TestEnvironment env;
    LogCapture quiet;
    fillTasks(tasks);
    std::vector<double> f(figureCount, 0.0);

    // Construction up to the list drawn on screen: the window is shown and its events run.
    f[0] = medianMs(runs, settle, [] {
        MainView view;
        view.show();
        QCoreApplication::processEvents();
    });
    settle();

    MainView view;
    view.show();
    settle();
    QPushButton *add = nullptr;
    for (QPushButton *b : view.findChildren<QPushButton *>())
        add = b->text() == QStringLiteral("增加一条") ? b : add;

    int count = tasks;
    f[1] = medianMs(
        runs,
        [&] {
            // The previous new task gets a text so that the next insert is allowed.
            if (count > tasks) {
                if (auto *editor =
                        named<CustomTextEdit>(view, QStringLiteral("textEdit%1").arg(count - 1)))
                    editor->setPlainText(QStringLiteral("new %1").arg(count));
            }
            view.saveTextEdit();
            settle();
        },
        [&] {
            add->click();
            settle();
            ++count;
        });

    f[2] = medianMs(
        runs,
        [&] {
            scrollTo(view, count / 2, count);
            view.setDeleteButtonIndex(count / 2);
        },
        [&] {
            // As the row's "删除" button does.
            named<QPushButton>(view, QStringLiteral("delButton%1").arg(count / 2))->click();
            settle();
            --count;
        });

    const int mid = count / 2;
    scrollTo(view, mid, count);
    // The row at mid goes up and comes back, as its arrows would ask.
    const int movedId = idAt(view, mid);
    int moves = 0;
    f[3] = medianMs(runs, nullptr, [&] {
        if (moves++ % 2 == 0)
            view.onUpArrowClicked(mid, movedId);
        else
            view.onDownArrowClicked(mid - 1, movedId);
        settle();
    });

    scrollTo(view, mid, count);
    int heights = 0;
    f[4] = medianMs(runs, nullptr, [&] {
        view.setItemHeight(mid, heights++ % 2 ? 100 : 160,
                           view.scrollArea()->verticalScrollBar()->value());
        settle();
    });

    scrollTo(view, mid, count);
    int edits = 0;
    f[5] = medianMs(
        runs,
        [&] {
            ++edits;
            for (int i = 0; i < 10; ++i) {
                if (auto *editor =
                        named<CustomTextEdit>(view, QStringLiteral("textEdit%1").arg(mid + i)))
                    editor->append(QStringLiteral("x%1").arg(edits));
            }
            settle();
        },
        [&] { view.saveTextEdit(); });
    if (view.pendingCount() != 0)
        std::printf("warning: %d rows still pending after the save\n", view.pendingCount());

    // The table's share of a delete: the row goes and every row below it is renumbered.
    f[6] = medianMs(runs, nullptr, [&] {
        view.store()->remove(count / 2);
        --count;
    });
    return f;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {100, 1000, 5000};

    std::map<int, std::vector<double>> figures;
    for (int size : sizes) {
        figures[size] = measure(size, runs);
        std::printf("%d tasks, median of %d runs (ms):\n", size, runs);
        for (int i = 0; i < figureCount; ++i)
            std::printf("  %-30s %10.1f\n", names[i], figures[size][i]);
        std::fflush(stdout);
    }

    std::printf("\ntask list window, median of %d runs (ms)\n", runs);
    std::printf("%-30s", "");
    for (int size : sizes)
        std::printf(" %10d", size);
    const int small = sizes.front();
    const int large = sizes.back();
    std::printf("   ratio %d/%d\n", large, small);
    for (int i = 0; i < figureCount; ++i) {
        std::printf("%-30s", names[i]);
        for (int size : sizes)
            std::printf(" %10.1f", figures[size][i]);
        std::printf(" %10.2f\n", figures[large][i] / figures[small][i]);
    }
    return 0;
}
