#include "tests/support/promptscript.h"

#include <QtTest>

namespace {
using Kind = Prompt::Kind;

const QList<Kind> messageBoxes = {Kind::Information, Kind::Warning, Kind::Critical, Kind::Question,
                                  Kind::About};
const QList<Kind> textDialogs = {Kind::OpenFile, Kind::SaveFile, Kind::Directory, Kind::Text,
                                 Kind::Item};
// Everything the user can cancel: a question and every dialog.
const QList<Kind> cancellable = {Kind::Question,  Kind::OpenFile, Kind::OpenFiles, Kind::SaveFile,
                                 Kind::Directory, Kind::Text,     Kind::Item,      Kind::Color};

const char *kindName(Kind kind)
{
    switch (kind) {
    case Kind::Information:
        return "information box";
    case Kind::Warning:
        return "warning box";
    case Kind::Critical:
        return "critical box";
    case Kind::Question:
        return "question";
    case Kind::About:
        return "about box";
    case Kind::OpenFile:
        return "open-file dialog";
    case Kind::OpenFiles:
        return "open-files dialog";
    case Kind::SaveFile:
        return "save-file dialog";
    case Kind::Directory:
        return "folder dialog";
    case Kind::Text:
        return "text input";
    case Kind::Item:
        return "item choice";
    case Kind::Color:
        return "colour dialog";
    }
    return "prompt";
}

// What the user gets when no answer is queued: "Ok" on a message box, "No" to a question, and
// every dialog cancelled.
Prompt::Answer defaultAnswer(Kind kind)
{
    Prompt::Answer answer;
    switch (kind) {
    case Kind::Information:
    case Kind::Warning:
    case Kind::Critical:
    case Kind::About:
        break;
    case Kind::Question:
        answer.button = QMessageBox::No;
        break;
    default:
        answer.accepted = false;
    }
    return answer;
}
} // namespace

PromptScript::PromptScript()
{
    Prompt::setHandler([this](const Prompt::Request &request) { return answer(request); });
}

PromptScript::~PromptScript()
{
    Prompt::setHandler(nullptr);
}

Prompt::Answer PromptScript::answer(const Prompt::Request &request)
{
    m_requests.append(request);
    if (m_answers.isEmpty())
        return defaultAnswer(request.kind);
    const Queued next = m_answers.takeFirst();
    if (next.kinds.contains(request.kind))
        return next.answer;
    const QByteArray failure =
        QStringLiteral("%1 was queued, but the next prompt is the %2 \"%3\"")
            .arg(QLatin1String(next.what), QLatin1String(kindName(request.kind)),
                 request.text.isEmpty() ? request.title : request.text)
            .toUtf8();
    if (!QTest::currentTestFunction())
        qFatal("PromptScript: %s", failure.constData());
    // A failed check rather than QTest::qFail, so a test of this check can expect the failure.
    QTest::qVerify(false, "the answer is meant for this kind of prompt", failure.constData(),
                   __FILE__, __LINE__);
    return defaultAnswer(request.kind);
}

void PromptScript::queue(const Prompt::Answer &answer, const char *what,
                         const QList<Prompt::Kind> &kinds)
{
    m_answers.append({answer, what, kinds});
}

void PromptScript::answerButton(QMessageBox::StandardButton button)
{
    Prompt::Answer answer;
    answer.button = button;
    queue(answer, "a button answer", messageBoxes);
}

void PromptScript::answerText(const QString &text)
{
    Prompt::Answer answer;
    answer.text = text;
    queue(answer, "a text answer", textDialogs);
}

void PromptScript::answerSaveFile(const QString &file, const QString &filter)
{
    Prompt::Answer answer;
    answer.text = file;
    answer.filter = filter;
    queue(answer, "a save-file answer", {Kind::SaveFile});
}

void PromptScript::answerFiles(const QStringList &files)
{
    Prompt::Answer answer;
    answer.texts = files;
    queue(answer, "a file list answer", {Kind::OpenFiles});
}

void PromptScript::answerColor(const QColor &color)
{
    Prompt::Answer answer;
    answer.color = color;
    queue(answer, "a colour answer", {Kind::Color});
}

void PromptScript::answerCancel()
{
    Prompt::Answer answer;
    answer.accepted = false;
    answer.button = QMessageBox::Cancel;
    queue(answer, "a cancel answer", cancellable);
}

QStringList PromptScript::messages() const
{
    QStringList texts;
    for (const Prompt::Request &request : m_requests) {
        if (messageBoxes.contains(request.kind))
            texts.append(request.text);
    }
    return texts;
}
