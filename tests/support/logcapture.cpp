#include "tests/support/logcapture.h"

namespace {
LogCapture *current = nullptr;
}

LogCapture::LogCapture() : m_outer(current)
{
    current = this;
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    current = m_outer;
}

QStringList LogCapture::startingWith(const QString &prefix) const
{
    QStringList found;
    for (const QString &line : m_lines) {
        if (line.startsWith(prefix))
            found.append(line);
    }
    return found;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    if (current) {
        current->m_lines.append(msg);
        if (current->m_previous && qEnvironmentVariableIsSet("ORVANE_TEST_LOG"))
            current->m_previous(type, context, msg);
    }
}
