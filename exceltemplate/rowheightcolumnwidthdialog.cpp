#include "exceltemplate/rowheightcolumnwidthdialog.h"

#include "exceltemplate/exceltemplate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

RowHeightColumnWidthDialog::RowHeightColumnWidthDialog(QWidget *parent, ExcelTemplate *editor,
                                                       const QString &kind, int currentSize, int x,
                                                       int y)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_editor(editor), m_kind(kind)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(200, 120);
    move(x, y);

    auto *spin = new QSpinBox(this);
    spin->setObjectName(QStringLiteral("sizeValue"));
    spin->setRange(0, 1000);
    spin->setValue(currentSize);
    auto *valueRow = new QHBoxLayout;
    valueRow->addWidget(new QLabel(kind + QStringLiteral(":"), this));
    valueRow->addWidget(spin);
    valueRow->addWidget(new QLabel(QStringLiteral("像素"), this));

    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    ok->setShortcut(QKeySequence(Qt::Key_Enter));
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(valueRow);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &RowHeightColumnWidthDialog::onOkButtonClicked);
    connect(cancel, &QPushButton::clicked, this,
            &RowHeightColumnWidthDialog::onCancelButtonClicked);
}

void RowHeightColumnWidthDialog::onOkButtonClicked()
{
    const auto *spin = findChild<QSpinBox *>(QStringLiteral("sizeValue"));
    if (m_editor && spin) {
        if (m_kind == QStringLiteral("行高"))
            m_editor->setThisRowHeight(spin->value());
        else
            m_editor->setThisColumnWidth(spin->value());
    }
    close();
}

void RowHeightColumnWidthDialog::onCancelButtonClicked()
{
    close();
}
