#include "app/desktop.h"
#include "app/paths.h"
#include "richtext/customtextedit.h"
#include "richtext/imageedit.h"
#include "richtext/urloption.h"
#include "tests/richtext/richtesthelpers.h"
#include "tests/support/logcapture.h"
#include "tests/support/promptscript.h"
#include "tests/support/testenvironment.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace {
const QString copyFailed =
    QStringLiteral("把选中文件拷贝到安装目录下失败，请尝试重命名文件并使安装目录有写入权限。");

QString writeImage(const QString &dir, const QString &name, const QSize &size)
{
    const QString path = dir + QLatin1Char('/') + name;
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.save(path);
    return path;
}

QString writeText(const QString &path, const QByteArray &content)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return path;
}

struct Link {
    QString href;
    QString text;
};

QList<Link> linksOf(QTextDocument *document)
{
    QList<Link> links;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isAnchor())
                links.append({fragment.charFormat().anchorHref(), fragment.text()});
        }
    }
    return links;
}

// Positions of the image characters of the document.
QList<int> imagePositions(QTextDocument *document)
{
    QList<int> positions;
    for (int p = 0; p < document->characterCount(); ++p) {
        QTextCursor cursor(document);
        cursor.setPosition(p);
        cursor.setPosition(p + 1, QTextCursor::KeepAnchor);
        if (document->characterAt(p) == QChar::ObjectReplacementCharacter &&
            cursor.charFormat().isImageFormat())
            positions.append(p);
    }
    return positions;
}

void insertFromMenu(CustomTextEdit *box, const QString &entry)
{
    answerNextMenu(QStringLiteral("插入..."), nullptr, [entry] { answerNextMenu(entry); });
    openContextMenu(box, box->cursorRect().center());
}
} // namespace

class TestLinks : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { closeAllWindows(); }

    void insertImageFromFile_data();
    void insertImageFromFile();
    void imageEditResizes_data();
    void imageEditResizes();
    void imageEditTouchesOnlyTheImage();
    void urlOptionInsertsLink_data();
    void urlOptionInsertsLink();
    void webAddressReachesDesktopAsTyped();
    void browseFillsLocalFile();
};

void TestLinks::insertImageFromFile_data()
{
    QTest::addColumn<QString>("file"); // "image", "text", "shortcut" or "" (cancelled)
    QTest::addColumn<bool>("inserted");
    QTest::addColumn<bool>("warned");

    QTest::newRow("800 x 600 image") << "image" << true << false;
    QTest::newRow("not an image") << "text" << false << true;
    QTest::newRow("internet shortcut") << "shortcut" << false << false;
    QTest::newRow("cancelled") << "" << false << false;
}

void TestLinks::insertImageFromFile()
{
    QFETCH(QString, file);
    QFETCH(bool, inserted);
    QFETCH(bool, warned);

    TestEnvironment env;
    PromptScript prompts;
    QString path;
    if (file == QLatin1String("image"))
        path = writeImage(env.workDir(), QStringLiteral("photo.png"), QSize(800, 600));
    else if (file == QLatin1String("text"))
        path = writeText(env.workDir() + QStringLiteral("/fake.png"), "not a picture");
    else if (file == QLatin1String("shortcut"))
        path = writeImage(env.workDir(), QStringLiteral("photo.url"), QSize(8, 6));
    if (path.isEmpty())
        prompts.answerCancel();
    else
        prompts.answerText(path);

    auto box = taskBox(nullptr, QStringLiteral("<p>ab</p>"));
    placeCursor(box.get(), 1);
    insertFromMenu(box.get(), QStringLiteral("图片"));

    QVERIFY(!prompts.requests().isEmpty());
    const Prompt::Request ask = prompts.requests().first();
    QCOMPARE(ask.kind, Prompt::Kind::OpenFile);
    QCOMPARE(ask.title, QStringLiteral("插入图片"));
    QVERIFY(
        ask.filter.startsWith(QStringLiteral("全部格式(*.bmp *.gif *.jpeg *.jpg *.png *.svg)")));

    const QList<int> images = imagePositions(box->document());
    QCOMPARE(images.size(), inserted ? 1 : 0);
    if (inserted) {
        QCOMPARE(images.first(), 1);
        const QTextImageFormat format = formatAt(box.get(), 1).toImageFormat();
        QCOMPARE(format.name(), path);
        QCOMPARE(format.width(), 800.0);
        QCOMPARE(format.height(), 600.0);
    }
    QCOMPARE(prompts.messages(),
             warned ? QStringList{"请插入有效格式的图片，注意不要是快捷方式。"} : QStringList());
}

