#ifndef ORVANE_TESTS_SUPPORT_LOGCAPTURE_H
#define ORVANE_TESTS_SUPPORT_LOGCAPTURE_H

#include <QStringList>
#include <QtGlobal>

// Collects the debug log lines written while it lives (and still passes them on).
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    const QStringList &lines() const { return m_lines; }
    bool contains(const QString &line) const { return m_lines.contains(line); }
    // Lines that start with the text (for "... failed" lines that carry an error after them).
    QStringList startingWith(const QString &prefix) const;
    int count(const QString &line) const { return m_lines.count(line); }
    void clear() { m_lines.clear(); }

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &msg);
    QStringList m_lines;
    QtMessageHandler m_previous = nullptr;
    LogCapture *m_outer = nullptr;
};

#endif
