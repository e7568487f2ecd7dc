#ifndef ORVANE_TESTS_SUPPORT_PROMPTSCRIPT_H
#define ORVANE_TESTS_SUPPORT_PROMPTSCRIPT_H

#include "app/prompt.h"

#include <QList>

// Answers the program's dialogs without a display. Answers are used in the order queued; when
// none is left a message box gets "Ok" and every other dialog is cancelled. Each answer is meant
// for a kind of prompt (a button for a message box, a text for a file, folder, text or item
// dialog, a file with its filter for a save dialog, files for a multiple-file dialog, a colour for
// a colour dialog, a cancel for a question or any dialog); an answer that reaches another kind
// fails the running test, since the test then no longer drives the dialogs it thinks it does. Every
// request is kept so a test can read back what the user was asked or told.
class PromptScript {
public:
    PromptScript();
    ~PromptScript();
    PromptScript(const PromptScript &) = delete;
    PromptScript &operator=(const PromptScript &) = delete;

    void answerButton(QMessageBox::StandardButton button);
    void answerText(const QString &text); // file name, folder, typed text or chosen item
    void answerFiles(const QStringList &files);
    void answerSaveFile(const QString &file, const QString &filter); // name and chosen filter
    void answerColor(const QColor &color);
    void answerCancel();

    const QList<Prompt::Request> &requests() const { return m_requests; }
    // The texts of every message box shown, in order.
    QStringList messages() const;
    void clear() { m_requests.clear(); }

private:
    struct Queued {
        Prompt::Answer answer;
        const char *what; // names the answer in a failure
        QList<Prompt::Kind> kinds;
    };
    void queue(const Prompt::Answer &answer, const char *what, const QList<Prompt::Kind> &kinds);
    Prompt::Answer answer(const Prompt::Request &request);

    QList<Queued> m_answers;
    QList<Prompt::Request> m_requests;
};

#endif
