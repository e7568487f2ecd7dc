#ifndef ORVANE_RICHTEXT_DIALOGBUTTONS_H
#define ORVANE_RICHTEXT_DIALOGBUTTONS_H

#include <QHBoxLayout>
#include <QPushButton>

// The "确定" / "取消" row the editor's dialogs end with, connected to the dialog's two slots.
template <class Dialog>
QHBoxLayout *okCancelRow(Dialog *dialog, void (Dialog::*ok)(), void (Dialog::*cancel)())
{
    auto *row = new QHBoxLayout;
    auto *okButton = new QPushButton(QStringLiteral("确定"));
    auto *cancelButton = new QPushButton(QStringLiteral("取消"));
    row->addWidget(okButton);
    row->addWidget(cancelButton);
    QObject::connect(okButton, &QPushButton::clicked, dialog, ok);
    QObject::connect(cancelButton, &QPushButton::clicked, dialog, cancel);
    return row;
}

#endif
