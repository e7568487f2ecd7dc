#include "app/prompt.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QPushButton>

namespace {
Prompt::Handler &handler()
{
    static Prompt::Handler h;
    return h;
}

// Asks the installed handler; returns false when the real dialog must be shown.
bool ask(const Prompt::Request &request, Prompt::Answer *answer)
{
    if (!handler())
        return false;
    *answer = handler()(request);
    return true;
}

void message(QMessageBox::Icon icon, Prompt::Kind kind, QWidget *parent, const QString &title,
             const QString &text, Qt::TextFormat format = Qt::AutoText)
{
    Prompt::Answer answer;
    if (ask({kind, title, text, {}, {}, {}}, &answer))
        return;
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(format);
    box.exec();
}
} // namespace

void Prompt::setHandler(Handler h)
{
    handler() = std::move(h);
}

void Prompt::show(QWidget *parent, const UserMessages &messages)
{
    for (const UserMessage &m : messages) {
        if (m.level == UserMessage::Information)
            information(parent, m.title, m.text);
        else
            warning(parent, m.title, m.text);
    }
}

void Prompt::information(QWidget *parent, const QString &title, const QString &text)
{
    message(QMessageBox::Information, Kind::Information, parent, title, text);
}

void Prompt::warning(QWidget *parent, const QString &title, const QString &text)
{
    message(QMessageBox::Warning, Kind::Warning, parent, title, text);
}

void Prompt::critical(QWidget *parent, const QString &title, const QString &text)
{
    message(QMessageBox::Critical, Kind::Critical, parent, title, text);
}

void Prompt::about(QWidget *parent, const QString &title, const QString &richText)
{
    message(QMessageBox::NoIcon, Kind::About, parent, title, richText, Qt::RichText);
}

QMessageBox::StandardButton Prompt::question(QWidget *parent, const QString &title,
                                             const QString &text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    Answer answer;
    if (ask({Kind::Question, title, text, {}, {}, {}}, &answer))
        return answer.button;
    return QMessageBox::question(parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton Prompt::saveDiscardCancel(QWidget *parent, const QString &title,
                                                      const QString &text)
{
    Answer answer;
    const QStringList captions = {QStringLiteral("保存"), QStringLiteral("不保存"),
                                  QStringLiteral("取消")};
    if (ask({Kind::Question, title, text, {}, {}, captions}, &answer))
        return answer.button;
    QMessageBox box(QMessageBox::Question, title, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Save)->setText(captions.at(0));
    box.button(QMessageBox::Discard)->setText(captions.at(1));
    box.button(QMessageBox::Cancel)->setText(captions.at(2));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString Prompt::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                             const QString &filter, QFileDialog::Options options)
{
    Answer answer;
    if (ask({Kind::OpenFile, caption, caption, dir, filter, {}}, &answer))
        return answer.accepted ? answer.text : QString();
    return QFileDialog::getOpenFileName(parent, caption, dir, filter, nullptr, options);
}

QStringList Prompt::openFileNames(QWidget *parent, const QString &caption, const QString &dir,
                                  const QString &filter)
{
    Answer answer;
    if (ask({Kind::OpenFiles, caption, caption, dir, filter, {}}, &answer))
        return answer.accepted ? answer.texts : QStringList();
    return QFileDialog::getOpenFileNames(parent, caption, dir, filter);
}

QString Prompt::saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                             const QString &filter, QString *selectedFilter)
{
    Answer answer;
    if (ask({Kind::SaveFile, caption, caption, dir, filter, {}}, &answer)) {
        if (selectedFilter)
            *selectedFilter = answer.filter;
        return answer.accepted ? answer.text : QString();
    }
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter);
}

QString Prompt::existingDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    Answer answer;
    if (ask({Kind::Directory, caption, caption, dir, {}, {}}, &answer))
        return answer.accepted ? answer.text : QString();
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

QString Prompt::text(QWidget *parent, const QString &title, const QString &label,
                     const QString &value, bool *ok)
{
    Answer answer;
    if (ask({Kind::Text, title, label, value, {}, {}}, &answer)) {
        if (ok)
            *ok = answer.accepted;
        return answer.accepted ? answer.text : QString();
    }
    return QInputDialog::getText(parent, title, label, QLineEdit::Normal, value, ok);
}

QString Prompt::item(QWidget *parent, const QString &title, const QString &label,
                     const QStringList &items, int current, bool editable, bool *ok)
{
    Answer answer;
    if (ask({Kind::Item, title, label, items.value(current), {}, items}, &answer)) {
        if (ok)
            *ok = answer.accepted;
        return answer.accepted ? answer.text : QString();
    }
    return QInputDialog::getItem(parent, title, label, items, current, editable, ok);
}

QColor Prompt::color(QWidget *parent, const QColor &initial, const QString &title)
{
    Answer answer;
    if (ask({Kind::Color, title, title, initial.name(), {}, {}}, &answer))
        return answer.accepted ? answer.color : QColor();
    return QColorDialog::getColor(initial, parent, title);
}
