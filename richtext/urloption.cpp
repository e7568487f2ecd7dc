#include "richtext/urloption.h"

#include "app/logging.h"
#include "app/paths.h"
#include "app/prompt.h"
#include "richtext/customtextedit.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

namespace {
const QString linkMark = QStringLiteral("<p>(超链接)</p>");
} // namespace

UrlOption::UrlOption(QWidget *parent, CustomTextEdit *editor) : QWidget(parent), m_editor(editor)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    connect(editor, &QObject::destroyed, this, &QWidget::close);

    auto *local = new QLineEdit;
    local->setObjectName(QStringLiteral("localFileAddress"));
    auto *browse = new QPushButton(QStringLiteral("浏览"));
    auto *web = new QLineEdit;
    web->setObjectName(QStringLiteral("webSiteAddress"));
    auto *name = new QLineEdit;
    name->setObjectName(QStringLiteral("displayName"));
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("本地文件：")), 0, 0);
    grid->addWidget(local, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("网址：")), 1, 0);
    grid->addWidget(web, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("显示名称：")), 2, 0);
    grid->addWidget(name, 2, 1, 1, 2);

    auto *attachment = new QCheckBox(QStringLiteral("作为附件保存"));
    attachment->setObjectName(QStringLiteral("attachment"));
    attachment->setChecked(false);

    auto *ok = new QPushButton(QStringLiteral("确定"));
    auto *cancel = new QPushButton(QStringLiteral("取消"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(attachment);
    layout->addWidget(new QLabel(QStringLiteral("  * 拷贝一份文件到软件安装目录下")));
    layout->addWidget(new QLabel(QStringLiteral("  * 源文件变动后链接仍然有效")));
    layout->addWidget(new QLabel(QStringLiteral("打开链接方式： Ctrl + 鼠标左键")));
    layout->addLayout(buttons);

    connect(browse, &QPushButton::clicked, this, &UrlOption::onBrowserButtonClicked);
    connect(web, &QLineEdit::textEdited, this, &UrlOption::onWebsiteAddressEdited);
    connect(attachment, &QCheckBox::clicked, this, &UrlOption::setAttachment);
    connect(ok, &QPushButton::clicked, this, &UrlOption::onOkButtonClicked);
    connect(cancel, &QPushButton::clicked, this, &UrlOption::onCancelButtonClicked);
}

void UrlOption::setAttachment()
{
    m_attachment = findChild<QCheckBox *>(QStringLiteral("attachment"))->isChecked();
}

void UrlOption::onBrowserButtonClicked()
{
    const QString file =
        Prompt::openFileName(this, QStringLiteral("插入链接"),
                             QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    findChild<QLineEdit *>(QStringLiteral("localFileAddress"))->setText(file);
}

void UrlOption::onWebsiteAddressEdited(QString text)
{
    // A web address cannot be kept as an attachment. Only the box goes off: the choice made
    // with it stays, so a local file still filled in is copied all the same.
    auto *attachment = findChild<QCheckBox *>(QStringLiteral("attachment"));
    if (text.isEmpty()) {
        attachment->setEnabled(true);
    } else {
        attachment->setChecked(false);
        attachment->setEnabled(false);
    }
}

bool UrlOption::copyUrlToApp(QString file)
{
    const QString dir = Paths::attachmentsDir();
    if (!QDir(dir).exists() && !QDir(Paths::filesDir()).mkdir(QStringLiteral("MyAttachments"))) {
        logLine(QStringLiteral("mkdir MyAttachments failed!"));
        return false;
    }
    // QFile::copy never replaces an existing file, so an attachment of the same name is kept.
    if (!QFile::copy(file, dir + QLatin1Char('/') + QFileInfo(file).fileName())) {
        logLine(QStringLiteral("copy file to MyAttachments failed!"));
        return false;
    }
    return true;
}

void UrlOption::onOkButtonClicked()
{
    const QString local = findChild<QLineEdit *>(QStringLiteral("localFileAddress"))->text();
    const QString web = findChild<QLineEdit *>(QStringLiteral("webSiteAddress"))->text();
    QString name = findChild<QLineEdit *>(QStringLiteral("displayName"))->text();

    QTextCursor cursor = m_editor->textCursor();
    cursor.beginEditBlock();
    cursor.insertHtml(linkMark);
    cursor.endEditBlock();

    QString href;
    if (!local.isEmpty()) {
        const QString fileName = QFileInfo(local).fileName();
        if (name.isEmpty())
            name = fileName;
        if (m_attachment) {
            if (copyUrlToApp(local)) {
                href = QUrl::fromLocalFile(Paths::attachmentsDir() + QLatin1Char('/') + fileName)
                           .toString();
            } else {
                Prompt::warning(this, QStringLiteral("提示"),
                                QStringLiteral("把选中文件拷贝到安装目录下失败，请尝试重命名文件并"
                                               "使安装目录有写入权限。"));
            }
        } else {
            href = QUrl::fromLocalFile(local).toString();
        }
    } else if (!web.isEmpty()) {
        if (name.isEmpty())
            name = web;
        href = web;
    }

    if (!href.isEmpty()) {
        // The anchor is made as a format, not parsed from HTML text: an address or file name
        // with an apostrophe, "&" or "<" keeps exactly what was typed, and the name is shown
        // as written. It looks as an imported link does.
        QTextCharFormat link;
        link.setAnchor(true);
        link.setAnchorHref(href);
        link.setForeground(m_editor->palette().link());
        link.setFontUnderline(true);
        cursor.beginEditBlock();
        cursor.insertText(name, link);
        cursor.endEditBlock();
    }
    cursor.beginEditBlock();
    cursor.insertHtml(linkMark);
    cursor.endEditBlock();
    m_editor->setTextCursor(cursor);
    close();
}

void UrlOption::onCancelButtonClicked()
{
    close();
}
