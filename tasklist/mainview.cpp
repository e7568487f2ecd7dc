#include "tasklist/mainview.h"

#include "app/database.h"
#include "app/logging.h"
#include "app/settings.h"

#include <QApplication>
#include <QCloseEvent>

MainView::MainView(QWidget *parent) : QWidget(parent)
{
    if (openDatabase())
        logLine(QStringLiteral("SQLite initialed succeed!"));
    else
        logLine(QStringLiteral("SQLite initialed failed"));
    setWindowState(Qt::WindowMaximized);
}

MainView::~MainView()
{
    delete m_store;
    Database::close();
    QApplication::quit();
}

bool MainView::openDatabase()
{
    const bool opened = Database::connect(&m_db);
    delete m_store;
    m_store = new TaskStore(m_db);
    if (!opened)
        return false;
    return m_store->ensureTable();
}

void MainView::setItemHeight(int index, int newHeight, int scrollPos)
{
    Q_UNUSED(scrollPos)
    m_store->saveHeight(index, newHeight);
}

QScrollArea *MainView::rowScrollArea() const
{
    return nullptr;
}

void MainView::saveTextEdit() {}

void MainView::closeEvent(QCloseEvent *event)
{
    Settings::write(QStringLiteral("filterApplyMode"), false);
    Settings::write(QStringLiteral("sortApplyMode"), false);
    saveTextEdit();
    event->accept();
}
