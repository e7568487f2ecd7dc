#include "app/logging.h"

#include <QDebug>

void logLine(const QString &line)
{
    qDebug().noquote() << line;
}

void logLine(const QString &line, const QString &error)
{
    qDebug().noquote() << line << error;
}
