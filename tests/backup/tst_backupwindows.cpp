// The windows' side of backups and of the open-format exports: the task list's button and
// shortcuts, what a backup holds while edits are unsaved, a restore through the menu, and the
// history view's export menu.
#include "app/database.h"
#include "backup/backuparchive.h"
#include "backup/backupbutton.h"
#include "backup/dailybackups.h"
#include "history/historyview.h"
#include "openexport/openexport.h"
#include "openexport/openexportbutton.h"
#include "richtext/customtextedit.h"
#include "schedule/orvaneview.h"
#include "schedule/templatestore.h"
#include "tasklist/mainview.h"
#include "tests/backup/backupseed.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"
#include "tests/support/widgetfinder.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtTest>

using namespace BackupSeed;

namespace {
const QString zipFilter = QStringLiteral("备份文件 (*.zip)");

void settle()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

QSqlDatabase connection()
{
    QSqlDatabase db;
    Database::connect(&db);
    return db;
}

// One column of a table in a database file, read on a connection of its own.
QStringList column(const QString &databaseFile, const QString &table, const QString &name)
{
    QStringList values;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peek"));
        db.setDatabaseName(databaseFile);
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("select %1 from %2 order by manualIndex")
                       .arg(name, Database::quoteIdentifier(table)));
        while (query.next())
            values.append(OpenExport::plain(query.value(0).toString()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("peek"));
    return values;
}

// The database inside an archive, extracted (and checked) into folder.
QString archivedDatabase(const QString &archive, const QString &folder)
{
    const BackupArchive::Verified verified = BackupArchive::verify(archive, folder);
    return verified.ok ? folder + QStringLiteral("/KDdatabase.db") : QString();
}

CustomTextEdit *taskEditor(MainView &view, int index)
{
    return findByName<CustomTextEdit>(view.listContainer(),
                                      QStringLiteral("textEdit%1").arg(index));
}

// Counts the reopenings a restore asks for instead of ending the event loop.
struct ReopenCount {
    int count = 0;
    ReopenCount()
    {
        BackupButton::setReopenHandler([this]() { ++count; });
    }
    ~ReopenCount() { BackupButton::setReopenHandler({}); }
};
} // namespace

class BackupWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void buttonSitsInAFreeCorner();
    void shortcutBacksUpTypedTasks();
    void backupDuringUnsavedDayEdits();
    void restoreThroughMenu_data();
    void restoreThroughMenu();
    void historyExportMenu();
};

void BackupWindowsTest::buttonSitsInAFreeCorner()
{
    TestEnvironment env;
    MainView view;
    // As the program shows it: the screen's available size.
    view.setWindowState(Qt::WindowNoState);
    view.setGeometry(0, 0, 1920, 1040);
    view.show();
    settle();
    auto *button = findByName<BackupButton>(&view, QStringLiteral("backupButton"));
    QVERIFY(button);
    QVERIFY(button->isVisible());
    QCOMPARE(button->backupAction()->text(), QStringLiteral("备份..."));
    QCOMPARE(button->restoreAction()->text(), QStringLiteral("恢复..."));
    QCOMPARE(button->menu()->actions(),
             (QList<QAction *>{button->backupAction(), button->restoreAction()}));
    // It covers none of the window's other controls, nor the list.
    const auto buttons = view.findChildren<QPushButton *>();
    for (QPushButton *other : buttons) {
        if (other->parentWidget() == &view)
            QVERIFY2(!other->geometry().intersects(button->geometry()), qPrintable(other->text()));
    }
    QVERIFY(!view.findChild<QScrollArea *>()->geometry().intersects(button->geometry()));
    QVERIFY(view.rect().contains(button->geometry()));
}

void BackupWindowsTest::shortcutBacksUpTypedTasks()
{
    TestEnvironment env;
    QVERIFY(addTasks(connection(), {{QStringLiteral("旧的"), {}, {}, 0, 0, {}}}));
    PromptScript prompts;
    MainView view;
    view.show();
    QVERIFY(QTest::qWaitForWindowActive(&view));
    taskEditor(view, 0)->setPlainText(QStringLiteral("刚打的字，还没保存"));

    const QString archive = env.workDir() + QStringLiteral("/我的备份");
    prompts.answerSaveFile(archive, zipFilter);
    QTest::keyClick(&view, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    settle();
    QCOMPARE(prompts.requests().first().kind, Prompt::Kind::SaveFile);
    QCOMPARE(prompts.requests().first().title, QStringLiteral("备份..."));
    // The suffix is added to a bare name; the message says where the file went.
    const QString written = archive + QStringLiteral(".zip");
    QCOMPARE(prompts.messages(),
             QStringList{QStringLiteral("已备份到：") + QDir::toNativeSeparators(written)});
    QTemporaryDir extract;
    const QString database = archivedDatabase(written, extract.path());
    QVERIFY(!database.isEmpty());
    // The typed text was saved first, so the backup holds it.
    QCOMPARE(column(database, QStringLiteral("star"), QStringLiteral("content")),
             QStringList{QStringLiteral("刚打的字，还没保存")});
}

void BackupWindowsTest::backupDuringUnsavedDayEdits()
{
    TestEnvironment env;
    PromptScript prompts;
    QSqlDatabase db = connection();
    TemplateStore::createBuiltInTemplates();
    orvaneView view(nullptr, nullptr, QString(), QString());
    view.show();
    auto *plan = findByName<CustomTextEdit>(&view, QStringLiteral("textEditPlan_0"));
    QVERIFY(plan);
    plan->setPlainText(QStringLiteral("已保存的计划"));
    const auto buttons = view.findChildren<QPushButton *>();
    QPushButton *save = nullptr;
    for (QPushButton *button : buttons) {
        if (button->text() == QStringLiteral("保存修改"))
            save = button;
    }
    QVERIFY(save);
    save->click();
    plan->setPlainText(QStringLiteral("还没保存的计划"));

    const QString archive = env.workDir() + QStringLiteral("/day.zip");
    QString error;
    QVERIFY2(BackupArchive::create(BackupArchive::Sources::current(), archive, &error),
             qPrintable(error));
    QTemporaryDir extract;
    const QString database = archivedDatabase(archive, extract.path());
    QVERIFY(!database.isEmpty());
    QCOMPARE(
        column(database, QStringLiteral("Day20261207空时刻表"), QStringLiteral("plan")).first(),
        QStringLiteral("已保存的计划"));
    // The view keeps what was typed.
    QCOMPARE(plan->toPlainText(), QStringLiteral("还没保存的计划"));
}

void BackupWindowsTest::restoreThroughMenu_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::newRow("good archive") << false;
    QTest::newRow("damaged archive") << true;
}

