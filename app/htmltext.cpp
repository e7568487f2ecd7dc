#include "app/htmltext.h"

#include <QStringList>

namespace {
// Tags after which the editor starts a new line.
bool endsLine(const QString &tag)
{
    static const QStringList tags = {
        QStringLiteral("br"),   QStringLiteral("/p"),  QStringLiteral("/li"), QStringLiteral("/tr"),
        QStringLiteral("/div"), QStringLiteral("/h1"), QStringLiteral("/h2"), QStringLiteral("/h3"),
        QStringLiteral("/h4"),  QStringLiteral("/h5"), QStringLiteral("/h6")};
    return tags.contains(tag);
}

QString entity(const QString &name)
{
    if (name == QLatin1String("lt"))
        return QStringLiteral("<");
    if (name == QLatin1String("gt"))
        return QStringLiteral(">");
    if (name == QLatin1String("amp"))
        return QStringLiteral("&");
    if (name == QLatin1String("quot"))
        return QStringLiteral("\"");
    if (name == QLatin1String("apos"))
        return QStringLiteral("'");
    if (name == QLatin1String("nbsp"))
        return QString(QChar(0xa0));
    if (name.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)
                              ? name.mid(2).toUInt(&ok, 16)
                              : name.mid(1).toUInt(&ok, 10);
        if (ok && code > 0 && code <= 0x10ffff)
            return QString::fromUcs4(&code, 1);
    }
    return QString();
}
} // namespace

QString HtmlText::plain(const QString &html)
{
    // Everything before the body (doctype, head, style sheet) is markup.
    int i = 0;
    const int body = html.indexOf(QLatin1String("<body"), 0, Qt::CaseInsensitive);
    if (body >= 0) {
        const int open = html.indexOf(QLatin1Char('>'), body);
        i = open < 0 ? html.size() : open + 1;
    }
    QString out;
    out.reserve(html.size() - i);
    while (i < html.size()) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('<')) {
            const int close = html.indexOf(QLatin1Char('>'), i);
            if (close < 0)
                break;
            const QString tag =
                html.mid(i + 1, close - i - 1).section(QLatin1Char(' '), 0, 0).toLower();
            if (tag == QLatin1String("style") || tag == QLatin1String("head")) {
                const int end = html.indexOf(QLatin1String("</") + tag, close, Qt::CaseInsensitive);
                const int after = end < 0 ? -1 : html.indexOf(QLatin1Char('>'), end);
                i = after < 0 ? html.size() : after + 1;
                continue;
            }
            if (endsLine(tag.endsWith(QLatin1Char('/')) ? tag.chopped(1) : tag))
                out += QLatin1Char('\n');
            i = close + 1;
        } else if (c == QLatin1Char('&')) {
            const int semicolon = html.indexOf(QLatin1Char(';'), i);
            const QString decoded = semicolon > i && semicolon - i <= 10
                                        ? entity(html.mid(i + 1, semicolon - i - 1))
                                        : QString();
            if (decoded.isEmpty()) {
                out += c;
                ++i;
            } else {
                out += decoded;
                i = semicolon + 1;
            }
        } else {
            out += c;
            ++i;
        }
    }
    while (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    return out;
}
