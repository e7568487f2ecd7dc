#include "tests/support/promptscript.h"

PromptScript::PromptScript()
{
    Prompt::setHandler([this](const Prompt::Request &request) {
        m_requests.append(request);
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        Prompt::Answer answer;
        switch (request.kind) {
        case Prompt::Kind::Information:
        case Prompt::Kind::Warning:
        case Prompt::Kind::Critical:
        case Prompt::Kind::About:
            break;
        case Prompt::Kind::Question:
            answer.button = QMessageBox::No;
            break;
        default:
            answer.accepted = false;
        }
        return answer;
    });
}

PromptScript::~PromptScript()
{
    Prompt::setHandler(nullptr);
}

void PromptScript::answerButton(QMessageBox::StandardButton button)
{
    Prompt::Answer answer;
    answer.button = button;
    m_answers.append(answer);
}

void PromptScript::answerText(const QString &text)
{
    Prompt::Answer answer;
    answer.text = text;
    m_answers.append(answer);
}

void PromptScript::answerSaveFile(const QString &file, const QString &filter)
{
    Prompt::Answer answer;
    answer.text = file;
    answer.filter = filter;
    m_answers.append(answer);
}

void PromptScript::answerFiles(const QStringList &files)
{
    Prompt::Answer answer;
    answer.texts = files;
    m_answers.append(answer);
}

void PromptScript::answerColor(const QColor &color)
{
    Prompt::Answer answer;
    answer.color = color;
    m_answers.append(answer);
}

void PromptScript::answerCancel()
{
    Prompt::Answer answer;
    answer.accepted = false;
    answer.button = QMessageBox::Cancel;
    m_answers.append(answer);
}

QStringList PromptScript::messages() const
{
    QStringList texts;
    for (const Prompt::Request &request : m_requests) {
        switch (request.kind) {
        case Prompt::Kind::Information:
        case Prompt::Kind::Warning:
        case Prompt::Kind::Critical:
        case Prompt::Kind::Question:
        case Prompt::Kind::About:
            texts.append(request.text);
            break;
        default:
            break;
        }
    }
    return texts;
}