void BackupWindowsTest::restoreThroughMenu()
{
    QFETCH(bool, damaged);
    TestEnvironment env;
    QVERIFY(addTasks(connection(), {{QStringLiteral("早上的任务"), {}, {}, 0, 0, {}}}));
    QString error;
    const QString archive = env.workDir() + QStringLiteral("/morning.zip");
    QVERIFY(BackupArchive::create(BackupArchive::Sources::current(), archive, &error));
    if (damaged) {
        QFile file(archive);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.seek(file.size() / 2);
        file.write(QByteArray(64, 'x'));
    }

    PromptScript prompts;
    ReopenCount reopen;
    MainView view;
    view.show();
    settle();
    // A mistake typed since, not saved yet.
    taskEditor(view, 0)->setPlainText(QStringLiteral("改错了"));
    prompts.answerText(archive);
    findByName<BackupButton>(&view, QStringLiteral("backupButton"))->restoreAction()->trigger();
    settle();

    QCOMPARE(prompts.requests().first().kind, Prompt::Kind::OpenFile);
    QCOMPARE(prompts.requests().first().value, DailyBackups::folder());
    const QStringList messages = prompts.messages();
    QCOMPARE(messages.size(), 1);
    const QString now =
        column(env.databaseFile(), QStringLiteral("star"), QStringLiteral("content")).value(0);
    if (damaged) {
        QVERIFY2(messages.first().contains(QStringLiteral("已拒绝恢复")) ||
                     messages.first().contains(QStringLiteral("不是本程序的备份")),
                 qPrintable(messages.first()));
        QCOMPARE(reopen.count, 0);
        // Nothing replaced; the typed text was saved before anything else happened.
        QCOMPARE(now, QStringLiteral("改错了"));
        return;
    }
    QVERIFY2(messages.first().startsWith(QStringLiteral("已从备份恢复")),
             qPrintable(messages.first()));
    QCOMPARE(reopen.count, 1);
    QCOMPARE(now, QStringLiteral("早上的任务"));
    // The replaced data, with the edit typed before the restore, are in the backups folder.
    const QStringList safety =
        QDir(DailyBackups::folder()).entryList({QStringLiteral("before-restore-*.zip")});
    QCOMPARE(safety.size(), 1);
    QVERIFY(messages.first().contains(safety.first()));
    QTemporaryDir extract;
    const QString database = archivedDatabase(
        DailyBackups::folder() + QLatin1Char('/') + safety.first(), extract.path());
    QCOMPARE(column(database, QStringLiteral("star"), QStringLiteral("content")),
             QStringList{QStringLiteral("改错了")});
}

void BackupWindowsTest::historyExportMenu()
{
    TestEnvironment env;
    QSqlDatabase db = connection();
    QVERIFY(addDay(db, QStringLiteral("Day20261207空时刻表"),
                   {{QStringLiteral("08:00--09:00"), QStringLiteral("晨读"), QStringLiteral("读书"),
                     QString(), 60},
                    {QStringLiteral("全天"), QStringLiteral("想想"), QString(), QString(), 0}}));
    PromptScript prompts;
    QWidget dayView;
    auto *view = new historyView(&dayView, &dayView, QStringLiteral("2026.12.07"),
                                 QStringLiteral("2026.12.07"));
    view->show();
    settle();
    auto *button = findByName<OpenExportButton>(view, QStringLiteral("openExportButton"));
    QVERIFY(button);
    for (const char *name : {"backButton", "statictisButton", "exportButton"}) {
        auto *other = findByName<QPushButton>(view, QString::fromLatin1(name));
        QVERIFY(other);
        QVERIFY2(!other->geometry().intersects(button->geometry()), name);
    }

    const QString calendar = env.workDir() + QStringLiteral("/日程");
    prompts.answerSaveFile(calendar, QStringLiteral("iCalendar 日历 (*.ics)"));
    button->calendarAction()->trigger();
    settle();
    QVERIFY(QFile::exists(calendar + QStringLiteral(".ics")));
    QCOMPARE(prompts.messages().size(), 1);
    const QString told = prompts.messages().first();
    QVERIFY2(told.startsWith(QStringLiteral("已导出到：") +
                             QDir::toNativeSeparators(calendar + QStringLiteral(".ics"))),
             qPrintable(told));
    // The record without a readable time is counted, not silently dropped.
    QVERIFY2(told.contains(QStringLiteral("日程 1 个")) && told.contains(QStringLiteral("1 条")),
             qPrintable(told));

    prompts.clear();
    const QString records = env.workDir() + QStringLiteral("/records.csv");
    prompts.answerSaveFile(records, QStringLiteral("CSV 表格 (*.csv)"));
    button->recordsAction()->trigger();
    settle();
    QFile csv(records);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll().count('\n'), 3); // the header and both records
    delete view;
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    BackupWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_backupwindows.moc"