void TestLinks::imageEditResizes_data()
{
    QTest::addColumn<QVariantList>("changes"); // pairs of spin box name and value, or "reset"
    QTest::addColumn<QSize>("expected");       // width x height
    QTest::addColumn<bool>("absoluteEnabled");
    QTest::addColumn<bool>("scaleEnabled");

    QTest::newRow("untouched") << QVariantList() << QSize(800, 600) << true << true;
    QTest::newRow("height 50 %, width 25 %")
        << QVariantList{"heightScaleValue", 50, "widthScaleValue", 25} << QSize(200, 300) << false
        << true;
    QTest::newRow("absolute width 100")
        << QVariantList{"widthValue", 100} << QSize(100, 600) << true << false;
    QTest::newRow("both absolute")
        << QVariantList{"heightValue", 30, "widthValue", 40} << QSize(40, 30) << true << false;
    QTest::newRow("scale, then reset")
        << QVariantList{"heightScaleValue", 50, "reset", 0} << QSize(800, 600) << true << true;
    QTest::newRow("tiny scale keeps a pixel")
        << QVariantList{"heightScaleValue", 1, "widthScaleValue", 1} << QSize(8, 6) << false
        << true;
}

void TestLinks::imageEditResizes()
{
    QFETCH(QVariantList, changes);
    QFETCH(QSize, expected);
    QFETCH(bool, absoluteEnabled);
    QFETCH(bool, scaleEnabled);

    TestEnvironment env;
    const QString path = writeImage(env.workDir(), QStringLiteral("big.png"), QSize(800, 600));
    auto box = taskBox(
        nullptr, QStringLiteral("<p>x<img src='%1' width='800' height='600'>y</p>").arg(path));
    selectText(box.get(), 1, 2);
    releaseButton(box.get(), Qt::LeftButton);
    auto *dialog = openPopup<ImageEdit>();
    QVERIFY(dialog);
    QCOMPARE(findByName<QSpinBox>(dialog, QStringLiteral("heightValue"))->value(), 600);
    QCOMPARE(findByName<QSpinBox>(dialog, QStringLiteral("widthValue"))->value(), 800);

    for (int i = 0; i + 1 < changes.size(); i += 2) {
        const QString name = changes.at(i).toString();
        if (name == QLatin1String("reset")) {
            clickButton(dialog, QStringLiteral("重新设置"));
            continue;
        }
        auto *spin = findByName<QSpinBox>(dialog, name);
        QVERIFY2(spin && spin->isEnabled(), qPrintable(name));
        spin->selectAll();
        QTest::keyClicks(spin, changes.at(i + 1).toString());
    }
    for (const char *name : {"heightValue", "widthValue"})
        QCOMPARE(findByName<QSpinBox>(dialog, name)->isEnabled(), absoluteEnabled);
    for (const char *name : {"heightScaleValue", "widthScaleValue"})
        QCOMPARE(findByName<QSpinBox>(dialog, name)->isEnabled(), scaleEnabled);

    clickButton(dialog, QStringLiteral("确定"));
    QCOMPARE(openWindowCount("ImageEdit"), 0);
    const QTextImageFormat format = formatAt(box.get(), 1).toImageFormat();
    QVERIFY(format.isValid());
    QCOMPARE(format.name(), path);
    QCOMPARE(QSize(int(format.width()), int(format.height())), expected);
}

void TestLinks::imageEditTouchesOnlyTheImage()
{
    TestEnvironment env;
    const QString path = writeImage(env.workDir(), QStringLiteral("pic.png"), QSize(40, 20));
    // An image that came in through HTML without a size of its own.
    auto box = taskBox(nullptr, QStringLiteral("<p>ab<img src='%1'>cd</p>").arg(path));
    selectText(box.get(), 4, 0); // text, image and text, selected backwards
    releaseButton(box.get(), Qt::LeftButton);
    auto *dialog = openPopup<ImageEdit>();
    QVERIFY(dialog);
    QCOMPARE(findByName<QSpinBox>(dialog, QStringLiteral("widthValue"))->value(), 40);
    QCOMPARE(findByName<QSpinBox>(dialog, QStringLiteral("heightValue"))->value(), 20);
    auto *scale = findByName<QSpinBox>(dialog, QStringLiteral("widthScaleValue"));
    scale->selectAll();
    QTest::keyClicks(scale, QStringLiteral("200"));
    clickButton(dialog, QStringLiteral("确定"));

    QCOMPARE(box->toPlainText().remove(QChar::ObjectReplacementCharacter), QStringLiteral("abcd"));
    QCOMPARE(imagePositions(box->document()), QList<int>{2});
    const QTextImageFormat format = formatAt(box.get(), 2).toImageFormat();
    QCOMPARE(QSize(int(format.width()), int(format.height())), QSize(80, 20));
    QVERIFY(!formatAt(box.get(), 0).isImageFormat());
}

