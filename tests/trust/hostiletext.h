#ifndef ORVANE_TESTS_TRUST_HOSTILETEXT_H
#define ORVANE_TESTS_TRUST_HOSTILETEXT_H

#include <QList>
#include <QPair>
#include <QString>

// Texts that have broken programs before: quotes and backslashes for hand-built SQL, "%1" for
// QString::arg chains, LIKE wildcards, markup and entities for the rich text and the XML
// templates, characters outside the BMP, right-to-left text, a long text, nothing, blanks and
// control characters.
namespace HostileText {

struct Sample {
    const char *name;
    QString text;
};

inline QList<Sample> corpus()
{
    const QString astral = QString::fromUcs4(U"\U0001F600\U00020BB7\U0001D11E");
    return {
        {"apostrophes", QStringLiteral("it's O'Brien's ''")},
        {"double quotes", QStringLiteral("say \"hi\" \"\"")},
        {"backslashes", QStringLiteral("C:\\temp\\ \\' \\\" \\\\")},
        {"statement end", QStringLiteral("x'); drop table star; --")},
        {"comment", QStringLiteral("a -- b /* c */")},
        {"like wildcards", QStringLiteral("100% _x_ %")},
        {"arg markers", QStringLiteral("%1 %10 %2%1 %L1")},
        {"markup", QStringLiteral("<b>bold</b> <script>x</script>")},
        {"entities", QStringLiteral("&amp; &lt; &#39; &nbsp;")},
        {"cdata end", QStringLiteral("a]]>b <![CDATA[c]]>")},
        {"astral", astral + QStringLiteral(" 表情")},
        {"right to left", QString::fromUtf8("שלום עולם مرحبا \u202Eabc")},
        {"chinese separators", QStringLiteral("工作；学习;生活")},
        {"long", QString(10000, QLatin1Char('x')).replace(997, 3, QStringLiteral("中'%"))},
        {"empty", QString()},
        {"spaces", QStringLiteral("    ")},
        {"nul", QStringLiteral("a") + QChar(0) + QStringLiteral("b")},
        {"controls", QStringLiteral("a\x01\x02\x1b[31m\x7f\tb")},
    };
}

} // namespace HostileText

#endif
