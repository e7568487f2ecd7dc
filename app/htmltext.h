#ifndef ORVANE_APP_HTMLTEXT_H
#define ORVANE_APP_HTMLTEXT_H

#include <QString>

// The text a person sees in a stored rich text: the editor's HTML export without its head,
// markup and entities, one line per paragraph. Needs no GUI, so the database can use it inside
// a statement (see Database::connect).
class HtmlText {
public:
    static QString plain(const QString &html);
};

#endif