void TestLinks::urlOptionInsertsLink_data()
{
    QTest::addColumn<QString>("local"); // "plain", "existing" (already in MyAttachments) or ""
    QTest::addColumn<QString>("web");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("attach");
    QTest::addColumn<QString>("expectedHref"); // "copy" / "source" for the file's URLs
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<bool>("copied"); // a new copy is in MyAttachments
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("web address, no name") << ""
                                          << "www.example.com/page?id=1"
                                          << "" << false << "www.example.com/page?id=1"
                                          << "www.example.com/page?id=1" << false << QStringList();
    QTest::newRow("web address with quotes and markup")
        << ""
        << "http://x.org/?a='1'&b=<2>"
        << "a <b> & 'c'" << false << "http://x.org/?a='1'&b=<2>"
        << "a <b> & 'c'" << false << QStringList();
    QTest::newRow("local file") << "plain"
                                << ""
                                << "" << false << "source"
                                << "it's notes.txt" << false << QStringList();
    QTest::newRow("local file wins over web") << "plain"
                                              << "www.example.com"
                                              << "report" << false << "source"
                                              << "report" << false << QStringList();
    QTest::newRow("attachment") << "plain"
                                << ""
                                << "" << true << "copy"
                                << "it's notes.txt" << true << QStringList();
    QTest::newRow("attachment already there") << "existing"
                                              << ""
                                              << "" << true << ""
                                              << "" << false << QStringList{copyFailed};
    QTest::newRow("all empty") << ""
                               << ""
                               << "" << false << ""
                               << "" << false << QStringList();
}

void TestLinks::urlOptionInsertsLink()
{
    QFETCH(QString, local);
    QFETCH(QString, web);
    QFETCH(QString, name);
    QFETCH(bool, attach);
    QFETCH(QString, expectedHref);
    QFETCH(QString, expectedText);
    QFETCH(bool, copied);
    QFETCH(QStringList, messages);

    TestEnvironment env;
    PromptScript prompts;
    LogCapture log;
    const QString source = writeText(env.workDir() + QStringLiteral("/it's notes.txt"), "new");
    const QString copy = Paths::attachmentsDir() + QStringLiteral("/it's notes.txt");
    if (local == QLatin1String("existing")) {
        QDir(env.appDir()).mkdir(QStringLiteral("MyAttachments"));
        writeText(copy, "old");
    }

    auto box = taskBox(nullptr, QStringLiteral("<p>start</p>"));
    placeCursor(box.get(), 5);
    insertFromMenu(box.get(), QStringLiteral("链接"));
    auto *dialog = openPopup<UrlOption>();
    QVERIFY(dialog);
    if (!local.isEmpty())
        QTest::keyClicks(findByName<QLineEdit>(dialog, QStringLiteral("localFileAddress")), source);
    if (attach) {
        auto *check = findByName<QCheckBox>(dialog, QStringLiteral("attachment"));
        QTest::mouseClick(check, Qt::LeftButton, Qt::NoModifier, QPoint(8, check->height() / 2));
        QVERIFY(check->isChecked());
    }
    QTest::keyClicks(findByName<QLineEdit>(dialog, QStringLiteral("webSiteAddress")), web);
    QTest::keyClicks(findByName<QLineEdit>(dialog, QStringLiteral("displayName")), name);
    clickButton(dialog, QStringLiteral("确定"));
    QCOMPARE(openWindowCount("UrlOption"), 0);

    // The owner saves and reloads the HTML; the link must come back the same.
    box->setHtml(box->toHtml());
    const QList<Link> links = linksOf(box->document());
    if (expectedHref.isEmpty()) {
        QVERIFY(links.isEmpty());
    } else {
        QCOMPARE(links.size(), 1);
        if (expectedHref == QLatin1String("source"))
            expectedHref = QUrl::fromLocalFile(source).toString();
        else if (expectedHref == QLatin1String("copy"))
            expectedHref = QUrl::fromLocalFile(copy).toString();
        QCOMPARE(links.first().href, expectedHref);
        QCOMPARE(links.first().text, expectedText);
    }
    QCOMPARE(box->toPlainText().count(QStringLiteral("(超链接)")), 2);
    QVERIFY(box->toPlainText().startsWith(QStringLiteral("start")));
    QCOMPARE(prompts.messages(), messages);

    QFile copyFile(copy);
    if (copied || local == QLatin1String("existing")) {
        QVERIFY(copyFile.open(QIODevice::ReadOnly));
        // An attachment of the same name is never overwritten.
        QCOMPARE(copyFile.readAll(), QByteArray(copied ? "new" : "old"));
    } else {
        QVERIFY(!copyFile.exists());
    }
    QCOMPARE(log.contains(QStringLiteral("copy file to MyAttachments failed!")),
             !messages.isEmpty());
}

