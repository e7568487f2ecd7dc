#include "schedule/datechangedview.h"

#include "app/desktop.h"
#include "app/prompt.h"
#include "schedule/orvaneview.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

dateChangedView::dateChangedView(orvaneView *view, QWidget *parent) : QWidget(parent), m_view(view)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("选择记录"));
    const QRect screen = Desktop::availableGeometry();
    setGeometry(screen.width() / 3, screen.height() / 3, screen.width() / 3, screen.height() / 4);
    auto *box = new QVBoxLayout(this);
    box->addWidget(new QLabel(QStringLiteral("请选择一个要显示的记录：")));
    QComboBox *select = makeBox();
    select->setObjectName(QStringLiteral("selectComboBox"));
    box->addWidget(select);
    box->addWidget(new QLabel(QStringLiteral("请删除不用的记录：")));
    QComboBox *remove = makeBox();
    remove->setObjectName(QStringLiteral("deleteComboBox"));
    box->addWidget(remove);
    connect(select, &QComboBox::textActivated, this, &dateChangedView::onSelectComoboxClicked);
    connect(remove, &QComboBox::textActivated, this, &dateChangedView::onDeleteComoboxClicked);
}

QComboBox *dateChangedView::makeBox()
{
    auto *combo = new QComboBox;
    combo->addItems(m_view->dayXmlTemplates());
    const QIcon excel(QStringLiteral(":/icon/Excel.ico"));
    for (const QString &name : m_view->dayExcelTemplates())
        combo->addItem(excel, name);
    combo->setCurrentIndex(-1);
    return combo;
}

namespace {
// "确定要显示记录"name"吗？" and the like; true when the user pressed OK.
bool confirmed(QWidget *parent, const QString &question, const QString &name)
{
    const QString text =
        question + QLatin1Char('"') + name + QLatin1Char('"') + QStringLiteral("吗？");
    return Prompt::question(parent, QStringLiteral("提示"), text,
                            QMessageBox::Ok | QMessageBox::Cancel,
                            QMessageBox::Ok) == QMessageBox::Ok;
}
} // namespace

void dateChangedView::onSelectComoboxClicked(QString text)
{
    if (!confirmed(this, QStringLiteral("确定要显示记录"), text))
        return;
    hide();
    orvaneView *view = m_view;
    close();
    view->showDaySchedule(text);
}

void dateChangedView::onDeleteComoboxClicked(QString text)
{
    if (!confirmed(this, QStringLiteral("确定要删除记录"), text))
        return;
    hide();
    orvaneView *view = m_view;
    close();
    view->deleteDaySchedule(text);
}
