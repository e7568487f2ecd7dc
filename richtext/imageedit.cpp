#include "richtext/imageedit.h"

#include "richtext/customtextedit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// The image's own pixel size, for an image that came in through HTML without a size.
QSize naturalSize(QTextDocument *document, const QString &name)
{
    const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(name));
    if (resource.canConvert<QImage>())
        return resource.value<QImage>().size();
    if (resource.canConvert<QPixmap>())
        return resource.value<QPixmap>().size();
    if (resource.type() == QVariant::ByteArray)
        return QImage::fromData(resource.toByteArray()).size();
    return QImage(name).size();
}

QSpinBox *spinBox(const QString &name, int maximum, int value, const QString &suffix = QString())
{
    auto *box = new QSpinBox;
    box->setObjectName(name);
    box->setRange(1, maximum);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}
} // namespace

ImageEdit::ImageEdit(QWidget *parent, CustomTextEdit *editor) : QWidget(parent), m_editor(editor)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    connect(editor, &QObject::destroyed, this, &QWidget::close);

    const QTextCursor image = imageCursor();
    if (!image.isNull()) {
        const QTextImageFormat format = image.charFormat().toImageFormat();
        const QSize natural = naturalSize(editor->document(), format.name());
        m_startWidth =
            format.hasProperty(QTextFormat::ImageWidth) ? int(format.width()) : natural.width();
        m_startHeight =
            format.hasProperty(QTextFormat::ImageHeight) ? int(format.height()) : natural.height();
    }

    auto *height = spinBox(QStringLiteral("heightValue"), 100000, m_startHeight);
    auto *width = spinBox(QStringLiteral("widthValue"), 100000, m_startWidth);
    auto *heightScale = spinBox(QStringLiteral("heightScaleValue"), 10000, 100, " %");
    auto *widthScale = spinBox(QStringLiteral("widthScaleValue"), 10000, 100, " %");
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("绝对高度：")), 0, 0);
    grid->addWidget(height, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("绝对宽度：")), 1, 0);
    grid->addWidget(width, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("高度缩放：")), 2, 0);
    grid->addWidget(heightScale, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("宽度缩放：")), 3, 0);
    grid->addWidget(widthScale, 3, 1);

    auto *ok = new QPushButton(QStringLiteral("确定"));
    auto *cancel = new QPushButton(QStringLiteral("取消"));
    auto *reset = new QPushButton(QStringLiteral("重新设置"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(reset);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(height, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ImageEdit::onHeightValueChanged);
    connect(width, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ImageEdit::onWidthValueChanged);
    connect(heightScale, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ImageEdit::onHeightScaleValueChanged);
    connect(widthScale, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ImageEdit::onWidthScaleValueChanged);
    connect(ok, &QPushButton::clicked, this, &ImageEdit::onOkButtonClicked);
    connect(cancel, &QPushButton::clicked, this, &ImageEdit::onCancelButtonClicked);
    connect(reset, &QPushButton::clicked, this, &ImageEdit::onResetButtonClicked);
}

QTextCursor ImageEdit::imageCursor() const
{
    const QTextCursor cursor = m_editor->textCursor();
    QTextDocument *document = m_editor->document();
    QVector<int> candidates;
    if (cursor.position() > 0)
        candidates.append(cursor.position() - 1);
    for (int p = cursor.selectionStart(); p < cursor.selectionEnd(); ++p)
        candidates.append(p);
    for (int p : qAsConst(candidates)) {
        if (document->characterAt(p) != QChar::ObjectReplacementCharacter)
            continue;
        QTextCursor image(document);
        image.setPosition(p);
        image.setPosition(p + 1, QTextCursor::KeepAnchor);
        if (image.charFormat().isImageFormat())
            return image;
    }
    return QTextCursor();
}

void ImageEdit::enableAbsolute(bool enabled)
{
    findChild<QSpinBox *>(QStringLiteral("heightValue"))->setEnabled(enabled);
    findChild<QSpinBox *>(QStringLiteral("widthValue"))->setEnabled(enabled);
}

void ImageEdit::enableScale(bool enabled)
{
    findChild<QSpinBox *>(QStringLiteral("heightScaleValue"))->setEnabled(enabled);
    findChild<QSpinBox *>(QStringLiteral("widthScaleValue"))->setEnabled(enabled);
}

void ImageEdit::onHeightValueChanged(int)
{
    enableScale(false);
}

void ImageEdit::onWidthValueChanged(int)
{
    enableScale(false);
}

void ImageEdit::onHeightScaleValueChanged(int)
{
    enableAbsolute(false);
}

void ImageEdit::onWidthScaleValueChanged(int)
{
    enableAbsolute(false);
}

void ImageEdit::onOkButtonClicked()
{
    const auto *height = findChild<QSpinBox *>(QStringLiteral("heightValue"));
    const auto *width = findChild<QSpinBox *>(QStringLiteral("widthValue"));
    const auto *heightScale = findChild<QSpinBox *>(QStringLiteral("heightScaleValue"));
    const auto *widthScale = findChild<QSpinBox *>(QStringLiteral("widthScaleValue"));
    int newHeight = height->isEnabled() ? height->value() : 0;
    int newWidth = width->isEnabled() ? width->value() : 0;
    if (heightScale->isEnabled())
        newHeight = heightScale->value() * m_startHeight / 100;
    if (widthScale->isEnabled())
        newWidth = widthScale->value() * m_startWidth / 100;

    QTextCursor image = imageCursor();
    if (!image.isNull()) {
        // A size of 0 would make the image vanish from the text.
        QTextImageFormat format = image.charFormat().toImageFormat();
        format.setHeight(qMax(1, newHeight));
        format.setWidth(qMax(1, newWidth));
        // Only the image itself takes the image format, never text selected with it.
        image.setCharFormat(format);
    }
    close();
}

void ImageEdit::onCancelButtonClicked()
{
    close();
}

void ImageEdit::onResetButtonClicked()
{
    findChild<QSpinBox *>(QStringLiteral("heightValue"))->setValue(m_startHeight);
    findChild<QSpinBox *>(QStringLiteral("widthValue"))->setValue(m_startWidth);
    findChild<QSpinBox *>(QStringLiteral("heightScaleValue"))->setValue(100);
    findChild<QSpinBox *>(QStringLiteral("widthScaleValue"))->setValue(100);
    enableAbsolute(true);
    enableScale(true);
}