void TestLinks::webAddressReachesDesktopAsTyped()
{
    TestEnvironment env;
    QList<QUrl> opened;
    Desktop::setOpenUrlHandler([&opened](const QUrl &url) {
        opened.append(url);
        return true;
    });
    const QString source = writeText(env.workDir() + QStringLiteral("/a.txt"), "a");
    auto box = taskBox(nullptr, QStringLiteral("<p></p>"));
    insertFromMenu(box.get(), QStringLiteral("链接"));
    auto *dialog = openPopup<UrlOption>();
    QVERIFY(dialog);

    // Checking the attachment box, then typing an address: the box goes off and stays off.
    auto *check = findByName<QCheckBox>(dialog, QStringLiteral("attachment"));
    QTest::mouseClick(check, Qt::LeftButton, Qt::NoModifier, QPoint(8, check->height() / 2));
    QVERIFY(check->isChecked());
    auto *web = findByName<QLineEdit>(dialog, QStringLiteral("webSiteAddress"));
    QTest::keyClicks(web, QStringLiteral("www.example.com"));
    QVERIFY(!check->isChecked());
    QVERIFY(!check->isEnabled());
    // Clearing the address offers the box again, still unchecked.
    web->selectAll();
    QTest::keyClick(web, Qt::Key_Delete);
    QVERIFY(check->isEnabled());
    QVERIFY(!check->isChecked());
    QTest::keyClicks(web, QStringLiteral("www.example.com"));
    QTest::keyClicks(findByName<QLineEdit>(dialog, QStringLiteral("localFileAddress")), source);
    clickButton(dialog, QStringLiteral("确定"));
    // What the user last saw unchecked is not copied.
    QVERIFY(!QFile::exists(Paths::attachmentsDir() + QStringLiteral("/a.txt")));

    box->setHtml(QStringLiteral("<p>go <a href='www.example.com'>there</a></p>"));
    const int at = box->document()->find(QStringLiteral("there")).selectionStart() + 2;
    QTest::mouseClick(box->viewport(), Qt::LeftButton, Qt::ControlModifier, pointAt(box.get(), at));
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.first().toString(), QStringLiteral("www.example.com"));
}

void TestLinks::browseFillsLocalFile()
{
    TestEnvironment env;
    PromptScript prompts;
    prompts.answerText(QStringLiteral("/some/where/file.pdf"));
    prompts.answerCancel();
    auto box = taskBox(nullptr, QStringLiteral("<p></p>"));
    insertFromMenu(box.get(), QStringLiteral("链接"));
    auto *dialog = openPopup<UrlOption>();
    QVERIFY(dialog);
    auto *local = findByName<QLineEdit>(dialog, QStringLiteral("localFileAddress"));
    clickButton(dialog, QStringLiteral("浏览"));
    QCOMPARE(local->text(), QStringLiteral("/some/where/file.pdf"));
    QCOMPARE(prompts.requests().first().title, QStringLiteral("插入链接"));
    QVERIFY(prompts.requests().first().filter.isEmpty());
    clickButton(dialog, QStringLiteral("浏览")); // cancelled: the field is emptied
    QCOMPARE(local->text(), QString());
    clickButton(dialog, QStringLiteral("取消"));
    QCOMPARE(box->toPlainText(), QString());
}

int runLinkTests(int argc, char **argv)
{
    TestLinks test;
    return runTestObject(&test, argc, argv);
}

#include "tst_links.moc"
