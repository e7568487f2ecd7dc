#ifndef ORVANE_APP_USERMESSAGE_H
#define ORVANE_APP_USERMESSAGE_H

#include <QList>
#include <QString>

// A message the logic has for the person using the program. The logic never shows it; the
// window that called decides (Prompt::show puts each in a message box of its level).
struct UserMessage {
    enum Level { Information, Warning };
    Level level = Warning;
    QString title;
    QString text;
};
using UserMessages = QList<UserMessage>;

#endif
