#include "richtext/tableoption.h"

#include "app/prompt.h"
#include "richtext/customtextedit.h"
#include "richtext/dialogbuttons.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTextCursor>
#include <QTextTableFormat>
#include <QVBoxLayout>

TableOption::TableOption(QWidget *parent, CustomTextEdit *editor)
    : QWidget(parent), m_editor(editor)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    connect(editor, &QObject::destroyed, this, &QWidget::close);

    auto *rows = new QSpinBox;
    rows->setObjectName(QStringLiteral("rowCount"));
    rows->setRange(1, 100);
    rows->setValue(3);
    auto *columns = new QSpinBox;
    columns->setObjectName(QStringLiteral("columnCount"));
    columns->setRange(1, 100);
    columns->setValue(3);
    auto *sizes = new QGridLayout;
    sizes->addWidget(new QLabel(QStringLiteral("行数：")), 0, 0);
    sizes->addWidget(rows, 0, 1);
    sizes->addWidget(new QLabel(QStringLiteral("列数：")), 1, 0);
    sizes->addWidget(columns, 1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(sizes);
    layout->addWidget(new QLabel(QStringLiteral("对齐方式：")));

    const struct {
        const char *text;
        Qt::AlignmentFlag flag;
    } horizontal[] = {{"左对齐", Qt::AlignLeft},
                      {"右对齐", Qt::AlignRight},
                      {"水平居中", Qt::AlignHCenter},
                      {"两端对齐", Qt::AlignJustify}},
      vertical[] = {
          {"上对齐", Qt::AlignTop}, {"下对齐", Qt::AlignBottom}, {"垂直居中", Qt::AlignVCenter}};
    auto addGroup = [this](QBoxLayout *line, const auto &entries) {
        auto *group = new QButtonGroup(this);
        group->setExclusive(true);
        for (const auto &entry : entries) {
            auto *box = new QCheckBox(QString::fromUtf8(entry.text));
            group->addButton(box);
            line->addWidget(box);
            const int flag = entry.flag;
            connect(box, &QCheckBox::clicked, this, [this, flag](bool checked) {
                if (!checked)
                    return;
                if (flag & Qt::AlignHorizontal_Mask)
                    m_horizontalAlignment = flag;
                else
                    m_verticalAlignment = flag;
            });
        }
        group->buttons().first()->setChecked(true);
    };
    auto *horizontalLine = new QHBoxLayout;
    addGroup(horizontalLine, horizontal);
    layout->addLayout(horizontalLine);
    auto *verticalLine = new QHBoxLayout;
    addGroup(verticalLine, vertical);
    layout->addLayout(verticalLine);

    auto *colorLine = new QHBoxLayout;
    colorLine->addWidget(new QLabel(QStringLiteral("表格边框颜色：")));
    auto *colorButton = new QPushButton(QStringLiteral("选择"));
    colorButton->setObjectName(QStringLiteral("colorButton"));
    colorLine->addWidget(colorButton);
    layout->addLayout(colorLine);

    layout->addLayout(
        okCancelRow(this, &TableOption::onOkButtonClicked, &TableOption::onCancelButtonClicked));
    connect(colorButton, &QPushButton::clicked, this, &TableOption::onColorButtonClicked);
}

void TableOption::setBackgroundColor(QColor color)
{
    m_borderColor = color;
    if (auto *button = findChild<QPushButton *>(QStringLiteral("colorButton")))
        button->setStyleSheet(QStringLiteral("background-color:") + color.name());
}

void TableOption::setAlignment(Qt::AlignmentFlag flag)
{
    switch (flag) {
    case Qt::AlignLeft:
    case Qt::AlignRight:
    case Qt::AlignHCenter:
    case Qt::AlignJustify:
        m_horizontalAlignment = flag;
        break;
    case Qt::AlignTop:
        m_verticalAlignment = flag;
        break;
    default:
        break;
    }
}

void TableOption::onColorButtonClicked()
{
    const QColor color = Prompt::color(this, Qt::white);
    if (color.isValid())
        setBackgroundColor(color);
}

void TableOption::onOkButtonClicked()
{
    const auto *rows = findChild<QSpinBox *>(QStringLiteral("rowCount"));
    const auto *columns = findChild<QSpinBox *>(QStringLiteral("columnCount"));
    QTextTableFormat format;
    format.setAlignment(Qt::Alignment(m_horizontalAlignment | m_verticalAlignment));
    // Without a chosen colour the brush is that of the invalid colour, drawn black.
    format.setBorderBrush(QBrush(m_borderColor));
    QTextCursor cursor = m_editor->textCursor();
    cursor.insertTable(rows->value(), columns->value(), format);
    m_editor->setTextCursor(cursor);
    close();
}

void TableOption::onCancelButtonClicked()
{
    close();
}
