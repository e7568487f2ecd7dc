// Cost of the grouped drawing and of a filter apply with 1,000 tasks and 20 groups, next to the
// plain drawing of the same tasks.
#include "app/database.h"
#include "app/settings.h"
#include "bench/support/benchtimer.h"
#include "bench/support/taskfill.h"
#include "tasklist/groupstore.h"
#include "tasklist/mainview.h"
#include "tasklist/taskstore.h"
#include "tests/support/logcapture.h"
#include "tests/support/testenvironment.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <cstdio>

namespace {
// 20 groups of five priority steps each, half of them sorted by progress.
void makeGroups()
{
    for (int g = 0; g < 20; ++g) {
        GroupStore::add();
        GroupStore::setName(g, QStringLiteral("优先级%1").arg(g * 5));
        GroupStore::setCondition(
            g, QString(),
            QStringLiteral("select * from star  where priority between %1 and %2%3")
                .arg(g * 5)
                .arg(g * 5 + 4)
                .arg(g % 2 ? QStringLiteral(" order by progress desc") : QString()));
    }
}

QPushButton *named(QWidget *root, const char *name)
{
    return root->findChild<QPushButton *>(QString::fromLatin1(name));
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestEnvironment env;
    LogCapture quiet;
    fillTasks(1000);
    makeGroups();
    const int runs = 5;

    MainView view;
    view.show();
    settle();
    QPushButton *groupApply = named(&view, "groupApplyButton");
    QPushButton *groupCancel = named(&view, "groupCancelButton");
    QPushButton *filterApply = named(&view, "filterApplyButton");
    QPushButton *filterCancel = named(&view, "filterCancelButton");

    const double plain = medianMs(runs, settle, [&] {
        view.onSortCancelButtonClicked();
        QCoreApplication::processEvents();
    });
    const double grouped = medianMs(
        runs,
        [&] {
            if (!groupApply->isEnabled())
                groupCancel->click();
            settle();
        },
        [&] {
            groupApply->click();
            QCoreApplication::processEvents();
        });
    groupCancel->click();
    settle();
    // Importance "重要" and priority at least 50: a quarter of the tasks.
    const double filter = medianMs(
        runs,
        [&] {
            if (filterCancel->isEnabled())
                filterCancel->click();
            settle();
            view.findChild<QComboBox *>(QStringLiteral("filterImportanceCombo"))
                ->setCurrentIndex(0);
            view.findChild<QComboBox *>(QStringLiteral("filterPrirotyRuleCombo"))
                ->setCurrentIndex(3);
            view.findChild<QSpinBox *>(QStringLiteral("filterPrirotySpin1"))->setValue(50);
        },
        [&] {
            filterApply->click();
            QCoreApplication::processEvents();
        });
    const int filtered = view.shownRowCount();

    std::printf("task list with 1000 tasks and 20 groups, median of %d runs (ms)\n", runs);
    std::printf("%-40s %10.1f\n", "plain drawing (1000 rows)", plain);
    std::printf("%-40s %10.1f %8.2fx\n", "grouped drawing (1000 rows, 21 headings)", grouped,
                grouped / plain);
    std::printf("%-40s %10.1f %8.2fx\n",
                QStringLiteral("filter apply (%1 rows)").arg(filtered).toUtf8().constData(), filter,
                filter / plain);
    return 0;
}
